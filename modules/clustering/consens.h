#pragma once
// Module 14, CONSENS: reads trees of the same OTUs (every tree of one file, or
// the first tree of each of two files), builds their strict, majority-rule or
// s-consensus tree, writes it as a tree matrix and lists the consensus
// indices. It keeps the consensus trees of its last run for its plot button.

#include <memory>
#include <span>

#include "matrix/Matrixob.h"
#include "shell/Modules.h"

void ConsensDescribe(TModuleRec& module);
void ConsensRun(std::span<const TParamRec> params);
// Closes the tree plot and lets go of the kept trees.
void ConsensRelease();

// The plot button and its close routine.
void ConsensPlotTree();
void ConsensCloseTree();

// The consensus trees of the last run, each with its labels; null before the
// first and after ConsensRelease.
std::shared_ptr<const TTreeMxList> ConsensResults();

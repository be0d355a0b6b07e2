#pragma once
// The question asked before an output file that exists is opened: append to
// it, overwrite it, or cancel. The window that asks it (Task_oafF) returns one
// of the modal results below; opening matrix files maps them to its modes.

#include <functional>
#include <string>

#include "platform/Types.h"

constexpr plat::ModalResult oafOverwrite = plat::mrOk;
constexpr plat::ModalResult oafAppend = plat::mrYes;
constexpr plat::ModalResult oafCancel = plat::mrCancel;

// Shows the question for the full file name, modal; returns the modal result.
using TAskOafPrompt = std::function<plat::ModalResult(const std::string& fullName)>;

// Makes prompt the question that opening an existing output file asks.
void InstallOverwritePrompt(TAskOafPrompt prompt);

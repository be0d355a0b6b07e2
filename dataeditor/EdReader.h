#pragma once
// The data editor's matrix-file reader. Values stay text, so a file whose values
// are not numbers yet can still be loaded and repaired.
//
// Words are split as in every matrix file, at blanks, tabs and commas. A line
// whose first character is '"', '\'', ';' or '`' is a comment line.

#include <memory>
#include <string>
#include <vector>

#include "dataeditor/MatrixStr.h"
#include "rtl/StringList.h"
#include "rtl/TextFile.h"

// The words of a line, split at blanks, tabs and commas, empty words skipped.
std::vector<std::string> SplitEditorWords(const std::string& line);

// Reads lines from a fresh one on and collects their words into `words` until it
// holds `count` of them; the words after the last one needed are dropped with
// the rest of their line. The end of the file raises E_Morvapc
// "EOF trying to read line".
void EdReadLine(rtl::TextReader& f, int count, std::vector<std::string>& words);

// What a matrix header line says, as the editor keeps it.
struct TEdHeader {
  int type = 0;
  int rows = 0;
  int cols = 0;
  int rowLabelCode = 0;  // 0 none, 1 "L" block, 2 "B", 3 "E"
  bool colLabelFlag = false;
  int missingCode = 0;
  std::string missingText;  // empty when the code is 0
  double missingValue = 99999.999;
};

// Reads one matrix's comment lines (into `comments`, cleared first) and its
// header line, checks the header words and the shape the type demands.
void EdReadMatrixHeader(rtl::TextReader& f, rtl::StringList& comments, TEdHeader& header);

// Reads every matrix of a file (or of text held by the reader) in file order.
// Raises at the first error; nothing is returned then.
std::vector<std::unique_ptr<TMatrixStr>> ReadEditorMatrices(rtl::TextReader& f);

#include "matrix/MatrixWords.h"

#include "rtl/Convert.h"

std::string OnInputLine(long line) { return " on line " + rtl::IntToStr(line) + " of input file."; }

std::string_view NextMatrixWord(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && IsMatrixWordSeparator(line[pos])) ++pos;
  const std::size_t start = pos;
  while (pos < line.size() && !IsMatrixWordSeparator(line[pos])) ++pos;
  return line.substr(start, pos - start);
}

bool TMatrixWords::NextLine() {
  pos_ = 0;
  return f_.ReadLine(line_);
}

bool TMatrixWords::WordOnLine(std::string_view& word) {
  word = NextMatrixWord(line_, pos_);
  return !word.empty();
}

bool TMatrixWords::NextWord(std::string_view& word) {
  while (!WordOnLine(word)) {
    if (!NextLine()) return false;
  }
  return true;
}

bool TMatrixWords::LineUsedUp() {
  while (pos_ < line_.size() && IsMatrixWordSeparator(line_[pos_])) ++pos_;
  return pos_ >= line_.size();
}

std::int32_t TMatrixWords::WordsLeft() const {
  std::int32_t count = 0;
  std::size_t pos = pos_;
  while (!NextMatrixWord(line_, pos).empty()) ++count;
  return count;
}

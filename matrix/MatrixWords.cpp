#include "matrix/MatrixWords.h"

#include "matrix/Constu.h"
#include "rtl/Convert.h"

namespace {

constexpr std::size_t kQuotedLength = 40;

// "<what> too long for a matrix file (more than 16777216 characters) on line <n> of input file."
[[noreturn]] void RefuseLength(std::string_view what, long line) {
  throw E_Morvapc(std::string(what) + " too long for a matrix file (more than " +
                  rtl::IntToStr(static_cast<std::int64_t>(kMatrixLineLimit)) + " characters)" + OnInputLine(line));
}

}  // namespace

std::string QuotedWord(std::string_view word) {
  if (word.size() <= kQuotedLength) return std::string(word);
  return std::string(word.substr(0, kQuotedLength)) + "...";
}

void CheckWordLength(std::string_view word, long line) {
  if (word.size() <= kMatrixWordLimit) return;
  throw E_Morvapc("Word too long to be a matrix item (more than " +
                  rtl::IntToStr(static_cast<std::int64_t>(kMatrixWordLimit)) + " characters): " + QuotedWord(word) +
                  OnInputLine(line));
}

bool ReadMatrixLine(rtl::TextReader& f, std::string& line) {
  if (!f.ReadLine(line, kMatrixLineLimit)) return false;
  if (line.size() > kMatrixLineLimit) RefuseLength("Line", f.LineNumber());
  return true;
}

void TCommentLimit::Take(std::size_t length, long line) {
  if (lines_ == kMatrixCommentLineLimit) {
    throw E_Morvapc("Too many comment lines for a matrix file (more than " +
                    rtl::IntToStr(static_cast<std::int64_t>(kMatrixCommentLineLimit)) + ")" + OnInputLine(line));
  }
  if (length >= kMatrixLineLimit - characters_) RefuseLength("Comment lines", line);
  characters_ += length + 1;
  ++lines_;
}

std::string OnInputLine(long line) { return " on line " + rtl::IntToStr(line) + " of input file."; }

std::string_view NextMatrixWord(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && IsMatrixWordSeparator(line[pos])) ++pos;
  const std::size_t start = pos;
  while (pos < line.size() && !IsMatrixWordSeparator(line[pos])) ++pos;
  return line.substr(start, pos - start);
}

bool TMatrixWords::NextLine() {
  pos_ = 0;
  return ReadMatrixLine(f_, line_);
}

bool TMatrixWords::WordOnLine(std::string_view& word) {
  word = NextMatrixWord(line_, pos_);
  CheckWordLength(word, FileLine());
  return !word.empty();
}

bool TMatrixWords::NextWord(std::string_view& word) {
  if (!NextAnyWord(word)) return false;
  CheckWordLength(word, FileLine());
  return true;
}

bool TMatrixWords::NextAnyWord(std::string_view& word) {
  while ((word = NextMatrixWord(line_, pos_)).empty()) {
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

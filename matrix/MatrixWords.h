#pragma once
// Words of matrix files. Runs of blanks, tabs and commas separate the words of
// a header line and of a body; no other character does.
// TMatrixWords supplies the words of a body line by line, the way every body
// reader takes them: it keeps the current line and reads the next one when the
// current one holds no further word.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "rtl/TextFile.h"

constexpr bool IsMatrixWordSeparator(char c) { return c == ' ' || c == '\t' || c == ','; }

// No number of a matrix file is longer than this: a longer word is refused,
// not read. A label may be as long as the line holds: the label list cuts it.
inline constexpr std::size_t kMatrixWordLimit = 255;
// No line of a matrix file is longer than this (a row of some 800 000 values):
// a longer one, or an endless input, is refused before it fills the memory.
inline constexpr std::size_t kMatrixLineLimit = rtl::kTextLineLimit;

// The word as messages quote it: its first 40 characters, and "..." when it
// is longer.
std::string QuotedWord(std::string_view word);

// Refuses a word longer than kMatrixWordLimit: E_Morvapc "Word too long to be
// a matrix item (more than 255 characters): <word quoted> on line <n> of input
// file."
void CheckWordLength(std::string_view word, long line);

// Reads the rest of the line (ReadLine) and refuses one longer than
// kMatrixLineLimit: E_Morvapc "Line too long for a matrix file (more than
// 16777216 characters) on line <n> of input file."
bool ReadMatrixLine(rtl::TextReader& f, std::string& line);

// No more comment lines than this stand before one matrix's header.
inline constexpr std::size_t kMatrixCommentLineLimit = std::size_t{1} << 16;

// The comment lines before one matrix's header hold no more than
// kMatrixLineLimit characters together, each line counted with its line end,
// and there are no more than kMatrixCommentLineLimit of them, so that endless
// comment lines (from a pipe) are refused as an endless line is: E_Morvapc
// "Comment lines too long for a matrix file (more than 16777216 characters)"
// or "Too many comment lines for a matrix file (more than 65536)", and
// " on line <n> of input file."
class TCommentLimit {
 public:
  // Counts one comment line of `length` characters, read on line `line`.
  void Take(std::size_t length, long line);

 private:
  std::size_t characters_ = 0;
  std::size_t lines_ = 0;
};

// The end of a read error's text that names where it was found:
// " on line <line> of input file.", the line counted from the file's first line.
std::string OnInputLine(long line);

// The word of line that starts at or after pos, or an empty view when the line
// holds no more words; pos moves past the word.
std::string_view NextMatrixWord(std::string_view line, std::size_t& pos);

class TMatrixWords {
 public:
  // Starts before the next line of f: what a reader takes begins on a new line.
  explicit TMatrixWords(rtl::TextReader& f) : f_(f) {}

  rtl::TextReader& File() { return f_; }

  // Reads the next line (ReadMatrixLine); false at the end of the file.
  bool NextLine();
  // The next word of the current line; false when the line holds no more.
  // Refuses a word that is too long (CheckWordLength).
  bool WordOnLine(std::string_view& word);
  // The next word, reading further lines as needed (lines without a word are
  // passed over); false at the end of the file. Refuses a word that is too
  // long (CheckWordLength).
  bool NextWord(std::string_view& word);
  // The same whatever the word's length: a label, or a word that is skipped.
  bool NextAnyWord(std::string_view& word);
  // Drops what is left of the current line, so the next word starts a new line.
  void DropLine() { pos_ = line_.size(); }
  // True when the current line holds no further word.
  bool LineUsedUp();
  // The number of words left on the current line.
  std::int32_t WordsLeft() const;

  // Line number in the file of the current line, counted from the file's
  // first line (what read errors name).
  long FileLine() const { return f_.LineNumber(); }

 private:
  rtl::TextReader& f_;
  std::string line_;
  std::size_t pos_ = 0;
};

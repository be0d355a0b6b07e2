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

  // Reads the next line; false at the end of the file.
  bool NextLine();
  // The next word of the current line; false when the line holds no more.
  bool WordOnLine(std::string_view& word);
  // The next word, reading further lines as needed (lines without a word are
  // passed over); false at the end of the file.
  bool NextWord(std::string_view& word);
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

#pragma once
// Words and text search of the editor. A word is a run of characters outside
// the delimiter set; search compares bytes, or upper-cased bytes by the
// Windows-1252 table whatever the locale, and never looks across paragraphs.

#include <cstdint>
#include <string_view>

// Tab, apostrophe, CR, LF, blank and , . / ? ; : ` " < > [ ] { } - = \ + | ( ) % & ^ $ # ! ~ * @
bool IsWordDelimiter(char ch);

// The upper-case letter of a Windows-1252 byte, or the byte itself.
char UpperCp1252(char ch);

// The 0-based offset of the first occurrence of `pattern` in `text` at or
// after `from`, or -1. Without `matchCase` both are compared upper-cased.
std::int32_t FindText(std::string_view text, std::string_view pattern, std::int32_t from, bool matchCase);

// The last occurrence that starts before `before` (0-based), or -1;
// overlapping occurrences count, so "aa" in "aaa" before 3 is found at 1.
std::int32_t FindTextBefore(std::string_view text, std::string_view pattern, std::int32_t before, bool matchCase);

// Word boundaries in one paragraph, 0-based offsets. WordStartBefore gives
// the start of the word that ends at or before `at` (skipping the delimiters
// in front of it); WordEndAfter the offset past the word at `at` and the
// delimiters after it.
std::int32_t WordStartBefore(std::string_view text, std::int32_t at);
std::int32_t WordEndAfter(std::string_view text, std::int32_t at);

// The word under the offset `at` for a double click: [first, last) covers the
// word and the blanks after it; when `at` stands right after a word, that word.
// An offset on a delimiter that follows no word gives that one character.
struct TWordSpan {
  std::int32_t first = 0;
  std::int32_t last = 0;
  bool operator==(const TWordSpan&) const = default;
};
TWordSpan WordAt(std::string_view text, std::int32_t at);

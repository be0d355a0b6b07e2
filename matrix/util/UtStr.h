#pragma once
// String routines: words over a set of delimiter characters, padding,
// trimming and a checked conversion of text to an extended real.
//
// Words are maximal runs of characters that are not delimiters; a run of
// delimiters counts as one separator. Positions and word numbers count from 1.

#include <string>
#include <string_view>

// Number of words of s.
int CountWords(std::string_view s, std::string_view delimiters);
// True, with position set to the first character of word n, when s has n words.
bool FindWordStart(int n, std::string_view s, std::string_view delimiters, int& position);
// Word n of s, empty when there is none.
std::string GetWord(int n, std::string_view s, std::string_view delimiters);

// Whether c occurs in set.
bool HasChar(std::string_view set, char c);
// True, with position set to the first occurrence of c in s.
bool FindChar(std::string_view s, char c, int& position);

// s padded on the right with c (or blanks) to length; unchanged when longer.
std::string PadWithChar(std::string_view s, char c, int length);
std::string PadWithSpaces(std::string_view s, int length);

// s without trailing characters at or below the blank.
std::string TrimTrailing(std::string_view s);
// s without leading and trailing blanks.
std::string TrimBoth(std::string_view s);

// s (trimmed of blanks, a trailing '.' dropped, empty meaning "0") as a real:
// an optional sign, digits with an optional point, an optional exponent.
// True with value set; on a bad character false, with value holding that
// character's 1-based position minus 1 (a text that ends too early, or a value
// out of range, counts as bad at the position after its end).
bool ParseExtended(std::string_view s, long double& value);

#pragma once
// The two sets of variables of CANPLS: set 1 named by the user's text, set 2
// every other variable of the p in the matrix. The text names variables by
// number (1 .. p) and ranges of them ("2, 4-6", "7-" to p, "-3" from 1, "3 .. 7"
// for 3-7); a variable named twice is held once. Any number of variables.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The members of both sets, each in increasing variable number.
struct TCanPlsSets {
  std::vector<std::int32_t> set1;
  std::vector<std::int32_t> set2;

  std::int32_t size1() const { return static_cast<std::int32_t>(set1.size()); }
  std::int32_t size2() const { return static_cast<std::int32_t>(set2.size()); }
};

// The text as the parser reads it: a text of length zero becomes "1-" (every
// variable); otherwise the outer blanks go, runs of blanks become one, blanks
// beside a '-' go, each '.' becomes '-' and runs of '-' become one.
void CanPlsNormalizeList(std::string& text);

// The variables that the normalised text names: entry v (1 .. p) is true for
// a member; entry 0 is unused. Raises E_Morvapc "invalid character - (c)" or
// "index (word) out of range".
std::vector<bool> CanPlsParseVarList(std::int32_t p, std::string_view text);

// Normalises the text in place and forms both sets. Raises E_Morvapc "No
// variables in first set" for an empty set 1 and "No variables in sectond set"
// when set 1 holds every variable.
TCanPlsSets CanPlsSetUp(std::int32_t p, std::string& text);

// The members joined by commas, for the listing ("2,4,5,6").
std::string CanPlsListSet(const std::vector<std::int32_t>& members);

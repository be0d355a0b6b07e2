#include "modules/ordination/canplsSets.h"

#include <cctype>
#include <optional>

#include "matrix/Constu.h"
#include "matrix/util/UtStr.h"
#include "rtl/Convert.h"

namespace {

// Replaces every from by to; true when one was replaced.
bool ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  bool changed = false;
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
    changed = true;
  }
  return changed;
}

// The number a word of the text names, when it lies in low .. p.
bool InRange(std::string_view word, std::int32_t low, std::int32_t p, std::int32_t& v) {
  const std::optional<std::int32_t> n = rtl::TryStrToInt(word);
  if (!n || *n < low || *n > p) return false;
  v = *n;
  return true;
}

[[noreturn]] void OutOfRange(std::string_view word) {
  throw E_Morvapc("index (" + std::string(word) + ") out of range");
}

}  // namespace

void CanPlsNormalizeList(std::string& text) {
  if (text.empty()) {
    text = "1-";
    return;
  }
  text = TrimBoth(text);
  for (bool changed = true; changed;) {
    changed = ReplaceAll(text, "  ", " ");
    changed |= ReplaceAll(text, " -", "-");
    changed |= ReplaceAll(text, "- ", "-");
    changed |= ReplaceAll(text, ".", "-");
    changed |= ReplaceAll(text, "--", "-");
  }
}

std::vector<bool> CanPlsParseVarList(std::int32_t p, std::string_view text) {
  std::vector<bool> set(static_cast<std::size_t>(p) + 1, false);
  const int words = CountWords(text, " ,");
  for (int n = 1; n <= words; ++n) {
    const std::string word = GetWord(n, text, " ,");
    for (char c : word) {
      if (!std::isdigit(static_cast<unsigned char>(c)) && c != '-') {
        throw E_Morvapc("invalid character - (" + std::string(1, c) + ")");
      }
    }
    std::int32_t a = 0, b = 0;
    const std::size_t dash = word.find('-');
    if (dash == std::string::npos) {
      if (!InRange(word, 1, p, a)) OutOfRange(word);
      b = a;
    } else {
      const std::string_view aText = std::string_view(word).substr(0, dash);
      const std::string_view bText = std::string_view(word).substr(dash + 1);
      a = 1;
      if (!aText.empty() && !InRange(aText, 1, p, a)) OutOfRange(aText);
      b = p;
      if (!bText.empty() && !InRange(bText, a, p, b)) OutOfRange(bText);
    }
    for (std::int32_t v = a; v <= b; ++v) set[static_cast<std::size_t>(v)] = true;
  }
  return set;
}

TCanPlsSets CanPlsSetUp(std::int32_t p, std::string& text) {
  CanPlsNormalizeList(text);
  const std::vector<bool> member = CanPlsParseVarList(p, text);
  TCanPlsSets sets;
  for (std::int32_t v = 1; v <= p; ++v) (member[static_cast<std::size_t>(v)] ? sets.set1 : sets.set2).push_back(v);
  // An empty set 1 would leave the analyses nothing to decompose.
  if (sets.set1.empty()) throw E_Morvapc("No variables in first set");
  if (sets.set2.empty()) throw E_Morvapc("No variables in sectond set");
  return sets;
}

std::string CanPlsListSet(const std::vector<std::int32_t>& members) {
  std::string text;
  for (std::int32_t v : members) text += (text.empty() ? "" : ",") + std::to_string(v);
  return text;
}

#include "matrix/util/UtStr.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace {

// Calls visit(start, length) for each word of s, 0-based, until it returns false.
template <class Visit>
void ForEachWord(std::string_view s, std::string_view delimiters, Visit visit) {
  std::size_t pos = 0;
  while (true) {
    pos = s.find_first_not_of(delimiters, pos);
    if (pos == std::string_view::npos) return;
    std::size_t end = s.find_first_of(delimiters, pos);
    if (end == std::string_view::npos) end = s.size();
    if (!visit(pos, end - pos)) return;
    pos = end;
  }
}

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Index of the first character of text past a run of digits from pos.
std::size_t SkipDigits(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  return pos;
}

// The 0-based index of the first character of text that does not continue a
// real number (text.size() when the text ends too early); npos when all of
// text is one. Mantissa digits and exponent digits are required.
std::size_t BadCharIndex(std::string_view text) {
  std::size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  const std::size_t intStart = pos;
  pos = SkipDigits(text, pos);
  bool digits = pos > intStart;
  if (pos < text.size() && text[pos] == '.') {
    const std::size_t fracStart = ++pos;
    pos = SkipDigits(text, pos);
    digits = digits || pos > fracStart;
  }
  if (!digits) return pos;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    const std::size_t expStart = pos;
    pos = SkipDigits(text, pos);
    if (pos == expStart) return pos;
  }
  return pos == text.size() ? std::string_view::npos : pos;
}

}  // namespace

int CountWords(std::string_view s, std::string_view delimiters) {
  int count = 0;
  ForEachWord(s, delimiters, [&](std::size_t, std::size_t) {
    ++count;
    return true;
  });
  return count;
}

bool FindWordStart(int n, std::string_view s, std::string_view delimiters, int& position) {
  int count = 0;
  bool found = false;
  ForEachWord(s, delimiters, [&](std::size_t start, std::size_t) {
    if (++count < n) return true;
    position = static_cast<int>(start) + 1;
    found = true;
    return false;
  });
  return found;
}

std::string GetWord(int n, std::string_view s, std::string_view delimiters) {
  int count = 0;
  std::string word;
  ForEachWord(s, delimiters, [&](std::size_t start, std::size_t length) {
    if (++count < n) return true;
    word = s.substr(start, length);
    return false;
  });
  return word;
}

bool HasChar(std::string_view set, char c) { return set.find(c) != std::string_view::npos; }

bool FindChar(std::string_view s, char c, int& position) {
  const std::size_t at = s.find(c);
  if (at == std::string_view::npos) return false;
  position = static_cast<int>(at) + 1;
  return true;
}

std::string PadWithChar(std::string_view s, char c, int length) {
  std::string padded(s);
  if (length > 0 && padded.size() < static_cast<std::size_t>(length))
    padded.resize(static_cast<std::size_t>(length), c);
  return padded;
}

std::string PadWithSpaces(std::string_view s, int length) { return PadWithChar(s, ' ', length); }

std::string TrimTrailing(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return std::string(s);
}

std::string TrimBoth(std::string_view s) {
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

bool ParseExtended(std::string_view s, long double& value) {
  std::string text = TrimBoth(s);
  if (!text.empty() && text.back() == '.') text.pop_back();
  if (text.empty()) text = "0";
  std::size_t bad = BadCharIndex(text);
  if (bad == std::string_view::npos) {
    // from_chars takes no '+' and ignores the locale.
    const std::size_t start = text[0] == '+' ? 1 : 0;
    long double parsed = 0;
    const auto result = std::from_chars(text.data() + start, text.data() + text.size(), parsed);
    if (result.ec == std::errc() && std::isfinite(parsed)) {
      value = parsed;
      return true;
    }
    bad = text.size();
  }
  // The bad character's 1-based position, minus 1.
  value = static_cast<long double>(bad);
  return false;
}

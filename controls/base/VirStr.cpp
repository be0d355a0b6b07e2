#include "controls/base/VirStr.h"

#include <algorithm>
#include <cctype>

#include "controls/base/VirCmd.h"
#include "platform/Desktop.h"

namespace {

constexpr std::size_t kMaxNumberText = 256;
constexpr std::size_t kMaxShift = 255;

std::string Digits(std::uint32_t value, unsigned base, int count) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text(static_cast<std::size_t>(count), '0');
  for (int i = count - 1; i >= 0 && value != 0; --i, value /= base)
    text[static_cast<std::size_t>(i)] = kDigits[value % base];
  return text;
}

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

}  // namespace

std::string HexWord(std::uint16_t value) { return Digits(value, 16, 4); }
std::string HexLong(std::uint32_t value) { return Digits(value, 16, 8); }
std::string OctalLong(std::uint32_t value) { return Digits(value, 8, 12); }

void DeleteChar(std::string& text, std::size_t pos) {
  if (pos < text.size()) text.erase(pos, 1);
}

void InsertChar(std::string& text, char ch, std::size_t pos) { text.insert(std::min(pos, text.size()), 1, ch); }

void InsertRun(std::string& text, char ch, std::size_t count, std::size_t pos) {
  text.insert(std::min(pos, text.size()), count, ch);
}

void InsertText(std::string& text, std::string_view insert, std::size_t pos) {
  text.insert(std::min(pos, text.size()), insert);
}

void DeleteRun(std::string& text, std::size_t pos, std::size_t count) {
  if (pos < text.size()) text.erase(pos, count);
}

std::string CopyPart(std::string_view text, std::size_t pos, std::size_t count) {
  return pos < text.size() ? std::string(text.substr(pos, count)) : std::string();
}

bool FindChar(std::string_view text, char ch, std::size_t& pos) {
  pos = text.find(ch);
  return pos != std::string_view::npos;
}

bool FindText(std::string_view text, std::string_view what, std::size_t& pos) {
  pos = text.find(what);
  return pos != std::string_view::npos;
}

bool TextToNumber(std::string_view text, std::int32_t& value, int& errorPos) {
  value = 0;
  if (text.size() > kMaxNumberText) {
    errorPos = static_cast<int>(kMaxNumberText) + 1;
    return false;
  }
  std::size_t i = 0;
  bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  bool negative = !hex && !text.empty() && (text[0] == '-' || text[0] == '+');
  if (hex) i = 2;
  if (negative) i = 1;
  negative = negative && text[0] == '-';
  const std::int64_t limit = hex ? 0xFFFFFFFFLL : negative ? 2147483648LL : 2147483647LL;
  std::int64_t result = 0;
  std::size_t first = i;
  for (; i < text.size(); ++i) {
    int digit = -1;
    char c = text[i];
    if (IsDigit(c)) {
      digit = c - '0';
    } else if (hex && std::isxdigit(static_cast<unsigned char>(c))) {
      digit = std::toupper(static_cast<unsigned char>(c)) - 'A' + 10;
    }
    result = result * (hex ? 16 : 10) + digit;
    if (digit < 0 || result > limit) {
      errorPos = static_cast<int>(i) + 1;
      return false;
    }
  }
  if (i == first) {
    errorPos = static_cast<int>(i) + 1;
    return false;
  }
  errorPos = 0;
  value = static_cast<std::int32_t>(negative ? -result : result);
  return true;
}

std::string TrimBlanks(std::string_view text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  return std::string(text.substr(begin, text.find_last_not_of(' ') - begin + 1));
}

std::string TrimEnd(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && static_cast<unsigned char>(text[end - 1]) < 33) --end;
  return std::string(text.substr(0, end));
}

std::string TidyRealText(std::string_view text) {
  std::size_t e = text.find_first_of("eE");
  std::string mantissa(text.substr(0, e));
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  if (e == std::string_view::npos) return mantissa;
  std::string exponent(text.substr(e, 1));
  std::size_t i = e + 1;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) exponent += text[i++];
  while (i + 1 < text.size() && text[i] == '0') ++i;
  return mantissa + exponent + std::string(text.substr(i));
}

std::string RepairRealText(std::string_view text, char decimalChar) {
  std::string result(text);
  std::replace(result.begin(), result.end(), decimalChar, '.');
  std::size_t point = result.find('.');
  if (point != std::string::npos && (point == 0 || !IsDigit(result[point - 1]))) result.insert(point, 1, '0');
  std::size_t e = result.find_first_of("eE");
  if (e != std::string::npos) {
    std::size_t digits = e + 1;
    if (digits < result.size() && (result[digits] == '+' || result[digits] == '-')) ++digits;
    if (digits == result.size()) result += '0';
  }
  return result;
}

std::string FillWithCharZ(std::size_t count, char ch) { return std::string(count, ch); }

std::string DetabText(std::string_view text, int tabSize) {
  const std::size_t size = static_cast<std::size_t>(std::max(tabSize, 1));
  std::string result;
  for (char c : text) {
    if (c == '\t') {
      result.append(size - result.size() % size, ' ');
    } else {
      result += c;
    }
  }
  return result;
}

TBMTable BoyerMooreShiftTable(std::string_view pattern) {
  TBMTable table;
  table.fill(static_cast<std::uint8_t>(std::min(pattern.size(), kMaxShift)));
  for (std::size_t i = 0; i + 1 < pattern.size(); ++i) {
    table[static_cast<unsigned char>(pattern[i])] =
        static_cast<std::uint8_t>(std::min(pattern.size() - 1 - i, kMaxShift));
  }
  return table;
}

char UpCaseChar(char ch) {
  auto c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  // Windows-1252: š œ ž, à..þ except ÷, and ÿ.
  if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<char>(c - 16);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char>(c - 32);
  if (c == 0xFF) return static_cast<char>(0x9F);
  return ch;
}

char LoCaseChar(char ch) {
  auto c = static_cast<unsigned char>(ch);
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
  if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<char>(c + 16);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 32);
  if (c == 0x9F) return static_cast<char>(0xFF);
  return ch;
}

namespace {

// The search of both forms; `fold` maps a text character before comparing.
template <class Fold>
std::size_t Search(std::string_view text, std::string_view pattern, const TBMTable& table, Fold fold) {
  const std::size_t m = pattern.size();
  if (m == 0) return 0;
  std::size_t end = m - 1;  // text index under the pattern's last character
  while (end < text.size()) {
    std::size_t t = end, p = m - 1;
    while (fold(text[t]) == pattern[p]) {
      if (p == 0) return t;
      --t;
      --p;
    }
    end += table[static_cast<unsigned char>(fold(text[end]))];
  }
  return std::string_view::npos;
}

}  // namespace

std::size_t BoyerMooreFind(std::string_view text, std::string_view pattern, const TBMTable& table) {
  return Search(text, pattern, table, [](char c) { return c; });
}

std::size_t BoyerMooreFindNoCase(std::string_view text, std::string_view pattern, const TBMTable& table) {
  return Search(text, UpCaseText(pattern), table, UpCaseChar);
}

std::string UpCaseText(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(), UpCaseChar);
  return upper;
}

std::uint8_t GetShiftFlags() { return TableShiftOf(plat::CurrentShiftState()); }

int PrimaryMouseButtonKey() { return 1; }

plat::Font CreateRotatedFontHandle(const plat::Font& font, int angle) {
  plat::Font rotated = font;
  rotated.angle = angle * 10;
  return rotated;
}

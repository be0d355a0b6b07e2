#include "controls/editor/EditWords.h"

#include <algorithm>
#include <array>
#include <string>

#include "controls/editor/VirEditU.h"

namespace {

constexpr std::string_view kDelimiters = "\t'\r\n ,./?;:`\"<>[]{}-=\\+|()%&^$#!~*@";

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& ch : result) ch = UpperCp1252(ch);
  return result;
}

}  // namespace

bool IsWordDelimiter(char ch) { return kDelimiters.find(ch) != std::string_view::npos; }

char UpperCp1252(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<char>(c - 0x20);
  switch (c) {
    case 0x9A: return static_cast<char>(0x8A);
    case 0x9C: return static_cast<char>(0x8C);
    case 0x9E: return static_cast<char>(0x8E);
    case 0xFF: return static_cast<char>(0x9F);
    default: return ch;
  }
}

std::int32_t FindText(std::string_view text, std::string_view pattern, std::int32_t from, bool matchCase) {
  if (pattern.empty() || from < 0 || static_cast<std::size_t>(from) + pattern.size() > text.size()) return -1;
  std::size_t found;
  if (matchCase) {
    found = text.find(pattern, static_cast<std::size_t>(from));
  } else {
    found = Upper(text).find(Upper(pattern), static_cast<std::size_t>(from));
  }
  return found == std::string_view::npos ? -1 : static_cast<std::int32_t>(found);
}

std::int32_t FindTextBefore(std::string_view text, std::string_view pattern, std::int32_t before, bool matchCase) {
  std::int32_t last = -1;
  for (std::int32_t at = FindText(text, pattern, 0, matchCase); at >= 0 && at < before;
       at = FindText(text, pattern, at + 1, matchCase)) {
    last = at;
  }
  return last;
}

std::int32_t WordStartBefore(std::string_view text, std::int32_t at) {
  at = std::min<std::int32_t>(at, static_cast<std::int32_t>(text.size()));
  while (at > 0 && IsWordDelimiter(text[static_cast<std::size_t>(at - 1)])) --at;
  while (at > 0 && !IsWordDelimiter(text[static_cast<std::size_t>(at - 1)])) --at;
  return at;
}

std::int32_t WordEndAfter(std::string_view text, std::int32_t at) {
  const auto length = static_cast<std::int32_t>(text.size());
  while (at < length && !IsWordDelimiter(text[static_cast<std::size_t>(at)])) ++at;
  while (at < length && IsWordDelimiter(text[static_cast<std::size_t>(at)])) ++at;
  return at;
}

TWordSpan WordAt(std::string_view text, std::int32_t at) {
  const auto length = static_cast<std::int32_t>(text.size());
  auto isWord = [&](std::int32_t i) {
    return i >= 0 && i < length && !IsWordDelimiter(text[static_cast<std::size_t>(i)]);
  };
  at = std::clamp(at, 0, length);
  if (!isWord(at) && isWord(at - 1)) --at;
  if (!isWord(at)) return at < length ? TWordSpan{at, at + 1} : TWordSpan{at, at};
  std::int32_t first = at;
  while (isWord(first - 1)) --first;
  std::int32_t last = at;
  while (isWord(last)) ++last;
  while (last < length && IsBlankChar(text[static_cast<std::size_t>(last)])) ++last;
  return {first, last};
}

#include "rtl/TextChars.h"

#include "rtl/Cp1252.h"

namespace rtl {

std::size_t Utf8SequenceAt(std::string_view text, std::size_t at, char32_t& u) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) {
    u = lead;
    return 1;
  }
  std::size_t length;
  char32_t least;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, least = 0x80, u = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, least = 0x800, u = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, least = 0x10000, u = lead & 0x07;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[at + k]);
    if ((next & 0xC0) != 0x80) return 0;
    u = (u << 6) | (next & 0x3F);
  }
  const bool surrogate = u >= 0xD800 && u <= 0xDFFF;
  return u < least || u > 0x10FFFF || surrogate ? 0 : length;
}

bool IsUtf8(std::string_view text) {
  char32_t u;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceAt(text, at, u);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::size_t CharacterCount(std::string_view text) {
  if (!IsUtf8(text)) return text.size();
  std::size_t count = 0;
  for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

std::size_t CharacterPrefixLength(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  if (!IsUtf8(text)) return maxBytes;
  std::size_t end = 0;
  char32_t u;
  while (true) {
    const std::size_t length = Utf8SequenceAt(text, end, u);
    if (end + length > maxBytes) return end;
    end += length;
  }
}

std::size_t CharactersLength(std::string_view text, std::size_t count) {
  if (count >= text.size()) return text.size();
  if (!IsUtf8(text)) return count;
  std::size_t end = 0;
  char32_t u;
  for (std::size_t k = 0; k < count && end < text.size(); ++k) end += Utf8SequenceAt(text, end, u);
  return end;
}

std::size_t NextCharacter(std::string_view text, std::size_t at) {
  if (at >= text.size() || !IsUtf8(text)) return at + 1;
  char32_t u;
  const std::size_t length = Utf8SequenceAt(text, at, u);
  return at + (length == 0 ? 1 : length);
}

std::size_t PreviousCharacter(std::string_view text, std::size_t at) {
  if (at == 0) return 0;
  if (at > text.size() || !IsUtf8(text)) return at - 1;
  std::size_t before = at - 1;
  while (before > 0 && (static_cast<unsigned char>(text[before]) & 0xC0) == 0x80) --before;
  return before;
}

std::u32string CodePoints(std::string_view text) {
  std::u32string points;
  const bool utf8 = IsUtf8(text);
  for (std::size_t at = 0; at < text.size();) {
    char32_t u = 0;
    const std::size_t length = utf8 ? Utf8SequenceAt(text, at, u) : 1;
    if (!utf8) u = Cp1252ToCodePoint(static_cast<unsigned char>(text[at]));
    points += u;
    at += length;
  }
  return points;
}

std::string TypedCharacter(std::string_view text, char32_t typed) {
  if (IsUtf8(text)) return CodePointToUtf8(typed);
  const std::optional<char> byte = Cp1252ByteOf(typed);
  return byte ? std::string(1, *byte) : std::string();
}

}  // namespace rtl

#include "platform/DisplayText.h"

#include <cstdio>

#include "rtl/Cp1252.h"

namespace plat {

namespace {

// Length of the valid UTF-8 sequence starting at text[at], or 0 when the bytes
// there are not one; the code point goes to `u`.
std::size_t SequenceAt(std::string_view text, std::size_t at, char32_t& u) {
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

// Control characters (the bytes Windows-1252 leaves unassigned stand for C1
// controls), the byte-order mark and the noncharacters U+FFFE and U+FFFF are
// nothing a message should show.
bool UnexpectedCodePoint(char32_t u) {
  if (u == '\n') return false;
  return u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0) || u == 0xFEFF || u == 0xFFFE || u == 0xFFFF;
}

void AppendEscaped(std::string& out, std::string_view bytes) {
  for (char c : bytes) {
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
    out += escaped;
  }
}

}  // namespace

bool IsUtf8(std::string_view text) {
  char32_t u;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = SequenceAt(text, at, u);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::string DisplayUtf8(std::string_view bytes) {
  return IsUtf8(bytes) ? std::string(bytes) : rtl::Cp1252ToUtf8(bytes);
}

std::u16string DisplayUtf16(std::string_view bytes) {
  if (!IsUtf8(bytes)) return rtl::Cp1252ToUtf16(bytes);
  std::u16string out;
  out.reserve(bytes.size());
  char32_t u;
  for (std::size_t at = 0; at < bytes.size();) {
    at += SequenceAt(bytes, at, u);
    if (u < 0x10000) {
      out += static_cast<char16_t>(u);
    } else {
      out += static_cast<char16_t>(0xD800 + ((u - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((u - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::size_t CharacterPrefixLength(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  if (!IsUtf8(text)) return maxBytes;
  std::size_t end = 0;
  char32_t u;
  while (true) {
    const std::size_t length = SequenceAt(text, end, u);
    if (end + length > maxBytes) return end;
    end += length;
  }
}

std::string EscapeUnexpected(std::string_view message) {
  std::string out;
  out.reserve(message.size());
  const bool utf8 = IsUtf8(message);
  char32_t u;
  for (std::size_t at = 0; at < message.size();) {
    std::size_t length = 1;
    if (utf8) {
      length = SequenceAt(message, at, u);
    } else {
      u = rtl::Cp1252ToCodePoint(static_cast<unsigned char>(message[at]));
    }
    const std::string_view character = message.substr(at, length);
    const bool lineEnd = u == '\r' && at + 1 < message.size() && message[at + 1] == '\n';
    if (UnexpectedCodePoint(u) && !lineEnd) {
      AppendEscaped(out, character);
    } else {
      out += character;
    }
    at += length;
  }
  return out;
}

}  // namespace plat

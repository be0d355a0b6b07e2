#include "platform/DisplayText.h"

#include <cstdio>

#include "rtl/Cp1252.h"

namespace plat {

namespace {

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

std::string DisplayUtf8(std::string_view bytes) {
  return IsUtf8(bytes) ? std::string(bytes) : rtl::Cp1252ToUtf8(bytes);
}

std::u16string DisplayUtf16(std::string_view bytes) {
  if (!IsUtf8(bytes)) return rtl::Cp1252ToUtf16(bytes);
  std::u16string out;
  out.reserve(bytes.size());
  char32_t u;
  for (std::size_t at = 0; at < bytes.size();) {
    at += rtl::Utf8SequenceAt(bytes, at, u);
    if (u < 0x10000) {
      out += static_cast<char16_t>(u);
    } else {
      out += static_cast<char16_t>(0xD800 + ((u - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((u - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::string EscapeUnexpected(std::string_view message) {
  std::string out;
  out.reserve(message.size());
  const bool utf8 = IsUtf8(message);
  char32_t u;
  for (std::size_t at = 0; at < message.size();) {
    std::size_t length = 1;
    if (utf8) {
      length = rtl::Utf8SequenceAt(message, at, u);
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

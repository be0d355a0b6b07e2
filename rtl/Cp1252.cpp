#include "rtl/Cp1252.h"

#include <array>

namespace rtl {
namespace {

// Unicode code points of the bytes 0x80..0x9F in Windows-1252; 0 marks a hole.
constexpr std::array<char32_t, 32> kCp1252High = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

char32_t Cp1252ToCodePoint(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) {
    char32_t u = kCp1252High[c - 0x80];
    return u != 0 ? u : c;
  }
  return c;
}

namespace {

void AppendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

}  // namespace

char CodePointToCp1252(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u < 0x100)) return static_cast<char>(u);
  // The unassigned bytes come back as themselves, so that no byte is lost.
  if (u >= 0x80 && u < 0xA0 && kCp1252High[u - 0x80] == 0) return static_cast<char>(u);
  for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
    if (kCp1252High[i] == u) return static_cast<char>(0x80 + i);
  }
  return '?';
}

std::optional<char> Cp1252ByteOf(char32_t u) {
  const char byte = CodePointToCp1252(u);
  if (byte == '?' && u != U'?') return std::nullopt;
  return byte;
}

std::string CodePointToUtf8(char32_t u) {
  std::string out;
  AppendUtf8(out, u);
  return out;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::u16string Cp1252ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) out += static_cast<char16_t>(Cp1252ToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    auto lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size()) {
      out += '?';
      ++i;
      continue;
    }
    char32_t u = extra == 0 ? lead : lead & (0x3F >> extra);
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      auto cont = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((cont & 0xC0) != 0x80) valid = false;
      u = (u << 6) | (cont & 0x3F);
    }
    out += valid ? CodePointToCp1252(u) : '?';
    i += valid ? static_cast<std::size_t>(extra) + 1 : 1;
  }
  return out;
}

}  // namespace rtl

#pragma once
// What qmbrun --plots saved, read back: the files the listing names, and the
// size and resolution a PNG file gives itself.

#include <cstdint>
#include <string>
#include <vector>

#include "rtl/TextFile.h"

namespace savedplots {

// The files named by the listing's "Plot saved: " lines, in order.
inline std::vector<std::string> SavedFiles(const std::string& listing) {
  const std::string key = "Plot saved: ";
  std::vector<std::string> files;
  for (std::size_t at = listing.find(key); at != std::string::npos; at = listing.find(key, at + 1)) {
    const std::size_t start = at + key.size();
    files.push_back(listing.substr(start, listing.find_first_of("\r\n", start) - start));
  }
  return files;
}

struct PngFacts {
  bool png = false;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int dpi = 0;  // from the pHYs chunk; 0 without one
};

inline std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

inline PngFacts ReadPngFacts(const std::string& path) {
  const std::string bytes = rtl::ReadWholeFile(path);
  PngFacts facts;
  if (bytes.size() < 33 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return facts;
  facts.png = true;
  facts.width = BigEndian(bytes, 16);
  facts.height = BigEndian(bytes, 20);
  for (std::size_t at = 8; at + 12 <= bytes.size();) {
    const std::uint32_t length = BigEndian(bytes, at);
    if (bytes.compare(at + 4, 4, "pHYs") == 0 && length >= 9 && bytes[at + 16] == 1) {
      facts.dpi = static_cast<int>(BigEndian(bytes, at + 8) * 0.0254 + 0.5);  // pixels per metre
      break;
    }
    at += 12 + length;
  }
  return facts;
}

}  // namespace savedplots

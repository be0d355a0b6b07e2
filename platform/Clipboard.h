#pragma once
// The clipboard: plain text (Windows-1252), a bitmap and an enhanced metafile.

#include "platform/Service.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plat {

// A picture as 32-bit pixels 0xAARRGGBB, row by row from the top.
struct RasterImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// What one copy puts on the clipboard; a paste program takes the format it reads.
struct ClipboardContent {
  std::optional<std::string> text;
  std::optional<RasterImage> bitmap;
  std::optional<std::vector<std::uint8_t>> metafile;  // the bytes of an ".EMF" file
};

class Clipboard {
 public:
  static constexpr const char* kServiceName = "clipboard";
  virtual ~Clipboard() = default;
  // Replaces the clipboard's content by every format that `content` holds.
  virtual void Set(const ClipboardContent& content) = 0;
  virtual bool HasText() = 0;
  virtual std::string GetText() = 0;
};

inline Clipboard& TheClipboard() { return Service<Clipboard>::Get(); }

}  // namespace plat

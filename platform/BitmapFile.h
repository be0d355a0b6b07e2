#pragma once
// Bitmap resources: pictures kept in the program as the bytes of a ".bmp"
// file (uncompressed, 1, 4, 8, 24 or 32 bits per pixel), read into a
// RasterImage.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/Clipboard.h"

namespace plat {

// The picture of a bitmap file's bytes; nothing when they are not a bitmap
// file this reader takes, or when they end before the picture does.
std::optional<RasterImage> DecodeBitmap(std::span<const std::uint8_t> bytes);

// The picture of a named bitmap resource; nothing when there is no such
// resource or it cannot be read.
std::optional<RasterImage> LoadBitmapResource(std::string_view name);

}  // namespace plat

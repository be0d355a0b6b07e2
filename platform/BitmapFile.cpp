#include "platform/BitmapFile.h"

#include <cstdlib>

#include "platform/Resources.h"

namespace plat {

namespace {

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

}  // namespace

std::optional<RasterImage> DecodeBitmap(std::span<const std::uint8_t> bytes) {
  constexpr std::size_t kFileHeader = 14;
  if (bytes.size() < kFileHeader + 40 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  const std::size_t pixelsAt = U32(bytes, 10);
  const std::size_t infoSize = U32(bytes, kFileHeader);
  const auto width = static_cast<std::int32_t>(U32(bytes, kFileHeader + 4));
  const auto rawHeight = static_cast<std::int32_t>(U32(bytes, kFileHeader + 8));
  const int bits = U16(bytes, kFileHeader + 14);
  const std::uint32_t compression = U32(bytes, kFileHeader + 16);
  std::uint32_t colorsUsed = U32(bytes, kFileHeader + 32);
  if (compression != 0 || width <= 0 || rawHeight == 0 || width > 65536 || std::abs(rawHeight) > 65536)
    return std::nullopt;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;
  const int height = std::abs(rawHeight);
  if (bits <= 8 && colorsUsed == 0) colorsUsed = 1u << bits;
  const std::size_t paletteAt = kFileHeader + infoSize;
  if (bits <= 8 && (colorsUsed > 256 || paletteAt + 4 * colorsUsed > bytes.size())) return std::nullopt;
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  if (pixelsAt > bytes.size() || (bytes.size() - pixelsAt) / stride < static_cast<std::size_t>(height))
    return std::nullopt;

  RasterImage image;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    // Rows run bottom-up unless the height is negative.
    const std::size_t row = pixelsAt + stride * static_cast<std::size_t>(rawHeight > 0 ? height - 1 - y : y);
    for (int x = 0; x < width; ++x) {
      std::uint32_t rgb;
      if (bits <= 8) {
        const std::size_t bit = static_cast<std::size_t>(x) * bits;
        const unsigned index = (bytes[row + bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        if (index >= colorsUsed) return std::nullopt;
        rgb = U32(bytes, paletteAt + 4 * index);
      } else {
        const std::size_t at = row + static_cast<std::size_t>(x) * (bits / 8);
        rgb = bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16);
      }
      image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
          0xFF000000u | (rgb & 0xFFFFFF);
    }
  }
  return image;
}

std::optional<RasterImage> LoadBitmapResource(std::string_view name) {
  const auto bytes = FindResource(name);
  return bytes ? DecodeBitmap(*bytes) : std::nullopt;
}

}  // namespace plat

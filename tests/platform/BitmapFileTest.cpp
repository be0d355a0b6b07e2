// Reading bitmap files: pixel order, palettes, padding, and files that are
// cut short or not bitmaps at all.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/BitmapFile.h"

namespace {

void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& b, std::uint16_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}

// A bitmap file of the given rows (already padded), with a palette for 4 bits.
std::vector<std::uint8_t> Bmp(int width, int height, int bits, const std::vector<std::uint32_t>& palette,
                              const std::vector<std::uint8_t>& pixels) {
  std::vector<std::uint8_t> b = {'B', 'M'};
  const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(palette.size());
  Put32(b, offset + static_cast<std::uint32_t>(pixels.size()));
  Put32(b, 0);
  Put32(b, offset);
  Put32(b, 40);
  Put32(b, static_cast<std::uint32_t>(width));
  Put32(b, static_cast<std::uint32_t>(height));
  Put16(b, 1);
  Put16(b, static_cast<std::uint16_t>(bits));
  for (int i = 0; i < 6; ++i) Put32(b, i == 4 ? static_cast<std::uint32_t>(palette.size()) : 0);
  for (std::uint32_t c : palette) Put32(b, c);
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

TEST(BitmapFile, FourBitsBottomUpWithPadding) {
  // 3 x 2: bottom row indices 1 2 0, top row 2 2 1; rows padded to 4 bytes.
  const auto file = Bmp(3, 2, 4, {0x000000, 0xFF0000, 0x00FF00}, {0x12, 0x00, 0, 0, 0x22, 0x10, 0, 0});
  const auto image = plat::DecodeBitmap(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 3);
  EXPECT_EQ(image->height, 2);
  EXPECT_EQ(image->pixels, (std::vector<std::uint32_t>{0xFF00FF00, 0xFF00FF00, 0xFFFF0000,  // top
                                                       0xFFFF0000, 0xFF00FF00, 0xFF000000}));
}

TEST(BitmapFile, TwentyFourBitsTopDown) {
  // A negative height: rows run from the top. Pixels are stored blue, green, red.
  auto file = Bmp(1, 2, 24, {}, {0x01, 0x02, 0x03, 0, 0x0A, 0x0B, 0x0C, 0});
  file[22] = 0xFE, file[23] = 0xFF, file[24] = 0xFF, file[25] = 0xFF;  // height -2
  const auto image = plat::DecodeBitmap(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels, (std::vector<std::uint32_t>{0xFF030201, 0xFF0C0B0A}));
}

TEST(BitmapFile, RefusesWhatItCannotRead) {
  const auto good = Bmp(3, 2, 4, {0, 1, 2}, {0x12, 0x00, 0, 0, 0x22, 0x10, 0, 0});
  std::vector<std::uint8_t> cut(good.begin(), good.end() - 1);
  auto notBmp = good;
  notBmp[0] = 'X';
  auto compressed = good;
  compressed[30] = 2;
  // An index past the palette.
  auto badIndex = Bmp(1, 1, 4, {0}, {0x50, 0, 0, 0});
  for (const std::vector<std::uint8_t>* bytes : {&cut, &notBmp, &compressed, &badIndex})
    EXPECT_FALSE(plat::DecodeBitmap(*bytes));
  EXPECT_FALSE(plat::DecodeBitmap(std::vector<std::uint8_t>{'B', 'M'}));
}

}  // namespace

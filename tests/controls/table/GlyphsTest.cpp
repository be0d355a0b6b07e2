// The shared glyph images and a cell's glyph set.

#include <gtest/gtest.h>

#include "controls/table/VirGlyphs.h"

namespace {

plat::RasterImage Image(int width, int height) {
  return {width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), 0xFF000000)};
}

TEST(Glyphs, TheDefaultStripHoldsThreeGlyphs) {
  TVirCellGlyphs glyphs;
  EXPECT_TRUE(glyphs.IsDefault());
  EXPECT_EQ(glyphs.BitMap().width, 42);
  EXPECT_EQ(glyphs.BitMap().height, 14);
  EXPECT_EQ(glyphs.GlyphCount(), 3);
  // Unchecked and checked glyphs differ only in the tick; the grayed face is grey.
  const auto& px = glyphs.BitMap().pixels;
  EXPECT_EQ(px[7 * 42 + 6], 0xFFFFFFFFu);
  EXPECT_EQ(px[7 * 42 + 14 + 6], 0xFF000000u);
  EXPECT_EQ(px[2 * 42 + 28 + 2], 0xFFC0C0C0u);
}

TEST(Glyphs, CountsFollowTheImage) {
  struct Case {
    int width, height, count;
  };
  for (Case c : {Case{42, 14, 3}, {40, 14, 1}, {28, 14, 2}, {10, 0, 1}, {14, 14, 1}}) {
    TVirCellGlyphs glyphs;
    const plat::RasterImage image = Image(c.width, c.height);
    glyphs.SetBitMap(&image);
    EXPECT_EQ(glyphs.GlyphCount(), c.count) << c.width << "x" << c.height;
    EXPECT_EQ(glyphs.ActiveGlyphCount(), c.count);
    EXPECT_FALSE(glyphs.IsDefault());
  }
}

TEST(Glyphs, CountRules) {
  TVirCellGlyphs glyphs;
  int changes = 0;
  glyphs.OnChange = [&changes] { ++changes; };
  glyphs.SetGlyphCount(0);
  glyphs.SetGlyphCount(-2);
  EXPECT_EQ(glyphs.GlyphCount(), 3);
  EXPECT_EQ(changes, 0);
  glyphs.SetGlyphCount(5);
  EXPECT_EQ(glyphs.ActiveGlyphCount(), 5);
  glyphs.SetActiveGlyphCount(6);
  glyphs.SetActiveGlyphCount(0);
  EXPECT_EQ(glyphs.ActiveGlyphCount(), 5);
  glyphs.SetActiveGlyphCount(2);
  EXPECT_EQ(glyphs.ActiveGlyphCount(), 2);
  EXPECT_EQ(changes, 2);
}

TEST(Glyphs, EntriesAreSharedAndFreedWithTheirLastUse) {
  auto& manager = TGlyphResourceManager::Instance();
  const int before = manager.EntryCount();
  {
    TVirCellGlyphs a, b;
    const plat::RasterImage image = Image(28, 14);
    a.SetBitMap(&image);
    b.Assign(a);
    EXPECT_EQ(manager.EntryCount(), before + 1);
    EXPECT_EQ(&a.BitMap(), &b.BitMap());
    a.SetIsDefault(true);
    EXPECT_EQ(manager.EntryCount(), before + 1);  // b still uses it
    b.SetIsDefault(false);                        // a private copy; the shared one goes
    EXPECT_EQ(manager.EntryCount(), before + 1);
    EXPECT_EQ(b.GlyphCount(), 2);
  }
  EXPECT_EQ(manager.EntryCount(), before);
  EXPECT_EQ(manager.Default().bitmap.width, 42);
}

}  // namespace

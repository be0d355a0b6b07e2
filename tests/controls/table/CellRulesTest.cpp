// The editing cells' rules without windows: text data written within its
// limits, when Left and Right leave an edit, the combo-box record and its
// painted text, glyph stepping, and where the bitmap layer puts a glyph.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "controls/table/VirGlyphs.h"
#include "controls/table/VirTCBmp.h"
#include "controls/table/VirTCRules.h"
#include "controls/table/VirTCStr.h"
#include "platform/record/RecordingCanvas.h"

namespace {

namespace vk = plat::vk;

TEST(CellText, TheTypingLimitIsWhatWillBeSaved) {
  std::vector<std::uint8_t> ten(10), big(300);
  const struct {
    const char* name;
    int maxLength;
    bool zeroTerminated;
    TVirCellData data;
    int limit;
  } cases[] = {
      {"a new cell (MaxLength 0) lets nothing be typed", 0, false, big, 0},
      {"a text parameter", 40, false, big, 40},
      {"length-prefixed data holds at most 255", 300, false, big, 255},
      {"zero-terminated data keeps room for its terminator", 40, true, ten, 9},
      {"zero-terminated, the limit within the data", 5, true, ten, 5},
      {"zero-terminated without data", 40, true, {}, 40},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TextTypingLimit(c.maxLength, c.zeroTerminated, c.data), c.limit);
  }
}

TEST(CellText, SavedTextsAreCutToTheLimitAndTheData) {
  const std::string fifty(50, 'x'), long300(300, 'y');
  struct Case {
    const char* name;
    std::size_t size;
    std::string text;
    int maxLength;
    bool zeroTerminated;
    std::string saved;
  };
  const std::vector<Case> cases = {
      {"UseASCIIZStrings cuts a 50-character edit at 40", 41, fifty, 40, true, fifty.substr(0, 40)},
      {"MaxLength 0 saves an empty text", 256, "abc", 0, false, ""},
      {"255 characters round-trip", 256, long300.substr(0, 255), 255, false, long300.substr(0, 255)},
      {"a length byte never counts past 255", 400, long300, 300, false, long300.substr(0, 255)},
      {"a short buffer takes what fits", 4, "abcdef", 40, false, "abc"},
      {"zero-terminated in a short buffer", 4, "abcdef", 40, true, "abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint8_t> data(c.size + 1, 0xCC);
    const TVirCellData view(data.data(), c.size);
    StoreCellText(view, c.text, TextTypingLimit(c.maxLength, c.zeroTerminated, view), c.zeroTerminated);
    EXPECT_EQ(CellDataText(view, c.zeroTerminated), c.saved);
    EXPECT_EQ(data.back(), 0xCC) << "wrote past the data";
  }
}

TEST(CellText, LeftAndRightLeaveAtTheEndsOfTheText) {
  const struct {
    const char* name;
    int key, selStart, selEnd;
    bool leaves;
  } cases[] = {
      {"Left with the caret at 0", vk::Left, 0, 0, true},
      {"Left inside the text", vk::Left, 2, 2, false},
      {"Left at 0 with a selection", vk::Left, 0, 3, false},
      {"Right with the caret at the end", vk::Right, 5, 5, true},
      {"Right inside the text only moves the caret", vk::Right, 3, 3, false},
      {"Right with the whole text selected", vk::Right, 0, 5, true},
      {"Right with a selection that starts past 0", vk::Right, 2, 5, false},
      {"Up is no end key", vk::Up, 0, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LeavesAtTextEnd(c.key, c.selStart, c.selEnd, 5), c.leaves);
  }
}

TEST(ComboData, TheRecordWithAndWithoutRunTimeItems) {
  const TVirComboItems items{"one", "two", "three"};
  for (bool runTime : {false, true}) {
    SCOPED_TRACE(runTime ? "run-time items" : "the cell's items");
    const TVirComboLayout layout{runTime};
    std::vector<std::uint8_t> bytes(layout.Size(), 0);
    SetComboDataIndex(bytes, 2);
    SetComboDataItems(bytes, layout, &items);
    SetComboDataText(bytes, layout, "free text", 4);
    EXPECT_EQ(ComboDataIndex(bytes), 2);
    EXPECT_EQ(ComboDataItems(bytes, layout), runTime ? &items : nullptr);
    EXPECT_EQ(ComboDataText(bytes, layout), "free");
    std::int32_t index = 0;
    std::memcpy(&index, bytes.data(), sizeof index);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(bytes[layout.TextOffset()], 4);
  }
  // Data too short for a record reads as no choice and takes no writes.
  std::vector<std::uint8_t> tiny(2, 7);
  SetComboDataIndex(tiny, 1);
  EXPECT_EQ(ComboDataIndex(tiny), -1);
  EXPECT_EQ(tiny, (std::vector<std::uint8_t>{7, 7}));
}

TEST(ComboData, ThePaintedText) {
  const TVirComboItems three{"a", "b", "c"};
  const struct {
    const char* name;
    std::int32_t index;
    bool hasEditPart;
    const char* text;
  } cases[] = {
      {"item index 2 of 3 paints the third item", 2, false, "c"},
      {"item index 5 of 3 paints nothing", 5, false, ""},
      {"no choice in a list paints nothing", -1, false, ""},
      {"no choice with an edit part paints the data's text", -1, true, "typed"},
      {"a choice with an edit part paints the item", 0, true, "a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ComboPaintText(c.index, three, c.hasEditPart, "typed"), c.text);
  }
}

TEST(GlyphSteps, ClampingAndCycling) {
  EXPECT_EQ(ClampGlyphIndex(-3, 2), 0);
  EXPECT_EQ(ClampGlyphIndex(2, 2), 1);  // state 2 without AllowGrayed starts at 1
  EXPECT_EQ(ClampGlyphIndex(2, 3), 2);
  // Two states: 0 -> 1 -> 0; three: 0 -> 1 -> 2 -> 0, and back 0 -> 2.
  std::vector<int> two{0}, three{0};
  for (int i = 0; i < 3; ++i) two.push_back(NextGlyphIndex(two.back(), 2));
  for (int i = 0; i < 3; ++i) three.push_back(NextGlyphIndex(three.back(), 3));
  EXPECT_EQ(two, (std::vector<int>{0, 1, 0, 1}));
  EXPECT_EQ(three, (std::vector<int>{0, 1, 2, 0}));
  EXPECT_EQ(PreviousGlyphIndex(0, 3), 2);
  EXPECT_EQ(PreviousGlyphIndex(1, 2), 0);
}

// A strip of three 14 x 14 glyphs; each glyph's bottom-left pixel has its own colour.
plat::RasterImage Strip() {
  plat::RasterImage strip{42, 14, std::vector<std::uint32_t>(42 * 14, 0xFFFFFFFF)};
  for (int g = 0; g < 3; ++g) strip.pixels[static_cast<std::size_t>(13 * 42 + 14 * g)] = 0xFF000010u + g;
  return strip;
}

TEST(BitmapLayer, WhereTheGlyphGoes) {
  const plat::RasterImage strip = Strip();
  const plat::Rect cell{100, 50, 160, 80};  // 60 x 30
  struct Case {
    const char* name;
    TVirBitmapRecord record;
    plat::Rect cellRect;
    int margin;
    TVirTblAdjust adjust;
    plat::Rect source;
    plat::Point at;
  };
  const std::vector<Case> cases = {
      {"glyph 1 centred", {&strip, 3, 2, 1}, cell, 4, otaCenter, {14, 0, 28, 14}, {123, 58}},
      {"at the margin from the left", {&strip, 3, 2, 1}, cell, 4, otaCenterLeft, {14, 0, 28, 14}, {104, 58}},
      {"against the bottom-right margin", {&strip, 3, 2, 0}, cell, 3, otaBottomRight, {0, 0, 14, 14}, {143, 63}},
      {"an index at or above the count paints glyph 0",
       {&strip, 3, 3, 3},
       cell,
       4,
       otaTopLeft,
       {0, 0, 14, 14},
       {104, 54}},
      {"a strip of one glyph is the whole bitmap",
       {&strip, 1, 1, 2},
       {0, 0, 100, 30},
       0,
       otaTopLeft,
       {0, 0, 42, 14},
       {0, 0}},
      {"a cell too small shows the glyph's top-left part",
       {&strip, 3, 2, 2},
       {0, 0, 18, 12},
       4,
       otaTopLeft,
       {28, 0, 38, 4},
       {4, 4}},
      {"a negative drawn size draws nothing", {&strip, 3, 2, 1}, {0, 0, 6, 30}, 4, otaCenter, {}, {}},
      {"index -1 draws nothing", {&strip, 3, 2, -1}, cell, 4, otaCenter, {}, {}},
      {"any negative index draws nothing", {&strip, 3, 2, -7}, cell, 4, otaCenter, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TVirGlyphPlacement p = PlaceGlyph(c.record, c.cellRect, c.margin, c.adjust);
    EXPECT_EQ(p.source, c.source);
    if (!p.Empty()) {
      EXPECT_EQ(p.at, c.at);
    }
  }
}

TEST(BitmapLayer, PaintsTheBackgroundThenTheGlyphWithItsBottomLeftPixelTransparent) {
  const plat::RasterImage strip = Strip();
  TVirTCBaseBitMap cell;
  TVirCellAttributes attr;
  attr.Adjust = otaCenter;
  attr.Access = otxNormal;
  attr.Color = plat::RGB(1, 2, 3);
  const plat::Rect rect{0, 0, 60, 30};
  const TVirBitmapRecord record{&strip, 3, 3, 2};
  std::vector<std::uint8_t> bytes(sizeof record);
  std::memcpy(bytes.data(), static_cast<const void*>(&record), sizeof record);
  const struct {
    const char* name;
    TVirCellData data;
    TVirTblAccess access;
    bool glyph;
  } cases[] = {{"nil data paints only the background", {}, otxNormal, false},
               {"a record paints its glyph", bytes, otxNormal, true},
               {"an invisible cell paints only the background", bytes, otxInvisible, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    plat::RecordingCanvas canvas;
    attr.Access = c.access;
    cell.PaintCell(canvas, rect, 1, 1, attr, c.data);
    ASSERT_GE(canvas.Ops().size(), 1u);
    EXPECT_EQ(canvas.Ops()[0].kind, plat::OpKind::FillRect);
    EXPECT_EQ(canvas.Ops()[0].brush.color, plat::RGB(1, 2, 3));
    const auto pictures = canvas.OpsOf(plat::OpKind::Picture);
    ASSERT_EQ(pictures.size(), c.glyph ? 1u : 0u);
    if (!c.glyph) continue;
    EXPECT_EQ(pictures[0].points[0], (plat::Point{28, 0}));
    EXPECT_EQ(pictures[0].rect, (plat::Rect{23, 8, 37, 22}));
    EXPECT_EQ(pictures[0].color, plat::ColorOfPixel(0xFF000012u));  // glyph 2's bottom-left pixel
  }
}

TEST(BitmapLayer, TheDefaultCopyLeavesTransparentPixels) {
  // A canvas without a picture copy of its own sets the pixels that are not transparent.
  plat::RecordingCanvas canvas;
  const plat::RasterImage image{2, 2, {0xFF0000FF, 0xFFC0C0C0, 0xFFC0C0C0, 0xFF00FF00}};
  canvas.Canvas::CopyTransparent(10, 20, image, {0, 0, 2, 2}, plat::clSilver);
  const auto pixels = canvas.OpsOf(plat::OpKind::Pixel);
  ASSERT_EQ(pixels.size(), 2u);
  EXPECT_EQ(pixels[0].points[0], (plat::Point{10, 20}));
  EXPECT_EQ(pixels[0].color, plat::RGB(0, 0, 255));
  EXPECT_EQ(pixels[1].points[0], (plat::Point{11, 21}));
}

}  // namespace

// Painting the editor on the recording canvas. The font is 12 points, so
// the recording canvas's characters (8 x 16 pixels) match the window's cells.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "EditorDouble.h"
#include "controls/editor/EditGlyphs.h"
#include "platform/SystemColors.h"
#include "platform/record/RecordingCanvas.h"

namespace {

using plat::CanvasOp;
using plat::OpKind;

class EditPaintTest : public ::testing::Test {
 protected:
  EditPaintTest() {
    editor.FixedFont().SetSize(12);
    editor.SetText("alpha\tone|beta two|gamma three");
  }

  std::vector<CanvasOp> Paint() {
    canvas.Clear();
    editor.PaintEditor(canvas);
    return canvas.Ops();
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const CanvasOp& op : canvas.OpsOf(OpKind::TextOut)) texts.push_back(op.text);
    return texts;
  }
  const CanvasOp* TextAt(int x, int y) {
    for (const CanvasOp& op : canvas.Ops()) {
      if (op.kind == OpKind::TextOut && op.points[0] == plat::Point{x, y}) return &op;
    }
    return nullptr;
  }

  TestEditor editor{20, 4};
  plat::RecordingCanvas canvas;
};

TEST_F(EditPaintTest, LinesWithTabsExpandedOnTheCharacterGrid) {
  Paint();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"alpha   one", "beta two", "gamma three"}));
  const int m = editor.LeftMargin();
  ASSERT_NE(TextAt(m, 32), nullptr);
  EXPECT_EQ(TextAt(m, 32)->text, "gamma three");
  EXPECT_EQ(TextAt(m, 32)->font.color, plat::clBlack);
  // The area below the last line is filled.
  const auto fills = canvas.OpsOf(OpKind::FillRect);
  EXPECT_EQ(fills.back().rect, (plat::Rect{0, 48, editor.width, 64}));
}

TEST_F(EditPaintTest, SelectionInTheHighlightColours) {
  editor.SetSelectionRange(1, 7, true, 5, 2);  // "one" (after the tab) and "beta"
  Paint();
  const int m = editor.LeftMargin();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"alpha   ", "one", "beta", " two", "gamma three"}));
  const CanvasOp* selected = TextAt(m + 8 * 8, 0);
  ASSERT_NE(selected, nullptr);
  EXPECT_EQ(selected->font.color, plat::ColorToRGB(plat::clHighlightText));
  EXPECT_EQ(TextAt(m, 16)->font.color, plat::ColorToRGB(plat::clHighlightText));
  EXPECT_EQ(TextAt(m + 4 * 8, 16)->font.color, plat::clBlack);
  const auto fills = canvas.OpsOf(OpKind::FillRect);
  EXPECT_TRUE(std::any_of(fills.begin(), fills.end(), [&](const CanvasOp& op) {
    // The line break shows as one more selected cell.
    return op.brush.color == plat::ColorToRGB(plat::clHighlight) && op.rect == plat::Rect{m + 8 * 8, 0, m + 12 * 8, 16};
  }));

  // Hidden while the editor has no focus, unless HideSelection is off.
  editor.focused = false;
  Paint();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"alpha   one", "beta two", "gamma three"}));
  editor.SetHideSelection(false);
  Paint();
  EXPECT_EQ(Texts().size(), 5u);
}

TEST_F(EditPaintTest, DisabledTextIsGrey) {
  editor.enabled = false;
  Paint();
  for (const CanvasOp& op : canvas.OpsOf(OpKind::TextOut)) EXPECT_EQ(op.font.color, plat::ColorToRGB(plat::clGrayText));
}

TEST_F(EditPaintTest, BookmarkGlyphsInTheMargin) {
  const TGlyphStrip strip = LoadBookmarkGlyphs();
  ASSERT_EQ(strip.GlyphWidth(), 11);
  ASSERT_EQ(strip.height, 11);
  editor.MoveCaretToLineCol(2, 3);
  editor.SetMarker(3);
  editor.MoveCaretToLineCol(3, 1);
  editor.SetMarker(7);
  Paint();
  // Glyph pixels are drawn from x = 1 within the margin, centred on lines of 16 pixels.
  int rows[2] = {0, 0};
  for (const CanvasOp& op : canvas.OpsOf(OpKind::FillRect)) {
    if (op.rect.Height() != 1) continue;
    EXPECT_GE(op.rect.left, 1);
    EXPECT_LE(op.rect.right, 12);
    if (op.rect.top >= 18 && op.rect.top < 29) ++rows[0];
    if (op.rect.top >= 34 && op.rect.top < 45) ++rows[1];
  }
  EXPECT_GT(rows[0], 11);
  EXPECT_GT(rows[1], 11);

  // Glyphs wider than the margin are not drawn; nor while ShowBookmarks is off.
  editor.SetLeftMargin(10);
  Paint();
  for (const CanvasOp& op : canvas.OpsOf(OpKind::FillRect)) EXPECT_NE(op.rect.Height(), 1);
  editor.SetLeftMargin(15);
  editor.SetShowBookmarks(false);
  Paint();
  for (const CanvasOp& op : canvas.OpsOf(OpKind::FillRect)) EXPECT_NE(op.rect.Height(), 1);
}

TEST_F(EditPaintTest, OwnerDrawnLinesAreLeftToTheHandler) {
  std::vector<std::int32_t> offered;
  editor.OnDrawLine = [&](TEditorCore&, const TDrawLineArgs& args) {
    offered.push_back(args.line);
    if (args.line != 2) return false;
    args.canvas.TextOut(args.rect.left, args.rect.top, "drawn");
    return true;
  };
  Paint();
  EXPECT_EQ(offered, (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"alpha   one", "drawn", "gamma three"}));
}

TEST_F(EditPaintTest, OnlyTheRowsOfTheClipArePainted) {
  canvas.SetClipRect({0, 20, 50, 30});
  Paint();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"beta two"}));
  canvas.SetClipRect({0, 40, 50, 64});
  Paint();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"gamma three"}));
  EXPECT_EQ(canvas.OpsOf(OpKind::FillRect).back().rect, (plat::Rect{0, 48, editor.width, 64}));
}

TEST_F(EditPaintTest, HorizontalOffsetShiftsTheText) {
  editor.Scroll(plat::ScrollBarKind::Horizontal, plat::ScrollCode::ThumbPosition, 6);
  Paint();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"  one", "wo", "three"}));
}

TEST(GlyphPictureTest, ParsesAndRefusesMalformedPictures) {
  const TGlyphStrip strip = ParseGlyphPicture("# c\nK 0A246A\n\n.K\nKK\n");
  EXPECT_EQ(strip.width, 2);
  EXPECT_EQ(strip.height, 2);
  EXPECT_EQ(strip.pixels, (std::vector<std::uint32_t>{0, 0xFF6A240A, 0xFF6A240A, 0xFF6A240A}));
  EXPECT_EQ(ParseGlyphPicture("K 0A246A\n.K\nK\n").width, 0);  // ragged rows
  EXPECT_EQ(ParseGlyphPicture("K 0A246A\n.Q\n").width, 0);     // unknown colour
  EXPECT_EQ(ParseGlyphPicture("K 0A24GG\n.K\n").width, 0);     // bad colour
}

}  // namespace

// Style editing without the dialogs: the working copy and what OK and Cancel
// do with it for each kind of style, the symbol list's indexes, symbol pixel
// sizes, and the previews drawn on the recording canvas.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/record/RecordingCanvas.h"
#include "plot/bmStyleEdit.h"
#include "rtl/Format.h"

namespace {

using plat::CanvasOp;
using plat::OpKind;

std::string PenText(const plat::Pen& p) {
  return rtl::Format("pen %x/%d/%d", p.color, static_cast<int>(p.style), p.width);
}
std::string BrushText(const plat::Brush& b) { return rtl::Format("brush %x/%d", b.color, static_cast<int>(b.style)); }

// For each kind: how to change every field of a part, and the part's fields
// as text, split into those of the copy rule (the look) and the others.
struct LineTraits {
  using Part = TbmLineClass;
  static void ChangeAll(Part& p) {
    p.Pen = {0x112233, plat::PenStyle::Dot, 3};
    p.InLegend = !p.InLegend;
    p.Flag2 = !p.Flag2;
  }
  static std::string Look(const Part& p) { return PenText(p.Pen); }
  static std::string Rest(const Part& p) { return rtl::Format("%d %d", int{p.InLegend}, int{p.Flag2}); }
};

struct SymbolTraits {
  using Part = TbmSymbolClass;
  static void ChangeAll(Part& p) {
    p.Kind = bmStar;
    p.Size = 40;
    p.HalfWidth = 19;
    p.HalfHeight = 21;
    p.Fill = {0x00FF00, plat::BrushStyle::Solid};
    p.Outline = {0x0000FF, plat::PenStyle::Solid, 4};
    p.InLegend = !p.InLegend;
    p.Flag2 = !p.Flag2;
  }
  static std::string Look(const Part& p) {
    return rtl::Format("kind %d size %d half %d,%d ", int{p.Kind}, p.Size, p.HalfWidth, p.HalfHeight) + BrushText(p.Fill) +
           " " + PenText(p.Outline);
  }
  static std::string Rest(const Part& p) { return rtl::Format("%d %d", int{p.InLegend}, int{p.Flag2}); }
};

struct LineSymbolTraits {
  using Part = TbmLineSymbolClass;
  static void ChangeAll(Part& p) {
    SymbolTraits::ChangeAll(p);
    p.LinePen = {0x445566, plat::PenStyle::Dash, 2};
  }
  static std::string Look(const Part& p) { return SymbolTraits::Look(p) + " line " + PenText(p.LinePen); }
  static std::string Rest(const Part& p) { return SymbolTraits::Rest(p); }
};

struct BarTraits {
  using Part = TbmBarClass;
  static void ChangeAll(Part& p) {
    p.Value1 = 7;
    p.Value2 = 9;
    p.Hatch = {0x00FFFF, plat::BrushStyle::DiagCross};
    p.Background = {0x808000, plat::BrushStyle::Solid};
    p.Outline = {0xFF0000, plat::PenStyle::Dash, 1};
    p.Flag1 = !p.Flag1;
    p.InLegend = !p.InLegend;
    p.Flag3 = !p.Flag3;
  }
  static std::string Look(const Part& p) {
    return rtl::Format("flag %d ", int{p.Flag1}) + BrushText(p.Hatch) + " " + BrushText(p.Background) + " " +
           PenText(p.Outline);
  }
  static std::string Rest(const Part& p) {
    return rtl::Format("%d %d %d %d", p.Value1, p.Value2, int{p.InLegend}, int{p.Flag3});
  }
};

struct QuadTraits {
  using Part = TbmQuadClass;
  static void ChangeAll(Part& p) {
    p.Hatch = {0x00FFFF, plat::BrushStyle::BDiagonal};
    p.Background = {0x000080, plat::BrushStyle::Solid};
    p.Outline = {0xFFFFFF, plat::PenStyle::Dot, 1};
  }
  static std::string Look(const Part& p) {
    return BrushText(p.Hatch) + " " + BrushText(p.Background) + " " + PenText(p.Outline);
  }
  static std::string Rest(const Part&) { return {}; }
};

template <class Traits>
class StyleEditTest : public ::testing::Test {};

using StyleKinds = ::testing::Types<LineTraits, SymbolTraits, LineSymbolTraits, BarTraits, QuadTraits>;
TYPED_TEST_SUITE(StyleEditTest, StyleKinds);

TYPED_TEST(StyleEditTest, CancelLeavesThePartAsItWasAndOkCopiesBackOnlyTheLook) {
  using Part = typename TypeParam::Part;
  Part part;
  const std::string look = TypeParam::Look(part);
  const std::string rest = TypeParam::Rest(part);
  {
    TbmStyleEdit<Part> cancelled(part, plat::clWhite);
    EXPECT_EQ(TypeParam::Look(cancelled.Working()), look) << "the copy starts as the part";
    TypeParam::ChangeAll(cancelled.Working());
    EXPECT_EQ(TypeParam::Look(part), look) << "editing the copy leaves the part alone";
    EXPECT_FALSE(cancelled.Close());
    EXPECT_EQ(TypeParam::Look(part), look);
    EXPECT_EQ(TypeParam::Rest(part), rest);
  }
  {
    TbmStyleEdit<Part> accepted(part, plat::clWhite);
    TypeParam::ChangeAll(accepted.Working());
    const std::string edited = TypeParam::Look(accepted.Working());
    accepted.Accept();
    EXPECT_TRUE(accepted.Close()) << "a changed look is reported";
    EXPECT_EQ(TypeParam::Look(part), edited);
    EXPECT_EQ(TypeParam::Rest(part), rest) << "fields outside the copy rule stay";
  }
  {
    TbmStyleEdit<Part> unchanged(part, plat::clWhite);
    unchanged.Accept();
    EXPECT_FALSE(unchanged.Close()) << "OK without a change reports none";
  }
}

TEST(StyleEdit, PixelHalfSizesAloneAreNoChange) {
  TbmSymbolClass symbol;
  TbmStyleEdit<TbmSymbolClass> edit(symbol, plat::clWhite);
  edit.Working().SetHalfSizes(1, 1, 96, 96);
  edit.Accept();
  EXPECT_FALSE(edit.Close());
  EXPECT_EQ(symbol.HalfWidth, 3) << "the part still takes them";
}

TEST(StyleEdit, SymbolListIndexesGiveTheirKindAndOthersACircle) {
  const struct {
    int index;
    int kind;
  } cases[] = {{0, bmCircle}, {3, bmUpTriangle}, {7, bmStar}, {8, bmCircle}, {-1, bmCircle}, {255, bmCircle}};
  for (const auto& c : cases) EXPECT_EQ(SymbolKindOfIndex(c.index), c.kind) << c.index;
}

TEST(StyleEdit, SymbolHalfSizesFollowTheSizeAndTheResolution) {
  const struct {
    int size, dpiX, dpiY;
    double sx, sy;
    int halfWidth, halfHeight;
  } cases[] = {
      {6, 96, 96, 1, 1, 3, 3},       // 2.88
      {6, 150, 150, 1, 1, 4, 4},     // 4.5: halves to even
      {10, 150, 300, 1, 1, 8, 15},   // 7.5 and 15
      {20, 96, 96, 0.5, 2, 5, 19},   // page scales: 4.8 and 19.2
      {0, 96, 96, 1, 1, 0, 0},
  };
  for (const auto& c : cases) {
    TbmSymbolClass symbol;
    symbol.Size = c.size;
    symbol.SetHalfSizes(c.sx, c.sy, c.dpiX, c.dpiY);
    EXPECT_EQ(symbol.HalfWidth, c.halfWidth) << c.size << " at " << c.dpiX;
    EXPECT_EQ(symbol.HalfHeight, c.halfHeight) << c.size << " at " << c.dpiY;
  }
}

// ---- Previews ----

std::string Shape(const CanvasOp& op) {
  std::string pts;
  for (const auto& p : op.points) pts += rtl::Format(" %d,%d", p.x, p.y);
  const std::string rect = rtl::Format(" (%d,%d,%d,%d)", op.rect.left, op.rect.top, op.rect.right, op.rect.bottom);
  switch (op.kind) {
    case OpKind::Line: return "Line" + pts;
    case OpKind::Polygon: return "Polygon" + pts;
    case OpKind::Rectangle: return "Rectangle" + rect;
    case OpKind::Ellipse: return "Ellipse" + rect;
    case OpKind::FillRect: return "FillRect" + rect + rtl::Format(" %x", op.brush.color);
    default: return plat::ToString(op);
  }
}

template <class Part>
std::vector<std::string> PreviewShapes(const Part& part, plat::Color background = 0x00C0C0) {
  plat::RecordingCanvas canvas;
  const plat::Pen pen{0x123456, plat::PenStyle::Dash, 2};
  const plat::Brush brush{0x654321, plat::BrushStyle::Cross};
  canvas.SetPen(pen);
  canvas.SetBrush(brush);
  PaintStylePreview(canvas, {200, 60}, part, background);
  EXPECT_EQ(canvas.GetPen(), pen) << "the preview leaves the canvas's pen";
  EXPECT_EQ(canvas.GetBrush(), brush) << "and its brush";
  std::vector<std::string> shapes;
  for (const auto& op : canvas.Ops()) shapes.push_back(Shape(op));
  return shapes;
}

TEST(StylePreview, LineSymbolAndLineWithSymbolSamplesSitOnTheMiddleLine) {
  TbmLineClass line;
  EXPECT_EQ(PreviewShapes(line), (std::vector<std::string>{"FillRect (0,0,200,60) C0C0", "Line 1,30 199,30"}));

  TbmSymbolClass symbol;
  symbol.SetHalfSizes(1, 1, 96, 96);
  EXPECT_EQ(PreviewShapes(symbol, 0xFFFFFF),
            (std::vector<std::string>{"FillRect (0,0,200,60) FFFFFF", "Ellipse (47,27,54,34)",
                                      "Ellipse (97,27,104,34)", "Ellipse (147,27,154,34)"}));

  TbmLineSymbolClass lineSymbol;
  lineSymbol.Kind = bmSquare;
  lineSymbol.SetHalfSizes(1, 1, 96, 96);
  EXPECT_EQ(PreviewShapes(lineSymbol),
            (std::vector<std::string>{"FillRect (0,0,200,60) C0C0", "Line 50,30 100,30", "Rectangle (47,27,54,34)",
                                      "Rectangle (97,27,104,34)", "Line 100,30 150,30", "Rectangle (97,27,104,34)",
                                      "Rectangle (147,27,154,34)"}));
}

TEST(StylePreview, TheLineIsDrawnWithTheWorkingPen) {
  TbmLineClass line;
  line.Pen = {0x0000FF, plat::PenStyle::Dot, 1};
  plat::RecordingCanvas canvas;
  PaintStylePreview(canvas, {120, 40}, line, plat::clWhite);
  ASSERT_EQ(canvas.OpsOf(OpKind::Line).size(), 1u);
  EXPECT_EQ(canvas.OpsOf(OpKind::Line)[0].pen, line.Pen);
}

TEST(StylePreview, BarsStandSideBySideOrLieOneUnderAnotherByTheFlag) {
  TbmBarClass bar;
  const std::vector<std::string> standing = PreviewShapes(bar);
  EXPECT_EQ(standing, (std::vector<std::string>{"FillRect (0,0,200,60) C0C0", "Rectangle (28,37,57,51)",
                                                "Rectangle (28,37,57,51)", "Rectangle (85,24,114,51)",
                                                "Rectangle (85,24,114,51)", "Rectangle (142,10,171,51)",
                                                "Rectangle (142,10,171,51)"}));
  bar.Flag1 = true;
  EXPECT_EQ(PreviewShapes(bar), (std::vector<std::string>{"FillRect (0,0,200,60) C0C0", "Rectangle (33,8,78,17)",
                                                          "Rectangle (33,8,78,17)", "Rectangle (33,25,122,34)",
                                                          "Rectangle (33,25,122,34)", "Rectangle (33,42,167,51)",
                                                          "Rectangle (33,42,167,51)"}));
}

TEST(StylePreview, TheQuadrilateralIsFilledTwiceInsideTheBox) {
  TbmQuadClass quad;
  EXPECT_EQ(PreviewShapes(quad), (std::vector<std::string>{"FillRect (0,0,200,60) C0C0",
                                                           "Polygon 33,45 66,15 166,15 133,45",
                                                           "Polygon 33,45 66,15 166,15 133,45"}));
}

}  // namespace

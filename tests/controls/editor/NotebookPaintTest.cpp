// The notebook's tab painting as primitives on the recording canvas, whose
// fonts are Round(points x 96 / 72) pixels high and half as wide per character.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "NotebookTestSupport.h"
#include "controls/editor/VirNbkPaint.h"
#include "platform/record/RecordingCanvas.h"
#include "rtl/Format.h"

namespace {

using Ops = std::vector<std::string>;

constexpr plat::Color kC = plat::RGB(192, 192, 192);
constexpr plat::Color kP = plat::RGB(0, 128, 128);
constexpr plat::Color kHi = plat::RGB(255, 255, 255);
constexpr plat::Color kSh = plat::RGB(128, 128, 128);
constexpr plat::Color kTextShadow = plat::RGB(64, 64, 64);
constexpr plat::Color kText = plat::RGB(0, 0, 128);

std::string Ink(plat::Color c) {
  static const std::map<plat::Color, std::string> names{
      {kC, "C"}, {kP, "P"}, {kHi, "Hi"}, {kSh, "Sh"}, {kText, "Text"}, {kTextShadow, "TS"}, {plat::clBlack, "Black"}};
  const auto it = names.find(c);
  return it == names.end() ? rtl::Format("%x", c) : it->second;
}

std::string Points(const std::vector<plat::Point>& points) {
  std::string s;
  for (const plat::Point& p : points) s += rtl::Format(" %d,%d", p.x, p.y);
  return s;
}

std::string Box(const plat::Rect& r) { return rtl::Format(" %d,%d,%d,%d", r.left, r.top, r.right, r.bottom); }

// One operation in the terms of the painting: what it draws, in which of the
// notebook's colours, where. Texts say whether they are opaque.
std::string Compact(const plat::CanvasOp& op) {
  const std::string opacity = op.brush.style == plat::BrushStyle::Clear ? " clear" : " opaque";
  switch (op.kind) {
    case plat::OpKind::Polyline:
    case plat::OpKind::Line: return "line " + Ink(op.pen.color) + Points(op.points);
    case plat::OpKind::Polygon:
      return "poly " + Ink(op.pen.color) + (op.brush.color == op.pen.color ? "" : "/" + Ink(op.brush.color)) +
             Points(op.points);
    case plat::OpKind::Rectangle:
      return "rect " + Ink(op.pen.color) + (op.brush.color == op.pen.color ? "" : "/" + Ink(op.brush.color)) +
             Box(op.rect);
    case plat::OpKind::Pixel: return "pixel " + Ink(op.color) + Points(op.points);
    case plat::OpKind::TextCentred: return "title " + Ink(op.font.color) + opacity + Box(op.rect) + " " + op.text;
    case plat::OpKind::TextOut:
      return rtl::Format("text%s %s%s%s %s", op.font.angle ? "@" + std::to_string(op.font.angle) : "",
                         Ink(op.font.color), opacity, Points(op.points), op.text);
    case plat::OpKind::FocusRect: return "focus" + Box(op.rect);
    default: return plat::ToString(op);
  }
}

class NotebookPaint : public ::testing::Test {
 protected:
  RecordingNotebookView view;
  TNotebookModel nb{view};
  plat::RecordingCanvas canvas;
  TNbkPaintContext context{kP, false, {}, {}};

  // A notebook in the test colours; `captions` its pages, the first active.
  void Make(plat::Size size, const std::vector<std::string>& captions, TButtonStyle style = bsWin31) {
    view.size = size;
    nb.SetColor(kC);
    nb.SetHighlightColor(kHi);
    nb.SetShadowColor(kSh);
    nb.SetTextShadowColor(kTextShadow);
    nb.SetStyle(style);
    FillNotebook(nb, view, captions);
    for (int i = 0; i < nb.PageCount(); ++i) nb.PageAt(i).SetTabTextColor(kText);
  }
  // The new notebook: 220 by 185, three pages, a 16-pixel "Wy".
  void MakeNew(TButtonStyle style = bsWin31) {
    Make({220, 185}, {"&First", "&Second", "&Third"}, style);
    nb.SetFont(plat::Font{"Arial", 12, plat::clBlack, 0});
    nb.SetActiveTabFont(plat::Font{"Courier New", 12, plat::clBlack, plat::fsBold});
  }
  Ops Paint() {
    canvas.Clear();
    TNbkPainter(nb, canvas, context).Paint();
    Ops ops;
    for (const plat::CanvasOp& op : canvas.Ops()) ops.push_back(Compact(op));
    return ops;
  }
  static bool Has(const Ops& ops, const std::string& op) { return std::find(ops.begin(), ops.end(), op) != ops.end(); }
  static int Position(const Ops& ops, const std::string& op) {
    const auto it = std::find(ops.begin(), ops.end(), op);
    return it == ops.end() ? -1 : static_cast<int>(it - ops.begin());
  }
  std::vector<plat::Rect> TabRects() const {
    std::vector<plat::Rect> rects;
    for (int i = 0; i < nb.PageCount(); ++i) rects.push_back(nb.PageAt(i).TabRect());
    return rects;
  }
};

// --- The new notebook ------------------------------------------------------------------

TEST_F(NotebookPaint, NewNotebookFlatActiveTabWithItsPageFrame) {
  MakeNew();
  const Ops ops = Paint();
  EXPECT_EQ(TabRects(), (std::vector<plat::Rect>{{0, 0, 65, 20}, {65, 0, 130, 20}, {130, 0, 195, 20}}));
  const Ops firstTab{
      "poly C 0,19 0,4 4,0 61,0 64,4 64,19",
      "line Black 0,19 0,4 4,0 61,0 65,4 65,20",
      "line Hi 1,19 1,4 4,1 62,1",
      "line Hi 2,19 2,4 4,2 61,2",
      "line Sh 61,1 64,4 64,20",
      "line Sh 61,2 63,4 63,20",
      "line C 0,20 65,20",
      "line C 0,21 65,21",
      "line C 0,22 65,22",
      "line Hi 1,20 1,21 1,21 1,184",
      "line Hi 2,20 2,22 2,22 2,183",
      "line Hi 65,21 195,21",
      "line Hi 64,22 194,22",
      "line Sh 2,183 194,183 194,21",
      "line Sh 64,21 64,19",
      "line Sh 3,182 193,182 193,22",
      "line Sh 63,22 63,19",
      "line Black 0,20 0,20 0,184 195,184 195,20 64,20",
      // A "Wy" of 16 pixels: offset (20 - 16 + 2) div 2 = 3; the canvas underlines the F.
      "title Text opaque 4,3,61,20 &First",
      "poly P 0,0 3,0 0,3",
      "poly P 65,0 62,0 65,3",
  };
  ASSERT_GE(ops.size(), firstTab.size());
  EXPECT_EQ(Ops(ops.begin(), ops.begin() + static_cast<long>(firstTab.size())), firstTab);
  EXPECT_EQ(ops.back(), "rect P 196,0,220,185");
}

TEST_F(NotebookPaint, NewNotebookNewStyleFrame) {
  MakeNew(bsNew);
  const Ops ops = Paint();
  const Ops firstTab{
      "poly C 0,19 0,2 2,0 61,0 63,2 63,19",
      "line Hi 0,19 0,2 2,0 63,0",
      "line Black 63,1 64,2 64,20",
      "line Sh 63,2 63,20",
      "rect C 0,20,65,21",
      "line Hi 0,20 0,20 0,184",
      "line Hi 64,20 193,20",
      "line Black 0,184 194,184 194,19",
      "line Sh 1,183 193,183 193,19",
      // The 3-D inner rectangle starts one pixel earlier, the title rectangle does not.
      "title Text opaque 4,3,61,20 &First",
      "poly P 0,0 1,0 0,1",
      "poly P 65,0 63,0 65,2",
  };
  EXPECT_EQ(Ops(ops.begin(), ops.begin() + static_cast<long>(firstTab.size())), firstTab);
  EXPECT_EQ(ops.back(), "rect P 195,0,221,186");
}

TEST_F(NotebookPaint, InactiveTabsHaveNoOpeningAndTheirOwnFont) {
  MakeNew();
  const Ops ops = Paint();
  const int second = Position(ops, "poly C 65,19 65,4 69,0 126,0 129,4 129,19");
  ASSERT_GE(second, 0);
  EXPECT_EQ(ops[static_cast<std::size_t>(second) + 4], "title Text opaque 69,3,126,20 &Second");
  const auto titles = canvas.OpsOf(plat::OpKind::TextCentred);
  ASSERT_EQ(titles.size(), 3u);
  EXPECT_EQ(titles[0].font.name, "Courier New");
  EXPECT_EQ(titles[1].font.name, "Arial");
  EXPECT_EQ(titles[2].font.name, "Arial");
  // The painting ends on the notebook's own font, pen and brush in C.
  EXPECT_EQ(canvas.GetFont().name, "Arial");
  EXPECT_EQ(canvas.GetPen().color, kC);
  EXPECT_EQ(canvas.GetBrush().color, kC);
}

// --- Several rows ----------------------------------------------------------------------

class FiveInThreeRows : public NotebookPaint {
 protected:
  void SetUp() override {
    Make({220, 185}, {"A", "B", "C", "D", "E"});
    nb.SetTabRowCount(3);
    nb.SetPageIndex(4);
  }
};

TEST_F(FiveInThreeRows, RowsStackWithFrameEdgesIndentsAndTheActiveRowNextToThePages) {
  const Ops ops = Paint();
  EXPECT_EQ(TabRects(), (std::vector<plat::Rect>{
                            {16, 0, 81, 20}, {81, 0, 146, 20}, {8, 20, 73, 40}, {73, 20, 138, 40}, {0, 40, 65, 60}}));
  // Rows in the order 0, 1, 2; the third completed by an empty tab.
  Ops titles;
  for (const std::string& op : ops)
    if (op.rfind("title", 0) == 0) titles.push_back(op);
  EXPECT_EQ(titles,
            (Ops{"title Text opaque 20,5,77,20 A", "title Text opaque 85,5,142,20 B", "title Text opaque 12,25,69,40 C",
                 "title Text opaque 77,25,134,40 D", "title Text opaque 4,45,61,60 E", "title Hi opaque 69,45,126,60  ",
                 "title Sh clear 67,44,124,59  "}));
  // Row 0's frame edge, its indent and everything beyond it.
  const int edge = Position(ops, "rect C 139,20,145,144");
  ASSERT_GE(edge, 0);
  EXPECT_EQ(ops[static_cast<std::size_t>(edge) + 1], "line Sh 145,20 145,144 138,144");
  EXPECT_EQ(ops[static_cast<std::size_t>(edge) + 2], "line Black 146,20 146,145 138,145");
  EXPECT_EQ(ops[static_cast<std::size_t>(edge) + 3], "rect P 0,0,16,20");
  EXPECT_EQ(ops[static_cast<std::size_t>(edge) + 4], "rect P 147,0,220,185");
  // Row 1's frame reaches down to 165; the gap beyond it under row 0's frame.
  EXPECT_TRUE(Has(ops, "line Black 138,40 138,165 130,165"));
  EXPECT_TRUE(Has(ops, "rect P 0,20,8,40"));
  EXPECT_TRUE(Has(ops, "rect P 139,146,147,185"));
  // The page frame's far edge at 130, after the two tabs of the active row.
  EXPECT_TRUE(Has(ops, "line Black 0,60 0,60 0,184 130,184 130,60 64,60"));
  EXPECT_TRUE(Has(ops, "rect P 131,166,139,185"));
}

TEST_F(FiveInThreeRows, CornersOfBackRowsShowTheRowBehind) {
  const Ops ops = Paint();
  // Row 0 (visited first): all in P.
  for (const char* corner :
       {"poly P 16,0 19,0 16,3", "poly P 81,0 78,0 81,3", "poly P 81,0 84,0 81,3", "poly P 146,0 143,0 146,3"})
    EXPECT_TRUE(Has(ops, corner)) << corner;
  // Row 1: the first tab's start corner in P, the second's in C; end corners in C.
  EXPECT_TRUE(Has(ops, "poly P 8,20 11,20 8,23"));
  EXPECT_TRUE(Has(ops, "poly C 73,20 76,20 73,23"));
  EXPECT_TRUE(Has(ops, "poly C 138,20 135,20 138,23"));
}

TEST_F(FiveInThreeRows, WithoutIndentTheLastEndCornerOfBackRowsIsInP) {
  nb.SetTabIndent(0);
  const Ops ops = Paint();
  EXPECT_TRUE(Has(ops, "poly P 130,20 127,20 130,23"));  // row 1, last tab
  EXPECT_TRUE(Has(ops, "poly P 130,40 127,40 130,43"));  // row 2, the empty tab
  EXPECT_TRUE(Has(ops, "poly C 65,20 62,20 65,23"));     // row 1, first tab
}

// --- Tabs that are hidden, empty, cut or drawn by the owner ------------------------------

TEST_F(NotebookPaint, HiddenTabsCloseUpAndKeepTheirLastRectangle) {
  MakeNew();
  Paint();
  nb.PageAt(1).SetTabVisible(false);
  const Ops ops = Paint();
  EXPECT_EQ(TabRects(), (std::vector<plat::Rect>{{0, 0, 65, 20}, {65, 0, 130, 20}, {65, 0, 130, 20}}));
  EXPECT_TRUE(Has(ops, "title Text opaque 69,3,126,20 &Third"));
  EXPECT_TRUE(Has(ops, "title Hi opaque 134,3,191,20  "));
}

TEST_F(NotebookPaint, EmptyTabsHaveAnInactiveOutlineAndNeverReachTheOwner) {
  Make({220, 185}, {"A", "B", "C"});
  nb.SetTabRowCount(2);  // C and an empty tab in the row behind
  std::vector<int> drawn;
  context.onDrawTab = [&](int index, const std::string&, const plat::Rect&, bool, bool) { drawn.push_back(index); };
  const Ops ops = Paint();
  EXPECT_EQ(drawn, (std::vector<int>{2, 0, 1}));
  const int empty = Position(ops, "poly C 73,19 73,4 77,0 134,0 137,4 137,19");
  ASSERT_GE(empty, 0);
  EXPECT_EQ(Ops(ops.begin() + empty + 1, ops.begin() + empty + 6),
            (Ops{"line Black 73,19 73,4 77,0 134,0 138,4 138,20", "line Hi 74,19 74,4 77,1 135,1",
                 "line Sh 134,1 137,4 137,20", "title Hi opaque 77,5,134,20  ", "title Sh clear 75,4,132,19  "}));
}

TEST_F(NotebookPaint, OwnerDrawingGetsTheInnerRectangleAndNoTitleIsDrawn) {
  MakeNew();
  struct Call {
    int index;
    std::string title;
    plat::Rect r;
    bool enabled, active;
  };
  std::vector<Call> calls;
  context.onDrawTab = [&](int index, const std::string& title, const plat::Rect& r, bool enabled, bool active) {
    calls.push_back({index, title, r, enabled, active});
  };
  nb.PageAt(2).SetPageEnabled(false);
  const Ops ops = Paint();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[1].r, (plat::Rect{69, 3, 126, 20}));
  EXPECT_EQ(calls[1].title, "&Second");
  EXPECT_TRUE(calls[0].active);
  EXPECT_FALSE(calls[2].enabled);
  EXPECT_TRUE(canvas.OpsOf(plat::OpKind::TextCentred).empty());
  EXPECT_TRUE(Has(ops, "line Black 0,20 0,20 0,184 195,184 195,20 64,20"));  // the page frame still
}

TEST_F(NotebookPaint, ATabPastTheEdgeIsCutButKeepsItsRectangle) {
  // Three rows of one tab each still do not fit in 60 pixels.
  Make({60, 185}, {"A", "B", "C"});
  const Ops ops = Paint();
  EXPECT_EQ(nb.PageAt(1).TabRect(), (plat::Rect{16, 0, 81, 20}));
  EXPECT_TRUE(Has(ops, "line Black 16,19 16,4 20,0 55,0 59,4 59,20"));
  // A tab from 130 in a notebook 190 wide: the outline ends at 189, the title at 182.
  RecordingNotebookView wide;
  wide.size = {190, 185};
  TNotebookModel model(wide);
  model.SetStyle(bsWin31);
  FillNotebook(model, wide, {"A", "B"});
  canvas.Clear();
  TNbkPainter(model, canvas, context).DrawTopTab(1, "B", true, 20, 4, 0, 130, false);
  EXPECT_EQ(Compact(canvas.Ops()[1]), "line Black 130,19 130,4 134,0 185,0 189,4 189,20");
  EXPECT_EQ(canvas.OpsOf(plat::OpKind::TextCentred).at(0).rect, (plat::Rect{134, 4, 182, 20}));
}

TEST_F(NotebookPaint, NoActivePageDrawsNoOpeningAndNoFrame) {
  MakeNew();
  nb.ClearPages();
  nb.InsertPage("A", 0);
  nb.InsertPage("B", 1);
  context.focused = true;
  const Ops ops = Paint();
  EXPECT_EQ(nb.PageIndex(), -1);
  for (const std::string& op : ops) {
    EXPECT_EQ(op.find(",184"), std::string::npos) << op;
    EXPECT_NE(op.rfind("focus", 0), 0u) << op;
  }
}

TEST_F(NotebookPaint, WithoutPagesTheNotebookIsItsColour) {
  MakeNew();
  nb.ClearPages();
  EXPECT_EQ(Paint(), (Ops{"rect C 0,0,220,185"}));
}

TEST_F(NotebookPaint, TheFocusRectangleMarksTheActiveTabWhileFocused) {
  MakeNew();
  Paint();
  EXPECT_TRUE(canvas.OpsOf(plat::OpKind::FocusRect).empty());
  context.focused = true;
  EXPECT_EQ(Paint().back(), "focus 4,3,61,20");
  nb.SetStyle(bsNew);
  EXPECT_EQ(Paint().back(), "focus 3,3,61,20");
}

// --- Titles on top --------------------------------------------------------------------------

struct TopTitleCase {
  const char* name;
  bool enabled, shadowed;
  Ops expected;
};

class TopTitles : public NotebookPaint, public ::testing::WithParamInterface<TopTitleCase> {};

TEST_P(TopTitles, TakeOneOrTwoPasses) {
  const TopTitleCase& c = GetParam();
  MakeNew();
  nb.PageAt(1).SetPageEnabled(c.enabled);
  nb.SetShadowedText(c.shadowed);
  Ops titles;
  for (const std::string& op : Paint())
    if (op.find("&Second") != std::string::npos) titles.push_back(op);
  EXPECT_EQ(titles, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paint, TopTitles,
    ::testing::Values(
        TopTitleCase{"Enabled", true, false, {"title Text opaque 69,3,126,20 &Second"}},
        TopTitleCase{
            "Shadowed", true, true, {"title TS opaque 69,3,126,20 &Second", "title Text clear 67,2,124,19 &Second"}},
        TopTitleCase{
            "Disabled", false, false, {"title Hi opaque 69,3,126,20 &Second", "title Sh clear 67,2,124,19 &Second"}},
        TopTitleCase{"DisabledIgnoresShadow",
                     false,
                     true,
                     {"title Hi opaque 69,3,126,20 &Second", "title Sh clear 67,2,124,19 &Second"}}),
    CaseName());

TEST_F(NotebookPaint, LongTitlesAreCutTo255Characters) {
  MakeNew();
  nb.PageAt(1).SetPageCaption(std::string(300, 'x'));
  Paint();
  EXPECT_EQ(canvas.OpsOf(plat::OpKind::TextCentred).at(1).text, std::string(255, 'x'));
}

TEST_F(NotebookPaint, AFontTallerThanTheTabMovesTitlesOutward) {
  Make({220, 185}, {"A"});
  nb.SetActiveTabFont(plat::Font{"Arial", 17, plat::clBlack, 0});  // "Wy" 23 high
  Paint();
  EXPECT_EQ(canvas.OpsOf(plat::OpKind::TextCentred).at(0).rect.top, 0);  // (20 - 23 + 2) div 2
  nb.SetTabOrientation(toRight);
  Paint();
  EXPECT_EQ(canvas.OpsOf(plat::OpKind::TextOut).at(0).points[0].x, 220);  // 219 - (20 - 23 + 1) div 2
}

// --- Tabs on the right ----------------------------------------------------------------------

TEST_F(NotebookPaint, RightTabsStandDownTheRightEdge) {
  Make({300, 250}, {"A", "B", "C"});
  nb.SetTabOrientation(toRight);
  Ops ops = Paint();
  EXPECT_EQ(TabRects(), (std::vector<plat::Rect>{{279, 0, 299, 65}, {279, 65, 299, 130}, {279, 130, 299, 195}}));
  EXPECT_EQ(ops.back(), "rect P 0,196,300,250");
  const Ops activeFrame{
      "poly C 280,1 295,1 298,4 298,61 295,64 280,64",
      "line Black 279,0 295,0 299,4 299,61 295,65 278,65",
      "line Hi 280,1 296,1",
      "line Hi 278,2 296,2",
      "line Sh 294,1 295,1 298,4 298,61 295,64 279,64",
      "line Sh 295,2 297,4 297,61 295,63 279,63",
      "rect C 277,3,280,63",
      "line Black 279,0 279,0 0,0 0,195 279,195 279,65",
      "line Sh 278,1 278,1",
      "line Sh 277,2 277,2",
      "line Sh 2,194 278,194 278,62",
      "line Sh 3,193 277,193 277,63",
      "pixel Sh 277,63",
      "line Sh 279,64 279,62",
      "line Hi 278,1 1,1 1,195",
      "line Hi 277,2 2,2 2,194",
      "pixel Hi 279,1",
  };
  EXPECT_EQ(Ops(ops.begin(), ops.begin() + static_cast<long>(activeFrame.size())), activeFrame);
  nb.SetStyle(bsNew);
  ops = Paint();
  EXPECT_EQ(ops.back(), "rect P 0,195,300,250");
}

TEST_F(NotebookPaint, RightTabsInRowsShowBackRowEdgesAndIndents) {
  Make({300, 200}, {"A", "B", "C", "D", "E"});  // 199 pixels: three rows of two
  nb.SetTabOrientation(toRight);
  nb.SetPageIndex(4);
  const Ops ops = Paint();
  // Row 0 visited first: outer edge 299, from s = 16.
  EXPECT_EQ(nb.PageAt(0).TabRect(), (plat::Rect{279, 16, 299, 81}));
  EXPECT_EQ(nb.PageAt(2).TabRect(), (plat::Rect{259, 8, 279, 73}));
  EXPECT_EQ(nb.PageAt(4).TabRect(), (plat::Rect{239, 0, 259, 65}));
  // Row 0's frame edge: xl = 279, se = 146, the frame's left edge 40; then its indent.
  const int edge = Position(ops, "rect C 42,139,280,145");
  ASSERT_GE(edge, 0);
  EXPECT_EQ(Ops(ops.begin() + edge + 1, ops.begin() + edge + 6),
            (Ops{"line Black 279,146 40,146 40,138", "line Sh 279,145 41,145", "line Hi 41,145 41,138",
                 "rect P 280,0,300,16", "rect P 0,147,300,200"}));
  EXPECT_TRUE(Has(ops, "rect P 0,139,40,147"));  // the gap beyond row 1
}

struct TurnedCase {
  const char* name;
  std::string caption;
  bool enabled, shadowed;
  Ops expected;  // the title's text and accelerator line, in order
};

class TurnedTitles : public NotebookPaint, public ::testing::WithParamInterface<TurnedCase> {};

// One page, tab (279, 0, 299, 65) in a 300 by 250 notebook; letters 11 high
// and 5 wide, title offset (20 - 11 + 1) div 2 = 5, so x0 = 294.
TEST_P(TurnedTitles, RunDownwardsCentredAlongTheTab) {
  const TurnedCase& c = GetParam();
  Make({300, 250}, {c.caption});
  nb.SetTabOrientation(toRight);
  nb.PageAt(0).SetPageEnabled(c.enabled);
  nb.SetShadowedText(c.shadowed);
  const Ops ops = Paint();
  Ops title;
  for (auto it = std::find_if(ops.begin(), ops.end(), [](const std::string& op) { return op.rfind("text", 0) == 0; });
       it != ops.end() && it->rfind("poly", 0) != 0; ++it)
    title.push_back(*it);
  EXPECT_EQ(title, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paint, TurnedTitles,
    ::testing::Values(
        // 40 wide: c = (57 - 40) div 2 = 8, y0 = 12; the line beside the r (w0 = 5).
        TurnedCase{
            "Graphics", "G&raphics", true, false, {"text@2700 Text opaque 294,12 Graphics", "line Text 284,17 284,22"}},
        TurnedCase{
            "ShadowedAcceleratorLine",
            "G&raphics",
            true,
            true,
            {"text@2700 TS opaque 294,12 Graphics", "text@2700 Text clear 293,10 Graphics", "line Text 283,16 283,21"}},
        TurnedCase{
            "Disabled",
            "G&raphics",
            false,
            false,
            {"text@2700 Hi opaque 295,12 Graphics", "text@2700 Sh clear 294,10 Graphics", "line Sh 283,16 283,21"}},
        TurnedCase{"DoubledAmpersandShowsOne", "A&&B", true, false, {"text@2700 Text opaque 294,25 A&B"}},
        TurnedCase{"EmptyIsABlank", "", true, false, {"text@2700 Text opaque 294,30  "}},
        TurnedCase{"FinalAmpersandMarksNothing", "Menu&", true, false, {"text@2700 Text opaque 294,22 Menu"}},
        TurnedCase{"OnlyTheFirstAmpersandCounts",
                   "&A&B",
                   true,
                   false,
                   {"text@2700 Text opaque 294,25 A&B", "line Text 284,25 284,30"}}),
    CaseName());

TEST_F(NotebookPaint, TurnedFontsAreOnlyForTheRows) {
  Make({300, 250}, {"A", "B"});
  nb.SetTabOrientation(toRight);
  Paint();
  for (const plat::CanvasOp& op : canvas.OpsOf(plat::OpKind::TextOut)) EXPECT_EQ(op.font.angle, 2700);
  EXPECT_EQ(canvas.GetFont().angle, 0);
}

}  // namespace

#include "controls/editor/VirNbkPaint.h"

#include <utility>
#include <vector>

namespace {

using plat::Point;
using plat::Rect;

constexpr std::size_t kMaxTitle = 255;
// Turned fonts write downwards, the tops of the letters to the right.
constexpr int kDownwards = 2700;

// A font like `font` turned to the angle (tenths of a degree) that writes downwards.
plat::Font Turned(plat::Font font) {
  font.angle = kDownwards;
  return font;
}

// The title of a turned tab: the first '&' is dropped and marks the character
// after it, unless that is an '&' too (which stays, unmarked). A final '&'
// marks nothing. An empty title is written as a blank.
struct TurnedTitle {
  std::string text;
  std::size_t accelerator = std::string::npos;
};

TurnedTitle ParseTurnedTitle(const std::string& title) {
  TurnedTitle t;
  const std::size_t amp = title.find('&');
  if (amp == std::string::npos) {
    t.text = title;
  } else {
    t.text = title.substr(0, amp) + title.substr(amp + 1);
    if (amp + 1 < title.size() && title[amp + 1] != '&') t.accelerator = amp;
  }
  if (t.text.empty()) t.text = " ";
  return t;
}

}  // namespace

TNbkPainter::TNbkPainter(TNotebookModel& notebook, plat::Canvas& canvas, TNbkPaintContext context)
    : nb_(notebook), canvas_(canvas), context_(std::move(context)) {
  if (!context_.toRGB) context_.toRGB = [](plat::Color c) { return c; };
  TakeMeasures();
}

// The sizes one paint works with, from the notebook as it is laid out now.
void TNbkPainter::TakeMeasures() {
  const plat::Size size = nb_.ClientSize();
  width_ = size.cx;
  height_ = size.cy;
  threeD_ = nb_.ThreeD();
  right_ = nb_.TabOrientation() == toRight;
  e_ = nb_.TabsPerRow() * nb_.TabWidth();
}

plat::Color TNbkPainter::Rgb(Ink ink) const {
  switch (ink) {
    case Ink::C: return context_.toRGB(nb_.Color());
    case Ink::P: return context_.toRGB(context_.parentColor);
    case Ink::Black: return plat::clBlack;
    case Ink::Highlight: return context_.toRGB(nb_.HighlightColor());
    case Ink::Shadow: return context_.toRGB(nb_.ShadowColor());
  }
  return plat::clBlack;
}

void TNbkPainter::Lines(Ink ink, std::initializer_list<std::initializer_list<Point>> polylines) {
  canvas_.SetPen({Rgb(ink), plat::PenStyle::Solid, 1});
  for (const auto& line : polylines) canvas_.Polyline(std::vector<Point>(line));
}

void TNbkPainter::Fill(Ink ink, const Rect& r) {
  canvas_.SetPen({Rgb(ink), plat::PenStyle::Solid, 1});
  canvas_.SetBrush({Rgb(ink), plat::BrushStyle::Solid});
  canvas_.Rectangle(r);
}

void TNbkPainter::FillPolygon(Ink ink, std::initializer_list<Point> points) {
  canvas_.SetPen({Rgb(ink), plat::PenStyle::Solid, 1});
  canvas_.SetBrush({Rgb(ink), plat::BrushStyle::Solid});
  canvas_.Polygon(std::vector<Point>(points));
}

void TNbkPainter::Pixel(Ink ink, int x, int y) { canvas_.SetPixel(x, y, Rgb(ink)); }

// --- The strip -------------------------------------------------------------------

void TNbkPainter::Paint() {
  if (nb_.PageCount() == 0) {
    const plat::Size size = nb_.ClientSize();
    Fill(Ink::C, {0, 0, size.cx, size.cy});
    return;
  }
  nb_.Relayout();
  TakeMeasures();
  if (nb_.TabOrientation() == toTop)
    PaintTopTabs();
  else
    PaintRightTabs();
}

void TNbkPainter::PaintTopTabs() {
  right_ = false;
  PaintStrip();
}

void TNbkPainter::PaintRightTabs() {
  right_ = true;
  PaintStrip();
}

// The canvas font becomes `font` (turned with tabs on the right) in `color`,
// and the title offset is measured with it.
void TNbkPainter::UseFont(const plat::Font& font, plat::Color color) {
  plat::Font f = right_ ? Turned(font) : font;
  f.color = color;
  canvas_.SetFont(f);
  const int h = canvas_.TextHeight("Wy");
  titleOffset_ = (nb_.TabHeight() - h + (right_ ? 1 : 2)) / 2;
}

void TNbkPainter::SetFontColor(plat::Color color) {
  plat::Font f = canvas_.GetFont();
  f.color = color;
  canvas_.SetFont(f);
}

// Rows are painted from the one farthest from the pages to the active row,
// which comes next to them; each row behind it is shifted by the indent.
void TNbkPainter::PaintStrip() {
  const int rows = nb_.RowCount();
  const int n = nb_.TabsPerRow();
  const int h = nb_.TabHeight();
  const int w = nb_.TabWidth();
  activeInUse_ = false;
  UseFont(nb_.Font(), nb_.Font().color);
  for (int d = 0; d < rows; ++d) {
    const int row = (nb_.ActiveRow() + 1 + d) % rows;
    const int y = d * h;                       // on top: the row's top
    const int xr = width_ - 1 - d * h;         // on the right: the row's outer edge
    int s = (rows - 1 - d) * nb_.TabIndent();  // along the strip
    int k = 0;
    const auto drawTab = [&](int index, const std::string& title, bool enabled, bool active) {
      if (right_)
        DrawRightTab(index, title, enabled, h, titleOffset_, s, xr, active);
      else
        DrawTopTab(index, title, enabled, h, titleOffset_, y, s, active);
      PaintCorners(right_ ? xr : s, right_ ? s : y, d, k);
      s += w;
      ++k;
    };
    for (int i = 0; i < nb_.PageCount(); ++i) {
      TNbkPage& page = nb_.PageAt(i);
      if (page.Row() != row || !page.TabVisible()) continue;
      page.SetTabRect(right_ ? Rect{xr - h, s, xr, s + w} : Rect{s, y, s + w, y + h});
      const plat::Color textColor = context_.toRGB(page.TabTextColor());
      const bool active = i == nb_.PageIndex();
      SetFontColor(textColor);
      if (active || activeInUse_) {
        UseFont(active ? nb_.ActiveTabFont() : nb_.Font(), textColor);
        activeInUse_ = active;
      }
      drawTab(i, page.PageCaption(), page.PageEnabled(), active);
    }
    while (k < n) drawTab(-1, " ", false, false);
    if (d < rows - 1) PaintBehindRow(d, y, xr, s);
    PaintBeyondRow(d, s);
  }

  canvas_.SetFont(nb_.Font());
  canvas_.SetPen({Rgb(Ink::C), plat::PenStyle::Solid, 1});
  canvas_.SetBrush({Rgb(Ink::C), plat::BrushStyle::Solid});
  if (context_.focused && nb_.IsUsable(nb_.PageIndex()))
    canvas_.DrawFocusRect(nb_.InnerTabRect(nb_.PageAt(nb_.PageIndex()).TabRect()));
}

// A row behind the active one: the edge of its frame after its last tab
// (`end`), and its indent in P.
void TNbkPainter::PaintBehindRow(int d, int y, int xr, int end) {
  const int behind = nb_.RowCount() - 1 - d;
  const int h = nb_.TabHeight();
  if (right_) {
    DrawBackRowEdge(xr - h + 1, end, behind * h);
    Fill(Ink::P, {xr - h + 1, 0, xr + 1, behind * nb_.TabIndent()});
  } else {
    DrawBackRowEdge(end, y + h, height_ - behind * h);
    Fill(Ink::P, {0, y, behind * nb_.TabIndent(), y + h});
  }
}

// Beyond the end of a row (`end`), in P: everything past the strip for the
// first row visited; for the others the gap, an indent wide, between the end
// of their own frame and the end of the frame behind them.
void TNbkPainter::PaintBeyondRow(int d, int end) {
  const int i = nb_.TabIndent();
  const int h = nb_.TabHeight();
  const int rows = nb_.RowCount();
  const int flat = threeD_ ? 0 : 1;
  if (!right_ && d == 0)
    Fill(Ink::P, {end + flat, 0, width_ + 1 - flat, height_ + 1 - flat});
  else if (!right_)
    Fill(Ink::P, {end + flat, height_ - (rows - d) * h + 1, end + i + 2 - flat, height_});
  else if (d == 0)
    Fill(Ink::P, {0, end + flat, width_, height_});
  else
    Fill(Ink::P, {0, end + flat, (rows - d) * h, end + i + 1});
}

// The corners beside a tab's chamfers on the outer side: in the first row
// visited both in P; in the others the start corner in P at the start of the
// row and in C elsewhere, the end corner in C (in P at the end of a row
// without indent).
void TNbkPainter::PaintCorners(int x, int y, int d, int k) {
  const int w = nb_.TabWidth();
  const bool startInP = d == 0 || k == 0;
  const bool endInP = d == 0 || (nb_.TabIndent() == 0 && k == nb_.TabsPerRow() - 1);
  const auto corner = [&](bool inP, int cx, int cy, bool atStart) {
    const plat::Color c = Rgb(inP ? Ink::P : Ink::C);
    canvas_.SetPen({c, plat::PenStyle::Solid, 1});
    canvas_.SetBrush({c, plat::BrushStyle::Solid});
    FillTabCorner(cx, cy, atStart);
  };
  corner(startInP, x, y, true);
  corner(endInP, right_ ? x : x + w, right_ ? y + w : y, false);
}

void TNbkPainter::FillTabCorner(int x, int y, bool atStart) {
  const int a = threeD_ ? (atStart ? 1 : 2) : 3;
  if (!right_)
    canvas_.Polygon({{x, y}, {atStart ? x + a : x - a, y}, {x, y + a}});
  else if (atStart)
    canvas_.Polygon({{x, y}, {x - a, y}, {x, y + a}});
  else
    canvas_.Polygon({{x, y}, {x, y - a}, {x - a, y}});
}

// The 3-D edge lies one pixel before the flat one and is otherwise drawn alike.
void TNbkPainter::DrawBackRowEdge(int a, int b, int c) {
  const int i = nb_.TabIndent();
  const int shift = threeD_ ? 1 : 0;
  if (!right_) {
    // a: the x after the row, b: the row's bottom, c: the frame's bottom.
    const int xe = a - shift;
    Fill(Ink::C, {xe - i + 1, b, xe - 1, c - 1});
    Lines(Ink::Shadow, {{{xe - 1, b}, {xe - 1, c - 1}, {xe - i, c - 1}}});
    Lines(Ink::Black, {{{xe, b}, {xe, c}, {xe - i, c}}});
    return;
  }
  // a: one right of the row's left edge, b: the y after the row, c: the frame's left edge.
  const int xl = a - 1;
  const int se = b - shift;
  Fill(Ink::C, {c + 2, se - i + 1, xl + 1, se - 1});
  Lines(Ink::Black, {{{xl, se}, {c, se}, {c, se - i}}});
  Lines(Ink::Shadow, {{{xl, se - 1}, {c + 1, se - 1}}});
  Lines(Ink::Highlight, {{{c + 1, se - 1}, {c + 1, se - i}}});
}

// --- One tab ---------------------------------------------------------------------------

bool TNbkPainter::DrawTabHook(int index, const std::string& title, bool enabled, bool active) {
  if (!context_.onDrawTab || index < 0 || index >= nb_.PageCount()) return false;
  context_.onDrawTab(index, title, nb_.InnerTabRect(nb_.PageAt(index).TabRect()), enabled, active);
  return true;
}

void TNbkPainter::DrawTopTab(int index, const std::string& title, bool enabled, int tabHeight, int titleOffset, int top,
                             int left, bool active) {
  const int w = nb_.TabWidth();
  const int r = left + w >= width_ ? width_ - 1 : left + w;
  DrawTopOutline(left, top, r, top + tabHeight, active);
  Rect tr{left + 4, top + titleOffset, left + w - 4, top + tabHeight};
  if (width_ < left + w - 4) tr.right = width_ - 8;
  if (DrawTabHook(index, title, enabled, active)) return;
  DrawTopTitle(title, enabled, tr);
}

void TNbkPainter::DrawRightTab(int index, const std::string& title, bool enabled, int tabHeight, int titleOffset,
                               int top, int right, bool active) {
  const int w = nb_.TabWidth();
  const int b = top + w >= height_ ? height_ - 1 : top + w;
  DrawRightOutline(right - tabHeight, top, right, b, active);
  Rect tr{right - tabHeight + 1, top + 4, right - 3, top + w - 4};
  if (height_ <= top + w - 4) tr.bottom = height_ - 4;
  if (DrawTabHook(index, title, enabled, active)) return;
  DrawRightTitle(title, enabled, titleOffset, top, right, tr);
}

// The canvas's font colour and the opacity of the text that follows:
// opaque text fills its cells with C.
void TNbkPainter::SetTextInk(plat::Color color, bool opaque) {
  SetFontColor(color);
  canvas_.SetBrush({Rgb(Ink::C), opaque ? plat::BrushStyle::Solid : plat::BrushStyle::Clear});
}

// Shadowed and disabled titles take two passes: the first opaque, the second
// transparent and moved up and to the left.
void TNbkPainter::DrawTopTitle(const std::string& title, bool enabled, const Rect& tr) {
  const std::string shown = title.substr(0, kMaxTitle);
  const plat::Color titleColor = canvas_.GetFont().color;
  const Rect moved{tr.left - 2, tr.top - 1, tr.right - 2, tr.bottom - 1};
  if (enabled && !nb_.ShadowedText()) {
    SetTextInk(titleColor, true);
    canvas_.DrawTextCentred(tr, shown);
  } else {
    SetTextInk(enabled ? context_.toRGB(nb_.TextShadowColor()) : Rgb(Ink::Highlight), true);
    canvas_.DrawTextCentred(tr, shown);
    SetTextInk(enabled ? titleColor : Rgb(Ink::Shadow), false);
    canvas_.DrawTextCentred(moved, shown);
  }
  SetTextInk(titleColor, true);
}

// A turned title is written downwards from its reference point, centred
// along the tab, without clipping; the accelerator is underlined by a line
// across from the letters' feet.
void TNbkPainter::DrawRightTitle(const std::string& title, bool enabled, int titleOffset, int top, int right,
                                 const Rect& tr) {
  const TurnedTitle t = ParseTurnedTitle(title);
  const plat::Color titleColor = canvas_.GetFont().color;
  const int tw = canvas_.TextWidth(t.text);
  const int th = canvas_.TextHeight(t.text);
  const bool marked = t.accelerator != std::string::npos;
  const int w0 = marked ? canvas_.TextWidth(std::string_view(t.text).substr(0, t.accelerator)) : 0;
  const int cw = marked ? canvas_.TextWidth(std::string_view(t.text).substr(t.accelerator, 1)) : 0;
  const int c = tr.bottom - tr.top > tw ? (tr.bottom - tr.top - tw) / 2 : 0;
  const int x0 = right - titleOffset;
  const int y0 = top + 4 + c;

  plat::Color last = titleColor;
  int lineX = x0 - th;
  int lineY = y0 + w0 - 1;
  if (enabled && !nb_.ShadowedText()) {
    SetTextInk(titleColor, true);
    canvas_.TextOut(x0, y0, t.text);
    ++lineX;
    ++lineY;
  } else {
    SetTextInk(enabled ? context_.toRGB(nb_.TextShadowColor()) : Rgb(Ink::Highlight), true);
    canvas_.TextOut(enabled ? x0 : x0 + 1, y0, t.text);
    last = enabled ? titleColor : Rgb(Ink::Shadow);
    SetTextInk(last, false);
    canvas_.TextOut(enabled ? x0 - 1 : x0, y0 - 2, t.text);
  }
  if (marked) {
    canvas_.SetPen({last, plat::PenStyle::Solid, 1});
    canvas_.Line(lineX, lineY, lineX, lineY + cw);
  }
  SetTextInk(titleColor, true);
}

// --- Outlines ------------------------------------------------------------------------------
// L, T, R, B: the tab (R or B cut at the notebook's edge); E: the page
// frame's far edge; the page frame is drawn with the active tab.

void TNbkPainter::DrawTopOutline(int L, int T, int R, int B, bool active) {
  const int E = e_;
  const int Height = height_;
  if (!threeD_) {
    FillPolygon(Ink::C, {{L, B - 1}, {L, T + 4}, {L + 4, T}, {R - 4, T}, {R - 1, T + 4}, {R - 1, B - 1}});
    Lines(Ink::Black, {{{L, B - 1}, {L, T + 4}, {L + 4, T}, {R - 4, T}, {R, T + 4}, {R, B}}});
    Lines(Ink::Highlight, {{{L + 1, B - 1}, {L + 1, T + 4}, {L + 4, T + 1}, {R - 3, T + 1}}});
    if (active) Lines(Ink::Highlight, {{{L + 2, B - 1}, {L + 2, T + 4}, {L + 4, T + 2}, {R - 4, T + 2}}});
    Lines(Ink::Shadow, {{{R - 4, T + 1}, {R - 1, T + 4}, {R - 1, B}}});
    if (!active) return;
    Lines(Ink::Shadow, {{{R - 4, T + 2}, {R - 2, T + 4}, {R - 2, B}}});
    Lines(Ink::C, {{{L, B}, {R, B}}, {{L, B + 1}, {R, B + 1}}, {{L, B + 2}, {R, B + 2}}});
    Lines(Ink::Highlight, {{{L + 1, B}, {L + 1, B + 1}, {1, B + 1}, {1, Height - 1}},
                           {{L + 2, B}, {L + 2, B + 2}, {2, B + 2}, {2, Height - 2}},
                           {{R, B + 1}, {E, B + 1}},
                           {{R - 1, B + 2}, {E - 1, B + 2}}});
    Lines(Ink::Shadow, {{{2, Height - 2}, {E - 1, Height - 2}, {E - 1, B + 1}},
                        {{R - 1, B + 1}, {R - 1, B - 1}},
                        {{3, Height - 3}, {E - 2, Height - 3}, {E - 2, B + 2}},
                        {{R - 2, B + 2}, {R - 2, B - 1}}});
    Lines(Ink::Black, {{{L, B}, {0, B}, {0, Height - 1}, {E, Height - 1}, {E, B}, {R - 1, B}}});
    return;
  }
  FillPolygon(Ink::C, {{L, B - 1}, {L, T + 2}, {L + 2, T}, {R - 4, T}, {R - 2, T + 2}, {R - 2, B - 1}});
  Lines(Ink::Highlight, {{{L, B - 1}, {L, T + 2}, {L + 2, T}, {R - 2, T}}});
  Lines(Ink::Black, {{{R - 2, T + 1}, {R - 1, T + 2}, {R - 1, B}}});
  Lines(Ink::Shadow, {{{R - 2, T + 2}, {R - 2, B}}});
  if (!active) return;
  Fill(Ink::C, {L, B, R, B + 1});
  Lines(Ink::Highlight, {{{L, B}, {0, B}, {0, Height - 1}}, {{R - 1, B}, {E - 2, B}}});
  Lines(Ink::Black, {{{0, Height - 1}, {E - 1, Height - 1}, {E - 1, B - 1}}});
  Lines(Ink::Shadow, {{{1, Height - 2}, {E - 2, Height - 2}, {E - 2, B - 1}}});
}

// With tabs on the right L lies towards the pages and R is the outer edge.
void TNbkPainter::DrawRightOutline(int L, int T, int R, int B, bool active) {
  const int E = e_;
  if (!threeD_) {
    FillPolygon(Ink::C,
                {{L + 1, T + 1}, {R - 4, T + 1}, {R - 1, T + 4}, {R - 1, B - 4}, {R - 4, B - 1}, {L + 1, B - 1}});
    Lines(Ink::Black, {{{L, T}, {R - 4, T}, {R, T + 4}, {R, B - 4}, {R - 4, B}, {L - 1, B}}});
    Lines(Ink::Highlight, {{{L + 1, T + 1}, {R - 3, T + 1}}});
    if (active) Lines(Ink::Highlight, {{{L - 1, T + 2}, {R - 3, T + 2}}});
    Lines(Ink::Shadow, {{{R - 5, T + 1}, {R - 4, T + 1}, {R - 1, T + 4}, {R - 1, B - 4}, {R - 4, B - 1}, {L, B - 1}}});
    if (!active) return;
    Lines(Ink::Shadow, {{{R - 4, T + 2}, {R - 2, T + 4}, {R - 2, B - 4}, {R - 4, B - 2}, {L, B - 2}}});
    Fill(Ink::C, {L - 2, T + 3, L + 1, B - 2});
    Lines(Ink::Black, {{{L, T}, {L, 0}, {0, 0}, {0, E}, {L, E}, {L, B}}});
    Lines(Ink::Shadow, {{{L - 1, T + 1}, {L - 1, 1}},
                        {{L - 2, T + 2}, {L - 2, 2}},
                        {{2, E - 1}, {L - 1, E - 1}, {L - 1, B - 3}},
                        {{3, E - 2}, {L - 2, E - 2}, {L - 2, B - 2}}});
    Pixel(Ink::Shadow, L - 2, B - 2);
    Lines(Ink::Shadow, {{{L, B - 1}, {L, B - 3}}});
    Lines(Ink::Highlight, {{{L - 1, 1}, {1, 1}, {1, E}}, {{L - 2, 2}, {2, 2}, {2, E - 1}}});
    Pixel(Ink::Highlight, L, T + 1);
    return;
  }
  FillPolygon(Ink::C, {{L + 1, T}, {R - 2, T}, {R - 1, T + 2}, {R - 1, B - 3}, {R - 2, B - 1}, {L + 1, B - 1}});
  Lines(Ink::Highlight, {{{L + 1, T}, {R - 2, T}, {R, T + 2}}});
  Lines(Ink::Black, {{{R, T + 2}, {R, B - 2}, {R - 1, B - 2}, {R - 2, B - 1}, {L, B - 1}}});
  Lines(Ink::Shadow, {{{R - 1, T + 2}, {R - 1, B - 3}, {R - 2, B - 2}, {L, B - 2}}});
  if (!active) return;
  Fill(Ink::C, {L - 1, T, L + 1, B});
  Pixel(Ink::C, L, T);
  Lines(Ink::Black, {{{L, 0}, {L, T}}, {{L, B - 1}, {L, E}}, {{0, E - 1}, {L, E - 1}}});
  Pixel(Ink::C, L, T);
  Lines(Ink::Highlight, {{{0, E - 1}, {0, 0}, {L + 1, 0}}});
  Lines(Ink::Shadow, {{{L - 1, 0}, {L - 1, T - 1}}, {{L - 1, B}, {L - 1, E - 1}}, {{1, E - 2}, {L + 1, E - 2}}});
  Pixel(Ink::Highlight, L - 1, 0);
}

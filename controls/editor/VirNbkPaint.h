#pragma once
// Paints a notebook's tab strip on a canvas, to the pixel: the rows of tabs
// (the active row next to the pages, each row behind it shifted by the indent
// and showing the edge of a frame of its own), the outline of each tab in the
// flat or the 3-D style, the page frame drawn with the active tab, the
// corners between tabs, the titles (turned downwards with tabs on the right),
// disabled and empty tabs, the focus rectangle, and every area around them in
// the parent's colour. The page windows paint themselves.
//
// Painting stores each visible page's tab rectangle with the page; the hit
// tests and the tab repaints read it. Coordinates are the notebook's client
// pixels; lines leave out their last point and rect(x1, y1, x2, y2) covers
// x1 <= x < x2, y1 <= y < y2, as the canvas does.

#include <functional>
#include <string>

#include "controls/editor/VirNbkModel.h"
#include "platform/Canvas.h"

// What the painting needs of the notebook's window.
struct TNbkPaintContext {
  // The colour of the parent control: everything outside the tabs and frames.
  plat::Color parentColor = plat::clWhite;
  // The notebook's window has the focus: the active tab shows the focus rectangle.
  bool focused = false;
  // Turns a colour value (a system colour, say) into the colour to paint.
  std::function<plat::Color(plat::Color)> toRGB;
  // Owner drawing: (index, title, inner rectangle, enabled, active). When set,
  // it draws every page's title instead of the notebook.
  std::function<void(int, const std::string&, const plat::Rect&, bool, bool)> onDrawTab;
};

class TNbkPainter {
 public:
  TNbkPainter(TNotebookModel& notebook, plat::Canvas& canvas, TNbkPaintContext context);

  // The notebook's paint: its Color alone without pages, else the tabs laid
  // out again and painted by the orientation.
  void Paint();
  void PaintTopTabs();
  void PaintRightTabs();

  // One tab, its outline (with the page frame when active) and its title.
  // `index` is -1 for an empty tab, whose title is " ".
  void DrawTopTab(int index, const std::string& title, bool enabled, int tabHeight, int titleOffset, int top, int left,
                  bool active);
  void DrawRightTab(int index, const std::string& title, bool enabled, int tabHeight, int titleOffset, int top,
                    int right, bool active);
  // The visible edge of the frame of a row behind the active one. On top:
  // the x after the row's last tab, the row's bottom and the frame's bottom;
  // on the right: one pixel right of the row's left edge, the y after the
  // row's last tab and the frame's left edge.
  void DrawBackRowEdge(int a, int b, int c);
  // A corner triangle beside a tab's chamfer, in the current pen and brush colour.
  void FillTabCorner(int x, int y, bool atStart);

 private:
  enum class Ink { C, P, Black, Highlight, Shadow };

  void TakeMeasures();
  void PaintStrip();
  void PaintBehindRow(int d, int y, int xr, int end);
  void PaintBeyondRow(int d, int end);
  void UseFont(const plat::Font& font, plat::Color color);
  void SetFontColor(plat::Color color);
  void SetTextInk(plat::Color color, bool opaque);
  void PaintCorners(int x, int y, int d, int k);
  bool DrawTabHook(int index, const std::string& title, bool enabled, bool active);
  void DrawTopTitle(const std::string& title, bool enabled, const plat::Rect& tr);
  void DrawRightTitle(const std::string& title, bool enabled, int titleOffset, int top, int right,
                      const plat::Rect& tr);
  void DrawTopOutline(int L, int T, int R, int B, bool active);
  void DrawRightOutline(int L, int T, int R, int B, bool active);

  // Drawing in one of the notebook's colours.
  plat::Color Rgb(Ink ink) const;
  void Lines(Ink ink, std::initializer_list<std::initializer_list<plat::Point>> polylines);
  void Fill(Ink ink, const plat::Rect& r);
  void FillPolygon(Ink ink, std::initializer_list<plat::Point> points);
  void Pixel(Ink ink, int x, int y);

  TNotebookModel& nb_;
  plat::Canvas& canvas_;
  TNbkPaintContext context_;
  // Fixed for one paint.
  int width_ = 0;
  int height_ = 0;
  int e_ = 0;  // the far edge of the page frame along the strip
  bool threeD_ = false;
  bool right_ = false;
  // The font in use and the title offset measured with it.
  bool activeInUse_ = false;
  int titleOffset_ = 0;
};

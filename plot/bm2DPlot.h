#pragma once
// The heart of a plot window without the window: the paint box, the registry
// of drawing styles that clients draw with, the drawing operations in world
// coordinates, the title and axis setters, the data group shown, and painting
// on the screen, a printer page or a metafile.
//
// The plot window (Tbm2DForm) wraps one of these in a form with menus and a
// group spin; tests drive it directly on a recording canvas.

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/Printer.h"
#include "plot/bm2DPaintBox.h"
#include "rtl/ScopeGuard.h"

// Kinds of drawing styles, as registered with AddStyle.
enum TbmStyleKind : int { bmLineStyle, bmSymbolStyle, bmLineSymbolStyle, bmBarStyle, bmTextStyle, bmQuadStyle };

// A client that shows one data group on several pages, one at a time (a tree
// taller than a page). Without it every group is one page.
struct TbmPaging {
  // The pages the group will have when it is drawn next.
  std::function<int(int group)> Count;
  // The page shown, and showing another (drawn at the next paint).
  std::function<int()> Current;
  std::function<void(int page)> Show;
};

// Which page of a plot is painted: its data group and its page within the group.
struct TbmPageNumber {
  int group = 1;
  int groupCount = 1;
  int page = 1;
  int pageCount = 1;
};

// Where a plot's pages go, one after another: a printer's document, a file per page.
class TbmPageSink {
 public:
  struct Page {
    plat::Canvas& canvas;
    int width;  // the page in the canvas's pixels
    int height;
  };
  virtual ~TbmPageSink() = default;
  // The next page, to paint on.
  virtual Page BeginPage(const TbmPageNumber& number) = 0;
  // The page is painted.
  virtual void EndPage() {}
};

class Tbm2DPlot {
 public:
  // `screen` is the canvas the plot measures and paints on while it is shown.
  Tbm2DPlot(plat::Canvas& screen, int width, int height);

  Tbm2DPaintBox& PaintBox() { return PaintBox_; }
  TbmPlot2DPlotPartsClass& Parts() { return PaintBox_.Parts(); }
  const TbmPlot2DPlotPartsClass& Parts() const { return PaintBox_.Parts(); }

  // The client's callbacks: Draw paints the data, Options opens its options window.
  std::function<void()> DrawCallback;
  std::function<void()> OptionsCallback;
  // The client's pages within a data group.
  TbmPaging Paging;
  // Reports an error found while painting the screen (the default error box).
  std::function<void(const std::string& message)> OnPaintError;

  // Data groups: with fewer than two there is no choice and the value is 1.
  void SetGroupCount(int count);
  int GroupCount() const { return GroupCount_; }
  int ByGroupValue() const { return GroupCount_ < 2 ? 1 : GroupValue_; }
  // Clamped to 1 .. group count.
  void SetGroupValue(int value);

  // ---- Style registry ----
  // Registers a style of the kind; autoStyle gives lines, symbols and bars
  // varying looks. Returns its identifier (1 for the first).
  int AddStyle(int kind, bool autoStyle);
  // The registered style, or null for an identifier that is not registered.
  TbmStyleEntry* FindStyle(int identifier);
  const TbmStyleList& Styles() const { return Styles_; }
  int StyleCount(int kind) const;
  void ClearStyles();

  // ---- Drawing for clients (world coordinates; between BeginDataPaint and EndDataPaint) ----
  // Lines and symbols of an identifier of another kind, or of none, use the
  // paint box's current style; texts and quadrilaterals are then not drawn.
  void DrawLine(int identifier, double x1, double y1, double x2, double y2);
  void DrawSymbols(int count, const double* xs, const double* ys, int identifier);
  void DrawText(int identifier, const std::string& text, double x, double y);
  void DrawQuad(int identifier, double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4);
  void SetTextAlignment(int identifier, int alignment);

  // Paints the frame (laid out for the window unless printing) and clips to the plot.
  void BeginDataPaint();
  void EndDataPaint();

  // ---- Parts for clients and option windows ----
  void SetTitle(const std::string& text) { Parts().Title.Text = text; }
  const std::string& GetTitle() { return Parts().Title.Text; }
  void SetSubTitle(const std::string& text) { Parts().SubTitle.Text = text; }
  const std::string& GetSubTitle() { return Parts().SubTitle.Text; }
  void SetXAxisTitle(const std::string& text) { Parts().XAxisTitle.Text = text; }
  void SetYAxisTitle(const std::string& text) { Parts().YAxisTitle.Text = text; }
  // The bounds as given, not ordered.
  void SetXRange(double min, double max);
  void SetYRange(double min, double max);
  bool XAutoscale() { return Parts().XAxis.Autoscale; }
  bool YAutoscale() { return Parts().YAxis.Autoscale; }

  // ---- Painting ----
  // The window's size changed: lays out for it.
  void Resize(int width, int height);
  // Lays out for the window's size.
  void LayoutScreen();
  // Paints on the canvas: the client's Draw, or the frame alone without one.
  // Errors pass to the caller.
  void PaintAll(plat::Canvas& canvas);
  // Paints the window on its paint event's canvas, then measures on the screen
  // canvas again. An error is reported once, not again on every repaint while
  // it stays the same; a paint that succeeds forgets it.
  void PaintScreen(plat::Canvas& canvas);
  // Paints another device of the window's size (a metafile or a bitmap), laid
  // out for that device's resolution, then returns to the screen.
  void PaintDevice(plat::Canvas& canvas);
  // The orientation of a printed page, as the parts give it.
  plat::Orientation PageOrientation() const;
  // Prints the page shown: orientation from the parts, the page laid out and
  // painted. A failure aborts the document. The screen layout returns in every case.
  void Print(plat::Printer& printer, const std::string& title);
  // Prints every page of every data group as one document, in the same way.
  void PrintEveryPage(plat::Printer& printer, const std::string& title);
  // Paints every page of every data group on the sink's pages, each laid out
  // for its page; the group and the page shown before return, and the screen layout.
  void PaintEveryPage(TbmPageSink& sink);
  // The pages PaintEveryPage paints, in its order.
  std::vector<TbmPageNumber> EveryPage() const;

 private:
  void RestoreScreen();
  void PrintPages(plat::Printer& printer, const std::string& title, bool everyPage);
  void PaintShownPage(TbmPageSink& sink);
  // Paints one page of the group shown on the sink.
  void PaintPage(TbmPageSink& sink, const TbmPageNumber& number);
  int PageCount(int group) const { return Paging.Count ? std::max(Paging.Count(group), 1) : 1; }
  int ShownPage() const { return Paging.Current ? std::max(Paging.Current(), 1) : 1; }
  void ShowPage(int page) {
    if (Paging.Show) Paging.Show(page);
  }
  void ApplyAutoLook(TbmStyleEntry& entry);

  plat::Canvas& Screen_;
  Tbm2DPaintBox PaintBox_;
  TbmStyleList Styles_;
  int Counts_[6] = {};
  int GroupCount_ = 1;
  int GroupValue_ = 1;
  std::string ReportedError_;
};

// A client's drawing: BeginDataPaint on construction, EndDataPaint when the
// scope ends, however it ends.
class TbmDataPaint {
 public:
  explicit TbmDataPaint(Tbm2DPlot& plot) : end_(Begin(plot)) {}

 private:
  struct TEnd {
    Tbm2DPlot* plot;
    void operator()() const { plot->EndDataPaint(); }
  };
  static TEnd Begin(Tbm2DPlot& plot) {
    plot.BeginDataPaint();
    return TEnd{&plot};
  }

  rtl::ScopeExit<TEnd> end_;
};

#include "plot/bm2DPlot.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace {

// Colours of the automatic looks: black, maroon, green, olive, navy, purple, teal, grey.
constexpr plat::Color kAutoColors[8] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080};

plat::Color AutoColor(int n) { return kAutoColors[n % 8]; }

TbmStylePart NewPart(int kind) {
  switch (kind) {
    case bmLineStyle: return TbmLineClass();
    case bmSymbolStyle: return TbmSymbolClass();
    case bmLineSymbolStyle: return TbmLineSymbolClass();
    case bmBarStyle: return TbmBarClass();
    case bmTextStyle: return TbmTextClass();
    default: return TbmQuadClass();
  }
}

// The look of the m-th symbol (symbols and lines with symbols share the count).
void AutoSymbol(TbmSymbolClass& symbol, int m) {
  symbol.Kind = static_cast<std::uint8_t>(m % 8);
  plat::Color fill = AutoColor(m / 8);
  if (fill == plat::clBlack) fill = plat::clWhite;
  symbol.Fill.color = fill;
  const bool drawnInLines = symbol.Kind == bmCross || symbol.Kind == bmPlus || symbol.Kind == bmStar;
  if (fill != plat::clWhite && drawnInLines) symbol.Outline.color = plat::clWhite;
}

}  // namespace

Tbm2DPlot::Tbm2DPlot(plat::Canvas& screen, int width, int height) : Screen_(screen), PaintBox_(screen, width, height) {
  PaintBox_.Parts().Legend.Styles = &Styles_;
}

void Tbm2DPlot::SetGroupCount(int count) {
  GroupCount_ = count;
  GroupValue_ = 1;
}

void Tbm2DPlot::SetGroupValue(int value) { GroupValue_ = std::clamp(value, 1, std::max(GroupCount_, 1)); }

// ---- Style registry ----

int Tbm2DPlot::AddStyle(int kind, bool autoStyle) {
  kind = std::clamp(kind, 0, 5);
  TbmStyleEntry entry;
  entry.Id = Styles_.empty() ? 1 : Styles_.back().Id + 1;
  entry.Part = NewPart(kind);
  if (autoStyle) ApplyAutoLook(entry);
  ++Counts_[kind];
  Styles_.push_back(std::move(entry));
  return Styles_.back().Id;
}

void Tbm2DPlot::ApplyAutoLook(TbmStyleEntry& entry) {
  const int symbolsBefore = Counts_[bmSymbolStyle] + Counts_[bmLineSymbolStyle];
  switch (entry.Kind()) {
    case bmLineStyle: {
      const int n = Counts_[bmLineStyle];
      auto& line = std::get<TbmLineClass>(entry.Part);
      line.Pen.style = LineStyleOfCode(n % 3);
      line.Pen.color = AutoColor(n / 3);
      break;
    }
    case bmSymbolStyle: AutoSymbol(std::get<TbmSymbolClass>(entry.Part), symbolsBefore); break;
    case bmLineSymbolStyle: {
      auto& ls = std::get<TbmLineSymbolClass>(entry.Part);
      AutoSymbol(ls, symbolsBefore);
      ls.LinePen.style = LineStyleOfCode(Counts_[bmLineSymbolStyle] % 3);
      ls.LinePen.color = ls.Fill.color == plat::clWhite ? plat::clBlack : ls.Fill.color;
      break;
    }
    case bmBarStyle: {
      const int n = Counts_[bmBarStyle];
      auto& bar = std::get<TbmBarClass>(entry.Part);
      bar.Hatch.style = FillStyleOfCode((n + 1) % 4);
      bar.Hatch.color = AutoColor(n / 4);
      break;
    }
    default: break;  // texts and quadrilaterals keep their defaults
  }
}

TbmStyleEntry* Tbm2DPlot::FindStyle(int identifier) {
  auto it =
      std::find_if(Styles_.begin(), Styles_.end(), [identifier](const TbmStyleEntry& e) { return e.Id == identifier; });
  return it == Styles_.end() ? nullptr : &*it;
}

int Tbm2DPlot::StyleCount(int kind) const { return kind >= 0 && kind < 6 ? Counts_[kind] : 0; }

void Tbm2DPlot::ClearStyles() {
  Styles_.clear();
  std::fill(std::begin(Counts_), std::end(Counts_), 0);
}

// ---- Drawing for clients ----

void Tbm2DPlot::DrawLine(int identifier, double x1, double y1, double x2, double y2) {
  if (identifier != 0) {
    if (TbmStyleEntry* e = FindStyle(identifier); e && e->Kind() == bmLineStyle)
      PaintBox_.SetCurrentLine(std::get<TbmLineClass>(e->Part));
  }
  PaintBox_.DrawLine(x1, y1, x2, y2);
}

void Tbm2DPlot::DrawSymbols(int count, const double* xs, const double* ys, int identifier) {
  if (count <= 0) return;
  if (identifier != 0) {
    if (TbmStyleEntry* e = FindStyle(identifier); e && e->Kind() == bmSymbolStyle)
      PaintBox_.SetCurrentSymbol(std::get<TbmSymbolClass>(e->Part));
  }
  for (int i = 0; i < count; ++i) PaintBox_.DrawSymbolAt(xs[i], ys[i]);
}

void Tbm2DPlot::DrawText(int identifier, const std::string& text, double x, double y) {
  if (TbmStyleEntry* e = FindStyle(identifier); e && e->Kind() == bmTextStyle)
    PaintBox_.DrawTextAt(std::get<TbmTextClass>(e->Part), text, x, y);
}

void Tbm2DPlot::DrawQuad(int identifier, double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                         double y4) {
  TbmStyleEntry* e = FindStyle(identifier);
  if (e == nullptr || e->Kind() != bmQuadStyle) return;
  const double xs[4] = {x1, x2, x3, x4};
  const double ys[4] = {y1, y2, y3, y4};
  PaintBox_.DrawQuadAt(std::get<TbmQuadClass>(e->Part), xs, ys);
}

void Tbm2DPlot::SetTextAlignment(int identifier, int alignment) {
  if (TbmStyleEntry* e = FindStyle(identifier); e && e->Kind() == bmTextStyle)
    std::get<TbmTextClass>(e->Part).Alignment = static_cast<std::uint8_t>(alignment);
}

// The client has set its axis ranges by now: a page is laid out again for
// them, as the screen is, so that a page painted before the screen ever was
// (or another group's or page's) takes its aspect and margins from its own data.
void Tbm2DPlot::BeginDataPaint() {
  if (PaintBox_.Printing) {
    const plat::Rect page = PaintBox_.LaidOutArea();
    PaintBox_.Layout(page.right, page.bottom);
  } else {
    LayoutScreen();
  }
  PaintBox_.PaintPlot();
  PaintBox_.ClipToPlot();
}

void Tbm2DPlot::EndDataPaint() { PaintBox_.TargetCanvas().SetClipRect(PaintBox_.LaidOutArea()); }

void Tbm2DPlot::SetXRange(double min, double max) {
  auto& axis = Parts().XAxis;
  axis.Min = min;
  axis.Max = max;
  axis.Range = max - min;
}

void Tbm2DPlot::SetYRange(double min, double max) {
  auto& axis = Parts().YAxis;
  axis.Min = min;
  axis.Max = max;
  axis.Range = max - min;
}

// ---- Painting ----

void Tbm2DPlot::Resize(int width, int height) {
  PaintBox_.SetClientSize(width, height);
  LayoutScreen();
}

void Tbm2DPlot::LayoutScreen() { PaintBox_.Layout(PaintBox_.ClientWidth(), PaintBox_.ClientHeight()); }

void Tbm2DPlot::PaintAll(plat::Canvas& canvas) {
  PaintBox_.SelectCanvas(canvas);
  if (DrawCallback)
    DrawCallback();
  else
    PaintBox_.FormPaint();
}

void Tbm2DPlot::PaintScreen(plat::Canvas& canvas) {
  try {
    PaintAll(canvas);
    ReportedError_.clear();
  } catch (const std::exception& error) {
    PaintBox_.SelectCanvas(Screen_);
    const std::string message = error.what();
    if (message == ReportedError_) return;
    ReportedError_ = message;
    if (OnPaintError) OnPaintError(message);
    return;
  }
  PaintBox_.SelectCanvas(Screen_);
}

void Tbm2DPlot::RestoreScreen() {
  PaintBox_.Printing = false;
  PaintBox_.SelectCanvas(Screen_);
  LayoutScreen();
}

void Tbm2DPlot::PaintDevice(plat::Canvas& canvas) {
  const rtl::ScopeExit restore([this] { RestoreScreen(); });
  PaintBox_.SelectCanvas(canvas);
  LayoutScreen();
  PaintAll(canvas);
}

plat::Orientation Tbm2DPlot::PageOrientation() const {
  return Parts().PageOrientation == 0 ? plat::Orientation::Portrait : plat::Orientation::Landscape;
}

void Tbm2DPlot::Print(plat::Printer& printer, const std::string& title) { PrintPages(printer, title, false); }

void Tbm2DPlot::PrintEveryPage(plat::Printer& printer, const std::string& title) { PrintPages(printer, title, true); }

namespace {

// A printer's document: each page after the first begins a new sheet.
class TPrinterPages : public TbmPageSink {
 public:
  explicit TPrinterPages(plat::Printer& printer) : printer_(printer) {}
  Page BeginPage(const TbmPageNumber&) override {
    if (started_) printer_.NewPage();
    started_ = true;
    return {printer_.PageCanvas(), printer_.PageWidth(), printer_.PageHeight()};
  }

 private:
  plat::Printer& printer_;
  bool started_ = false;
};

}  // namespace

void Tbm2DPlot::PrintPages(plat::Printer& printer, const std::string& title, bool everyPage) {
  const rtl::ScopeExit restore([this] { RestoreScreen(); });
  printer.SetOrientation(PageOrientation());
  PaintBox_.Printing = true;
  if (!printer.BeginDoc(title)) return;
  rtl::ScopeFail abort([&printer] { printer.Abort(); });
  TPrinterPages pages(printer);
  if (everyPage) {
    PaintEveryPage(pages);
  } else {
    PaintShownPage(pages);
  }
  abort.Dismiss();
  printer.EndDoc();
}

void Tbm2DPlot::PaintShownPage(TbmPageSink& sink) {
  const rtl::ScopeExit restore([this] { RestoreScreen(); });
  const int groups = std::max(GroupCount_, 1);
  const int group = ByGroupValue();
  PaintPage(sink, {group, groups, ShownPage(), PageCount(group)});
}

std::vector<TbmPageNumber> Tbm2DPlot::EveryPage() const {
  std::vector<TbmPageNumber> numbers;
  const int groups = std::max(GroupCount_, 1);
  for (int group = 1; group <= groups; ++group) {
    const int pages = PageCount(group);
    for (int page = 1; page <= pages; ++page) numbers.push_back({group, groups, page, pages});
  }
  return numbers;
}

void Tbm2DPlot::PaintEveryPage(TbmPageSink& sink) {
  const rtl::ScopeExit restore([this, group = GroupValue_, page = ShownPage()] {
    GroupValue_ = group;
    ShowPage(page);
    RestoreScreen();
  });
  for (const TbmPageNumber& number : EveryPage()) {
    GroupValue_ = number.group;
    ShowPage(number.page);
    PaintPage(sink, number);
  }
}

void Tbm2DPlot::PaintPage(TbmPageSink& sink, const TbmPageNumber& number) {
  const TbmPageSink::Page page = sink.BeginPage(number);
  PaintBox_.Printing = true;
  PaintBox_.SelectCanvas(page.canvas);
  // A new sheet keeps no clip of the one before.
  page.canvas.RemoveClip();
  PaintBox_.Layout(page.width, page.height);
  PaintAll(page.canvas);
  sink.EndPage();
}

// The editor under a listing of 1,000 and of 100,000 lines in an 800 x 600
// window painting into a bitmap: one typed character with the repaint of its
// line, and one page down or one thumb step with the repaint of the window.
// The steps must cost about the same on both listings.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "ListingText.h"
#include "controls/editor/EditCore.h"
#include "platform/BitmapCanvas.h"
#include "platform/Form.h"

namespace {

// An editor whose window is a bitmap; invalidated areas are painted by Repaint.
class BitmapEditor : public TEditorCore {
 public:
  BitmapEditor() : bitmap_(800, 600) {
    FixedFont().SetName("Courier New");
    FixedFont().SetSize(10);
    RecalcLayout(false);
    Repaint();
  }
  void Repaint() {
    if (dirty_.Width() <= 0 || dirty_.Height() <= 0) return;
    plat::Canvas& canvas = bitmap_.GetCanvas();
    canvas.SetClipRect(dirty_);
    PaintEditor(canvas);
    canvas.RemoveClip();
    dirty_ = {};
  }

 protected:
  bool HasWindow() const override { return true; }
  int ClientWidthOf() const override { return 800; }
  int ClientHeightOf() const override { return 600; }
  void ApplyScrollBar(plat::ScrollBarKind, const TScrollRange&) override {}
  void InvalidateArea(const plat::Rect& r) override {
    dirty_ = dirty_.Width() <= 0 ? r
                                 : plat::Rect{std::min(dirty_.left, r.left), std::min(dirty_.top, r.top),
                                              std::max(dirty_.right, r.right), std::max(dirty_.bottom, r.bottom)};
  }
  void UpdateWindow() override { Repaint(); }
  bool HasFocus() const override { return true; }
  bool IsEnabled() const override { return true; }
  plat::Color ControlColor() const override { return plat::clWhite; }
  void PlaceCaret(int, int, bool) override {}
  plat::TextMetrics MeasureFont(const plat::Font& font) override {
    plat::Canvas& canvas = bitmap_.GetCanvas();
    canvas.SetFont(font);
    return canvas.GetTextMetrics();
  }
  void RecreateWindow() override { RecalcLayout(false); }

 private:
  plat::BitmapCanvas bitmap_;
  plat::Rect dirty_;
};

std::unique_ptr<BitmapEditor> ListingEditor(std::int64_t lines) {
  auto editor = std::make_unique<BitmapEditor>();
  std::string text;
  for (std::int64_t i = 0; i < lines; ++i) text += ListingLine(i) + "\r\n";
  editor->InsertTextAtCaret(text);
  editor->MoveCaretToLineCol(static_cast<std::int32_t>(lines / 2) + 2, 30);
  editor->Repaint();
  return editor;
}

void TypeOneCharacter(benchmark::State& state) {
  auto editor = ListingEditor(state.range(0));
  for (auto _ : state) {
    editor->DoCommand(ccChar, 'x');
    editor->Repaint();
    state.PauseTiming();
    editor->DoCommand(ccBack, 0);
    editor->Repaint();
    state.ResumeTiming();
  }
}

void PageDown(benchmark::State& state) {
  auto editor = ListingEditor(state.range(0));
  for (auto _ : state) {
    editor->DoCommand(ccNextPage, 0);
    editor->Repaint();
    if (editor->CaretLine() == editor->CountParagraphs()) {
      state.PauseTiming();
      editor->MoveCaretToLineCol(1, 1);
      editor->Repaint();
      state.ResumeTiming();
    }
  }
}

void ThumbStep(benchmark::State& state) {
  auto editor = ListingEditor(state.range(0));
  std::int32_t pos = 1;
  for (auto _ : state) {
    if (++pos > editor->VerticalBar().max) pos = 1;
    editor->Scroll(plat::ScrollBarKind::Vertical, plat::ScrollCode::ThumbTrack, pos);
    editor->Repaint();
  }
}

BENCHMARK(TypeOneCharacter)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(PageDown)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(ThumbStep)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  int appArgc = 1;
  plat::InitApplication(appArgc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

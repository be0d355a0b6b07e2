#pragma once
// A table on a pretend window for the tests: a client area of a given size,
// a focus flag, a recording canvas that every paint goes to, and a record of
// window scrolls and scroll-bar values. A scroll's uncovered strip comes back
// as a paint request at the next update, as a window system sends it.

#include <map>
#include <optional>
#include <vector>

#include "controls/table/VirTblCore.h"
#include "platform/record/RecordingCanvas.h"

class TestTable : public TVirTableCore {
 public:
  bool window = true;
  int width = 300;
  int height = 200;
  bool focused = false;
  plat::RecordingCanvas canvas;
  struct Scroll {
    int dx, dy;
    plat::Rect area;
  };
  std::vector<Scroll> scrolls;
  std::map<plat::ScrollBarKind, TVirScrollBarValues> bars;

  bool HandleAllocated() const override { return window; }
  // Paints the whole client area as the window's first paint request does.
  void PaintAll() { WindowPaint(canvas, {0, 0, width, height}); }

 protected:
  int HostClientWidth() const override { return width; }
  int HostClientHeight() const override { return height; }
  bool HostFocused() const override { return focused; }
  void HostPaint(const std::function<void(plat::Canvas&)>& paint) override { paint(canvas); }
  void HostScroll(int dx, int dy, plat::Rect area) override {
    scrolls.push_back({dx, dy, area});
    plat::Rect uncovered = area;
    if (dy < 0) uncovered.top = area.bottom + dy;
    if (dy > 0) uncovered.bottom = area.top + dy;
    if (dx < 0) uncovered.left = area.right + dx;
    if (dx > 0) uncovered.right = area.left + dx;
    pending_ = uncovered;
  }
  void HostUpdate() override {
    if (pending_) WindowPaint(canvas, *pending_);
    pending_.reset();
  }
  void HostSetScrollBar(plat::ScrollBarKind bar, TVirScrollBarValues values) override { bars[bar] = values; }

 private:
  std::optional<plat::Rect> pending_;
};

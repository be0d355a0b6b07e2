#pragma once
// A table on a pretend window for the tests: a client area of a given size,
// a focus flag, a recording canvas that every paint goes to, and a record of
// window scrolls and scroll-bar values. A scroll's uncovered strip comes back
// as a paint request at the next update, as a window system sends it. Posted
// messages wait in a queue until Pump delivers them; keys translate through a
// command processor of its own.

#include <cstdint>
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
  bool editorFocused = false;  // the focus is in the edit control
  plat::RecordingCanvas canvas;
  TVirCommandProcessor commands;
  plat::CursorShape cursor = plat::CursorShape::Default;
  struct Posted {
    std::uint32_t msg;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };
  std::vector<Posted> posted;
  std::vector<TVirForwardedKey> forwardedKeys;  // reached the edit control
  std::vector<plat::Point> forwardedClicks;
  TVirCellDirectory directory;  // where stored cell names resolve
  struct Scroll {
    int dx, dy;
    plat::Rect area;
  };
  std::vector<Scroll> scrolls;
  std::map<plat::ScrollBarKind, TVirScrollBarValues> bars;

  bool HandleAllocated() const override { return window; }
  // Paints the whole client area as the window's first paint request does.
  void PaintAll() { WindowPaint(canvas, {0, 0, width, height}); }
  // Delivers the messages posted so far, and those they post, in order.
  void Pump() {
    while (!posted.empty()) {
      const Posted message = posted.front();
      posted.erase(posted.begin());
      HandleTableMessage(message.msg, message.wParam, message.lParam);
    }
  }
  // The window comes into being.
  void Create() {
    window = true;
    WindowCreated();
  }
  void Focus() {
    focused = true;
    editorFocused = false;
    FocusChanged(true);
  }

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
  void HostPostMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
    posted.push_back({msg, wParam, lParam});
  }
  TVirCommandProcessor* HostCommands() override { return &commands; }
  void HostSetCursor(plat::CursorShape shape) override { cursor = shape; }
  void HostFocusEditor(TVirBaseTableCell&) override {
    focused = false;
    editorFocused = true;
  }
  void HostFocusTable() override {
    focused = true;
    editorFocused = false;
  }
  bool HostEditorFocused() const override { return editorFocused; }
  void HostForwardKey(TVirBaseTableCell&, const TVirForwardedKey& key) override { forwardedKeys.push_back(key); }
  TVirCellDirectory HostCellDirectory() override { return directory; }
  void HostForwardClick(TVirBaseTableCell&, plat::ShiftState, int x, int y) override {
    forwardedClicks.push_back({x, y});
  }

 private:
  std::optional<plat::Rect> pending_;
};

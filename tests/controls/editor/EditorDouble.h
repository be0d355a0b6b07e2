#pragma once
// An editor in a window of fixed size for the tests: characters 8 pixels wide,
// lines 16 pixels high, and records of what it asks of its window. A
// clipboard double beside it.

#include <map>
#include <string>
#include <vector>

#include "controls/editor/EditCore.h"
#include "platform/Clipboard.h"

class TestEditor : public TEditorCore {
 public:
  static constexpr int kCharWidth = 8;
  static constexpr int kLineHeight = 16;

  // A window of `columns` x `rows` characters between the default margins.
  explicit TestEditor(int columns = 80, int rows = 20) { Resize(columns, rows); }

  void Resize(int columns, int rows) {
    width = LeftMargin() + RightMargin() + columns * kCharWidth;
    height = rows * kLineHeight;
    Measure();
    RecalcLayout(false);
  }
  // The text as its paragraphs, joined by '|'.
  std::string Text() const;
  void SetText(const std::string& paragraphsBarSeparated);
  // Runs commands one after another.
  void Run(std::initializer_list<int> commands);
  void Type(const std::string& text);

  int width = 0;
  int height = 0;
  bool focused = true;
  bool enabled = true;
  std::map<plat::ScrollBarKind, TScrollRange> bars;
  std::vector<plat::Rect> invalidated;
  int recreated = 0;
  int updates = 0;
  plat::Point caretAt;
  bool caretVisible = false;

 protected:
  bool HasWindow() const override { return true; }
  int ClientWidthOf() const override { return width; }
  int ClientHeightOf() const override { return height; }
  void ApplyScrollBar(plat::ScrollBarKind bar, const TScrollRange& range) override { bars[bar] = range; }
  void InvalidateArea(const plat::Rect& rect) override { invalidated.push_back(rect); }
  void UpdateWindow() override { ++updates; }
  bool HasFocus() const override { return focused; }
  bool IsEnabled() const override { return enabled; }
  plat::Color ControlColor() const override { return plat::clWhite; }
  void PlaceCaret(int x, int y, bool visible) override {
    caretAt = {x, y};
    caretVisible = visible;
  }
  plat::TextMetrics MeasureFont(const plat::Font&) override { return {kLineHeight - 1, 0, kCharWidth}; }
  void RecreateWindow() override {
    ++recreated;
    RecalcLayout(false);
  }
};

class FakeClipboard : public plat::Clipboard {
 public:
  void Set(const plat::ClipboardContent& content) override { text = content.text.value_or(""); }
  bool HasText() override { return !text.empty(); }
  std::string GetText() override { return text; }
  std::string text;
};

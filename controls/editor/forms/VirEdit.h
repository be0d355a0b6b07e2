#pragma once
// The library's multi-line editor control: the editor (TEditorCore) in a
// window of the control base. Keys become commands through the form's
// controller; the caret pair shares the insert mode with the form's other
// controls; the mouse selects text, and selects whole lines over the left
// margin, scrolling from a timer while it is held outside the window.

#include <memory>

#include "controls/base/forms/VirBase.h"
#include "controls/base/forms/VirCaret.h"
#include "controls/editor/EditCore.h"
#include "platform/BitmapCanvas.h"

// The editor's window base: the control base as it is.
class TVirEditBase : public TVirBase {
 public:
  using TVirBase::TVirBase;
};

class TVirCustomEditor : public TVirEditBase, public TEditorCore {
 public:
  explicit TVirCustomEditor(plat::Control& parent);
  ~TVirCustomEditor() override;

  TVirCaretPair& Carets() { return carets_; }
  // The insert or overwrite caret of the pair.
  void SetCaretIns(std::shared_ptr<TVirCaret> caret);
  void SetCaretOvr(std::shared_ptr<TVirCaret> caret);
  void SetInsertMode(bool insert) override;
  // The control's colour (clWindow by default; system colours are resolved when painting).
  plat::Color Color() const { return color_; }
  void SetColor(plat::Color color);
  void SetWantTab(bool want);

  void DefineProperties(TVirFiler& filer) override;

 protected:
  void CreateWnd() override;
  void Paint(plat::Canvas& canvas) override;
  void KeyDown(int& key, plat::ShiftState shift) override;
  void KeyPress(char32_t& ch) override;
  void MouseDown(plat::MouseButton button, plat::ShiftState shift, int x, int y) override;
  void MouseMove(plat::ShiftState shift, int x, int y) override;
  void MouseUp(plat::MouseButton button, plat::ShiftState shift, int x, int y) override;
  void MouseWheel(plat::ShiftState shift, int delta, int x, int y) override;
  void FocusGained(plat::Control* losing) override;
  void FocusLost(plat::Control* gaining) override;
  void Scrolled(plat::ScrollBarKind bar, plat::ScrollCode code, int pos) override;
  void TimerTick(int id) override;
  void Resized() override;
  TBorderStyle WindowBorder() const override { return BorderStyle(); }

  // The window's side of the editor.
  bool HasWindow() const override { return HandleAllocated(); }
  int ClientWidthOf() const override { return ClientWidth(); }
  int ClientHeightOf() const override { return ClientHeight(); }
  void ApplyScrollBar(plat::ScrollBarKind bar, const TScrollRange& range) override;
  void InvalidateArea(const plat::Rect& rect) override { InvalidateRect(rect); }
  void UpdateWindow() override { Repaint(); }
  bool HasFocus() const override { return Focused(); }
  bool IsEnabled() const override { return Enabled(); }
  plat::Color ControlColor() const override;
  void PlaceCaret(int x, int y, bool visible) override;
  plat::TextMetrics MeasureFont(const plat::Font& font) override;
  void RecreateWindow() override;

 private:
  static constexpr int kTrackTimer = 1;
  void UpdateCursor(int x);
  void FollowMouse(int x, int y);

  TVirCaretPair carets_{*this};
  plat::Color color_;
  plat::BitmapCanvas measure_{1, 1};
  bool swallowChar_ = false;
  bool resizing_ = false;
  bool inMargin_ = false;
  plat::Point mouse_;
  std::uint32_t trackInterval_ = 0;
};

// The editor as forms use it.
class TVirEditor : public TVirCustomEditor {
 public:
  using TVirCustomEditor::TVirCustomEditor;
};

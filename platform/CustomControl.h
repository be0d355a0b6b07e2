#pragma once
// The base of the component library's controls: a window that paints itself on
// a canvas and receives keys (virtual-key numbers, then the typed text), mouse,
// focus changes (first the loss, then the gain, each naming the other control),
// scroll-bar actions, timer ticks and posted messages. It also owns the caret
// while it has created one. Implemented in platform/qt/.

#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Control.h"
#include "platform/Desktop.h"
#include "platform/Types.h"

#include <cstdint>
#include <functional>
#include <map>

namespace plat {

// The state of the caret of a control, for painting and for tests.
struct CaretState {
  bool exists = false;
  int width = 0;
  int height = 0;
  bool gray = false;
  bool fromBitmap = false;  // drawn from a picture, the size of the picture
  Point position;
  int hideLevel = 1;  // made hidden; visible at level 0
  bool Visible() const { return exists && hideLevel == 0; }
};

class CustomControl : public Control {
 public:
  explicit CustomControl(Control& parent);
  ~CustomControl() override;

  // The client area without the frame and the scroll bars.
  int ClientWidth() const override;
  int ClientHeight() const override;

  // The frame around the client area: none (when made), a black line one
  // pixel wide, or the sunken 3-D edge two pixels wide. Client coordinates
  // (painting, the mouse, the caret, children) start inside it.
  void SetFrame(EditBorder frame);
  EditBorder Frame() const;

  // Scroll bars, as the platform's: setting the position moves the thumb only.
  void SetScrollRange(ScrollBarKind bar, int minPos, int maxPos);
  void SetScrollPage(ScrollBarKind bar, int page);
  void SetScrollPos(ScrollBarKind bar, int pos);
  int ScrollPos(ScrollBarKind bar) const;
  void ShowScrollBar(ScrollBarKind bar, bool visible);
  bool ScrollBarVisible(ScrollBarKind bar) const;

  // The caret: one for the whole program, as the platform's; creating it here
  // destroys the one another control had. It is made hidden.
  void CreateCaret(int width, int height, bool gray = false);
  // A caret drawn from a picture (inverting the pixels under its dark parts).
  void CreateCaret(const RasterImage& bitmap);
  void DestroyCaret();
  void SetCaretPos(int x, int y);
  void ShowCaret();
  void HideCaret();
  CaretState Caret() const;
  static std::uint32_t CaretBlinkTime();
  static void SetCaretBlinkTime(std::uint32_t ms);

  // Timers: `id` ticks every `intervalMs` through TimerTick until killed.
  bool SetTimer(int id, std::uint32_t intervalMs);
  void KillTimer(int id);

  void InvalidateRect(const Rect& rect);
  // Paints now, outside a paint request: `paint` draws over what the control
  // shows, and what it leaves alone stays as it was.
  void PaintNow(const std::function<void(Canvas&)>& paint);
  // The contents of `area` moved by (dx, dy): the whole area comes back as a
  // paint request, at the latest at UpdateNow, and is drawn anew.
  void ScrollArea(int dx, int dy, const Rect& area);
  // Handles this control's waiting paint requests now.
  void UpdateNow();
  void SetCursor(CursorShape shape);
  // A cursor of the program's own drawing, with its hot spot; an empty
  // picture gives the control its default cursor again.
  void SetCursorPicture(const RasterImage& picture, int hotX, int hotY);
  // The size of a scroll bar's arrow button in the platform's style, in pixels.
  static int ScrollArrowSize();
  // Without double clicks, the second press of a double click arrives as a plain press.
  void SetDoubleClicks(bool on);
  // With tabs wanted, Tab reaches KeyDown instead of moving the focus.
  void SetWantTabs(bool want);
  // A control that is no tab stop takes the focus neither from Tab nor from a
  // click; SetFocus still gives it. Custom controls are tab stops when made.
  void SetTabStop(bool tabStop);

  // The control's window counts as made when it is first shown; CreateWnd runs
  // then. HandleNeeded makes it now (an exception of CreateWnd reaches the
  // caller, and the window stays unmade); RecreateWnd runs CreateWnd again on a
  // made window.
  bool HandleAllocated() const { return windowMade_; }
  void HandleNeeded();
  void RecreateWnd();

  // Called by the toolkit layer; they run the overridable handlers below guarded,
  // after the control's Events (ControlEvents.h) for keys, the mouse and clicks.
  void DispatchShown();
  void DispatchPaint(Canvas& canvas);
  // The bounding box of what the running paint request covers (the client
  // area outside one).
  Rect PaintBox() const;
  // `text` is what the key types, in UTF-8.
  void DispatchKeyDown(int key, ShiftState shift, const std::string& text);
  void DispatchKeyUp(int key, ShiftState shift);
  void DispatchMouseDown(MouseButton button, ShiftState shift, int x, int y, bool isDouble);
  void DispatchMouseMove(ShiftState shift, int x, int y);
  void DispatchMouseUp(MouseButton button, ShiftState shift, int x, int y);
  void DispatchMouseWheel(ShiftState shift, int delta, int x, int y);
  void DispatchMouseLeave();
  void DispatchFocusGained(Control* losing);
  void DispatchFocusLost(Control* gaining);
  void DispatchScroll(ScrollBarKind bar, ScrollCode code, int pos);
  void DispatchTimer(int id);
  void DispatchResize();
  // Alt + a character typed on the control's form: the form offers it to its
  // visible, enabled custom controls in turn until one takes it.
  bool DispatchDialogChar(char ch);

 protected:
  // The steps that make the control's window; the base does nothing.
  virtual void CreateWnd();
  virtual void Paint(Canvas& canvas);
  // `key` may be set to 0 to mark it handled; the typed text still follows.
  virtual void KeyDown(int& key, ShiftState shift);
  // One call per typed character (a Unicode code point), after KeyDown; a
  // chord with Alt types none, one with Ctrl control characters only.
  virtual void KeyPress(char32_t& ch);
  virtual void KeyUp(int& key, ShiftState shift);
  virtual void MouseDown(MouseButton button, ShiftState shift, int x, int y);
  virtual void MouseMove(ShiftState shift, int x, int y);
  virtual void MouseUp(MouseButton button, ShiftState shift, int x, int y);
  virtual void MouseWheel(ShiftState shift, int delta, int x, int y);
  virtual void DblClick();
  // The mouse left the control.
  virtual void MouseLeave();
  virtual void FocusGained(Control* losing);
  virtual void FocusLost(Control* gaining);
  virtual void Scrolled(ScrollBarKind bar, ScrollCode code, int pos);
  virtual void TimerTick(int id);
  virtual void Resized();
  // A dialog character (Alt + `ch`); true when the control takes it. The base takes none.
  virtual bool DialogChar(char ch);

 private:
  struct RunningTimer {
    TimerService* service;  // the service that runs it
    TimerService::TimerId id;
  };
  void StopTimer(const RunningTimer& timer);
  std::map<int, RunningTimer> timers_;
  bool windowMade_ = false;
};

}  // namespace plat

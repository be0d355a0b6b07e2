#pragma once
// TVirBaseSpinner and TVirSpinner: the small two-button up/down (or
// left/right) control of the library.
//
// Attached to another control, the spinner places itself beside it when its
// window is made and when Position or Separation change; with AttachTwoWay
// the control follows when the spinner is moved through its own SetBounds.
// While the left button is held on a half the spinner fires its OnClick and,
// when its focused control is an entry field, steps the field's value (or
// moves its caret, horizontally). The press fires at once; the repeats come
// from a platform timer on the schedule of TSpinRepeat (VirSCModel.h), and
// the pointer moving over the other half, off the spinner and back, switches
// or pauses them. A click handler may free the spinner or its form: the
// spinner then stops without touching itself again.

#include <cstdint>
#include <functional>

#include "controls/base/VirSCModel.h"
#include "controls/base/forms/VirBase.h"

class TVirBaseSpinner;
using TSpinClickEvent = std::function<void(TVirBaseSpinner& sender, TSpinState state, double delta, bool wrap)>;

class TVirBaseSpinner : public TVirBase {
 public:
  explicit TVirBaseSpinner(plat::Control& parent);
  ~TVirBaseSpinner() override;

  int Acceleration() const { return acceleration_; }
  void SetAcceleration(int acceleration);  // 0 .. 10; others are ignored
  plat::Control* AttachedControl() const { return attached_.Get(); }
  // Remembered, not placed beside yet; it also becomes the focused control
  // when there is none, and ForceOddSize goes off.
  void SetAttachedControl(plat::Control* control);
  bool AttachTwoWay() const { return attachTwoWay_; }
  void SetAttachTwoWay(bool on) { attachTwoWay_ = on; }
  bool AutoRepeat() const { return autoRepeat_; }
  void SetAutoRepeat(bool on) { autoRepeat_ = on; }
  double Delta() const { return delta_; }
  void SetDelta(double delta) { delta_ = delta; }
  plat::Control* FocusedControl() const { return focused_.Get(); }
  void SetFocusedControl(plat::Control* control) { focused_ = control; }
  bool ForceOddSize() const { return forceOddSize_; }
  void SetForceOddSize(bool on);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position);
  int Separation() const { return separation_; }
  void SetSeparation(int separation);
  bool WrapMode() const { return wrapMode_; }
  void SetWrapMode(bool on) { wrapMode_ = on; }
  TSpinState State() const { return state_; }
  bool Pressed() const { return pressed_; }

  // The spinner's bounds; the height kept odd with ForceOddSize; the attached
  // control dragged along with AttachTwoWay.
  void SetBounds(int left, int top, int width, int height) override;

  TSpinClickEvent OnClick;

 protected:
  void CreateWnd() override;
  void Resized() override;
  void MouseDown(plat::MouseButton button, plat::ShiftState shift, int x, int y) override;
  void MouseMove(plat::ShiftState shift, int x, int y) override;
  void MouseUp(plat::MouseButton button, plat::ShiftState shift, int x, int y) override;
  void TimerTick(int id) override;

  // The press on (x, y), the release, and the halves after a change of size.
  virtual void DoMouseDown(int x, int y) = 0;
  virtual void DoMouseUp() = 0;
  virtual void UpdateRegions() = 0;
  virtual TSpinState GetSpinState(int x, int y) const = 0;

  // Fires the click for a state when it is due; false when the handler freed the spinner.
  bool DoOnClick(TSpinState state);
  // The steps of a press and a release that the spinners share.
  void BeginTracking(TSpinState state);
  void EndTracking();
  void SetState(TSpinState state);
  // Places the spinner beside its control, and the control beside the spinner.
  void AdjustToControl();
  void AdjustControl();

 private:
  void ArmRepeat();

  int acceleration_ = 5;
  plat::WeakRef<plat::Control> attached_;
  bool attachTwoWay_ = false;
  bool autoRepeat_ = true;
  double delta_ = 1.0;
  plat::WeakRef<plat::Control> focused_;
  bool forceOddSize_ = false;
  TPosition position_ = scRight;
  int separation_ = 1;
  bool wrapMode_ = true;

  TSpinState state_ = spNormal;
  TSpinState previous_ = spNormal;
  bool pressed_ = false;
  bool tracking_ = false;
  bool adjusting_ = false;
  TSpinRepeat repeat_;
};

class TVirSpinner : public TVirBaseSpinner {
 public:
  explicit TVirSpinner(plat::Control& parent);

  TSpinOrientation Orientation() const { return orientation_; }
  // Swaps width and height (not while loading).
  void SetOrientation(TSpinOrientation orientation);
  bool ShowArrows() const { return showArrows_; }
  void SetShowArrows(bool show);
  TButtonStyle Style() const { return style_; }
  void SetStyle(TButtonStyle style);
  // The whole client area and its two halves (up or right, down or left).
  const TSpinRegions& Regions() const { return regions_; }

 protected:
  void Paint(plat::Canvas& canvas) override;
  void DoMouseDown(int x, int y) override;
  void DoMouseUp() override;
  void UpdateRegions() override;
  TSpinState GetSpinState(int x, int y) const override;

 private:
  void PaintButtons(plat::Canvas& canvas);
  void DrawArrow(plat::Canvas& canvas, const plat::Rect& half, TSpinState direction, bool pressed);

  TSpinOrientation orientation_ = soVertical;
  bool showArrows_ = true;
  TButtonStyle style_ = bsAutoDetect;
  TSpinRegions regions_{};
};

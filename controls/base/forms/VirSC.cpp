#include "controls/base/forms/VirSC.h"

#include <algorithm>

#include "controls/base/VirEFModel.h"
#include "platform/ButtonFace.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/SystemColors.h"
#include "rtl/ScopeGuard.h"

namespace {

constexpr int kRepeatTimer = 1;
constexpr int kDefaultWidth = 16;
constexpr int kDefaultHeight = 25;
// The smallest size SetBounds allows; nothing in the system sets another.
constexpr int kMinWidth = 0;
constexpr int kMinHeight = 0;

}  // namespace

// ---- TVirBaseSpinner -------------------------------------------------------------------------

TVirBaseSpinner::TVirBaseSpinner(plat::Control& parent) : TVirBase(parent) {
  SetTabStop(false);
  repeat_.SetAcceleration(acceleration_);
}

TVirBaseSpinner::~TVirBaseSpinner() = default;

void TVirBaseSpinner::SetAcceleration(int acceleration) {
  if (acceleration < 0 || acceleration > 10) return;
  acceleration_ = acceleration;
  repeat_.SetAcceleration(acceleration);
}

void TVirBaseSpinner::SetAttachedControl(plat::Control* control) {
  if (control == attached_.Get()) return;
  attached_ = control;
  if (focused_.Get() == nullptr && !Loading()) focused_ = control;
  forceOddSize_ = false;
  Invalidate();
}

void TVirBaseSpinner::SetForceOddSize(bool on) {
  forceOddSize_ = on;
  if (on) SetBounds(Left(), Top(), Width(), Height());
}

void TVirBaseSpinner::SetPosition(TPosition position) {
  position_ = position;
  if (!Loading()) AdjustToControl();
}

void TVirBaseSpinner::SetSeparation(int separation) {
  separation_ = separation;
  if (!Loading()) AdjustToControl();
}

void TVirBaseSpinner::SetBounds(int left, int top, int width, int height) {
  height = std::max(height, kMinHeight);
  if (forceOddSize_ && height % 2 == 0) ++height;
  width = std::max(width, kMinWidth);
  const plat::Rect before = Bounds();
  plat::Control::SetBounds(left, top, width, height);
  if (attachTwoWay_ && Bounds() != before) AdjustControl();
  if (HandleAllocated()) UpdateRegions();
}

void TVirBaseSpinner::AdjustToControl() {
  plat::Control* control = attached_.Get();
  if (control == nullptr || adjusting_) return;
  adjusting_ = true;
  const auto done = rtl::ScopeExit([this] { adjusting_ = false; });
  const plat::Rect r = SpinnerBeside(control->Bounds(), Bounds(), position_, separation_);
  SetBounds(r.left, r.top, r.Width(), r.Height());
}

void TVirBaseSpinner::AdjustControl() {
  plat::Control* control = attached_.Get();
  if (control == nullptr || adjusting_) return;
  adjusting_ = true;
  const auto done = rtl::ScopeExit([this] { adjusting_ = false; });
  const plat::Rect r = ControlBeside(Bounds(), control->Bounds(), position_, separation_);
  control->SetBounds(r.left, r.top, r.Width(), r.Height());
}

void TVirBaseSpinner::CreateWnd() {
  TVirBase::CreateWnd();
  UpdateRegions();
  AdjustToControl();
  UpdateRegions();  // the window counts as made only after this step
}

void TVirBaseSpinner::Resized() {
  TVirBase::Resized();
  UpdateRegions();
  Invalidate();
}

// ---- Press, tracking and release ----------------------------------------------------------------

void TVirBaseSpinner::MouseDown(plat::MouseButton button, plat::ShiftState shift, int x, int y) {
  TVirBase::MouseDown(button, shift, x, y);
  // The second press of a quick double click is a press too: every click steps.
  if (button != plat::MouseButton::Left) return;
  const plat::WeakRef<TVirBaseSpinner> self(this);
  plat::Control* focused = FocusedControl();
  if (focused != nullptr && !focused->Focused()) {
    // The focus holder may refuse to let go (a field whose check failed
    // takes it back): then the press is ignored.
    SetFocus();
    plat::ProcessMessages();
    if (!self || !Focused()) return;
  }
  focused = FocusedControl();
  if (focused != nullptr && focused->CanFocus()) focused->SetFocus();
  DoMouseDown(x, y);
}

void TVirBaseSpinner::BeginTracking(TSpinState state) {
  previous_ = state_;
  state_ = state;
  pressed_ = IsSpinHalf(state);
  tracking_ = true;
  Invalidate();
  repeat_.Start(plat::TickCount());
  if (!DoOnClick(state_)) return;  // the handler freed the spinner
  ArmRepeat();
}

void TVirBaseSpinner::MouseMove(plat::ShiftState shift, int x, int y) {
  TVirBase::MouseMove(shift, x, y);
  if (!tracking_ || (shift & plat::ssLeft) == 0) return;
  const TSpinState now = GetSpinState(x, y);
  if (now == state_) return;
  SetState(now);
  ArmRepeat();
}

void TVirBaseSpinner::SetState(TSpinState state) {
  previous_ = state_;
  state_ = state;
  pressed_ = IsSpinHalf(state);
  Invalidate();
}

void TVirBaseSpinner::MouseUp(plat::MouseButton button, plat::ShiftState shift, int x, int y) {
  TVirBase::MouseUp(button, shift, x, y);
  if (button == plat::MouseButton::Left && tracking_) DoMouseUp();
}

void TVirBaseSpinner::EndTracking() {
  KillTimer(kRepeatTimer);
  tracking_ = false;
  SetState(spNormal);
}

// The timer runs while a half is held; off the halves it waits.
void TVirBaseSpinner::ArmRepeat() {
  if (!tracking_ || !pressed_ || !autoRepeat_) {
    KillTimer(kRepeatTimer);
    return;
  }
  SetTimer(kRepeatTimer, repeat_.Wait(plat::TickCount()));
}

void TVirBaseSpinner::TimerTick(int id) {
  if (id != kRepeatTimer) return;
  // The repeat lasts while the button is down: a release that went elsewhere
  // (to a modal window the click opened) ends it as a release here would.
  if ((plat::CurrentShiftState() & plat::ssLeft) == 0) return DoMouseUp();
  if (!DoOnClick(state_)) return;
  ArmRepeat();
}

bool TVirBaseSpinner::DoOnClick(TSpinState state) {
  auto field = [this] { return dynamic_cast<EntryFieldModel*>(FocusedControl()); };
  if (!OnClick && field() == nullptr) return true;
  if (!pressed_ || !repeat_.Due(plat::TickCount())) return true;
  const plat::WeakRef<TVirBaseSpinner> self(this);
  if (OnClick) {
    const TSpinClickEvent handler = OnClick;  // the handler may replace or free it
    handler(*this, state, delta_, wrapMode_);
    if (!self) return false;
  }
  if (EntryFieldModel* f = field()) {
    switch (state) {
      case spUp: f->IncreaseValue(wrapMode_, delta_); break;
      case spDown: f->DecreaseValue(wrapMode_, delta_); break;
      case spLeft: f->MoveCaret(-1); break;
      case spRight: f->MoveCaret(1); break;
      default: break;
    }
    if (!self) return false;
  }
  repeat_.Fired(plat::TickCount());
  return true;
}

// ---- TVirSpinner ------------------------------------------------------------------------------------

TVirSpinner::TVirSpinner(plat::Control& parent) : TVirBaseSpinner(parent) {
  SetBounds(Left(), Top(), kDefaultWidth, kDefaultHeight);
  UpdateRegions();
}

void TVirSpinner::SetOrientation(TSpinOrientation orientation) {
  if (orientation == orientation_) return;
  orientation_ = orientation;
  if (!Loading()) SetBounds(Left(), Top(), Height(), Width());
  UpdateRegions();
  Invalidate();
}

void TVirSpinner::SetShowArrows(bool show) {
  showArrows_ = show;
  Invalidate();
}

void TVirSpinner::SetStyle(TButtonStyle style) {
  style_ = style;
  Invalidate();
}

void TVirSpinner::UpdateRegions() { regions_ = SpinRegions(ClientWidth(), ClientHeight(), orientation_); }

TSpinState TVirSpinner::GetSpinState(int x, int y) const {
  return SpinStateAt(x, y, ClientWidth(), ClientHeight(), orientation_, Enabled());
}

void TVirSpinner::DoMouseDown(int x, int y) {
  const TSpinState state = GetSpinState(x, y);
  if (!IsSpinHalf(state)) return;
  BeginTracking(state);
}

void TVirSpinner::DoMouseUp() { EndTracking(); }

// ---- Painting ------------------------------------------------------------------------------------------

void TVirSpinner::Paint(plat::Canvas& canvas) { PaintButtons(canvas); }

void TVirSpinner::PaintButtons(plat::Canvas& canvas) {
  const bool vertical = orientation_ == soVertical;
  const TSpinState first = vertical ? spUp : spRight;
  const TSpinState second = vertical ? spDown : spLeft;
  // Every style draws the desktop's raised and sunken faces.
  for (const auto& [half, direction] : {std::pair{regions_.first, first}, std::pair{regions_.second, second}}) {
    const bool down = Pressed() && State() == direction;
    plat::DrawButtonFace(canvas, half, down);
    if (showArrows_) DrawArrow(canvas, half, direction, down);
  }
}

// A filled triangle of odd size s = (min(width, height) div 2) or 1, centred
// in the half, pointing its way, one pixel down and right while pressed.
void TVirSpinner::DrawArrow(plat::Canvas& canvas, const plat::Rect& half, TSpinState direction, bool pressed) {
  const int s = (std::min(half.Width(), half.Height()) / 2) | 1;
  const int reach = s / 2;  // from the tip's line to the base's
  const int shift = pressed ? 1 : 0;
  const int cx = half.left + half.Width() / 2 + shift;
  const int cy = half.top + half.Height() / 2 + shift;
  std::vector<plat::Point> points;
  switch (direction) {
    case spUp: points = {{cx - reach, cy + reach / 2}, {cx + reach, cy + reach / 2}, {cx, cy - reach / 2 - 1}}; break;
    case spDown: points = {{cx - reach, cy - reach / 2}, {cx + reach, cy - reach / 2}, {cx, cy + reach / 2 + 1}}; break;
    case spLeft: points = {{cx + reach / 2, cy - reach}, {cx + reach / 2, cy + reach}, {cx - reach / 2 - 1, cy}}; break;
    default: points = {{cx - reach / 2, cy - reach}, {cx - reach / 2, cy + reach}, {cx + reach / 2 + 1, cy}}; break;
  }
  const plat::Color color = plat::ColorToRGB(Enabled() ? plat::clBtnText : plat::clGrayText);
  plat::CanvasStateSaver saved(canvas);
  canvas.SetPen({color});
  canvas.SetBrush({color, plat::BrushStyle::Solid});
  canvas.Polygon(points);
}

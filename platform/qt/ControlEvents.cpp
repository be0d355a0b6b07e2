// The click, key, mouse and drag events of every control (ControlEvents.h):
// the toolkit layer reports input here, and the drag in progress follows the
// mouse over the source's window.

#include "platform/ControlEvents.h"

#include "platform/Control.h"
#include "platform/Guard.h"
#include "platform/Lifetime.h"
#include "platform/qt/Peer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include <cstdlib>

namespace plat {

namespace {

constexpr int kDragThreshold = 5;

// The drag in progress: its source, the control under the mouse and whether it takes the source.
struct DragRun {
  WeakRef<Control> source;
  WeakRef<Control> target;
  bool accepted = false;
  bool started = false;
  QPoint from;  // where the mouse was when BeginDrag waited for it to move
};

DragRun& TheDrag() {
  static DragRun drag;
  return drag;
}

// The control under a point of the screen within `window`, and the point in its client coordinates.
Control* ControlAt(QWidget* window, const QPoint& global, QPoint& client) {
  const QPoint inWindow = window->mapFromGlobal(global);
  QWidget* widget = window->childAt(inWindow);
  if (widget == nullptr && window->rect().contains(inWindow)) widget = window;
  Control* control = widget != nullptr ? qtbridge::ControlOf(widget) : nullptr;
  if (control != nullptr) client = control->Peer().Container()->mapFromGlobal(global);
  return control;
}

void AskDragOver(Control& target, Control& source, const QPoint& p, DragState state, bool& accept) {
  accept = static_cast<bool>(target.Events.OnDragOver);
  if (accept) RunGuarded([&] { target.Events.OnDragOver(target, source, p.x(), p.y(), state, accept); });
}

// Takes the mouse from the whole program while a drag runs.
class DragFilter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    DragRun& drag = TheDrag();
    switch (event->type()) {
      case QEvent::MouseMove: {
        const QPoint global = static_cast<QMouseEvent&>(*event).globalPosition().toPoint();
        if (!drag.started && (global - drag.from).manhattanLength() < kDragThreshold) return false;
        drag.started = true;
        Over(global);
        return true;
      }
      case QEvent::MouseButtonRelease: {
        if (!drag.started) {
          Stop();
          return false;
        }
        Drop(static_cast<QMouseEvent&>(*event).globalPosition().toPoint());
        return true;
      }
      default: return false;
    }
  }

  void Start() { qApp->installEventFilter(this); }
  void Stop() {
    qApp->removeEventFilter(this);
    TheDrag() = DragRun{};
  }

 private:
  void Over(const QPoint& global) {
    DragRun& drag = TheDrag();
    Control* source = drag.source.Get();
    if (source == nullptr) return Stop();
    QPoint p;
    Control* now = ControlAt(source->Peer().widget->window(), global, p);
    Control* before = drag.target.Get();
    if (before != nullptr && before != now) {
      bool ignored = false;
      const QPoint there = before->Peer().Container()->mapFromGlobal(global);
      AskDragOver(*before, *source, there, DragState::Leave, ignored);
    }
    drag.target = now;
    drag.accepted = false;
    if (now != nullptr && drag.source.Get() != nullptr)
      AskDragOver(*now, *drag.source.Get(), p, now == before ? DragState::Move : DragState::Enter, drag.accepted);
  }

  void Drop(const QPoint& global) {
    Over(global);
    DragRun drag = TheDrag();
    Stop();
    Control* target = drag.accepted ? drag.target.Get() : nullptr;
    QPoint p;
    if (target != nullptr) p = target->Peer().Container()->mapFromGlobal(global);
    if (Control* source = drag.source.Get(); target != nullptr && source != nullptr && target->Events.OnDragDrop)
      RunGuarded([&] { target->Events.OnDragDrop(*target, *source, p.x(), p.y()); });
    target = drag.accepted ? drag.target.Get() : nullptr;
    if (Control* source = drag.source.Get(); source != nullptr && source->Events.OnEndDrag)
      RunGuarded([&] { source->Events.OnEndDrag(*source, target, p.x(), p.y()); });
  }
};

DragFilter& Dragger() {
  static DragFilter* filter = new DragFilter();
  return *filter;
}

// Where the last press was, on the screen: a drag waits for the mouse to move from there.
QPoint& LastPress() {
  static QPoint point;
  return point;
}

// The control that took the last left press, for OnClick at its release.
WeakRef<Control>& Pressed() {
  static WeakRef<Control> pressed;
  return pressed;
}

}  // namespace

void Control::BeginDrag(bool immediate) {
  if (TheDrag().source.Get() != nullptr) return;
  Dragger().Stop();
  TheDrag().source = this;
  TheDrag().started = immediate;
  TheDrag().from = LastPress();
  Dragger().Start();
}

Control* Control::DragSource() { return TheDrag().started ? TheDrag().source.Get() : nullptr; }

namespace qtbridge {

void PressForDrag(Control& control, const QPoint& global) {
  LastPress() = global;
  if (control.GetDragMode() == DragMode::Automatic) control.BeginDrag(false);
}

// A key without a virtual-key number (a character typed alone) still reaches
// the control; only a handler that clears the key keeps it away.
bool FireKeyDown(Control& control, int& key, ShiftState shift) {
  if (!control.Events.OnKeyDown || key == 0) return true;
  RunGuarded([&] { control.Events.OnKeyDown(control, key, shift); });
  return key != 0;
}

bool FireKeyPress(Control& control, char32_t& ch) {
  if (!control.Events.OnKeyPress || ch == 0) return true;
  RunGuarded([&] { control.Events.OnKeyPress(control, ch); });
  return ch != 0;
}

bool FireKeyUp(Control& control, int& key, ShiftState shift) {
  if (!control.Events.OnKeyUp || key == 0) return true;
  RunGuarded([&] { control.Events.OnKeyUp(control, key, shift); });
  return key != 0;
}

void FireMouse(Control& control, MouseAction action, MouseButton button, ShiftState shift, QPoint p, bool clicks) {
  ControlEvents& events = control.Events;
  switch (action) {
    case MouseAction::Down:
      // The press a double click brings (ssDouble) clicks nothing at its release.
      LastPress() = control.Peer().Container()->mapToGlobal(p);
      if (button == MouseButton::Left) Pressed() = (shift & ssDouble) != 0 ? nullptr : &control;
      if (events.OnMouseDown) RunGuarded([&] { events.OnMouseDown(control, button, shift, p.x(), p.y()); });
      break;
    case MouseAction::DoubleClick:
      if (button == MouseButton::Left) Pressed() = nullptr;
      if (events.OnDblClick) RunGuarded([&] { events.OnDblClick(control); });
      break;
    case MouseAction::Move:
      if (events.OnMouseMove) RunGuarded([&] { events.OnMouseMove(control, shift, p.x(), p.y()); });
      break;
    case MouseAction::Up: {
      const bool click = clicks && button == MouseButton::Left && Pressed().Get() == &control &&
                         control.Peer().Container()->rect().contains(p);
      if (button == MouseButton::Left) Pressed() = nullptr;
      WeakRef<Control> alive(&control);
      if (click && events.OnClick) RunGuarded([&] { events.OnClick(control); });
      if (alive.Get() != nullptr && events.OnMouseUp)
        RunGuarded([&] { events.OnMouseUp(control, button, shift, p.x(), p.y()); });
      break;
    }
  }
}

}  // namespace qtbridge
}  // namespace plat

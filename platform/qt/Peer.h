#pragma once
// The toolkit's side of the windows layer: the widget behind each control, and
// the conversions between our values and the toolkit's.

#include "platform/Canvas.h"
#include "platform/Control.h"
#include "platform/Types.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <string>

class QKeyEvent;

namespace plat {

struct ControlPeer {
  QPointer<QWidget> widget;     // the control's own widget
  QPointer<QWidget> container;  // where its children go; the widget itself when null
  QWidget* Container() const { return container ? container.data() : widget.data(); }
};

namespace qtbridge {

// Makes the peer of a new control over `widget`, marking the widget as the control's.
std::unique_ptr<ControlPeer> MakePeer(QWidget* widget, QWidget* container = nullptr);
// The widget that children of `parent` go into.
QWidget* ContainerOf(Control& parent);
// The control a widget (or its nearest ancestor that is one) belongs to; null when none.
Control* ControlOf(const QWidget* widget);
// Marks a widget as the one of `control` (the toolkit layer calls this once per
// control, and with null when the control starts to die).
void Bind(QWidget* widget, Control* control);

// Text shown: the bytes as UTF-8 when they are valid UTF-8, else as Windows-1252.
QString ToQt(const std::string& bytes);
// Text the user typed or picked (names of files included), in UTF-8.
std::string FromQt(const QString& text);
// Text for the component library, which works in single bytes of Windows-1252.
std::string ToCp1252(const QString& text);
QColor ToQColor(Color color);
Color FromQColor(const QColor& color);
QFont ToQFont(const Font& font);
Font FromQFont(const QFont& font, Color color);

// Virtual-key number and shift state of a toolkit key event's key and modifiers.
int VirtualKeyOf(const QKeyEvent& event);
int QtKeyOf(int virtualKey);
// The text a key event types into a control: none for a chord with Alt, and
// control characters only with Ctrl.
QString TypedText(const QKeyEvent& event);
ShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
Qt::KeyboardModifiers ModifiersOf(ShiftState shift);

// The events of ControlEvents.h, reported by the toolkit layer. The key
// events return false when the handler took the key (set it to 0).
bool FireKeyDown(Control& control, int& key, ShiftState shift);
bool FireKeyPress(Control& control, char32_t& ch);
bool FireKeyUp(Control& control, int& key, ShiftState shift);
// A left press on a control: a drag waits for the mouse to move from there,
// and a control in DragMode Automatic starts one.
void PressForDrag(Control& control, const QPoint& global);
enum class MouseAction { Down, DoubleClick, Move, Up };
// A mouse event at `p` in the control's client coordinates; with `clicks`, a
// left release over the control that took the press is a click. A double
// click fires OnDblClick only; the press it brings follows as Down with ssDouble.
void FireMouse(Control& control, MouseAction action, MouseButton button, ShiftState shift, QPoint p, bool clicks = true);

// Makes sure the toolkit application exists (tests and programs that did not call InitApplication).
void EnsureApplication();

}  // namespace qtbridge
}  // namespace plat

#include "platform/Input.h"

#include "platform/DisplayText.h"
#include "platform/MessageQueue.h"
#include "platform/qt/Peer.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>

#include <cctype>

namespace plat::input {

using namespace qtbridge;

namespace {

// The widget that takes the control's keys: the focused part of it, else the control itself.
QWidget* KeyTarget(Control& control) {
  QWidget* focus = QApplication::focusWidget();
  if (focus != nullptr && ControlOf(focus) == &control) return focus;
  QWidget* widget = control.Peer().widget;
  return widget->focusProxy() ? widget->focusProxy() : widget;
}

// The deepest widget of the control under a point, and the point in its coordinates.
std::pair<QWidget*, QPoint> MouseTarget(Control& control, int x, int y) {
  QWidget* widget = control.Peer().widget;
  QWidget* client = control.Peer().Container();
  const QPoint inClient = (x < 0 || y < 0) ? client->rect().center() : QPoint(x, y);
  const QPoint p = client->mapTo(widget, inClient);
  // A point on no part of it (beyond it, or on its frame) goes to the client area.
  QWidget* child = widget->childAt(p);
  if (child == nullptr) return {client, inClient};
  return {child, child->mapFrom(widget, p)};
}

QMenu* ShownPopup() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

Qt::MouseButton QtButton(MouseButton button) {
  switch (button) {
    case MouseButton::Right: return Qt::RightButton;
    case MouseButton::Middle: return Qt::MiddleButton;
    default: return Qt::LeftButton;
  }
}

// The widget that took the last press keeps the mouse until the release, as
// the window system's mouse capture does: moves and the release go to it even
// outside it.
QPointer<QWidget>& MouseGrabber() {
  static QPointer<QWidget> grabber;
  return grabber;
}

Qt::MouseButtons HeldButtons(ShiftState shift) {
  Qt::MouseButtons held;
  if (shift & ssLeft) held |= Qt::LeftButton;
  if (shift & ssRight) held |= Qt::RightButton;
  if (shift & ssMiddle) held |= Qt::MiddleButton;
  return held;
}

void SendMouse(Control& control, QEvent::Type type, MouseButton button, int x, int y, ShiftState shift) {
  auto [target, p] = MouseTarget(control, x, y);
  QPointer<QWidget>& grabber = MouseGrabber();
  const bool captured =
      grabber && (type == QEvent::MouseButtonRelease || (type == QEvent::MouseMove && HeldButtons(shift)));
  if (captured) {
    QWidget* widget = control.Peer().Container();
    const QPoint inControl = (x < 0 || y < 0) ? widget->rect().center() : QPoint(x, y);  // client coordinates
    p = grabber->mapFrom(widget->window(), widget->mapTo(widget->window(), inControl));
    target = grabber;
  }
  if (type == QEvent::MouseButtonPress) grabber = target;
  if (type == QEvent::MouseButtonRelease) grabber = nullptr;
  Qt::MouseButton b = type == QEvent::MouseMove ? Qt::NoButton : QtButton(button);
  // A move carries the buttons the shift state holds.
  Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                          : type == QEvent::MouseMove        ? HeldButtons(shift)
                                                             : Qt::MouseButtons(b);
  QMouseEvent event(type, QPointF(p), QPointF(target->mapToGlobal(p)), b, held, ModifiersOf(shift));
  QApplication::sendEvent(target, &event);
}

}  // namespace

void PressKey(Control& control, int key, ShiftState shift, const std::string& text) {
  int qtKey = QtKeyOf(key);
  QString qtText = ToQt(text);
  Qt::KeyboardModifiers mods = ModifiersOf(shift);
  QKeyEvent press(QEvent::KeyPress, qtKey, mods, qtText);
  QApplication::sendEvent(KeyTarget(control), &press);
  QKeyEvent release(QEvent::KeyRelease, qtKey, mods, qtText);
  QApplication::sendEvent(KeyTarget(control), &release);
}

void PressLayoutKey(Control& control, int toolkitKey, const std::string& text) {
  const QString qtText = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent event(type, toolkitKey, Qt::NoModifier, qtText);
    QApplication::sendEvent(KeyTarget(control), &event);
  }
}

namespace {

// A key of a US keyboard under the window system: its key code (the place of
// the key), the toolkit's key, and the text it types.
struct KeyboardKey {
  quint32 scanCode = 0;
  int qtKey = 0;
  std::string text;
};

// The window system's control transformation of what a key types with Ctrl.
std::string WithCtrl(char c) {
  if ((c >= '@' && c < 127) || c == ' ') return std::string(1, static_cast<char>(c & 0x1F));
  if (c == '2') return {};  // code 0 types nothing
  if (c >= '3' && c <= '7') return std::string(1, static_cast<char>(c - '3' + 0x1B));
  if (c == '8') return "\x7F";
  if (c == '/') return "\x1F";
  return std::string(1, c);
}

KeyboardKey UsKeyboardKey(int key, ShiftState shift) {
  static constexpr char kShiftedDigits[] = ")!@#$%^&*(";
  static constexpr int kShiftedDigitKeys[] = {
      Qt::Key_ParenRight, Qt::Key_Exclam,      Qt::Key_At,        Qt::Key_NumberSign, Qt::Key_Dollar,
      Qt::Key_Percent,    Qt::Key_AsciiCircum, Qt::Key_Ampersand, Qt::Key_Asterisk,   Qt::Key_ParenLeft};
  static constexpr quint32 kLetterCodes[26] = {38, 56, 54, 40, 26, 41, 42, 43, 31, 44, 45, 46, 58,
                                               57, 32, 33, 24, 27, 39, 28, 30, 55, 25, 53, 29, 52};
  const bool shifted = (shift & ssShift) != 0;
  KeyboardKey k;
  char typed = 0;
  if (key >= '0' && key <= '9') {
    const int d = key - '0';
    k.scanCode = d == 0 ? 19 : 9 + static_cast<quint32>(d);
    k.qtKey = shifted ? kShiftedDigitKeys[d] : key;
    typed = shifted ? kShiftedDigits[d] : static_cast<char>(key);
  } else if (key >= 'A' && key <= 'Z') {
    k.scanCode = kLetterCodes[key - 'A'];
    k.qtKey = key;
    typed = static_cast<char>(shifted ? key : key - 'A' + 'a');
  } else {
    k.qtKey = key == vk::Tab && shifted ? static_cast<int>(Qt::Key_Backtab) : QtKeyOf(key);
    switch (key) {
      case vk::Back: typed = '\b'; break;
      case vk::Tab: typed = '\t'; break;
      case vk::Return: typed = '\r'; break;
      case vk::Escape: typed = 0x1B; break;
      case vk::Space: typed = ' '; break;
      case vk::Delete: typed = 0x7F; break;
      default: break;
    }
  }
  if (typed != 0) k.text = (shift & ssCtrl) != 0 ? WithCtrl(typed) : std::string(1, typed);
  return k;
}

}  // namespace

void PressKeyOnKeyboard(Control& control, int key, ShiftState shift) {
  const KeyboardKey k = UsKeyboardKey(key, shift);
  const Qt::KeyboardModifiers mods = ModifiersOf(shift);
  const QString text = QString::fromLatin1(k.text.data(), static_cast<qsizetype>(k.text.size()));
  for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent event(type, k.qtKey, mods, k.scanCode, 0, 0, text);
    QApplication::sendEvent(KeyTarget(control), &event);
  }
}

void TypeText(Control& control, const std::string& text) {
  // One key a character: a UTF-8 character's bytes go together.
  const bool utf8 = IsUtf8(text);
  for (std::size_t at = 0; at < text.size();) {
    const auto u = static_cast<unsigned char>(text[at]);
    const std::size_t length = !utf8 || u < 0xC0 ? 1 : u < 0xE0 ? 2 : u < 0xF0 ? 3 : 4;
    int key = std::isalnum(u) ? std::toupper(u) : u == ' ' ? vk::Space : 0;
    PressKey(control, key, std::isupper(u) ? ssShift : 0, text.substr(at, length));
    at += length;
  }
}

void MouseDown(Control& control, MouseButton button, int x, int y, ShiftState shift) {
  SendMouse(control, QEvent::MouseButtonPress, button, x, y, shift);
}

void MouseMove(Control& control, int x, int y, ShiftState shift) {
  SendMouse(control, QEvent::MouseMove, MouseButton::Left, x, y, shift);
}

void MouseUp(Control& control, MouseButton button, int x, int y, ShiftState shift) {
  SendMouse(control, QEvent::MouseButtonRelease, button, x, y, shift);
}

void Click(Control& control, int x, int y) {
  MouseDown(control, MouseButton::Left, x, y);
  MouseUp(control, MouseButton::Left, x, y);
}

void Drag(Control& control, int fromX, int fromY, int toX, int toY) {
  MouseDown(control, MouseButton::Left, fromX, fromY);
  MouseMove(control, toX, toY, ssLeft);
  MouseUp(control, MouseButton::Left, toX, toY);
}

void DoubleClick(Control& control, int x, int y) {
  Click(control, x, y);
  SendMouse(control, QEvent::MouseButtonDblClick, MouseButton::Left, x, y, 0);
  MouseUp(control, MouseButton::Left, x, y);
}

void Hover(Control& control) {
  QWidget* widget = control.Peer().widget;
  QPointF centre = QPointF(widget->rect().center());
  QEnterEvent event(centre, centre, QPointF(widget->mapToGlobal(widget->rect().center())));
  QApplication::sendEvent(widget, &event);
}

void Leave(Control& control) {
  QEvent event(QEvent::Leave);
  QApplication::sendEvent(control.Peer().widget, &event);
}

void Flush() {
  for (int i = 0; i < 3; ++i) {
    QApplication::processEvents();
    MessageQueue::DeliverPosted();
  }
}

}  // namespace plat::input

namespace plat::input {

std::vector<PopupItem> PopupMenuItems() {
  std::vector<PopupItem> items;
  if (QMenu* menu = ShownPopup()) {
    for (QAction* action : menu->actions()) {
      if (action->isVisible())
        items.push_back({action->isSeparator() ? "-" : FromQt(action->text()), action->isEnabled()});
    }
  }
  return items;
}

bool ChoosePopupItem(const std::string& caption) {
  QMenu* menu = ShownPopup();
  if (menu == nullptr) return false;
  for (QAction* action : menu->actions()) {
    if (action->isVisible() && action->isEnabled() && !action->isSeparator() &&
        action->text().remove('&') == ToQt(caption).remove('&')) {
      // As the user's choice: the menu closes, then the item acts.
      menu->setActiveAction(action);
      QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
      QApplication::sendEvent(menu, &press);
      return true;
    }
  }
  menu->close();
  return false;
}

}  // namespace plat::input

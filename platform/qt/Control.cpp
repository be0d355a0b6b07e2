#include "platform/Control.h"
#include "platform/TextMetrics.h"

#include "platform/CustomControl.h"
#include "platform/Desktop.h"
#include "platform/Form.h"
#include "platform/Guard.h"
#include "platform/qt/Peer.h"

#include <QApplication>
#include <QPointer>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QToolTip>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace plat {

namespace {

// The custom controls under `control`, the control first, are offered a dialog character in turn.
bool OfferDialogChar(Control& control, char ch) {
  if (!control.Visible() || !control.Enabled()) return false;
  if (auto* custom = dynamic_cast<CustomControl*>(&control); custom && custom->DispatchDialogChar(ch)) return true;
  const std::vector<Control*> children = control.Children();
  return std::any_of(children.begin(), children.end(), [ch](Control* child) { return OfferDialogChar(*child, ch); });
}

// Alt + a character pressed on the focused control goes to its form's
// controls as a dialog character before the control sees the key (once, as
// it reaches the control's own widget).
bool IsDialogChar(const Control& control, const QKeyEvent& e, char& ch) {
  const QWidget* focus = QApplication::focusWidget();
  if (focus == nullptr || qtbridge::ControlOf(focus) != &control) return false;
  if (!(e.modifiers() & Qt::AltModifier) || (e.modifiers() & Qt::ControlModifier)) return false;
  std::string text = qtbridge::FromQt(e.text());
  if (text.empty() && e.key() >= Qt::Key_0 && e.key() <= Qt::Key_Z && std::isalnum(e.key()))
    text = std::string(1, static_cast<char>(std::tolower(e.key())));
  if (text.size() != 1 || static_cast<unsigned char>(text[0]) < 0x20) return false;
  ch = text[0];
  return true;
}

// Watches every control's widget: hints on enter and leave, layout on resize,
// dialog characters.
class WidgetWatcher : public QObject {
 public:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(object);
    Control* control = widget ? qtbridge::ControlOf(widget) : nullptr;
    if (control == nullptr) return false;
    switch (event->type()) {
      case QEvent::Enter:
        if (!control->Hint().empty()) SetApplicationHint(GetLongHint(control->Hint()));
        break;
      case QEvent::Leave:
        if (!control->Hint().empty()) SetApplicationHint({});
        break;
      case QEvent::Resize:
        if (widget == control->Peer().Container()) control->Realign();
        break;
      case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent&>(*event).button() == Qt::LeftButton)
          qtbridge::PressForDrag(*control, static_cast<QMouseEvent&>(*event).globalPosition().toPoint());
        break;
      case QEvent::KeyPress: {
        char ch = 0;
        if (widget != control->Peer().widget || !IsDialogChar(*control, static_cast<QKeyEvent&>(*event), ch)) break;
        Control* form = control->ParentForm();
        return OfferDialogChar(form ? *form : *control, ch);
      }
      default: break;
    }
    return false;
  }
};

bool IsPopup(const QWidget* widget) { return widget != nullptr && widget->window()->windowType() == Qt::Popup; }

// The focus moves: the losing control hears first, then the gaining one, each
// told the other, as the platform orders its focus messages. A pop-up menu
// takes the keys while it is open but not the focus: the control that had it
// keeps it, and hears only when the focus goes elsewhere after the menu.
void OnFocusChanged(QWidget* old, QWidget* now) {
  static QPointer<QWidget> beforePopup;
  const bool toPopup = IsPopup(now) || (now == nullptr && IsPopup(QApplication::activeWindow()));
  if (toPopup) {
    if (!IsPopup(old)) beforePopup = old;
    return;
  }
  if (IsPopup(old) || (old == nullptr && beforePopup)) {
    old = beforePopup;
    beforePopup = nullptr;
  }
  Control* losing = old ? qtbridge::ControlOf(old) : nullptr;
  Control* gaining = now ? qtbridge::ControlOf(now) : nullptr;
  if (losing == gaining) return;
  WeakRef<Control> losingRef(losing), gainingRef(gaining);
  if (auto* l = losingRef.Get()) {
    if (auto* custom = dynamic_cast<CustomControl*>(l)) custom->DispatchFocusLost(gainingRef.Get());
  }
  if (auto* l = losingRef.Get()) RunGuarded([l, &gainingRef] { l->FocusDeparted(gainingRef.Get()); });
  if (auto* l = losingRef.Get(); l && l->OnExit) RunGuarded(l->OnExit);
  if (auto* g = gainingRef.Get()) {
    if (auto* custom = dynamic_cast<CustomControl*>(g)) custom->DispatchFocusGained(losingRef.Get());
  }
  if (auto* g = gainingRef.Get()) RunGuarded([g, &losingRef] { g->FocusArrived(losingRef.Get()); });
  if (auto* g = gainingRef.Get(); g && g->OnEnter) RunGuarded(g->OnEnter);
}

// Watches every key press of the program before any widget takes it: F1 opens
// the help of the focused control, and a chord with Alt or Ctrl reaches the
// widget without the text it would type (TypedText), whatever widget it is.
// The menus' Alt+letter are short cuts, taken before any key press.
class KeyWatcher : public QObject {
 public:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || !object->isWidgetType()) return false;
    auto& e = static_cast<QKeyEvent&>(*event);
    if (e.key() == Qt::Key_F1 && (e.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      const Control* focused = qtbridge::ControlOf(static_cast<QWidget*>(object));
      bool shown = false;
      if (focused != nullptr) RunGuarded([&] { shown = ShowHelpFor(*focused); });
      if (shown) return true;
    }
    const QString typed = qtbridge::TypedText(e);
    if (typed == e.text()) return false;
    QKeyEvent chord(e.type(), e.key(), e.modifiers(), e.nativeScanCode(), e.nativeVirtualKey(), e.nativeModifiers(),
                    typed, e.isAutoRepeat(), static_cast<quint16>(e.count()), e.device());
    QCoreApplication::sendEvent(object, &chord);
    e.setAccepted(chord.isAccepted());
    return true;
  }
};

WidgetWatcher& Watcher() {
  static WidgetWatcher* events = [] {
    qtbridge::EnsureApplication();
    QObject::connect(qApp, &QApplication::focusChanged, qApp, &OnFocusChanged);
    qApp->installEventFilter(new KeyWatcher());
    return new WidgetWatcher();
  }();
  return *events;
}

}  // namespace

// Defined beside the controls, whose parts they walk, so that the platform
// core needs no control code.
int HelpContextFor(const Control& control) {
  for (const Control* c = &control; c != nullptr; c = c->Parent()) {
    if (c->HelpContext() != 0) return c->HelpContext();
  }
  return 0;
}

bool ShowHelpFor(const Control& control) {
  const int context = HelpContextFor(control);
  if (context == 0) return false;
  ShowHelp(ApplicationHelpFile(), HelpCommand::Context, context);
  return true;
}

Control::Control(Control* parent, std::unique_ptr<ControlPeer> peer) : parent_(parent), peer_(std::move(peer)) {
  if (parent_ != nullptr) parent_->children_.push_back(this);
  qtbridge::Bind(peer_->widget, this);
  peer_->widget->installEventFilter(&Watcher());
  if (peer_->Container() != peer_->widget) peer_->Container()->installEventFilter(&Watcher());
}

Control::~Control() {
  while (!owned_.empty()) owned_.pop_back();
  while (!components_.empty()) components_.pop_back();
  for (Control* child : children_) child->parent_ = nullptr;
  if (parent_ != nullptr) std::erase(parent_->children_, this);
  // From here on the widget's events (the focus leaving it) reach no control.
  if (peer_->widget) qtbridge::Bind(peer_->widget, nullptr);
  delete peer_->widget.data();
}

void Control::RemoveChild(Control& child) {
  auto it = std::find_if(owned_.begin(), owned_.end(), [&](const auto& p) { return p.get() == &child; });
  if (it != owned_.end()) owned_.erase(it);
}

std::vector<Component*> Control::Components() const {
  std::vector<Component*> result;
  for (const auto& c : components_) result.push_back(c.get());
  return result;
}

void Control::RemoveComponent(Component& component) {
  auto it = std::find_if(components_.begin(), components_.end(), [&](const auto& p) { return p.get() == &component; });
  if (it != components_.end()) components_.erase(it);
}

Form* Control::ParentForm() {
  for (Control* c = this; c != nullptr; c = c->parent_) {
    if (auto* form = dynamic_cast<Form*>(c)) return form;
  }
  return nullptr;
}

std::string Control::Caption() const { return {}; }
void Control::SetCaption(const std::string&) {}

void Control::SetBounds(int left, int top, int width, int height) {
  peer_->widget->setGeometry(left, top, std::max(0, width), std::max(0, height));
  if (align_ != Align::None && parent_ != nullptr) parent_->Realign();
}

Rect Control::Bounds() const {
  QRect g = peer_->widget->geometry();
  return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

Point Control::ClientToScreen(Point p) const {
  QPoint screen = peer_->Container()->mapToGlobal(QPoint(p.x, p.y));
  return {screen.x(), screen.y()};
}

int Control::ClientWidth() const { return peer_->Container()->width(); }
int Control::ClientHeight() const { return peer_->Container()->height(); }

void Control::SetAlign(Align align) {
  align_ = align;
  if (parent_ != nullptr) parent_->Realign();
}

void Control::Realign() {
  std::vector<AlignItem> items;
  std::vector<Control*> aligned;
  for (Control* child : children_) {
    if (child->align_ == Align::None || !child->Visible()) continue;
    items.push_back({child->align_, child->Bounds()});
    aligned.push_back(child);
  }
  if (items.empty()) return;
  ArrangeAligned({0, 0, ClientWidth(), ClientHeight()}, items);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const Rect& b = items[i].bounds;
    aligned[i]->peer_->widget->setGeometry(b.left, b.top, b.Width(), b.Height());
  }
}

bool Control::Visible() const { return !peer_->widget->isHidden(); }

void Control::SetVisible(bool visible) {
  peer_->widget->setVisible(visible);
  if (align_ != Align::None && parent_ != nullptr) parent_->Realign();
}

bool Control::Enabled() const { return !peer_->widget->testAttribute(Qt::WA_ForceDisabled); }
void Control::SetEnabled(bool enabled) { peer_->widget->setEnabled(enabled); }

void Control::SetHint(const std::string& hint) {
  hint_ = hint;
  peer_->widget->setToolTip(qtbridge::ToQt(GetShortHint(hint)));
}

void Control::SetShowHint(bool show) {
  peer_->widget->setToolTip(show ? qtbridge::ToQt(GetShortHint(hint_)) : QString());
}

void Control::ShowHintBelow(const std::string& hint, const Rect& area) {
  QWidget* widget = peer_->widget;
  QToolTip::showText(widget->mapToGlobal(QPoint(area.left, area.bottom)), qtbridge::ToQt(hint), widget,
                     QRect(area.left, area.top, area.Width(), area.Height()));
}

std::string ShownHint() { return QToolTip::isVisible() ? qtbridge::FromQt(QToolTip::text()) : std::string(); }

void Control::SetFont(const Font& font) {
  peer_->widget->setFont(qtbridge::ToQFont(font));
  QPalette p = peer_->widget->palette();
  p.setColor(QPalette::WindowText, qtbridge::ToQColor(font.color));
  p.setColor(QPalette::Text, qtbridge::ToQColor(font.color));
  p.setColor(QPalette::ButtonText, qtbridge::ToQColor(font.color));
  peer_->widget->setPalette(p);
}

Font Control::GetFont() const {
  return qtbridge::FromQFont(peer_->widget->font(),
                             qtbridge::FromQColor(peer_->widget->palette().color(QPalette::WindowText)));
}

int TextWidthIn(const Control& control, const std::string& text) {
  return control.Peer().widget->fontMetrics().horizontalAdvance(qtbridge::ToQt(text));
}

void Control::SetColor(Color color) {
  QPalette p = peer_->widget->palette();
  p.setColor(QPalette::Window, qtbridge::ToQColor(color));
  p.setColor(QPalette::Base, qtbridge::ToQColor(color));
  peer_->widget->setPalette(p);
  peer_->widget->setAutoFillBackground(true);
}

Color Control::GetColor() const { return qtbridge::FromQColor(peer_->widget->palette().color(QPalette::Window)); }

void Control::SetTabStop(bool tabStop) {
  QWidget* w = peer_->widget;
  if (w->focusPolicy() == Qt::NoFocus) return;
  w->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool Control::CanFocus() const {
  const QWidget* w = peer_->widget;
  return w->focusPolicy() != Qt::NoFocus && w->isEnabled() && w->isVisible();
}

bool Control::Focused() const {
  const QWidget* focus = QApplication::focusWidget();
  return focus != nullptr && qtbridge::ControlOf(focus) == this;
}

void Control::SetFocus() {
  QWidget* window = peer_->widget->window();
  if (!window->isActiveWindow()) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
  }
  peer_->widget->setFocus(Qt::OtherFocusReason);
}

void Control::DeliverKey(int key, ShiftState shift, const std::string& text) {
  QWidget* target = peer_->widget;
  QWidget* focus = QApplication::focusWidget();
  if (focus != nullptr && qtbridge::ControlOf(focus) == this)
    target = focus;
  else if (target->focusProxy() != nullptr)
    target = target->focusProxy();
  const int qtKey = qtbridge::QtKeyOf(key);
  const Qt::KeyboardModifiers mods = qtbridge::ModifiersOf(shift);
  QPointer<QWidget> alive(target);
  QKeyEvent press(QEvent::KeyPress, qtKey, mods, qtbridge::ToQt(text));
  QApplication::sendEvent(target, &press);
  if (!alive) return;
  QKeyEvent release(QEvent::KeyRelease, qtKey, mods, qtbridge::ToQt(text));
  QApplication::sendEvent(target, &release);
}

void Control::DeliverMouseDown(int x, int y, ShiftState shift) {
  QWidget* widget = peer_->Container();
  QPoint p(x, y);
  QWidget* target = widget->childAt(p);
  if (target != nullptr)
    p = target->mapFrom(widget, p);
  else
    target = widget;
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(p), QPointF(target->mapToGlobal(p)), Qt::LeftButton,
                    Qt::LeftButton, qtbridge::ModifiersOf(shift));
  QApplication::sendEvent(target, &press);
}

// A custom control paints its client area, a widget of its own inside the frame.
void Control::Invalidate() {
  QWidget* target = dynamic_cast<CustomControl*>(this) != nullptr ? peer_->Container() : peer_->widget.data();
  target->update();
}
void Control::Repaint() {
  QWidget* target = dynamic_cast<CustomControl*>(this) != nullptr ? peer_->Container() : peer_->widget.data();
  target->repaint();
}

void Control::PostMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  MessageQueue::Post(*this, Message{msg, wParam, lParam});
}

void Control::HandleMessage(const Message&) {}

Control* Control::FromPeer(const ControlPeer* peer) { return peer ? qtbridge::ControlOf(peer->widget) : nullptr; }

}  // namespace plat

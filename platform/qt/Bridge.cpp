#include "platform/qt/Peer.h"

#include "platform/DisplayText.h"
#include "rtl/Cp1252.h"

#include <QVariant>

namespace plat::qtbridge {

namespace {
constexpr const char* kControlProperty = "platControl";
}

std::unique_ptr<ControlPeer> MakePeer(QWidget* widget, QWidget* container) {
  auto peer = std::make_unique<ControlPeer>();
  peer->widget = widget;
  peer->container = container;
  return peer;
}

QWidget* ContainerOf(Control& parent) { return parent.Peer().Container(); }

void Bind(QWidget* widget, Control* control) {
  widget->setProperty(kControlProperty, QVariant::fromValue(static_cast<void*>(control)));
}

// A widget marked with a null control belongs to a control being destroyed:
// its events reach nobody, not even the control's parent.
Control* ControlOf(const QWidget* widget) {
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    QVariant v = w->property(kControlProperty);
    if (v.isValid()) return static_cast<Control*>(v.value<void*>());
  }
  return nullptr;
}

QString ToQt(const std::string& bytes) { return QString::fromStdString(DisplayUtf8(bytes)); }

std::string FromQt(const QString& text) { return text.toStdString(); }

std::string ToCp1252(const QString& text) { return rtl::Utf8ToCp1252(text.toStdString()); }

QColor ToQColor(Color color) { return QColor(RedOf(color), GreenOf(color), BlueOf(color)); }

Color FromQColor(const QColor& color) { return RGB(color.red(), color.green(), color.blue()); }

QFont ToQFont(const Font& font) {
  QFont f(ToQt(font.name));
  f.setPointSize(font.size > 0 ? font.size : 8);
  f.setBold((font.style & fsBold) != 0);
  f.setItalic((font.style & fsItalic) != 0);
  f.setUnderline((font.style & fsUnderline) != 0);
  f.setStrikeOut((font.style & fsStrikeOut) != 0);
  return f;
}

Font FromQFont(const QFont& f, Color color) {
  Font font;
  font.name = FromQt(f.family());
  font.size = f.pointSize();
  font.color = color;
  font.style = static_cast<std::uint8_t>((f.bold() ? fsBold : 0) | (f.italic() ? fsItalic : 0) |
                                         (f.underline() ? fsUnderline : 0) | (f.strikeOut() ? fsStrikeOut : 0));
  return font;
}

ShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  ShiftState s = 0;
  if (modifiers & Qt::ShiftModifier) s |= ssShift;
  if (modifiers & Qt::AltModifier) s |= ssAlt;
  if (modifiers & Qt::ControlModifier) s |= ssCtrl;
  if (buttons & Qt::LeftButton) s |= ssLeft;
  if (buttons & Qt::RightButton) s |= ssRight;
  if (buttons & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

Qt::KeyboardModifiers ModifiersOf(ShiftState shift) {
  Qt::KeyboardModifiers m;
  if (shift & ssShift) m |= Qt::ShiftModifier;
  if (shift & ssAlt) m |= Qt::AltModifier;
  if (shift & ssCtrl) m |= Qt::ControlModifier;
  return m;
}

}  // namespace plat::qtbridge

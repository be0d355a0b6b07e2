// Toolkit keys to the platform's virtual-key numbers and back.

#include "platform/qt/Peer.h"

#include <QKeyEvent>

#include <array>
#include <utility>

namespace plat::qtbridge {

namespace {

// Keys whose number does not follow from the key itself.
constexpr std::array<std::pair<int, int>, 40> kNamedKeys = {{
    {Qt::Key_Backspace, vk::Back},
    {Qt::Key_Tab, vk::Tab},
    {Qt::Key_Backtab, vk::Tab},
    {Qt::Key_Clear, vk::Clear},
    {Qt::Key_Return, vk::Return},
    {Qt::Key_Enter, vk::Return},
    {Qt::Key_Shift, vk::Shift},
    {Qt::Key_Control, vk::Control},
    {Qt::Key_Alt, vk::Menu},
    {Qt::Key_Pause, vk::Pause},
    {Qt::Key_CapsLock, vk::Capital},
    {Qt::Key_Escape, vk::Escape},
    {Qt::Key_Space, vk::Space},
    {Qt::Key_PageUp, vk::Prior},
    {Qt::Key_PageDown, vk::Next},
    {Qt::Key_End, vk::End},
    {Qt::Key_Home, vk::Home},
    {Qt::Key_Left, vk::Left},
    {Qt::Key_Up, vk::Up},
    {Qt::Key_Right, vk::Right},
    {Qt::Key_Down, vk::Down},
    {Qt::Key_Insert, vk::Insert},
    {Qt::Key_Delete, vk::Delete},
    {Qt::Key_Help, vk::Help},
    {Qt::Key_Menu, vk::Apps},
    {Qt::Key_NumLock, vk::NumLock},
    {Qt::Key_ScrollLock, vk::Scroll},
    {Qt::Key_Semicolon, vk::Oem1},
    {Qt::Key_Colon, vk::Oem1},
    {Qt::Key_Equal, vk::OemPlus},
    {Qt::Key_Plus, vk::OemPlus},
    {Qt::Key_Comma, vk::OemComma},
    {Qt::Key_Minus, vk::OemMinus},
    {Qt::Key_Period, vk::OemPeriod},
    {Qt::Key_Slash, vk::Oem2},
    {Qt::Key_QuoteLeft, vk::Oem3},
    {Qt::Key_BracketLeft, vk::Oem4},
    {Qt::Key_Backslash, vk::Oem5},
    {Qt::Key_BracketRight, vk::Oem6},
    {Qt::Key_Apostrophe, vk::Oem7},
}};

// Keypad keys whose meaning differs from the main keyboard's.
int KeypadKey(int qtKey) {
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return vk::Numpad0 + (qtKey - Qt::Key_0);
  switch (qtKey) {
    case Qt::Key_Asterisk: return vk::Multiply;
    case Qt::Key_Plus: return vk::Add;
    case Qt::Key_Minus: return vk::Subtract;
    case Qt::Key_Period: return vk::Decimal;
    case Qt::Key_Slash: return vk::Divide;
    default: return 0;
  }
}

// The keys of the digit row by their place: the window system's key codes
// (on Linux the scan code of an X11 or Wayland key event), '1' to '9' then '0'.
constexpr quint32 kDigitRowFirst = 10, kDigitRowLast = 19;

int DigitRowKey(quint32 scanCode) {
  if (scanCode < kDigitRowFirst || scanCode > kDigitRowLast) return 0;
  return scanCode == kDigitRowLast ? '0' : '1' + static_cast<int>(scanCode - kDigitRowFirst);
}

bool TypesCharacter(const QString& text) {
  return !text.isEmpty() && text.front() >= QChar(u' ') && text.front() != QChar(u'\x7f');
}

}  // namespace

int VirtualKeyOf(const QKeyEvent& event) {
  const int qtKey = event.key();
  if ((event.modifiers() & Qt::KeypadModifier) != 0) {
    if (int k = KeypadKey(qtKey); k != 0) return k;
  }
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return qtKey;
  // The toolkit names a key of the digit row by the symbol it types (Shift+1
  // is '!', and other layouts put other symbols there); the platform's key is
  // the digit, so that Ctrl+Shift+1 is a chord of the key 1.
  if (int digit = DigitRowKey(event.nativeScanCode()); digit != 0) return digit;
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return vk::F1 + (qtKey - Qt::Key_F1);
  for (const auto& [q, v] : kNamedKeys) {
    if (q == qtKey) return v;
  }
  // Any other key that types a character (ü of a German keyboard, a shifted
  // symbol) is the platform's key for typed characters: the entry fields take
  // a character only after a key that has a number.
  if (TypesCharacter(event.text())) return vk::Packet;
  return 0;
}

// Alt and Ctrl make a key a chord: Alt+1 and the menus' Alt+letter type
// nothing, and Ctrl types only the control characters the window system gives
// it (Ctrl+A is code 1; Ctrl+1 and Ctrl+Alt+1 type nothing). AltGr, which
// types the letters of other layouts, is neither here.
QString TypedText(const QKeyEvent& event) {
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  if ((modifiers & Qt::AltModifier) != 0) return {};
  if ((modifiers & Qt::ControlModifier) == 0) return event.text();
  QString controls;
  for (QChar c : event.text()) {
    if (c < QChar(u' ') || c == QChar(u'\x7f')) controls += c;
  }
  return controls;
}

int QtKeyOf(int virtualKey) {
  if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) return virtualKey;
  if (virtualKey >= vk::F1 && virtualKey <= vk::F24) return Qt::Key_F1 + (virtualKey - vk::F1);
  if (virtualKey >= vk::Numpad0 && virtualKey <= vk::Numpad0 + 9) return Qt::Key_0 + (virtualKey - vk::Numpad0);
  for (const auto& [q, v] : kNamedKeys) {
    if (v == virtualKey) return q;
  }
  return 0;
}

}  // namespace plat::qtbridge

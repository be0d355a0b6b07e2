#pragma once
// Small values shared by the windows layer: virtual-key numbers, shift states,
// modal results and message-box buttons, as the component library and the
// forms know them from the platform.

#include <cstdint>

namespace plat {

// The platform's virtual-key numbers. Letters and digits are their upper-case
// ASCII codes ('A' = 0x41, '0' = 0x30).
namespace vk {
constexpr int Back = 0x08, Tab = 0x09, Clear = 0x0C, Return = 0x0D;
constexpr int Shift = 0x10, Control = 0x11, Menu = 0x12, Pause = 0x13, Capital = 0x14;
constexpr int Escape = 0x1B, Space = 0x20, Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24;
constexpr int Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28;
constexpr int Insert = 0x2D, Delete = 0x2E, Help = 0x2F, Apps = 0x5D;
constexpr int Numpad0 = 0x60, Multiply = 0x6A, Add = 0x6B, Separator = 0x6C, Subtract = 0x6D;
constexpr int Decimal = 0x6E, Divide = 0x6F, F1 = 0x70, F24 = 0x87, NumLock = 0x90, Scroll = 0x91;
constexpr int Oem1 = 0xBA, OemPlus = 0xBB, OemComma = 0xBC, OemMinus = 0xBD, OemPeriod = 0xBE;
constexpr int Oem2 = 0xBF, Oem3 = 0xC0, Oem4 = 0xDB, Oem5 = 0xDC, Oem6 = 0xDD, Oem7 = 0xDE;
// A key with no number of its own that types a character (a letter of another layout).
constexpr int Packet = 0xE7;
}  // namespace vk

// Modifier keys and mouse buttons held during an event.
using ShiftState = std::uint8_t;
constexpr ShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64;

enum class MouseButton : std::uint8_t { Left, Right, Middle };

// How an edit, a combo box or a custom control is framed: no frame, a plain
// line, or the sunken 3-D look.
enum class EditBorder { None, Single, Lowered3D };

// Results of modal forms and message boxes.
using ModalResult = int;
constexpr ModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7;

// Buttons of a message box, combined as a set.
using MsgButtons = std::uint8_t;
constexpr MsgButtons mbOK = 1, mbCancel = 2, mbYes = 4, mbNo = 8, mbAbort = 16, mbRetry = 32, mbIgnore = 64;

enum class MsgKind : std::uint8_t { Error, Warning, Information, Confirmation };

// Scroll-bar codes a control receives, as the platform's scroll messages carry them.
enum class ScrollBarKind : std::uint8_t { Horizontal, Vertical };
enum class ScrollCode : std::uint8_t {
  LineUp = 0,
  LineDown = 1,
  PageUp = 2,
  PageDown = 3,
  ThumbPosition = 4,
  ThumbTrack = 5,
  Top = 6,
  Bottom = 7,
  EndScroll = 8
};

}  // namespace plat

#pragma once
// System colours: colour values that name a role of the desktop's palette
// (window background, selected text, ...) instead of a colour. They carry the
// platform's colour index with the top bit set, and become real colours only
// when painted: ColorToRGB asks the installed palette at that moment.

#include "platform/Canvas.h"
#include "platform/Service.h"

namespace plat {

constexpr Color kSystemColorFlag = 0x80000000;
constexpr Color SystemColor(int index) { return kSystemColorFlag | static_cast<Color>(index); }
constexpr bool IsSystemColor(Color color) { return (color & kSystemColorFlag) != 0; }

constexpr Color clScrollBar = SystemColor(0), clBackground = SystemColor(1), clActiveCaption = SystemColor(2);
constexpr Color clInactiveCaption = SystemColor(3), clMenu = SystemColor(4), clWindow = SystemColor(5);
constexpr Color clWindowFrame = SystemColor(6), clMenuText = SystemColor(7), clWindowText = SystemColor(8);
constexpr Color clCaptionText = SystemColor(9), clActiveBorder = SystemColor(10), clInactiveBorder = SystemColor(11);
constexpr Color clAppWorkSpace = SystemColor(12), clHighlight = SystemColor(13), clHighlightText = SystemColor(14);
constexpr Color clBtnFace = SystemColor(15), clBtnShadow = SystemColor(16), clGrayText = SystemColor(17);
constexpr Color clBtnText = SystemColor(18), clInactiveCaptionText = SystemColor(19);
constexpr Color clBtnHighlight = SystemColor(20), cl3DDkShadow = SystemColor(21), cl3DLight = SystemColor(22);
constexpr Color clInfoText = SystemColor(23), clInfoBk = SystemColor(24);
constexpr int kSystemColorCount = 25;

constexpr Color clRed = RGB(255, 0, 0), clNavy = RGB(0, 0, 128), clSilver = RGB(192, 192, 192);

// The desktop's palette.
class SystemPalette {
 public:
  static constexpr const char* kServiceName = "system palette";
  virtual ~SystemPalette() = default;
  // The colour of a system colour index (0 .. kSystemColorCount - 1).
  virtual Color SysColor(int index) = 0;
};

// A system colour as the installed palette has it now (the platform's classic
// colours when none is installed, or for an unknown index); any other colour as it is.
Color ColorToRGB(Color color);

}  // namespace plat

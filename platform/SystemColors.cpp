#include "platform/SystemColors.h"

namespace plat {

namespace {

// The platform's classic colours, by index.
constexpr Color kClassic[kSystemColorCount] = {
    RGB(192, 192, 192), RGB(0, 128, 128),   RGB(0, 0, 128),     RGB(128, 128, 128), RGB(192, 192, 192),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
    RGB(192, 192, 192), RGB(192, 192, 192), RGB(128, 128, 128), RGB(0, 0, 128),     RGB(255, 255, 255),
    RGB(192, 192, 192), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(192, 192, 192),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(223, 223, 223), RGB(0, 0, 0),       RGB(255, 255, 225),
};

}  // namespace

Color ColorToRGB(Color color) {
  if (!IsSystemColor(color)) return color;
  auto index = static_cast<int>(color & ~kSystemColorFlag);
  if (index >= kSystemColorCount) return clBlack;
  if (Service<SystemPalette>::Installed()) return Service<SystemPalette>::Get().SysColor(index) & 0xFFFFFF;
  return kClassic[index];
}

}  // namespace plat

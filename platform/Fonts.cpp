#include "platform/Fonts.h"

namespace plat {

std::vector<std::string> FixedPitchFamilies() {
  return Service<FontSystem>::Installed() ? Service<FontSystem>::Get().FixedPitchFamilies()
                                          : std::vector<std::string>{};
}

bool IsOutlineFont(const Font& font) {
  return !Service<FontSystem>::Installed() || Service<FontSystem>::Get().IsOutlineFont(font);
}

}  // namespace plat

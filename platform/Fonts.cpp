#include "platform/Fonts.h"

namespace plat {

std::vector<std::string> FixedPitchFamilies() {
  return Service<FontSystem>::Installed() ? Service<FontSystem>::Get().FixedPitchFamilies()
                                          : std::vector<std::string>{};
}

}  // namespace plat

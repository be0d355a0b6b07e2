#pragma once
// The font families the platform can draw with.

#include "platform/Canvas.h"
#include "platform/Service.h"

#include <string>
#include <vector>

namespace plat {

class FontSystem {
 public:
  static constexpr const char* kServiceName = "font system";
  virtual ~FontSystem() = default;
  // The fixed-pitch families, in alphabetical order: the installed ones and
  // the fixed-pitch names the platform serves by substituting one of them.
  virtual std::vector<std::string> FixedPitchFamilies() = 0;
  // Whether the font, as the font system serves it, is a scalable outline
  // font: the kind a turned font needs.
  virtual bool IsOutlineFont(const Font& font) = 0;
};

// The installed font system's fixed-pitch families; none without a font system.
std::vector<std::string> FixedPitchFamilies();
// Whether the installed font system serves the font as an outline font; true
// without a font system, where nothing is drawn.
bool IsOutlineFont(const Font& font);

}  // namespace plat

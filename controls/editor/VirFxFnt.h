#pragma once
// The editor's font: a font that only takes fixed-pitch faces, so that every
// character of the editor has the same width. Every change is reported to
// the owner, which measures and repaints.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls/base/VirExcept.h"
#include "platform/Canvas.h"

class TVirFixedFont {
 public:
  // The font takes the first fixed-pitch family.
  explicit TVirFixedFont(std::function<void()> onChange = {});

  const plat::Font& Font() const { return font_; }
  const std::string& Name() const { return font_.name; }
  int Size() const { return font_.size; }
  std::uint8_t Style() const { return font_.style; }
  plat::Color Color() const { return font_.color; }

  // A name that is not a fixed-pitch family (compared exactly) is ignored.
  void SetName(const std::string& name);
  void SetSize(int size);
  void SetStyle(std::uint8_t style);
  void SetColor(plat::Color color);

  void Assign(const TVirFixedFont& source);
  // Raises EInvalidFixedFont, and changes nothing, when the font's face is
  // not a fixed-pitch family.
  void Assign(const plat::Font& source);
  // Any other source is refused with EInvalidFontParam.
  template <class Other>
  void Assign(const Other&) {
    throw EInvalidFontParam();
  }

  // The program's fixed-pitch families, in alphabetical order, read from
  // the platform at first use; "Monospace" alone when it has none.
  static const std::vector<std::string>& FixedFamilies();
  // Reads them again (after the platform's font system changed).
  static void ReloadFixedFamilies();
  static bool IsFixedFamily(const std::string& name);

 private:
  void Take(plat::Font font);

  plat::Font font_;
  std::function<void()> onChange_;
};

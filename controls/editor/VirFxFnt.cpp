#include "controls/editor/VirFxFnt.h"

#include <algorithm>

#include "platform/Fonts.h"

namespace {

std::vector<std::string> ReadFixedFamilies() {
  std::vector<std::string> names = plat::FixedPitchFamilies();
  if (names.empty()) names.emplace_back("Monospace");
  return names;
}

std::vector<std::string>& Families() {
  static std::vector<std::string> families = ReadFixedFamilies();
  return families;
}

}  // namespace

const std::vector<std::string>& TVirFixedFont::FixedFamilies() { return Families(); }

void TVirFixedFont::ReloadFixedFamilies() { Families() = ReadFixedFamilies(); }

bool TVirFixedFont::IsFixedFamily(const std::string& name) {
  const auto& families = FixedFamilies();
  return std::find(families.begin(), families.end(), name) != families.end();
}

TVirFixedFont::TVirFixedFont(std::function<void()> onChange) : onChange_(std::move(onChange)) {
  font_.name = FixedFamilies().front();
}

void TVirFixedFont::Take(plat::Font font) {
  // The face never changes to a proportional one.
  if (!IsFixedFamily(font.name)) font.name = font_.name;
  font_ = std::move(font);
  if (onChange_) onChange_();
}

void TVirFixedFont::SetName(const std::string& name) {
  if (IsFixedFamily(name)) font_.name = name;
  if (onChange_) onChange_();
}

void TVirFixedFont::SetSize(int size) {
  font_.size = size;
  if (onChange_) onChange_();
}

void TVirFixedFont::SetStyle(std::uint8_t style) {
  font_.style = style;
  if (onChange_) onChange_();
}

void TVirFixedFont::SetColor(plat::Color color) {
  font_.color = color;
  if (onChange_) onChange_();
}

void TVirFixedFont::Assign(const TVirFixedFont& source) { Take(source.font_); }

void TVirFixedFont::Assign(const plat::Font& source) {
  if (!IsFixedFamily(source.name)) throw EInvalidFixedFont();
  Take(source);
}

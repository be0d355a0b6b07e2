#include "shell/Profile2.h"

#include <array>
#include <sstream>

#include "platform/IniFile.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "rtl/StringList.h"

namespace {

constexpr std::size_t MaxProfileText = 255;
constexpr std::string_view PlacementSection = "WinPos";

std::array<std::int32_t*, 10> Fields(TWindowPlacement& p) {
  return {&p.flags, &p.showCmd, &p.minX, &p.minY, &p.maxX, &p.maxY, &p.left, &p.top, &p.right, &p.bottom};
}

}  // namespace

bool TProfile2::Addressed() const { return !FileName.empty() && !Section.empty() && !Entry.empty(); }

std::string TProfile2::Text() {
  lastText_.clear();
  if (Addressed()) {
    lastText_ = plat::ReadProfileString(FileName, Section, Entry).value_or(DefaultText);
    if (lastText_.size() > MaxProfileText) lastText_.resize(MaxProfileText);
  }
  return lastText_;
}

void TProfile2::SetText(std::string_view text) {
  lastText_ = std::string(text);
  if (!Addressed()) return;
  std::optional<std::string_view> value;
  if (!text.empty()) value = text;
  plat::WriteProfileString(FileName, Section, Entry, value);
}

bool TProfile2::State() {
  const std::string text = rtl::UpperCase(Text());
  return text == "TRUE" || text == "YES" || text == "1";
}

void TProfile2::SetState(bool state) { SetText(state ? "True" : "False"); }

std::int32_t TProfile2::Value() { return rtl::StrToInt(Text()); }

void TProfile2::SetValue(std::int32_t value) { SetText(rtl::IntToStr(value)); }

std::uint32_t TProfile2::Color() {
  const std::string text = Text();
  return text.empty() ? 0 : static_cast<std::uint32_t>(rtl::StrToInt64(text));
}

void TProfile2::SetColor(std::uint32_t color) { SetText(rtl::IntToStr(color)); }

std::int32_t TProfile2::PenStyle() {
  const std::string text = Text();
  return text.empty() ? 0 : rtl::StrToInt(text);
}

void TProfile2::SetPenStyle(std::int32_t style) { SetText(rtl::IntToStr(style)); }

double TProfile2::FPvalue() {
  const std::string text = Text();
  return text.empty() ? 0 : rtl::StrToFloat(text);
}

void TProfile2::SetFPvalue(double value) { SetText(rtl::Format("%7.5f", value)); }

std::optional<TWindowPlacement> ReadWindowPlacement(TProfile2& profile, std::string_view windowName) {
  profile.Section = PlacementSection;
  profile.Entry = windowName;
  profile.DefaultText.clear();
  std::istringstream words(profile.Text());
  TWindowPlacement placement;
  for (std::int32_t* field : Fields(placement)) {
    std::string word;
    if (!(words >> word)) break;
    if (const auto number = rtl::TryStrToInt(word)) *field = *number;
  }
  if (placement.right <= placement.left) return std::nullopt;
  return placement;
}

void WriteWindowPlacement(TProfile2& profile, std::string_view windowName, const TWindowPlacement& placement) {
  TWindowPlacement copy = placement;
  std::string text;
  for (const std::int32_t* field : Fields(copy)) text += rtl::IntToStr(*field) + " ";
  profile.Section = PlacementSection;
  profile.Entry = windowName;
  profile.SetText(text);
}

#include "shell/forms/GetInt.h"

#include <array>

#include "controls/base/VirSFModel.h"
#include "controls/base/forms/VirBase.h"
#include "rtl/Convert.h"

namespace {

constexpr int kFieldLength = 5;

std::array<std::uint8_t, 4> Bytes(std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u >> 16),
          static_cast<std::uint8_t>(u >> 24)};
}

std::int32_t FromBytes(const std::array<std::uint8_t, 4>& b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                                   static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24);
}

}  // namespace

TGetIntF::TGetIntF() : plat::Form("GetIntF") {
  SetBorderStyle(plat::BorderStyle::Dialog);
  SetPosition(plat::FormPosition::ScreenCenter);
  SetStayOnTop(true);
  SetFont(plat::Font{"Liberation Sans", 9, plat::clBlack, 0});
  SetClientSize(200, 80);
  controller_ = &AddComponent<TVirController>();
  field_ = &Add<TVirSimpleField>();
  field_->SetDataType(sftLongInt);
  field_->SetPictureMask('i');
  field_->SetMaxLength(kFieldLength);
  field_->SetBounds(20, 12, 80, 24);
  field_->SetShowHint(true);
  ok_ = &Add<plat::Button>();
  ok_->SetKind(plat::ButtonKind::OK);
  ok_->SetHint("Click to accept value");
  ok_->SetShowHint(true);
  ok_->SetDefault(true);
  ok_->SetBounds(110, 10, 76, 28);
}

TGetIntF::~TGetIntF() = default;

bool TGetIntF::ReadValue(std::int32_t& value) {
  std::array<std::uint8_t, 4> data{};
  if (field_->ValidateAndGetValue(data) != 0) return false;
  value = FromBytes(data);
  return true;
}

void TGetIntF::SetValue(std::int32_t value) {
  const auto data = Bytes(value);
  field_->SetValue(data);
}

std::string TGIntWrap::DefaultHint(const std::string& low, const std::string& high) {
  return "Enter an integer between " + low + " and " + high;
}

bool TGIntWrap::Execute(plat::Control& /*owner*/) {
  TGetIntF prompt;
  prompt.SetCaption(Caption);
  if (Left != 0) {
    prompt.SetPosition(plat::FormPosition::Designed);
    prompt.SetBounds(Left, Top, prompt.Width(), prompt.Height());
  }
  auto& field = prompt.Field();
  field.SetRangeLo(rtl::IntToStr(Min));
  field.SetRangeHi(rtl::IntToStr(Max));
  field.SetHint(Hint.empty() ? DefaultHint(field.GetRangeLo(), field.GetRangeHi()) : Hint);
  prompt.SetValue(Value);
  const bool ok = prompt.ShowModal() == plat::mrOk;
  std::int32_t value = 0;
  if (prompt.ReadValue(value)) Value = value;
  return ok;
}

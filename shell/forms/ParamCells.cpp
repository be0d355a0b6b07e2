#include "shell/forms/ParamCells.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kShortTextSize = 256;

template <class T>
void PutLE(std::vector<std::uint8_t>& data, T value) {
  data.assign(sizeof(T), 0);
  std::memcpy(data.data(), &value, sizeof(T));
}

template <class T>
T GetLE(const std::vector<std::uint8_t>& data) {
  T value{};
  std::memcpy(&value, data.data(), std::min(sizeof(T), data.size()));
  return value;
}

}  // namespace

std::string ShortText(const std::vector<std::uint8_t>& data) {
  if (data.empty()) return {};
  const std::size_t length = std::min<std::size_t>(data[0], data.size() - 1);
  return std::string(reinterpret_cast<const char*>(data.data()) + 1, length);
}

void SetShortText(std::vector<std::uint8_t>& data, const std::string& text) {
  data.assign(kShortTextSize, 0);
  const std::size_t length = std::min(text.size(), kShortTextSize - 1);
  data[0] = static_cast<std::uint8_t>(length);
  std::memcpy(data.data() + 1, text.data(), length);
}

TParamRowData::TParamRowData(const TParamRec& param) : type_(param.type) {
  SetShortText(prompt_, param.prompt);
  Load(param);
}

void TParamRowData::Load(const TParamRec& param) {
  switch (type_) {
    case ptText: SetShortText(value_, param.text); break;
    case ptInFile:
    case ptOutFile: SetShortText(value_, param.fileName); break;
    case ptChoice: PutLE<std::int32_t>(value_, param.index); break;
    case ptCheck: PutLE<std::uint8_t>(value_, param.check ? 1 : 0); break;
    case ptReal: PutLE<double>(value_, param.real); break;
    case ptInteger: PutLE<std::int32_t>(value_, param.integer); break;
  }
}

void TParamRowData::Store(TParamRec& param) const {
  switch (type_) {
    case ptText: param.text = ShortText(value_); break;
    case ptInFile:
    case ptOutFile: param.fileName = ShortText(value_); break;
    case ptChoice: param.index = GetLE<std::int32_t>(value_); break;
    case ptCheck: param.check = GetLE<std::uint8_t>(value_) != 0; break;
    case ptReal: param.real = GetLE<double>(value_); break;
    case ptInteger: param.integer = GetLE<std::int32_t>(value_); break;
  }
}

std::unique_ptr<TVirBaseTableCell> MakeParamCell(int /*row*/, const TParamRec& /*working*/, const TParamRec& /*table*/,
                                                 const TBrowseFile& /*browse*/) {
  return nullptr;
}

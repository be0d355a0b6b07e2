#include "shell/forms/ParamCells.h"

#include <algorithm>
#include <cstring>

#include "controls/table/VirTCRules.h"
#include "controls/table/forms/VirTCBEF.h"
#include "controls/table/forms/VirTCBox.h"
#include "controls/table/forms/VirTCCBx.h"
#include "controls/table/forms/VirTCEdt.h"
#include "controls/table/forms/VirTCNum.h"

namespace {

constexpr std::size_t kShortTextSize = 256;
constexpr int kTextLength = 40;
const TVirComboLayout kChoiceLayout{.runTimeItems = true};

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

std::string FileNameText(const std::vector<std::uint8_t>& data) {
  const auto end = std::find(data.begin(), data.end(), std::uint8_t{0});
  return std::string(data.begin(), end);
}

void SetFileNameText(std::vector<std::uint8_t>& data, const std::string& text) {
  data.assign(static_cast<std::size_t>(kFileCellLength) + 1, 0);
  std::copy_n(text.begin(), std::min(text.size(), static_cast<std::size_t>(kFileCellLength)), data.begin());
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
    case ptOutFile: SetFileNameText(value_, param.fileName); break;
    case ptChoice:
      value_.assign(kChoiceLayout.Size(), 0);
      SetComboDataIndex(value_, param.index);
      SetComboDataItems(value_, kChoiceLayout, &param.items);
      break;
    case ptCheck: PutLE<std::uint8_t>(value_, param.check ? 1 : 0); break;
    case ptReal: PutLE<double>(value_, param.real); break;
    case ptInteger: PutLE<std::int32_t>(value_, param.integer); break;
  }
}

void TParamRowData::Store(TParamRec& param) const {
  switch (type_) {
    case ptText: param.text = ShortText(value_); break;
    case ptInFile:
    case ptOutFile: param.fileName = FileNameText(value_); break;
    case ptChoice:
      param.index = ComboDataIndex(TVirCellData(const_cast<std::uint8_t*>(value_.data()), value_.size()));
      break;
    case ptCheck: param.check = GetLE<std::uint8_t>(value_) != 0; break;
    case ptReal: param.real = GetLE<double>(value_); break;
    case ptInteger: param.integer = GetLE<std::int32_t>(value_); break;
  }
}

namespace {

std::unique_ptr<TVirBaseTableCell> StringCell(int length) {
  auto cell = std::make_unique<TVirTCString>();
  cell->SetMaxLength(length);
  return cell;
}

std::unique_ptr<TVirBaseTableCell> NumericCell(plat::Control& grid, TNumericDataType type, const TParamRec& table) {
  auto cell = std::make_unique<TVirTCNumericField>(grid);
  cell->SetDataType(type);
  if (!table.mask.empty()) cell->SetPictureMask(table.mask);
  if (!table.min.empty()) cell->SetRangeLo(table.min);
  if (!table.max.empty()) cell->SetRangeHi(table.max);
  return cell;
}

}  // namespace

std::unique_ptr<TVirBaseTableCell> MakeParamCell(plat::Control& grid, int row, const TParamRec& working,
                                                 const TParamRec& table, const TBrowseFile& browse) {
  std::unique_ptr<TVirBaseTableCell> cell;
  switch (working.type) {
    case ptText: cell = StringCell(kTextLength); break;
    case ptInFile:
    case ptOutFile: {
      auto file = std::make_unique<TVirTCString>();
      file->SetUseASCIIZStrings(true);
      file->SetMaxLength(kFileCellLength);
      const bool save = working.type == ptOutFile;
      file->OnBrowse = [browse, row, save](TVirTCStringEdit& edit) { browse(row, save, edit); };
      cell = std::move(file);
      break;
    }
    case ptChoice: {
      auto choice = std::make_unique<TVirTCComboBox>();
      choice->SetStyle(csDropDownList);
      choice->SetShowButton(false);
      choice->SetUseRunTimeItems(true);
      choice->SetMaxLength(working.ItemWidth());
      cell = std::move(choice);
      break;
    }
    case ptCheck: cell = std::make_unique<TVirTCCheckBox>(); break;
    case ptReal: cell = NumericCell(grid, nftDouble, table); break;
    case ptInteger: cell = NumericCell(grid, nftLongInt, table); break;
  }
  cell->SetHint(working.hint);
  cell->SetTableColor(true);
  return cell;
}

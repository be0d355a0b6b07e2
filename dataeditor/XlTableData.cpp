#include "dataeditor/XlTableData.h"

#include <array>
#include <cstring>

#include "dataeditor/LinkError.h"

namespace {

constexpr std::size_t kRecordHead = 4;  // type and byte count
// Error codes in the order of their indexes.
constexpr std::array<std::uint16_t, 7> kErrorCodes = {0, 7, 15, 23, 29, 36, 42};

[[noreturn]] void BadFormat() { throw ExcelError("Bad data format in xlTable"); }

}  // namespace

std::uint16_t TGetXlTableData::U16At(std::size_t at) const {
  auto byte = [&](std::size_t k) { return static_cast<std::uint16_t>(static_cast<unsigned char>(block_[k])); };
  return static_cast<std::uint16_t>(byte(at) | (byte(at + 1) << 8));
}

void TGetXlTableData::Load(std::string_view block) {
  block_.assign(block);
  rows_ = columns_ = 0;
  type_ = xlNoData;
  pos_ = recordEnd_ = 0;
  blanks_ = 0;
  cellsLeft_ = 0;
  if (block_.empty()) return;
  if (block_.size() < kRecordHead) BadFormat();
  if ((U16At(0) & 0xFF) != xlTableHeader) throw ExcelError("Error retrieving xlTable: bad header");
  const std::size_t count = U16At(2);
  if (count < 4 || count > block_.size() - kRecordHead) BadFormat();
  rows_ = U16At(kRecordHead);
  columns_ = U16At(kRecordHead + 2);
  cellsLeft_ = static_cast<std::int64_t>(rows_) * columns_;
  pos_ = kRecordHead + count;
  NextRecord();
}

void TGetXlTableData::NextRecord() {
  for (;;) {
    type_ = xlNoData;
    blanks_ = 0;
    if (cellsLeft_ <= 0 || pos_ >= block_.size()) return;
    if (block_.size() - pos_ < kRecordHead) BadFormat();
    const int type = U16At(pos_) & 0xFF;
    const std::size_t count = U16At(pos_ + 2);
    pos_ += kRecordHead;
    if (count > block_.size() - pos_) BadFormat();
    recordEnd_ = pos_ + count;
    type_ = type;
    if (type == xlBlank) {
      Need(2);
      blanks_ = U16At(pos_);
      pos_ += 2;
      if (blanks_ > 0) return;
      pos_ = recordEnd_;  // a count of 0 holds no cell
    } else if (count > 0) {
      return;
    }
  }
}

void TGetXlTableData::Demand(int type) const {
  if (type_ != type) throw ExcelError("Bad data type demanded");
}

void TGetXlTableData::Need(std::size_t n) const {
  if (recordEnd_ - pos_ < n) BadFormat();
}

void TGetXlTableData::Consume(std::size_t n) {
  pos_ += n;
  CellDone();
}

void TGetXlTableData::CellDone() {
  --cellsLeft_;
  const bool used = type_ == xlBlank ? blanks_ == 0 : pos_ >= recordEnd_;
  if (type_ == xlBlank && used) pos_ = recordEnd_;
  if (used || cellsLeft_ <= 0) NextRecord();
}

double TGetXlTableData::ReadFloat() {
  Demand(xlFloat);
  Need(8);
  double value;
  std::memcpy(&value, block_.data() + pos_, sizeof value);
  Consume(8);
  return value;
}

std::string TGetXlTableData::ReadString() {
  Demand(xlString);
  Need(1);
  const std::size_t length = static_cast<unsigned char>(block_[pos_]);
  Need(1 + length);
  std::string text = block_.substr(pos_ + 1, length);
  Consume(1 + length);
  return text;
}

bool TGetXlTableData::ReadBool() {
  Demand(xlBool);
  Need(2);
  const bool value = U16At(pos_) != 0;
  Consume(2);
  return value;
}

int TGetXlTableData::ReadError() {
  Demand(xlError);
  Need(2);
  const std::uint16_t code = U16At(pos_);
  Consume(2);
  for (std::size_t k = 0; k < kErrorCodes.size(); ++k) {
    if (kErrorCodes[k] == code) return static_cast<int>(k);
  }
  throw ExcelError("Excel returned unknown data error value");
}

int TGetXlTableData::ReadInt() {
  Demand(xlInt);
  Need(2);
  const auto value = static_cast<std::int16_t>(U16At(pos_));
  Consume(2);
  return value;
}

void TGetXlTableData::Skip(std::int64_t n) {
  for (std::int64_t k = 0; k < n && type_ != xlNoData; ++k) {
    switch (type_) {
      case xlFloat:
        Need(8);
        pos_ += 8;
        break;
      case xlString:
        Need(1);
        Need(1 + static_cast<unsigned char>(block_[pos_]));
        pos_ += 1 + static_cast<unsigned char>(block_[pos_]);
        break;
      case xlBlank: --blanks_; break;
      default:
        Need(2);
        pos_ += 2;
        break;
    }
    CellDone();
  }
}

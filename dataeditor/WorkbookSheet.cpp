#include "dataeditor/WorkbookSheet.h"

#include <freexl.h>

#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <exception>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "dataeditor/MatrixStr.h"
#include "matrix/Constu.h"
#include "rtl/Format.h"
#include "rtl/TextFile.h"

namespace ss = orcus::spreadsheet;

// --- The sheet in memory -------------------------------------------------------

void TLoadedSheet::Set(int row, int col, TSheetCell cell) {
  if (cell.kind == TSheetCell::Kind::Empty) {
    cells_.erase({row, col});
  } else {
    cells_[{row, col}] = std::move(cell);
  }
}

const TSheetCell* TLoadedSheet::Find(int row, int col) const {
  auto it = cells_.find({row, col});
  return it == cells_.end() ? nullptr : &it->second;
}

TSheetCell TLoadedSheet::Cell(int row, int col) {
  const TSheetCell* cell = Find(row, col);
  return cell ? *cell : TSheetCell::Empty();
}

namespace {

// A range of a sheet in memory, always as large as asked for.
class TLoadedBlock : public TSheetBlock {
 public:
  TLoadedBlock(const TLoadedSheet& sheet, int top, int left, int rows, int cols)
      : sheet_(sheet), top_(top), left_(left), rows_(rows), cols_(cols) {}
  int Rows() const override { return rows_; }
  int Cols() const override { return cols_; }
  bool Next(TSheetCell& cell) override {
    if (cols_ < 1 || next_ >= static_cast<long long>(rows_) * cols_) return false;
    const int row = top_ + static_cast<int>(next_ / cols_);
    const int col = left_ + static_cast<int>(next_ % cols_);
    ++next_;
    const TSheetCell* found = sheet_.Find(row, col);
    cell = found ? *found : TSheetCell::Empty();
    return true;
  }

 private:
  const TLoadedSheet& sheet_;
  int top_, left_, rows_, cols_;
  long long next_ = 0;
};

}  // namespace

std::unique_ptr<TSheetBlock> TLoadedSheet::Block(int top, int left, int rows, int cols) {
  return std::make_unique<TLoadedBlock>(*this, top, left, rows, cols);
}

namespace {

[[noreturn]] void Unreadable(const std::string& path) {
  throw E_Morvapc("Problem reading workbook file (" + path + ").");
}

// --- The older binary format ---------------------------------------------------

bool IsCompoundFile(std::string_view bytes) {
  static constexpr unsigned char kMagic[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (bytes.size() < sizeof kMagic) return false;
  for (std::size_t i = 0; i < sizeof kMagic; ++i)
    if (static_cast<unsigned char>(bytes[i]) != kMagic[i]) return false;
  return true;
}

TSheetCell XlsCell(const FreeXL_CellValue& value) {
  switch (value.type) {
    case FREEXL_CELL_INT:
      return TSheetCell::OfNumber(value.value.int_value);
    case FREEXL_CELL_DOUBLE:
      return TSheetCell::OfNumber(value.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
      return value.value.text_value ? TSheetCell::OfText(value.value.text_value) : TSheetCell::Empty();
    default:
      return TSheetCell::Empty();
  }
}

void LoadXls(const std::string& path, TLoadedSheet& sheet) {
  const void* handle = nullptr;
  const int opened = freexl_open(path.c_str(), &handle);
  struct Closer {
    const void* handle;
    ~Closer() {
      if (handle) freexl_close(handle);
    }
  } closer{handle};
  unsigned int rows = 0;
  unsigned short cols = 0;
  if (opened != FREEXL_OK || freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
      freexl_worksheet_dimensions(handle, &rows, &cols) != FREEXL_OK)
    Unreadable(path);
  for (unsigned int r = 0; r < rows; ++r)
    for (unsigned short c = 0; c < cols; ++c) {
      FreeXL_CellValue value{};
      if (freexl_get_cell_value(handle, r, c, &value) != FREEXL_OK) Unreadable(path);
      sheet.Set(static_cast<int>(r) + 1, static_cast<int>(c) + 1, XlsCell(value));
    }
}

// --- The zipped XML formats ------------------------------------------------------

// The strings of the workbook, which cells refer to by number.
class TStrings : public ss::iface::import_shared_strings {
 public:
  std::size_t append(std::string_view s) override {
    strings_.emplace_back(s);
    return strings_.size() - 1;
  }
  std::size_t add(std::string_view s) override { return append(s); }
  void set_segment_font(std::size_t) override {}
  void set_segment_bold(bool) override {}
  void set_segment_italic(bool) override {}
  void set_segment_font_name(std::string_view) override {}
  void set_segment_font_size(double) override {}
  void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
  void append_segment(std::string_view s) override { segments_ += s; }
  std::size_t commit_segments() override {
    const std::size_t index = append(segments_);
    segments_.clear();
    return index;
  }
  const std::string* Get(std::size_t index) const { return index < strings_.size() ? &strings_[index] : nullptr; }

 private:
  std::vector<std::string> strings_;
  std::string segments_;
};

// A cell as the file gives it; strings are looked up once the whole file is read.
struct TPendingCell {
  int row = 0, col = 0;
  TSheetCell cell;
  bool sharedString = false;
  std::size_t stringIndex = 0;
};

// The cells of one sheet; those of every sheet but the first are dropped.
class TSheetSink : public ss::iface::import_sheet, public ss::iface::import_formula {
 public:
  TSheetSink(std::vector<TPendingCell>* cells) : cells_(cells) {}

  ss::iface::import_formula* get_formula() override { return this; }

  void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override { Put(row, col, TSheetCell::OfText(std::string(s))); }
  void set_string(ss::row_t row, ss::col_t col, ss::string_id_t sindex) override {
    Keep({row + 1, col + 1, {}, true, sindex});
  }
  void set_value(ss::row_t row, ss::col_t col, double value) override { Put(row, col, TSheetCell::OfNumber(value)); }
  void set_bool(ss::row_t row, ss::col_t col, bool value) override { Put(row, col, TSheetCell::OfBoolean(value)); }
  void set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int hour, int minute,
                     double second) override {
    std::string text = rtl::Format("%.4d-%.2d-%.2d", year, month, day);
    if (hour != 0 || minute != 0 || second != 0)
      text += rtl::Format(" %.2d:%.2d:%.2d", hour, minute, static_cast<int>(second));
    Put(row, col, TSheetCell::OfText(text));
  }
  void set_format(ss::row_t, ss::col_t, std::size_t) override {}
  void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, std::size_t) override {}
  void fill_down_cells(ss::row_t row, ss::col_t col, ss::row_t count) override {
    if (!cells_) return;
    // The cell last set at (row, col) repeats in the rows below it.
    for (auto it = cells_->rbegin(); it != cells_->rend(); ++it) {
      if (it->row != row + 1 || it->col != col + 1) continue;
      const TPendingCell source = *it;
      for (ss::row_t k = 1; k <= count; ++k) {
        TPendingCell copy = source;
        copy.row = source.row + k;
        Keep(std::move(copy));
      }
      return;
    }
  }
  ss::range_size_t get_sheet_size() const override { return {1048576, 16384}; }

  // A formula cell gives the result the file keeps for it.
  void set_position(ss::row_t row, ss::col_t col) override {
    formulaRow_ = row;
    formulaCol_ = col;
    result_ = TSheetCell::Empty();
  }
  void set_formula(ss::formula_grammar_t, std::string_view) override {}
  void set_shared_formula_index(std::size_t) override {}
  void set_result_string(std::string_view value) override { result_ = TSheetCell::OfText(std::string(value)); }
  void set_result_value(double value) override { result_ = TSheetCell::OfNumber(value); }
  void set_result_bool(bool value) override { result_ = TSheetCell::OfBoolean(value); }
  void set_result_empty() override { result_ = TSheetCell::Empty(); }
  void commit() override { Put(formulaRow_, formulaCol_, result_); }

 private:
  void Put(ss::row_t row, ss::col_t col, TSheetCell cell) { Keep({row + 1, col + 1, std::move(cell), false, 0}); }
  // A sheet of more cells than the largest matrix the editor holds is not read
  // on: a small file can repeat a cell over whole rows.
  void Keep(TPendingCell cell) {
    if (!cells_) return;
    if (static_cast<std::int64_t>(cells_->size()) >= kMaxMatrixCells) throw std::length_error("sheet too large");
    cells_->push_back(std::move(cell));
  }

  std::vector<TPendingCell>* cells_;
  ss::row_t formulaRow_ = 0;
  ss::col_t formulaCol_ = 0;
  TSheetCell result_;
};

// Cell references in the A1 style ("B3", "$B$3", "A1:D5"), counted from 0.
class TA1References : public ss::iface::import_reference_resolver {
 public:
  ss::src_address_t resolve_address(std::string_view text) override {
    ss::src_address_t address{0, 0, 0};
    std::size_t i = text.rfind('!') == std::string_view::npos ? 0 : text.rfind('!') + 1;
    long long col = 0, row = 0;
    if (i < text.size() && text[i] == '$') ++i;
    const std::size_t letters = i;
    for (; i < text.size() && text[i] >= 'A' && text[i] <= 'Z' && col <= kMaxIndex; ++i) col = col * 26 + (text[i] - 'A' + 1);
    if (i < text.size() && text[i] == '$') ++i;
    const std::size_t digits = i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && row <= kMaxIndex; ++i) row = row * 10 + (text[i] - '0');
    if (col < 1 || row < 1 || col > kMaxIndex || row > kMaxIndex || i != text.size() || digits == letters)
      throw std::invalid_argument("cell reference");
    address.row = static_cast<ss::row_t>(row - 1);
    address.column = static_cast<ss::col_t>(col - 1);
    return address;
  }
  ss::src_range_t resolve_range(std::string_view text) override {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
      const ss::src_address_t cell = resolve_address(text);
      return {cell, cell};
    }
    return {resolve_address(text.substr(0, colon)), resolve_address(text.substr(colon + 1))};
  }

 private:
  static constexpr long long kMaxIndex = 1 << 24;
};

class TFirstSheetFactory : public ss::iface::import_factory {
 public:
  ss::iface::import_shared_strings* get_shared_strings() override { return &strings_; }
  ss::iface::import_reference_resolver* get_reference_resolver(ss::formula_ref_context_t) override {
    return &references_;
  }
  ss::iface::import_sheet* append_sheet(ss::sheet_t index, std::string_view name) override {
    if (index == 0) firstName_ = name;
    return get_sheet(index);
  }
  ss::iface::import_sheet* get_sheet(std::string_view name) override {
    return name == firstName_ ? &first_ : &dropped_;
  }
  ss::iface::import_sheet* get_sheet(ss::sheet_t index) override { return index == 0 ? &first_ : &dropped_; }
  void finalize() override {}

  void MoveInto(TLoadedSheet& sheet) const {
    for (const TPendingCell& pending : cells_) {
      if (!pending.sharedString) {
        sheet.Set(pending.row, pending.col, pending.cell);
      } else if (const std::string* text = strings_.Get(pending.stringIndex)) {
        sheet.Set(pending.row, pending.col, TSheetCell::OfText(*text));
      }
    }
  }

 private:
  std::vector<TPendingCell> cells_;
  std::string firstName_;
  TStrings strings_;
  TA1References references_;
  TSheetSink first_{&cells_};
  TSheetSink dropped_{nullptr};
};

// The zipped XML reader skips cells whose strings are kept in the sheet itself
// (inline strings) and parts named from the package's root: such a workbook
// would read with cells missing, so it counts as unreadable.
bool HasPartsSkipped(const std::string& bytes) {
  orcus::zip_archive_stream_blob stream(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  orcus::zip_archive archive(&stream);
  archive.load();
  std::vector<unsigned char> part;
  for (std::size_t i = 0; i < archive.get_file_entry_count(); ++i) {
    const std::string_view name = archive.get_file_entry_name(i);
    const bool sheet = name.starts_with("xl/worksheets/") && name.ends_with(".xml");
    const bool relations = name == "xl/_rels/workbook.xml.rels";
    if (!sheet && !relations) continue;
    part.clear();
    if (!archive.read_file_entry(name, part)) return true;
    const std::string_view text(reinterpret_cast<const char*>(part.data()), part.size());
    if (sheet && text.find("\"inlineStr\"") != std::string_view::npos) return true;
    if (relations && text.find("Target=\"/") != std::string_view::npos) return true;
  }
  return false;
}

template <class Filter>
void LoadZipped(const std::string& bytes, TLoadedSheet& sheet) {
  TFirstSheetFactory factory;
  Filter filter(&factory);
  filter.read_stream(bytes);
  factory.MoveInto(sheet);
}

}  // namespace

std::unique_ptr<TSheetReader> OpenWorkbookSheet(const std::string& path) {
  std::string bytes;
  try {
    bytes = rtl::ReadWholeFile(path);
  } catch (const std::exception&) {
    Unreadable(path);
  }
  auto sheet = std::make_unique<TLoadedSheet>();
  const auto* blob = reinterpret_cast<const unsigned char*>(bytes.data());
  try {
    if (IsCompoundFile(bytes)) {
      LoadXls(path, *sheet);
    } else if (orcus::orcus_xlsx::detect(blob, bytes.size())) {
      if (HasPartsSkipped(bytes)) Unreadable(path);
      LoadZipped<orcus::orcus_xlsx>(bytes, *sheet);
    } else if (orcus::orcus_ods::detect(blob, bytes.size())) {
      LoadZipped<orcus::orcus_ods>(bytes, *sheet);
    } else {
      Unreadable(path);
    }
  } catch (const E_Morvapc&) {
    throw;
  } catch (const std::exception&) {
    Unreadable(path);
  }
  return sheet;
}

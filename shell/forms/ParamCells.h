#pragma once
// The parameter dialog's rows as the table grid sees them: each row's prompt
// and argument as cell data (the bytes in the layout of its cell class), made
// from the working copy and read back into it, and the cell that edits the
// argument of each parameter type.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/table/VirTCBase.h"
#include "platform/Control.h"
#include "shell/Modules.h"

class TVirTCStringEdit;

// One row's cell data: the prompt as a text of the string cells (a length
// byte and the characters) and the argument by the parameter's type: a text
// likewise, a file name as a zero-terminated text of up to kFileCellLength
// characters, a check box one byte, a real number 8 bytes and an integer 4, a
// choice the combo-box cell's record (the selected index and the working
// copy's list of items, which must stay where it is).
class TParamRowData {
 public:
  explicit TParamRowData(const TParamRec& param);
  TParamRowData(const TParamRowData&) = delete;
  TParamRowData& operator=(const TParamRowData&) = delete;
  TParamRowData(TParamRowData&&) = default;

  TVirCellData Prompt() { return prompt_; }
  TVirCellData Value() { return value_; }
  // The argument as it stands in the cell data, written into the record.
  void Store(TParamRec& param) const;
  // The record's argument put into the cell data (after a browse).
  void Load(const TParamRec& param);

 private:
  TParamType type_;
  std::vector<std::uint8_t> prompt_;
  std::vector<std::uint8_t> value_;
};

// What a file cell holds: as much as its edit takes, so that a file name is
// never cut; one longer than the system opens is refused when the module is
// to run (FileNameTooLong).
constexpr int kFileCellLength = 32767;

// The text of a string cell's data, and the data of a text (cut to 255).
std::string ShortText(const std::vector<std::uint8_t>& data);
void SetShortText(std::vector<std::uint8_t>& data, const std::string& text);

// What a file-name cell's browse asks of the dialog: the row, whether the
// file is saved (an output file) or opened, and the cell's edit.
using TBrowseFile = std::function<void(int row, bool save, TVirTCStringEdit& edit)>;

// The cell that edits a parameter's argument, made on the grid: `working` is
// the working copy's record, `table` the module's own (limits and masks).
// Every cell shows the parameter's hint and takes the table's colours.
std::unique_ptr<TVirBaseTableCell> MakeParamCell(plat::Control& grid, int row, const TParamRec& working,
                                                 const TParamRec& table, const TBrowseFile& browse);

#pragma once
// A grid on a form for the editing cells' tests: column 0 holds prompts
// (locked), row 0 the headings; every other cell's data is a byte buffer the
// test sets up, served through OnGetCellData. Keys and clicks go through the
// platform as a user's would.

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "controls/table/VirTCStr.h"
#include "controls/table/VirTCRules.h"
#include "controls/table/forms/VirTable.h"
#include "platform/StdControls.h"
#include "tests/platform/QtTestSupport.h"

class CellGrid : public platform_test::WindowTest {
 protected:
  using Cell = std::pair<int, int>;

  // A form "DialogF" with a controller and a table of `rows` rows and `cols` columns.
  void MakeGrid(int rows, int cols, int width = 480, int height = 300) {
    plat::CustomControl::SetCaretBlinkTime(0);
    form = &plat::CreateForm<plat::Form>("DialogF");
    form->SetBounds(40, 40, width + 20, height + 20);
    controller = &form->AddComponent<TVirController>();
    controller->OnError = [this](plat::Control*, int code, const std::string& message) {
      errors.push_back({code, message});
    };
    table = &form->Add<TVirTable>();
    table->SetBounds(0, 0, width, height);
    table->SetColCount(cols);
    table->SetRowLimit(rows);
    table->Rows().SetDefaultHeight(30);
    table->SetLockedRowsCell(&heading);
    table->Columns().Column(0)->SetDefaultCell(&prompts);
    table->OnGetCellData = [this](int r, int c, TVirCellDataPurpose) {
      auto it = data.find({r, c});
      return it == data.end() ? TVirCellData{} : TVirCellData(it->second);
    };
  }
  void Show() {
    form->ShowForm();
    plat::input::Flush();
    // A table whose edit control has the focus already keeps it there.
    if (!Focus().Focused()) table->SetFocus();
    plat::input::Flush();
  }

  // Owner buffers: a length-prefixed text, a 32-bit integer, a double, a byte.
  void SetText(Cell at, const std::string& text, std::size_t size = 256) {
    auto& bytes = data[at];
    bytes.assign(size, 0);
    StoreCellText(bytes, text, 255, false);
  }
  std::string Text(Cell at) { return CellDataText(data[at], false); }
  template <class T>
  void SetValue(Cell at, T value) {
    auto& bytes = data[at];
    bytes.assign(sizeof value, 0);
    std::memcpy(bytes.data(), &value, sizeof value);
  }
  template <class T>
  T Value(Cell at) {
    T value{};
    std::memcpy(&value, data[at].data(), std::min(sizeof value, data[at].size()));
    return value;
  }

  // Starts editing a cell as the program does.
  void EditCell(int r, int c) {
    table->SetActiveCell(r, c);
    table->StartEditing();
    plat::input::Flush();
  }
  // A key on the control that has the focus now (the edit control while editing).
  void Key(int key, plat::ShiftState shift = 0, const std::string& text = {}) {
    plat::input::PressKey(Focus(), key, shift, text);
    plat::input::Flush();
  }
  void Type(const std::string& text) {
    plat::input::TypeText(Focus(), text);
    plat::input::Flush();
  }
  plat::Control& Focus() {
    TVirBaseTableCell* cell = table->EditCell();
    plat::Control* editor = cell != nullptr ? cell->EditControl() : nullptr;
    return editor != nullptr && editor->Focused() ? *editor : static_cast<plat::Control&>(*table);
  }
  Cell Active() const { return {table->ActiveRow(), table->ActiveCol()}; }
  plat::Point Centre(int r, int c) const {
    const plat::Rect rect = table->CellRect(r, c);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  void ClickCell(int r, int c) {
    const plat::Point p = Centre(r, c);
    plat::input::Click(*table, p.x, p.y);
    plat::input::Flush();
  }

  struct Reported {
    int code;
    std::string message;
  };
  plat::Form* form = nullptr;
  TVirController* controller = nullptr;
  TVirTable* table = nullptr;
  TVirTCColHead heading;
  TVirTCBaseString prompts;
  std::map<Cell, std::vector<std::uint8_t>> data;
  std::vector<Reported> errors;
};

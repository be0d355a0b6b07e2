// A table set up as the parameter dialog sets up its grid (headings
// "Parameters:" and "Arguments:", a bold prompt column, one argument cell per
// row, always editing), filled in by a user's keys and clicks; and pictures of
// it with a text being edited and a combo-box cell showing its button.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "CellGridSupport.h"
#include "controls/table/forms/VirTCBox.h"
#include "controls/table/forms/VirTCCBx.h"
#include "controls/table/forms/VirTCEdt.h"
#include "controls/table/forms/VirTCPic.h"
#include "platform/Snapshot.h"

namespace {

namespace vk = plat::vk;

using NumberCell = TVirTCPictureField;

enum Row { kTitle = 1, kInput, kMethod, kLabels, kGroups, kLimit, kRows };

class ParamTable : public CellGrid {
 protected:
  void SetUp() override {
    MakeGrid(kRows, 2, 407, 7 * 30 + 4);
    table->Columns().Column(0)->SetWidth(177);
    table->Columns().Column(1)->SetWidth(230);
    table->SetScrollBars(TVirScrollBars::ssNone);
    heading.SetShowLetters(false);
    heading.SetHeadings({"Parameters:", "Arguments:"});
    table->OnGetCellAttributes = [](int, int c, TVirCellAttributes& attr) {
      if (c == 0) attr.Font.style |= plat::fsBold;
    };
    const char* texts[] = {"", "Title", "Input file", "Method", "Show labels", "Groups", "Limit"};
    for (int r = 1; r < kRows; ++r) SetText({r, 0}, texts[r]);

    title.SetMaxLength(40);
    input.SetMaxLength(128);
    input.OnBrowse = [this](TVirTCStringEdit& sender) {
      browsedFrom = sender.Text();
      sender.SetText("/data/in.qmx");
    };
    method.SetStyle(csDropDownList);
    method.SetShowButton(false);
    method.SetUseRunTimeItems(true);
    method.SetMaxLength(8);
    labels.SetAllowGrayed(true);
    limit = std::make_unique<NumberCell>(*table);
    limit->SetDataType(pftDouble);
    limit->SetPictureMask("#####.#####");
    limit->SetRangeLo("0");
    limit->SetRangeHi("100");
    groups = std::make_unique<NumberCell>(*table);
    groups->SetDataType(pftLongInt);
    groups->SetRangeLo("1");
    groups->SetRangeHi("20");
    groups->SetPictureMask("ii");
    groups->SetMaxLength(2);
    groups->SetOption(TEntryOption::AutoAdvanceChar, true);
    const std::pair<int, TVirBaseTableCell*> cells[] = {{kTitle, &title},      {kInput, &input},
                                                        {kMethod, &method},    {kLabels, &labels},
                                                        {kLimit, limit.get()}, {kGroups, groups.get()}};
    for (auto [r, cell] : cells) {
      cell->SetHint("the row's hint");
      table->Cells().SetCell(r, 1, cell);
    }

    SetText({kTitle, 1}, "");
    SetText({kInput, 1}, "old.qmx");
    auto& choice = data[{kMethod, 1}];
    choice.assign(method.Layout().Size(), 0);
    SetComboDataIndex(choice, 0);
    SetComboDataItems(choice, method.Layout(), &methods);
    SetValue<std::uint8_t>({kLabels, 1}, 0);
    SetValue<double>({kLimit, 1}, 1.5);
    SetValue<std::int32_t>({kGroups, 1}, 3);

    // A Right past the only argument column goes on to the next row.
    table->OnActiveCellMoving = [this](std::uint16_t command, int& r, int& c) {
      if (command == ccRight && c == table->ActiveCol() && r < kRows - 1) ++r;
    };
    table->SetOptions({otoAlwaysEditing});
    Show();
  }
  void Down() { Key(vk::Down); }

  TVirTCString title, input;
  TVirTCComboBox method;
  TVirTCCheckBox labels;
  std::unique_ptr<NumberCell> limit, groups;
  const TVirComboItems methods{"UPGMA", "WPGMA", "Single"};
  std::string browsedFrom;
};

TEST_F(ParamTable, AUserFillsEveryKindOfCell) {
  EXPECT_EQ(Active(), Cell(kTitle, 1));
  ASSERT_TRUE(table->Editing());
  Type("My run");
  Down();
  // The file name: a double click browses.
  ASSERT_EQ(Active(), Cell(kInput, 1));
  ASSERT_NE(input.EditControl(), nullptr);
  plat::input::DoubleClick(*input.EditControl());
  plat::input::Flush();
  EXPECT_EQ(browsedFrom, "old.qmx");
  Down();
  // The choice: Down picks the next item and stays.
  ASSERT_EQ(Active(), Cell(kMethod, 1));
  Down();
  EXPECT_EQ(Active(), Cell(kMethod, 1));
  // The check box: a click moves there; Space and clicks step through three states.
  ClickCell(kLabels, 1);
  ASSERT_EQ(Active(), Cell(kLabels, 1));
  ASSERT_TRUE(table->Editing());
  auto glyph = [this] { return static_cast<TVirTCGlyphEdit*>(labels.EditControl())->GlyphIndex(); };
  std::vector<int> states;
  Key(vk::Space, 0, " ");
  states.push_back(glyph());
  plat::input::Click(*labels.EditControl());
  plat::input::Flush();
  states.push_back(glyph());
  Key(vk::Space, 0, " ");
  states.push_back(glyph());
  Key(vk::Space, 0, " ");
  states.push_back(glyph());
  EXPECT_EQ(states, (std::vector<int>{1, 2, 0, 1}));
  Down();
  // The integer: two digits fill it and advance to the next row.
  ASSERT_EQ(Active(), Cell(kGroups, 1));
  Type("12");
  // The real: out of its range Down reports once and stays; Esc puts the text back.
  ASSERT_EQ(Active(), Cell(kLimit, 1));
  const std::string shown = limit->EditField()->GetText();
  Type("250");
  Down();
  EXPECT_EQ(Active(), Cell(kLimit, 1));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].code, efeOutOfRange);
  Key(vk::Escape);
  EXPECT_EQ(limit->EditField()->GetText(), shown);
  EXPECT_TRUE(table->StopEditing(true));
  EXPECT_EQ(errors.size(), 1u);

  EXPECT_EQ(Text({kTitle, 1}), "My run");
  EXPECT_EQ(Text({kInput, 1}), "/data/in.qmx");
  EXPECT_EQ(ComboDataIndex(data[{kMethod, 1}]), 1);
  EXPECT_EQ(Value<std::uint8_t>({kLabels, 1}), 1);
  EXPECT_DOUBLE_EQ(Value<double>({kLimit, 1}), 1.5);
  EXPECT_EQ(Value<std::int32_t>({kGroups, 1}), 12);
}

TEST_F(ParamTable, Showcase) {
  const std::string folder = std::string(MORVA_ARTEFACTS) + "/controls/table/";
  std::filesystem::create_directories(folder);
  Type("Beech woods 1998");
  ASSERT_TRUE(plat::SaveSnapshot(*form, folder + "param-table-editing.png"));
  Down();
  Down();
  table->SetOptions({});
  table->StopEditing(true);
  method.SetShowButton(true);
  plat::input::Flush();
  ASSERT_EQ(Active(), Cell(kMethod, 1));
  ASSERT_TRUE(plat::SaveSnapshot(*form, folder + "param-table-combo-button.png"));
  EXPECT_TRUE(std::filesystem::exists(folder + "param-table-combo-button.png"));
}

}  // namespace

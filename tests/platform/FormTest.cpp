#include "QtTestSupport.h"

#include "platform/Resources.h"
#include "platform/Snapshot.h"
#include "platform/StdControls.h"
#include "platform/StringGrid.h"
#include "platform/TextMetrics.h"
#include "platform/qt/Peer.h"
#include "rtl/Exception.h"
#include "tests/support/GenerousWait.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace plat;
using platform_test::Deferred;
using platform_test::WindowTest;

// A form with one of each standard control; every event writes to the log.
class SampleForm : public Form {
 public:
  SampleForm() : Form("SampleF") {
    SetCaption("Sample");
    SetBounds(100, 100, 460, 420);
    top = &Add<Panel>();
    top->SetBounds(0, 0, 460, 40);
    top->SetAlign(Align::Top);
    status = &Add<StatusBar>();
    bottom = &Add<Panel>();
    bottom->SetBounds(0, 0, 460, 44);
    bottom->SetAlign(Align::Bottom);

    edit = &top->Add<Edit>();
    edit->SetBounds(4, 8, 100, 24);
    edit->OnChange = [this] { log.push_back("edit " + edit->Text()); };
    spin = &top->Add<SpinEdit>();
    spin->SetBounds(110, 8, 60, 24);
    spin->SetRange(1, 3);
    spin->OnChange = [this] { log.push_back("spin " + std::to_string(spin->Value())); };
    check = &top->Add<CheckBox>("Labels");
    check->SetBounds(180, 8, 80, 24);
    check->OnClick = [this] { log.push_back(std::string("check ") + (check->Checked() ? "on" : "off")); };
    combo = &top->Add<ComboBox>(ComboStyle::DropDownList);
    combo->SetBounds(270, 8, 180, 24);
    combo->SetItems({"Rectangular", "Symmetric (dissimilarity)", "Symmetric (similarity)"});
    combo->SetItemIndex(0);
    combo->OnChange = [this] { log.push_back("combo " + std::to_string(combo->ItemIndex())); };

    pages = &Add<PageControl>();
    pages->SetBounds(0, 40, 460, 300);
    pages->SetAlign(Align::Client);
    auto& first = pages->AddPage("&Grid");
    auto& second = pages->AddPage("&Choices");
    grid = &first.Add<StringGrid>();
    grid->SetBounds(0, 0, 440, 200);
    grid->SetColCount(3);
    grid->SetRowCount(4);
    grid->SetOptions(goEditing | goTabs);
    grid->SetCell(0, 0, "Rows\\Cols");
    grid->OnSetEditText = [this](int c, int r, const std::string& t) {
      log.push_back("cell " + std::to_string(c) + "," + std::to_string(r) + "=" + t);
    };
    radio = &second.Add<RadioGroup>("Mode");
    radio->SetBounds(8, 8, 150, 100);
    radio->SetItems({"ask", "overwrite", "append"});
    radio->SetItemIndex(0);
    radio->OnClick = [this] { log.push_back("radio " + std::to_string(radio->ItemIndex())); };
    list = &second.Add<ListBox>();
    list->SetBounds(170, 8, 150, 100);
    list->SetItems({"first", "second", "third"});
    list->OnClick = [this] { log.push_back("list " + std::to_string(list->ItemIndex())); };
    memo = &second.Add<Memo>();
    memo->SetBounds(8, 120, 300, 60);

    compute = &bottom->Add<Button>("Compute");
    compute->SetBounds(4, 8, 80, 28);
    compute->SetHint("Run module|Execute this program module");
    compute->OnClick = [this] { log.push_back("compute"); };
    plot = &bottom->Add<SpeedButton>();
    plot->SetBounds(90, 8, 28, 28);
    plot->SetGroupIndex(1);
    plot->SetAllowAllUp(true);
    plot->OnClick = [this] { log.push_back(std::string("plot ") + (plot->Down() ? "down" : "up")); };
    labels = &bottom->Add<SpeedButton>();
    labels->SetBounds(120, 8, 28, 28);
    labels->SetGroupIndex(1);
    labels->SetAllowAllUp(true);
    gauge = &bottom->Add<ProgressGauge>();
    gauge->SetBounds(154, 8, 180, 28);
    label = &bottom->Add<Label>("Matrix: ");
    label->SetBounds(340, 8, 60, 28);

    auto& file = Menu().Add("&File");
    print = &file.Add(
        "&Print", "Print the plot", [this] { log.push_back("print"); }, scCtrl | 'P');
    file.Add("-");
    file.Add(
        "C&lose", "Close this window", [this] { Close(); }, scCtrl | (vk::F1 + 3));
  }

  std::vector<std::string> log;
  Panel *top, *bottom;
  StatusBar* status;
  Edit* edit;
  SpinEdit* spin;
  CheckBox* check;
  ComboBox* combo;
  PageControl* pages;
  StringGrid* grid;
  RadioGroup* radio;
  ListBox* list;
  Memo* memo;
  Button* compute;
  SpeedButton* plot;
  SpeedButton* labels;
  ProgressGauge* gauge;
  Label* label;
  MenuItem* print;
};

class FormTest : public WindowTest {
 protected:
  SampleForm& ShowSample() {
    auto& form = CreateForm<SampleForm>();
    form.ShowForm();
    input::Flush();
    return form;
  }
};

TEST_F(FormTest, TextControlsTakeTypedKeys) {
  auto& form = ShowSample();
  form.edit->SetFocus();
  input::TypeText(*form.edit, "Ab1");
  input::PressKey(*form.edit, vk::Back);
  EXPECT_EQ(form.edit->Text(), "Ab");
  EXPECT_EQ(form.log, (std::vector<std::string>{"edit A", "edit Ab", "edit Ab1", "edit Ab"}));

  form.memo->SetText("line 1\r\nline 2");
  EXPECT_EQ(form.memo->Lines(), (std::vector<std::string>{"line 1", "line 2"}));
  EXPECT_EQ(form.memo->Text(), "line 1\r\nline 2\r\n");
  // Windows-1252 text shows as such and comes back, as what the user sees, in UTF-8.
  form.memo->SetLines({"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"});
  EXPECT_EQ(form.memo->Lines(), (std::vector<std::string>{"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"}));
}

TEST_F(FormTest, ChoiceControlsFollowKeysAndClicks) {
  auto& form = ShowSample();
  form.spin->SetFocus();
  input::PressKey(*form.spin, vk::Up);
  input::PressKey(*form.spin, vk::Up);
  input::PressKey(*form.spin, vk::Up);  // stops at the maximum
  EXPECT_EQ(form.spin->Value(), 3);

  input::Click(*form.check);
  EXPECT_TRUE(form.check->Checked());

  form.combo->SetFocus();
  input::PressKey(*form.combo, vk::Down);
  EXPECT_EQ(form.combo->ItemIndex(), 1);
  form.combo->SetItemIndex(2);  // a program's change is no user's choice: no event

  form.pages->SetActivePageIndex(1);
  input::Flush();
  form.radio->SetFocus();
  input::PressKey(*form.radio, vk::Down);
  EXPECT_EQ(form.radio->ItemIndex(), 1);
  input::Click(*form.list, 20, 5);
  input::PressKey(*form.list, vk::Down);
  EXPECT_EQ(form.list->ItemIndex(), 1);

  EXPECT_EQ(form.log,
            (std::vector<std::string>{"spin 2", "spin 3", "check on", "combo 1", "radio 1", "list 0", "list 1"}));
}

TEST_F(FormTest, GridEditsInPlaceAndKeepsFixedCellsOutOfReach) {
  auto& form = ShowSample();
  StringGrid& grid = *form.grid;
  EXPECT_EQ(grid.Cell(0, 0), "Rows\\Cols");
  grid.SetFocus();
  grid.SetCurrent(1, 1);
  input::TypeText(grid, "42");
  input::PressKey(grid, vk::Return);
  input::Flush();
  EXPECT_EQ(grid.Cell(1, 1), "42");
  // The cell takes the editor's text at each change, as it is typed.
  EXPECT_EQ(form.log, (std::vector<std::string>{"cell 1,1=4", "cell 1,1=42"}));
  EXPECT_EQ(grid.Row(), 2) << "Enter goes on to the cell below";

  grid.SetCurrent(0, 2);  // a fixed cell never becomes current
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(grid.Row(), 2);

  grid.SetFixedCols(0);  // the row labels become editable
  grid.SetCurrent(0, 2);
  EXPECT_EQ(grid.Col(), 0);
  grid.SetRowCount(2);
  EXPECT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.Cell(1, 1), "42");
}

// Drags with the left button from the centre of one cell to the centre of another.
void DragCell(StringGrid& grid, int fromCol, int fromRow, int toCol, int toRow) {
  const Rect from = grid.CellRect(fromCol, fromRow), to = grid.CellRect(toCol, toRow);
  ASSERT_GT(from.Width(), 0);
  ASSERT_GT(to.Width(), 0);
  input::Drag(grid, (from.left + from.right) / 2, (from.top + from.bottom) / 2, (to.left + to.right) / 2,
              (to.top + to.bottom) / 2);
  input::Flush();
}

TEST_F(FormTest, GridRowsAndColumnsAreDraggedByTheirFixedCells) {
  auto& form = ShowSample();
  StringGrid& grid = *form.grid;
  const GridOptions both = goEditing | goRowMoving | goColMoving;
  const struct {
    const char* what;
    GridOptions options;
    int fromCol, fromRow, toCol, toRow;
    const char* moved;
    const char* cells;
    int currentCol, currentRow;  // where the current cell (1, 1) went; -1: not looked at
    const char* widths;          // of columns 1 and 2, set to 90 and 60
  } cases[] = {
      {"a row down by its label", both, 0, 1, 0, 3, "row 1 to 3", "Rows\\Cols C1 C2|R2 a2 b2|R3 a3 b3|R1 a1 b1", 1, 3,
       "90 60"},
      {"a row up past the current one", both, 0, 3, 0, 1, "row 3 to 1", "Rows\\Cols C1 C2|R3 a3 b3|R1 a1 b1|R2 a2 b2",
       1, 2, "90 60"},
      {"a column by its heading, with its width", both, 1, 0, 2, 0, "column 1 to 2",
       "Rows\\Cols C2 C1|R1 b1 a1|R2 b2 a2|R3 b3 a3", 2, 1, "60 90"},
      {"not onto the heading row", both, 0, 2, 0, 0, "", "Rows\\Cols C1 C2|R1 a1 b1|R2 a2 b2|R3 a3 b3", 1, 1, "90 60"},
      {"not onto the labels column", both, 2, 0, 0, 0, "", "Rows\\Cols C1 C2|R1 a1 b1|R2 a2 b2|R3 a3 b3", 1, 1,
       "90 60"},
      {"rows stay without row moving", goEditing | goColMoving, 0, 1, 0, 3, "",
       "Rows\\Cols C1 C2|R1 a1 b1|R2 a2 b2|R3 a3 b3", 1, 1, "90 60"},
      {"columns stay without column moving", goEditing | goRowMoving, 1, 0, 2, 0, "",
       "Rows\\Cols C1 C2|R1 a1 b1|R2 a2 b2|R3 a3 b3", 1, 1, "90 60"},
      {"a drag over values selects", both, 1, 1, 1, 3, "", "Rows\\Cols C1 C2|R1 a1 b1|R2 a2 b2|R3 a3 b3", -1, -1,
       "90 60"},
      {"the corner is no handle", both, 0, 0, 0, 2, "", "Rows\\Cols C1 C2|R1 a1 b1|R2 a2 b2|R3 a3 b3", 1, 1, "90 60"},
  };
  std::string moved;
  grid.OnRowMoved = [&](int from, int to) { moved += "row " + std::to_string(from) + " to " + std::to_string(to); };
  grid.OnColumnMoved = [&](int from, int to) {
    moved += "column " + std::to_string(from) + " to " + std::to_string(to);
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    grid.SetOptions(c.options);
    for (int r = 1; r <= 3; ++r) {
      grid.SetCell(0, r, "R" + std::to_string(r));
      grid.SetCell(1, r, "a" + std::to_string(r));
      grid.SetCell(2, r, "b" + std::to_string(r));
    }
    grid.SetCell(1, 0, "C1");
    grid.SetCell(2, 0, "C2");
    grid.SetColWidth(1, 90);
    grid.SetColWidth(2, 60);
    grid.SetFocus();
    grid.SetCurrent(1, 1);
    input::Flush();
    moved.clear();
    DragCell(grid, c.fromCol, c.fromRow, c.toCol, c.toRow);
    EXPECT_EQ(moved, c.moved);
    std::string cells;
    for (int r = 0; r < grid.RowCount(); ++r)
      for (int col = 0; col < grid.ColCount(); ++col)
        cells += std::string(col == 0 ? (r == 0 ? "" : "|") : " ") + grid.Cell(col, r);
    EXPECT_EQ(cells, c.cells);
    if (c.currentCol >= 0) {
      EXPECT_EQ(grid.Col(), c.currentCol);
      EXPECT_EQ(grid.Row(), c.currentRow);
    }
    EXPECT_EQ(std::to_string(grid.ColWidth(1)) + " " + std::to_string(grid.ColWidth(2)), c.widths);
  }
}

TEST_F(FormTest, GridShowsItsOwnersTextsAndTheirWholeTextAsTooltip) {
  auto& form = ShowSample();
  StringGrid& grid = *form.grid;
  // The owner keeps a million rows; the grid asks only for the cells it shows.
  std::vector<std::string> asked;
  grid.SetCellSource([&](int col, int row) {
    if (asked.size() < 1000) asked.push_back(std::to_string(col) + "," + std::to_string(row));
    return col == 1 && row == 1 ? std::string("3.53836475741151E+000") : "r" + std::to_string(row);
  });
  grid.SetRowCount(1000000);
  grid.CellsChanged();
  input::Flush();
  form.Repaint();
  EXPECT_LT(asked.size(), 1000u);
  EXPECT_EQ(grid.Cell(0, 999999), "r999999");
  EXPECT_EQ(grid.CellHint(1, 1), "3.53836475741151E+000");
  // A text set on a grid with a source goes nowhere: the owner's edits reach it by OnSetEditText.
  grid.SetCell(2, 2, "lost");
  EXPECT_EQ(grid.Cell(2, 2), "r2");
  grid.SetCurrent(1, 2);
  grid.SetFocus();
  input::TypeText(grid, "9");
  input::PressKey(grid, vk::Return);
  input::Flush();
  EXPECT_EQ(form.log.back(), "cell 1,2=9");
  EXPECT_EQ(grid.Cell(1, 2), "r2") << "the owner did not store it";

  grid.FitColWidthTo(1, "3.53836475741151E+000");
  EXPECT_GT(grid.ColWidth(1), TextWidthIn(grid, "3.53836475741151E+000"));
  grid.FitColWidthTo(2, "x");
  EXPECT_EQ(grid.ColWidth(2), grid.ColWidth(0)) << "never narrower than the default";
}

TEST_F(FormTest, TextShowsAsUtf8WhenValidElseAsWindows1252AndComesBackInUtf8) {
  auto& form = ShowSample();
  auto& utf8 = form.Add<Label>("Z\xC3\xBCrich");
  auto& cp1252 = form.Add<Label>("Z\xFCrich");
  EXPECT_EQ(qobject_cast<QLabel*>(utf8.Peer().widget.data())->text(), QString::fromUtf8("Z\xC3\xBCrich"));
  EXPECT_EQ(qobject_cast<QLabel*>(cp1252.Peer().widget.data())->text(), QString::fromUtf8("Z\xC3\xBCrich"));
  form.SetCaption("Mvedit 1.07b : /data/Z\xC3\xBCrich.qmx");
  EXPECT_EQ(form.Caption(), "Mvedit 1.07b : /data/Z\xC3\xBCrich.qmx");
  form.edit->SetText("");
  form.edit->SetFocus();
  input::TypeText(*form.edit, "K\xC3\xB6ln");
  input::Flush();
  EXPECT_EQ(form.edit->Text(), "K\xC3\xB6ln") << "what the user types comes back as Linux has it";
}

// A label shows its caption as it is written, whatever it holds: file names
// may hold what the toolkit would otherwise read as markup.
TEST_F(FormTest, ALabelShowsEveryCharacterOfItsCaption) {
  auto& form = ShowSample();
  for (const char* caption : {"/data/<b>1</b>.qmx", "<i>site</i> B.qmx", "a &lt; b.qmx"}) {
    auto& label = form.Add<Label>(caption);
    EXPECT_GE(label.Peer().widget->sizeHint().width(), TextWidthIn(label, caption)) << caption;
    label.SetCaption(std::string(caption) + "2");
    EXPECT_GE(label.Peer().widget->sizeHint().width(), TextWidthIn(label, std::string(caption) + "2")) << caption;
  }
}

TEST_F(FormTest, ButtonsAndMenus) {
  auto& form = ShowSample();
  input::Click(*form.compute);
  form.print->Click();
  form.print->SetEnabled(false);
  form.print->Click();
  EXPECT_EQ(form.log, (std::vector<std::string>{"compute", "print"}));
  EXPECT_EQ(form.Menu().Find("Print"), form.print);
  EXPECT_EQ(form.print->GetShortCut(), scCtrl | 'P');
}

TEST_F(FormTest, PopupMenuShowsItsItemsAndActsOnTheChoice) {
  auto& form = ShowSample();
  MenuItem menu(nullptr);
  std::vector<std::string> chosen;
  menu.Add("&Copy", {}, [&] { chosen.push_back("copy"); });
  menu.Add("-");
  menu.Add("&Paste", {}, [&] { chosen.push_back("paste"); }).SetEnabled(false);
  form.edit->SetFocus();
  int exits = 0;
  form.edit->OnExit = [&] { ++exits; };
  std::vector<input::PopupItem> seen;
  bool pasteTaken = true;
  Deferred later;
  bool separatorHasText = true;
  later.Post([&] {
    seen = input::PopupMenuItems();
    // A separator with a text would show as a section titled "-".
    auto* shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    separatorHasText =
        shown == nullptr || !shown->actions().at(1)->isSeparator() || !shown->actions().at(1)->text().isEmpty();
    pasteTaken = input::ChoosePopupItem("Paste");  // disabled: the menu closes without a choice
  });
  PopupMenuAt(menu, form.ClientToScreen({10, 10}));
  EXPECT_EQ(seen, (std::vector<input::PopupItem>{{"&Copy", true}, {"-", true}, {"&Paste", false}}));
  EXPECT_FALSE(separatorHasText);
  EXPECT_FALSE(pasteTaken);
  EXPECT_TRUE(chosen.empty());
  EXPECT_TRUE(input::PopupMenuItems().empty()) << "closed";

  later.Post([&] { input::ChoosePopupItem("Copy"); });
  PopupMenuAt(menu, form.ClientToScreen({10, 10}));
  EXPECT_EQ(chosen, std::vector<std::string>{"copy"}) << "the item acted before the menu returned";
  input::Flush();
  EXPECT_TRUE(form.edit->Focused()) << "a pop-up menu leaves the focus where it was";
  EXPECT_EQ(exits, 0);
}

TEST_F(FormTest, FocusMovesAlongTheTabOrder) {
  auto& form = ShowSample();
  form.edit->SetFocus();
  ASSERT_TRUE(form.edit->Focused());
  form.SelectNextControl(true);
  EXPECT_FALSE(form.edit->Focused());
  EXPECT_TRUE(form.spin->Focused()) << "the control made after it";
  form.SelectNextControl(false);
  EXPECT_TRUE(form.edit->Focused());
}

TEST_F(FormTest, SpinButtonArrowsAndRadioButtonsReportTheUsersClicks) {
  auto& form = CreateForm<Form>("SpinRadioF");
  form.SetClientSize(200, 120);
  auto& spin = form.Add<SpinButton>();
  spin.SetBounds(10, 10, 18, 40);
  auto& box = form.Add<GroupBox>("Points");
  box.SetBounds(40, 10, 150, 100);
  RadioButton* radios[3];
  std::vector<std::string> log;
  for (int i = 0; i < 3; ++i) {
    radios[i] = &box.Add<RadioButton>("R" + std::to_string(i));
    radios[i]->SetBounds(8, 20 + 24 * i, 100, 20);
    radios[i]->OnClick = [&log, i] { log.push_back("radio " + std::to_string(i)); };
  }
  spin.OnUpClick = [&log] { log.push_back("up"); };
  spin.OnDownClick = [&log] { log.push_back("down"); };
  form.ShowForm();
  input::Flush();

  input::Click(spin, 9, 5);
  input::Click(spin, 9, 35);
  spin.ClickUp();
  radios[2]->SetChecked(true);  // a program's check is not the user's click
  input::Click(*radios[0], 8, 10);
  input::Click(*radios[0], 8, 10);  // already checked: nothing happens
  radios[1]->Click();
  EXPECT_EQ(log, (std::vector<std::string>{"up", "down", "up", "radio 0", "radio 1"}));
  EXPECT_FALSE(radios[0]->Checked()) << "one radio button of a parent is checked at a time";
  EXPECT_TRUE(radios[1]->Checked());
  EXPECT_FALSE(radios[2]->Checked());

  log.clear();
  spin.SetEnabled(false);
  box.SetEnabled(false);
  spin.ClickDown();
  input::Click(spin, 9, 5);
  radios[2]->Click();
  EXPECT_TRUE(log.empty()) << "disabled controls take no clicks";
}

TEST_F(FormTest, SpeedButtonsOfAGroupAreDownOneAtATime) {
  auto& form = ShowSample();
  SpeedButton& plot = *form.plot;
  SpeedButton& labels = *form.labels;
  struct Step {
    SpeedButton* clicked;
    bool byMouse;
    bool plotDown;
    bool labelsDown;
  };
  const Step steps[] = {
      {&plot, true, true, false},  {&labels, true, false, true}, {&labels, true, false, false},
      {&plot, false, true, false}, {&plot, false, false, false}, {&labels, false, false, true},
  };
  for (const auto& step : steps) {
    if (step.byMouse) {
      input::Click(*step.clicked);
    } else {
      step.clicked->Click();
    }
    EXPECT_EQ(plot.Down(), step.plotDown);
    EXPECT_EQ(labels.Down(), step.labelsDown);
  }
  labels.SetAllowAllUp(false);
  input::Click(labels);  // without all-up, the down button stays down
  EXPECT_TRUE(labels.Down());
  EXPECT_EQ(form.log.front(), "plot down");
}

// A 16 x 16 bitmap file of one colour (24 bits, rows bottom up, blue first);
// with `whiteCorner` its bottom-left pixel is white.
std::vector<std::uint8_t> SolidBitmap(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                      bool whiteCorner = false) {
  const std::uint32_t side = 16, pixelBytes = side * side * 3, fileSize = 54 + pixelBytes;
  std::vector<std::uint8_t> bmp = {'B', 'M'};
  auto put32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto put16 = [&](std::uint16_t v) {
    bmp.push_back(static_cast<std::uint8_t>(v));
    bmp.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  put32(fileSize);
  put32(0);
  put32(54);
  put32(40);
  put32(side);
  put32(side);
  put16(1);
  put16(24);
  put32(0);
  put32(pixelBytes);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  for (std::uint32_t i = 0; i < side * side; ++i) bmp.insert(bmp.end(), {blue, green, red});
  if (whiteCorner) std::fill_n(bmp.begin() + 54, 3, std::uint8_t{255});
  return bmp;
}

// The face's bottom-left colour is transparent: a face of one colour shows nothing.
TEST_F(FormTest, SpeedButtonFaceComesFromANamedBitmapResource) {
  static const std::vector<std::uint8_t> red = SolidBitmap(255, 0, 0, true);
  static const std::vector<std::uint8_t> allRed = SolidBitmap(255, 0, 0);
  static const std::array<EmbeddedResource, 2> table = {{{"TESTREDGLYPH", red}, {"TESTALLREDGLYPH", allRed}}};
  RegisterResources(table);
  auto& form = ShowSample();
  form.plot->SetGlyphResource("TestRedGlyph");  // names are found without regard to case
  form.plot->Repaint();
  RasterImage face = GrabImage(*form.plot);
  ASSERT_GT(face.width, 0);
  std::uint32_t centre = face.pixels[static_cast<std::size_t>((face.height / 2) * face.width + face.width / 2)];
  EXPECT_EQ(centre & 0x00FFFFFFu, 0x00FF0000u);
  const auto centreOf = [&] {
    form.plot->Repaint();
    return GrabImage(*form.plot).pixels[static_cast<std::size_t>((face.height / 2) * face.width + face.width / 2)];
  };
  form.plot->SetGlyphResource("");  // an empty name leaves the face blank
  EXPECT_NE(centreOf() & 0x00FFFFFFu, 0x00FF0000u);
  form.plot->SetGlyphResource("TestAllRedGlyph");
  EXPECT_NE(centreOf() & 0x00FFFFFFu, 0x00FF0000u);
}

TEST_F(FormTest, ExceptionFromAnEventShowsTheErrorBoxAndTheFormGoesOn) {
  auto& form = ShowSample();
  form.compute->OnClick = [] { throw rtl::Exception("Input file name is blank for input"); };
  input::Click(*form.compute);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.LastText(), "Input file name is blank for input.");
  form.compute->OnClick = [&] { form.log.push_back("again"); };
  input::Click(*form.compute);
  EXPECT_EQ(form.log, (std::vector<std::string>{"again"}));
}

TEST_F(FormTest, CloseQueryDecidesAndFreedFormsAreGone) {
  auto& form = ShowSample();
  bool busy = true;
  form.OnCloseQuery = [&](bool& canClose) { canClose = !busy; };
  form.OnClose = [&](CloseAction& action) {
    form.log.push_back("closed");
    action = CloseAction::Free;
  };
  EXPECT_TRUE(FormExists("samplef"));
  EXPECT_EQ(FindForm("SAMPLEF"), &form);
  form.Close();
  EXPECT_TRUE(form.Visible());
  busy = false;
  form.Menu().Find("Close")->Click();
  EXPECT_EQ(form.log, (std::vector<std::string>{"closed"}));
  input::Flush();
  EXPECT_FALSE(FormExists("SampleF"));
}

TEST_F(FormTest, ClosingTheMainFormEndsTheEventLoopThoughAnotherFormStaysOpen) {
  auto& main = ShowSample();
  auto& other = CreateForm<Form>("OtherF");
  other.OnCloseQuery = [](bool& canClose) { canClose = false; };
  other.ShowForm();
  QTimer::singleShot(0, [&main] { main.Close(); });
  // Should the loop go on, this ends it with another result.
  QTimer stuck;
  stuck.setSingleShot(true);
  QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  stuck.start(testsupport::kGenerousWaitMs);
  EXPECT_EQ(RunApplication(), 0);
}

TEST_F(FormTest, HoverPutsTheLongHintInTheApplicationHint) {
  auto& form = ShowSample();
  std::vector<std::string> hints;
  SetOnHint([&] { hints.push_back(ApplicationHint()); });
  input::Hover(*form.compute);
  SetOnHint({});
  form.status->SetSimpleText(" " + ApplicationHint());
  EXPECT_EQ(hints, (std::vector<std::string>{"Execute this program module"}));
  EXPECT_EQ(form.status->SimpleText(), " Execute this program module");
}

TEST_F(FormTest, AlignedChildrenFollowTheClientArea) {
  auto& form = ShowSample();
  form.SetClientSize(500, 400);
  input::Flush();
  EXPECT_EQ(form.top->Bounds(), (Rect{0, 0, 500, 40}));
  EXPECT_EQ(form.status->Bounds().bottom, 400);
  EXPECT_EQ(form.bottom->Bounds().bottom, form.status->Top());
  EXPECT_EQ(form.pages->Bounds(), (Rect{0, 40, 500, form.bottom->Top()}));
}

TEST_F(FormTest, PlacementRoundTrip) {
  auto& form = ShowSample();
  WindowPlacement placement;
  placement.normal = {120, 80, 620, 480};
  form.SetPlacement(placement);
  input::Flush();
  EXPECT_EQ(form.GetPlacement().normal, placement.normal);
  EXPECT_EQ(form.GetPlacement().showCmd, 1);
}

// A small modal question with the three answers of the overwrite prompt.
class QuestionForm : public Form {
 public:
  QuestionForm() : Form("Task_oafF") {
    SetCaption("File exists!");
    SetBounds(200, 200, 300, 120);
    append = &Add<Button>("&Append");
    append->SetBounds(10, 60, 80, 28);
    append->SetModalResult(mrYes);
    overwrite = &Add<Button>("&Overwrite");
    overwrite->SetBounds(100, 60, 80, 28);
    overwrite->SetModalResult(mrOk);
    cancel = &Add<Button>();
    cancel->SetBounds(190, 60, 80, 28);
    cancel->SetKind(ButtonKind::Cancel);
  }
  Button *append, *overwrite, *cancel;
};

TEST_F(FormTest, ModalFormsEndWithTheirButtonsResult) {
  Deferred later;
  {
    QuestionForm question;
    later.Post([&] { input::Click(*question.append); });
    EXPECT_EQ(question.ShowModal(), mrYes);
    EXPECT_FALSE(question.Visible());
  }
  {
    QuestionForm question;
    later.Post([&] { input::PressKey(question, vk::Escape); });
    EXPECT_EQ(question.ShowModal(), mrCancel);
  }
  {
    QuestionForm question;
    int asked = 0;
    question.OnCloseQuery = [&](bool& canClose) { canClose = ++asked > 1; };
    later.Post([&] {
      input::Click(*question.overwrite);
      later.Post([&] { input::Click(*question.overwrite); });
    });
    EXPECT_EQ(question.ShowModal(), mrOk);
    EXPECT_EQ(asked, 2);
  }
}

// An options window hides while a dialog it opened runs, and shows again
// after it: its own modal show goes on and ends with its own result.
TEST_F(FormTest, AModalFormHiddenWhileAnotherRunsKeepsItsModalShow) {
  Deferred later;
  QuestionForm outer;
  ModalResult inner = mrNone;
  bool hiddenMeanwhile = false;
  later.Post([&] {
    outer.Hide();
    QuestionForm dialog;
    later.Post([&] {
      hiddenMeanwhile = !outer.Visible() && outer.IsModal();
      input::Click(*dialog.append);
    });
    inner = dialog.ShowModal();
    outer.Show();
    later.Post([&] {
      EXPECT_TRUE(outer.IsModal());
      EXPECT_TRUE(outer.Visible());
      input::Click(*outer.overwrite);
    });
  });
  EXPECT_EQ(outer.ShowModal(), mrOk);
  EXPECT_EQ(inner, mrYes);
  EXPECT_TRUE(hiddenMeanwhile);
}

}  // namespace

namespace {

TEST_F(FormTest, ControlsTellTheirBackgroundColour) {
  auto& form = ShowSample();
  auto& panel = form.Add<Panel>();
  panel.SetColor(RGB(10, 20, 30));
  EXPECT_EQ(panel.GetColor(), RGB(10, 20, 30));
  auto& plain = form.Add<Panel>();
  EXPECT_EQ(plain.GetColor(), form.GetColor());  // the desktop's, as its parent's
}

}  // namespace

#include "controls/base/forms/VirEF.h"

#include <gtest/gtest.h>

#include "controls/base/VirIntl.h"
#include "controls/base/forms/VirNF.h"
#include "controls/base/forms/VirSF.h"

#include <string>
#include <vector>

#include "BindingKeys.h"
#include "FakeIntl.h"
#include "FieldDriving.h"
#include "FieldFormTest.h"
#include "PlainTextEdits.h"
#include "platform/StdControls.h"
#include "platform/SystemColors.h"
#include "tests/platform/AnsweredMessageBoxes.h"
#include "tests/platform/QtTestSupport.h"

namespace {

using namespace plat;
namespace vk = plat::vk;
using platform_test::Deferred;

// An entry field of plain text on a form.
class PlainField : public PlainTextEdits<TVirBaseEntryField> {
 public:
  PlainField(Control& parent, const EntryFieldIntl& intl, const std::string& name)
      : EntryFieldModel(intl, TFieldKind::Simple),
        PlainTextEdits<TVirBaseEntryField>(parent, intl, TFieldKind::Simple) {
    SetName(name);
  }
  using EntryFieldModel::AssignDataType;
  using EntryFieldModel::RestoreCopy;
};

// The context menu's items with the enabled states of `s`.
std::vector<input::PopupItem> Menu(TContextMenuState s) {
  return {{"&Restore", s.restore}, {"-", true},        {"Cu&t", s.cut}, {"&Copy", s.copy},
          {"&Paste", s.paste},     {"&Delete", s.del}, {"-", true},     {"Select &All", s.selectAll}};
}

class EntryFieldTest : public FieldFormTest {
 protected:
  void SetUp() override {
    MakeForm("EntryF", 300, 130);
    a = &AddField<PlainField>(0, intl, "A");
    b = &AddField<PlainField>(1, intl, "B");
    c = &AddField<PlainField>(2, intl, "C");
  }
  void Show() {
    form->ShowForm();
    input::Flush();
    ASSERT_TRUE(a->Focused());
  }
  void RightClick(Control& control, int x = 20) {
    input::MouseDown(control, MouseButton::Right, x, 10);
    input::MouseUp(control, MouseButton::Right, x, 10);
  }
  // Right-clicks the field; the menu shown is read, then the item chosen.
  std::vector<input::PopupItem> MenuAndChoose(Control& field, const std::string& choice) {
    std::vector<input::PopupItem> items;
    later.Post([&items, choice] {
      items = input::PopupMenuItems();
      input::ChoosePopupItem(choice);
    });
    RightClick(field);
    input::Flush();
    return items;
  }

  FakeIntl intl;
  Deferred later;
  PlainField* a = nullptr;
  PlainField* b = nullptr;
  PlainField* c = nullptr;
};

TEST_F(EntryFieldTest, TypedTextArrivesAsCharacters) {
  Show();
  input::TypeText(*a, "Ab 1");
  input::PressKey(*a, 'E', 0, "\xe9");       // a dead key or AltGr gives its character with the key
  input::PressKey(*a, 'A', ssCtrl, "\x01");  // no command: a control character
  EXPECT_EQ(a->GetText(), "Ab 1\xe9\x01");
  EXPECT_EQ(a->GetDisplayText(),
            "Ab 1\xe9"
            "A");
  input::PressKey(*a, vk::Back, 0, "\b");
  input::PressKey(*a, vk::Left);
  input::PressKey(*a, vk::Delete);
  EXPECT_EQ(a->GetText(), "Ab 1");
  EXPECT_TRUE(a->Modified());
  a->SetCaption("window text");
  EXPECT_EQ(a->Caption(), "window text");
}

TEST_F(EntryFieldTest, ReadOnlyFieldBeepsAndKeepsItsText) {
  a->SetText("abcd");
  a->SetOption(TEntryOption::ReadOnly, true);
  Show();  // the whole text selected
  input::PressKey(*a, 'C', ssCtrl, "\x03");
  EXPECT_EQ(clipboard.GetText(), "abcd") << "Ctrl+C copies";
  ClipboardContent pasted;
  pasted.text = "pasted";
  clipboard.Set(pasted);
  input::PressKey(*a, vk::Back, 0, "\b");
  input::PressKey(*a, vk::Delete);
  input::PressKey(*a, 'X', ssCtrl, "\x18");
  input::PressKey(*a, 'V', ssCtrl, "\x16");
  input::TypeText(*a, "q");
  EXPECT_EQ(a->GetText(), "abcd");
  EXPECT_EQ(desktop.Beeps(), 5);
  input::PressKey(*a, vk::Left);
  input::PressKey(*a, vk::Home);
  input::PressKey(*a, vk::End);
  input::PressKey(*a, vk::Left);
  EXPECT_EQ(a->CaretPos(), 3) << "the arrows, Home and End still move";
  EXPECT_EQ(desktop.Beeps(), 5);
}

TEST_F(EntryFieldTest, CtrlZRestoresTheTextOfFocusEntry) {
  a->SetText("start");
  Show();
  input::PressKey(*a, vk::End);
  input::TypeText(*a, "xy");
  input::PressKey(*a, 'Z', ssCtrl, "\x1a");
  EXPECT_EQ(a->GetText(), "start");
  EXPECT_FALSE(a->Modified());
  input::PressKey(*a, vk::Delete);  // the restored text is selected
  input::PressKey(*a, 'Z', ssCtrl, "\x1a");
  EXPECT_EQ(a->GetText(), "start");
}

TEST_F(EntryFieldTest, ContextMenuFollowsClicksAndSelections) {
  b->SetText("hello");
  Show();
  input::Click(*b, 150, 10);  // focus by the mouse: nothing selected
  input::Flush();
  ASSERT_TRUE(b->Focused());
  auto items = MenuAndChoose(*b, "Select All");
  EXPECT_EQ(items, Menu({false, false, false, false, false, true}));
  EXPECT_EQ(b->SelectionLength(), 5);
  items = MenuAndChoose(*b, "Cut");
  EXPECT_EQ(items, Menu({false, true, true, false, true, false}));
  EXPECT_EQ(b->GetText(), "");
  EXPECT_EQ(clipboard.GetText(), "hello");
  items = MenuAndChoose(*b, "Restore");
  EXPECT_EQ(items, Menu({true, false, false, true, false, false}));
  EXPECT_EQ(b->GetText(), "hello");
  EXPECT_TRUE(b->Focused()) << "the menu leaves the focus where it was";
  EXPECT_EQ(b->RestoreCopy(), std::optional<std::string>("hello")) << "and takes no new restore copy";
  // A right click on another field takes the focus first.
  c->SetText("xyz");
  items = MenuAndChoose(*c, "Copy");
  EXPECT_TRUE(c->Focused());
  EXPECT_TRUE(c->IsFocused());
  EXPECT_EQ(clipboard.GetText(), "xyz") << "taking the focus selected the whole text";
  ASSERT_EQ(items.size(), 8u);
  EXPECT_TRUE(items[3].enabled);
}

TEST_F(EntryFieldTest, UserCommandsReachTheirEvent) {
  Show();
  controller->EntryCommands().AddCommand("Default", TVirCmdRec{'U', kssCtrl, 0, 0, 300});
  std::vector<std::uint16_t> fired;
  a->OnUserCommand = [&](EntryFieldModel&, std::uint16_t command) { fired.push_back(command); };
  a->SetText("same");
  input::PressKey(*a, 'U', ssCtrl, "\x15");
  EXPECT_EQ(fired, std::vector<std::uint16_t>{300});
  EXPECT_EQ(a->GetText(), "same");
}

TEST_F(EntryFieldTest, ZeroHiddenUntilFocused) {
  b->AssignDataType(pftLongInt);
  b->SetText("0");
  b->SetZeroDisplay(zdHide);
  Show();
  EXPECT_EQ(b->GetDisplayText(), " ");
  input::PressKey(*a, vk::Tab, 0, "\t");
  input::Flush();
  ASSERT_TRUE(b->Focused());
  EXPECT_EQ(b->GetDisplayText(), "0");
}

TEST_F(EntryFieldTest, RequiredFieldLeftEmptyReportsOnceAndTakesTheFocusBack) {
  a->SetOption(TEntryOption::InputRequired, true);
  Show();
  input::PressKey(*a, vk::Tab, 0, "\t");
  input::Flush();
  EXPECT_TRUE(a->Focused());
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.LastText(), "A value is required in this field");
  // By a click too; typed in, the field lets the focus go.
  input::Click(*c, 5, 5);
  input::Flush();
  EXPECT_TRUE(a->Focused());
  EXPECT_EQ(boxes.Boxes().size(), 2u);
  input::TypeText(*a, "x");
  input::Click(*c, 5, 5);
  input::Flush();
  EXPECT_TRUE(c->Focused());
  EXPECT_EQ(boxes.Boxes().size(), 2u);
}

// The toolkit's error box takes the focus while it shows: leaving the field
// reports once, the field gets the focus back with its text, and each
// further attempt to leave reports once more until the value checks.
TEST_F(EntryFieldTest, AReportInABoxThatTakesTheFocusShowsOncePerAttempt) {
  platform_test::AnsweredMessageBoxes shown(*boxesInstalled.Replaced());
  bool focusedWhileShown = false;
  shown.WhileShown = [&] {
    focusedWhileShown = focusedWhileShown || a->Focused() || a->IsFocused();
    if (shown.Texts().size() == 5) a->SetEnabled(false);  // ends a run of boxes that would not stop
  };
  a->OnUserValidation = [](EntryFieldModel& field, std::uint16_t& code) {
    if (field.GetText() == "0") code = efeOutOfRange;
  };
  Show();
  input::TypeText(*a, "0");
  const std::vector<std::string> once = {"Value is not within required range"};
  input::PressKey(*a, vk::Tab, 0, "\t");
  input::Flush();
  EXPECT_EQ(shown.Texts(), once);
  EXPECT_FALSE(focusedWhileShown) << "the box had the focus";
  EXPECT_TRUE(a->Focused());
  EXPECT_EQ(a->GetText(), "0");
  input::Click(*c, 5, 5);
  input::Flush();
  EXPECT_EQ(shown.Texts().size(), 2u);
  EXPECT_TRUE(a->Focused());
  input::TypeText(*a, "7");
  input::PressKey(*a, vk::Tab, 0, "\t");
  input::Flush();
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(shown.Texts().size(), 2u);
}

TEST_F(EntryFieldTest, TwoFailingFieldsGiveOneReport) {
  a->SetOption(TEntryOption::InputRequired, true);
  b->SetOption(TEntryOption::InputRequired, true);
  Show();
  input::PressKey(*a, vk::Tab, 0, "\t");
  input::PressKey(*b, vk::Tab, 0, "\t");  // before the report runs
  input::Flush();
  EXPECT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_TRUE(a->Focused());
}

TEST_F(EntryFieldTest, SpecialControlsDoNotReport) {
  auto& cancel = form->Add<Button>("Cancel");
  cancel.SetBounds(220, 10, 70, 24);
  controller->SetBtnCancel(&cancel);
  controller->OnIsSpecialControl = [this](Control* control, bool& special) { special = control == c; };
  a->SetOption(TEntryOption::InputRequired, true);
  Show();
  input::Click(cancel);
  input::Click(*c, 5, 5);
  input::Flush();
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_TRUE(c->Focused());
  EXPECT_EQ(a->LastError(), 0);
}

TEST_F(EntryFieldTest, SoftValidationLetsTheFocusGoAndPaintsTheError) {
  a->SetOption(TEntryOption::InputRequired, true);
  a->SetOption(TEntryOption::SoftValidation, true);
  Show();
  input::PressKey(*a, vk::Tab, 0, "\t");
  input::Flush();
  EXPECT_TRUE(b->Focused());
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(a->PaintState(), TPaintState::Error);
}

TEST_F(EntryFieldTest, UserCodesShowEntryErrorOrTheStoredText) {
  Show();
  std::uint16_t code = 40000;
  a->OnUserValidation = [&code](EntryFieldModel&, std::uint16_t& result) { result = code; };
  controller->SetErrorText("Weight must be positive");
  input::PressKey(*a, vk::Tab, 0, "\t");
  input::Flush();
  EXPECT_EQ(boxes.LastText(), "Weight must be positive");
  code = 300;
  input::PressKey(*a, vk::Tab, 0, "\t");
  input::Flush();
  EXPECT_EQ(boxes.LastText(), "Entry Error");
  EXPECT_EQ(boxes.Boxes().size(), 2u);
}

TEST_F(EntryFieldTest, ReportsOfAFieldDestroyedMeanwhileDoNothing) {
  a->SetOption(TEntryOption::InputRequired, true);
  c->SetOption(TEntryOption::InputRequired, true);
  Show();
  input::PressKey(*a, vk::Tab, 0, "\t");
  form->RemoveChild(*a);  // before the refocus and the report run
  a = nullptr;
  input::Flush();
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_TRUE(b->Focused());
  // The form reports the next failure again.
  input::Click(*c, 5, 5);
  input::Click(*b, 5, 5);
  input::Flush();
  EXPECT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_TRUE(c->Focused());
}

TEST_F(EntryFieldTest, FocusMovesToTheNextAndPreviousControl) {
  Show();
  a->MoveToNextControl();
  input::Flush();
  EXPECT_TRUE(b->Focused());
  b->MoveToPrevControl();
  input::Flush();
  EXPECT_TRUE(a->Focused());
}

TEST_F(EntryFieldTest, RangeLimitsAreStoredAsTheirBytes) {
  a->AssignDataType(pftWord);
  a->SetRangeHi("1000");
  std::vector<std::uint8_t> stream = WriteProperties(*a);
  b->AssignDataType(pftWord);
  ReadProperties(*b, stream);
  EXPECT_EQ(b->GetRangeHi(), "1000");
  EXPECT_EQ(b->RangeLow(), a->RangeLow());
}

// Fields in each paint state, as a person sees them.
TEST_F(EntryFieldTest, ShowcaseOfThePaintStates) {
  std::uint32_t blink = CustomControl::CaretBlinkTime();
  CustomControl::SetCaretBlinkTime(0);
  form->SetClientSize(300, 180);
  auto& error = AddField<PlainField>(3, intl, "Error");
  auto& disabled = AddField<PlainField>(4, intl, "Disabled");
  for (PlainField* field : {a, b, c, &error, &disabled}) field->SetMaxLength(30);
  a->SetText("Focused, selected");
  b->SetText("Plain text");
  c->SetText("Control \x01 character");
  error.SetText("In error");
  error.SetOption(TEntryOption::SoftValidation, true);
  error.checkResult = efeOutOfRange;
  disabled.SetText("Disabled");
  disabled.SetEnabled(false);
  Show();
  error.ValidateContents(false);
  a->SetSelection(9, 17);
  a->Invalidate();
  input::Flush();
  ExpectFormAsStored("entry-fields.png");
  a->Carets().SetSystemCaretActive(false);
  CustomControl::SetCaretBlinkTime(blink);
}

// What a key or a command left in a field.
struct FieldState {
  std::string text;
  int caret;
  int selStart;
  int selEnd;
  std::string clipboard;
  int beeps;
  friend bool operator==(const FieldState&, const FieldState&) = default;
};

void PrintTo(const FieldState& s, std::ostream* os) {
  *os << '"' << s.text << "\" caret " << s.caret << " selection " << s.selStart << ".." << s.selEnd << " clipboard \""
      << s.clipboard << "\" beeps " << s.beeps;
}

// Every binding of the built-in command tables, pressed as the keyboard
// reports it, in a text field and in a numeric one: the field does what the
// command does and types nothing besides.
TEST_F(EntryFieldTest, EveryBuiltInBindingDoesItsCommandAndTypesNothing) {
  TVirIntlSup settings;
  IntlSupEntryFields library{settings};
  auto& text = AddField<TVirSimpleField>(3, library);
  auto& number = AddField<TVirNumericField>(3, library);
  number.SetDataType(nftDouble);
  number.SetPictureMask("#####.##");
  Show();
  struct Field {
    TVirBaseEntryField& field;
    std::function<void()> load;
  };
  const Field fields[] = {{text, [&] { text.SetText("abc def"); }},
                          {number, [&] { field_driving::Load<double>(number, 12.5); }}};
  TVirCommandProcessor& commands = controller->EntryCommands();
  int beepsBefore = 0;
  for (const Field& f : fields) {
    f.field.SetFocus();
    input::Flush();
    auto reset = [&] {
      f.load();
      f.field.SetCaretPos(3);
      f.field.SetSelection(f.field.CaretPos(), f.field.CaretPos());
      ClipboardContent clip;
      clip.text = "7";
      clipboard.Set(clip);
      commands.ResetState();
      beepsBefore = desktop.Beeps();
    };
    auto state = [&] {
      return FieldState{f.field.GetText(), f.field.CaretPos(),  f.field.SelStart(),
                        f.field.SelEnd(),  clipboard.GetText(), desktop.Beeps() - beepsBefore};
    };
    for (const char* table : {"Default", "WordStar", "Grid"}) {
      for (int i = 0; i < commands.TableCount(); ++i) commands.Table(i).IsActive = commands.Table(i).TableName == table;
      for (const TVirCmdRec& binding : *BuiltInCommands(table)) {
        if (binding.Key1 == vk::Tab) continue;  // Tab moves the focus
        reset();
        binding_keys::Press(f.field, binding);
        const FieldState byKeys = state();
        reset();
        f.field.KeyCommand(binding.Cmd);
        EXPECT_EQ(byKeys, state()) << f.field.GetDisplayText() << " " << table << ": " << CommandName(binding.Cmd)
                                   << " on key " << int(binding.Key1) << " shift " << int(binding.SS1) << " then "
                                   << int(binding.Key2);
      }
    }
  }
}

}  // namespace

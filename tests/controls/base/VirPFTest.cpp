#include "controls/base/forms/VirPF.h"

#include <gtest/gtest.h>

#include <string>

#include "FieldFormTest.h"
#include "controls/base/VirFiler.h"
#include "controls/base/VirIntl.h"
#include "platform/SystemColors.h"
#include "tests/platform/QtTestSupport.h"

namespace {

using namespace plat;
namespace vk = plat::vk;
using O = TEntryOption;

// A picture field whose today and now are fixed, and which tells where its
// characters stand.
class PictureField : public TVirPictureField {
 public:
  PictureField(Control& parent, const EntryFieldIntl& intl, const std::string& name)
      : EntryFieldModel(intl, TFieldKind::Picture),
        PictureBaseModel(intl, TFieldKind::Picture),
        TVirPictureField(parent, intl) {
    SetName(name);
    Clock.today = [] { return DateFromDMY(15, 3, 2024, 0); };
    Clock.now = [] { return TimeFromHMS(9, 5, 30); };
  }
  // A client x just right of the left edge of the character at pos.
  int XAt(int pos) {
    const std::string display = GetDisplayText();
    return TextMargin() + FieldTextWidth(std::string_view(display).substr(0, static_cast<std::size_t>(pos))) + 1;
  }
  void Shape(TPictureDataType type, std::string_view mask) {
    SetDataType(type);
    SetPictureMask(mask);
    SetMaxLength(MaskLength());
  }
};

class PictureFieldWindowTest : public FieldFormTest {
 protected:
  void SetUp() override {
    MakeForm("PictureF", 300, 100);
    a = &AddField<PictureField>(0, intl, "A");
    b = &AddField<PictureField>(1, intl, "B");
  }
  void Show() {
    form->ShowForm();
    input::Flush();
    ASSERT_TRUE(a->Focused());
  }
  void Paste(Control& field, const std::string& text) {
    ClipboardContent content;
    content.text = text;
    clipboard.Set(content);
    input::PressKey(field, 'V', ssCtrl, "\x16");
  }

  TVirIntlSup settings;
  IntlSupEntryFields intl{settings};
  PictureField* a = nullptr;
  PictureField* b = nullptr;
};

TEST_F(PictureFieldWindowTest, TypedDigitsSkipTheLiteralsAndMoveOn) {
  a->Shape(pftString, "(999) 999-9999");
  a->SetOption(O::AutoAdvanceChar, true);
  Show();
  input::TypeText(*a, "555123456");
  EXPECT_EQ(a->GetText(), "(555) 123-456 ");
  EXPECT_TRUE(a->Focused());
  input::TypeText(*a, "7");
  input::Flush();
  EXPECT_EQ(a->GetText(), "(555) 123-4567");
  EXPECT_TRUE(b->Focused()) << "the last position filled moves to the next control";
}

TEST_F(PictureFieldWindowTest, InsertAndOverwriteModes) {
  struct Case {
    const char* name;
    bool overwrite;
    bool pushes;
    const char* text;
    int beeps;
  };
  const Case cases[] = {
      {"insert pushes the last character off", false, true, "zab", 0},
      {"insert refused on a full run", false, false, "abc", 1},
      {"overwrite", true, false, "zbc", 0},
  };
  a->Shape(pftString, "XXX");
  a->SetOption(O::CaretToEnd, false);
  a->SetOption(O::AutoSelect, false);
  Show();
  for (const Case& c : cases) {
    a->SetValueText("abc");
    a->SetOption(O::InsertPushes, c.pushes);
    a->SetInsertMode(true);
    input::PressKey(*a, vk::Home);
    if (c.overwrite) input::PressKey(*a, vk::Insert);
    const int beeps = desktop.Beeps();
    input::TypeText(*a, "z");
    EXPECT_EQ(a->GetText(), c.text) << c.name;
    EXPECT_EQ(desktop.Beeps() - beeps, c.beeps) << c.name;
  }
}

TEST_F(PictureFieldWindowTest, WordMovesAndDeletionsWithinRuns) {
  a->Shape(pftString, "XXXXXXXXXX");
  a->SetOption(O::AutoSelect, false);
  a->SetValueText("ab cd ef  ");
  a->SetOption(O::CaretToEnd, false);
  Show();
  a->MoveCaret(-10);
  input::PressKey(*a, vk::Right, ssCtrl);
  EXPECT_EQ(a->CaretPos(), 3);
  input::PressKey(*a, vk::Right, ssCtrl);
  EXPECT_EQ(a->CaretPos(), 6);
  input::PressKey(*a, vk::Left, ssCtrl);
  EXPECT_EQ(a->CaretPos(), 3);
  input::PressKey(*a, vk::Delete);
  EXPECT_EQ(a->GetText(), "ab d ef   ");
  input::PressKey(*a, vk::Back, 0, "\b");
  EXPECT_EQ(a->GetText(), "abd ef    ");
  EXPECT_EQ(a->CaretPos(), 2);
}

TEST_F(PictureFieldWindowTest, PastedTextLandsInTheMask) {
  a->Shape(pftString, "(999) 999-9999");
  b->Shape(pftString, "AA-AA");
  Show();
  Paste(*a, "(555) 123-4567");
  EXPECT_EQ(a->GetText(), "(555) 123-4567");
  input::PressKey(*a, vk::Tab, 0, "\t");
  input::Flush();
  ASSERT_TRUE(b->Focused());
  Paste(*b, "ab-cd");
  EXPECT_EQ(b->GetText(), "AB-CD");
}

TEST_F(PictureFieldWindowTest, CompleteDateFromAKey) {
  controller->EntryCommands().AddCommand("Default", TVirCmdRec{'D', kssCtrl, 0, 0, ccCompleteDate});
  a->Shape(pftDate, "mm/dd/yyyy");
  Show();
  input::PressKey(*a, 'D', ssCtrl, "\x04");
  EXPECT_EQ(a->GetText(), "03/15/2024") << "the whole text was selected";
  std::vector<std::uint8_t> value(4);
  EXPECT_EQ(a->ValidateAndGetValue(value), 0);
}

// A stored field loads its data type first, then its mask, InitDateTime and
// its range limits, as the form streamed them.
TEST_F(PictureFieldWindowTest, DataTypeMaskInitDateTimeAndRangesStreamWithTheForm) {
  a->Shape(pftDate, "mm/dd/yyyy");
  a->SetInitDateTime(true);
  a->SetEpoch(1950);  // no controller yet to widen the years
  a->SetRangeLo("01/01/00");
  a->SetRangeHi("12/31/30");
  const std::vector<std::uint8_t> stored = WriteProperties(*a);
  ReadProperties(*b, stored);
  EXPECT_EQ(b->DataType(), pftDate);
  EXPECT_EQ(b->PictureMask(), "mm/dd/yyyy");
  EXPECT_TRUE(b->InitDateTime());
  EXPECT_EQ(b->RangeLow(), a->RangeLow());
  EXPECT_EQ(b->RangeHigh(), a->RangeHigh());
  Show();
  EXPECT_EQ(b->GetText(), "03/15/2024") << "InitDateTime shows today once the window is made";
}

// Assign takes the window's properties too: the border (the window made
// again, keeping the value), the colour and the control character colour.
TEST_F(PictureFieldWindowTest, AssignCopiesTheBorderAndColours) {
  a->Shape(pftLongInt, "#####");
  b->Shape(pftLongInt, "#####");
  Show();
  b->SetValueText("42");
  a->SetBorderStyle(TBorderStyle::bsNone);
  a->SetColor(RGB(255, 255, 200));
  a->SetControlCharColor(clNavy);
  EXPECT_EQ(a->Frame(), EditBorder::None);
  const RasterImage look = GrabImage(*a);
  EXPECT_EQ(look.pixels[0] & 0xFFFFFF, ColorToRGB(clWindow) & 0xFFFFFF) << "no border without one";
  b->Assign(*a);
  EXPECT_EQ(b->BorderStyle(), TBorderStyle::bsNone);
  EXPECT_EQ(b->Frame(), EditBorder::None);
  EXPECT_EQ(b->GetColor(), RGB(255, 255, 200));
  EXPECT_EQ(b->ControlCharColor(), clNavy);
  std::vector<std::uint8_t> value(4);
  ASSERT_EQ(b->ValidateAndGetValue(value), 0);
  EXPECT_EQ(value, (std::vector<std::uint8_t>{42, 0, 0, 0})) << "the window made again keeps the value";
  b->SetCtl3D(false);
  b->SetBorderStyle(TBorderStyle::bsSingle);
  EXPECT_EQ(b->Frame(), EditBorder::Single);
  EXPECT_EQ(b->ClientHeight(), b->Height() - 2);
}

TEST_F(PictureFieldWindowTest, MouseSelections) {
  a->Shape(pftString, "XXXXXXXXXX");
  a->SetValueText("ab cd ef  ");
  Show();
  input::Click(*a, a->XAt(1), 10);
  EXPECT_EQ(a->CaretPos(), 1);
  EXPECT_EQ(a->SelectionLength(), 0);
  input::MouseDown(*a, MouseButton::Left, a->XAt(4), 10, ssShift);
  input::MouseUp(*a, MouseButton::Left, a->XAt(4), 10, ssShift);
  EXPECT_EQ(a->SelStart(), 1);
  EXPECT_EQ(a->SelEnd(), 4) << "Shift+click extends from the caret";
  input::MouseDown(*a, MouseButton::Left, a->XAt(6), 10);
  input::MouseMove(*a, a->XAt(3), 10, ssLeft);
  input::MouseUp(*a, MouseButton::Left, a->XAt(3), 10);
  EXPECT_EQ(a->SelStart(), 3);
  EXPECT_EQ(a->SelEnd(), 6) << "a drag selects from where the button went down";
  input::Click(*a, a->XAt(9), 10);
  EXPECT_EQ(a->CaretPos(), 8) << "a click past the entered text comes back to its end";
  input::DoubleClick(*a, a->XAt(4), 10);
  input::Flush();
  EXPECT_EQ(a->SelStart(), 3);
  EXPECT_EQ(a->SelEnd(), 6) << "the word and the blank after it";
}

// Picture fields as a person sees them.
TEST_F(PictureFieldWindowTest, ShowcaseOfPictureFields) {
  std::uint32_t blink = CustomControl::CaretBlinkTime();
  CustomControl::SetCaretBlinkTime(0);
  form->SetClientSize(240, 214);
  auto add = [this](const std::string& name, int row) -> PictureField& {
    return AddField<PictureField>(row, intl, name);
  };
  a->Shape(pftString, "(999) 999-9999");
  a->SetValueText("(555) 123-4567");
  b->Shape(pftDate, "mm/dd/yyyy");
  b->SetValueText("03/15/2024");
  auto& time = add("Time", 2);
  time.Shape(pftTime, "hh:mm:ss");
  time.SetValueText("09:05:30");
  auto& amount = add("Amount", 3);
  amount.Shape(pftDouble, "$$##9.99");
  amount.SetValueText("-12.5");
  amount.SetOption(O::SoftValidation, true);
  amount.SetRangeLo("0");
  auto& flag = add("Flag", 4);
  flag.Shape(pftBoolean, "B");
  flag.SetValueText("T");
  auto& password = add("Password", 5);
  password.Shape(pftString, "XXXXXXXX");
  password.SetOption(O::PasswordMode, true);
  password.SetValueText("secret");
  Show();
  amount.ValidateContents(false);
  a->SetSelection(6, 9);
  a->Invalidate();
  input::Flush();
  EXPECT_EQ(amount.GetText(), " -$12.50");
  EXPECT_EQ(amount.PaintState(), TPaintState::Error);
  EXPECT_EQ(password.GetDisplayText(), "******  ");
  ExpectFormAsStored("picture-fields.png");
  a->Carets().SetSystemCaretActive(false);
  CustomControl::SetCaretBlinkTime(blink);
}

}  // namespace

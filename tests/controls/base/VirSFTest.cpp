#include "controls/base/forms/VirSF.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FieldDriving.h"
#include "FieldFormTest.h"
#include "Utf8KeyCases.h"
#include "controls/base/VirFiler.h"
#include "tests/platform/QtTestSupport.h"

namespace {

using namespace plat;
namespace vk = plat::vk;
using O = TEntryOption;

using SimpleFieldWindowTest = TwoFieldsTest<TVirSimpleField>;

// The stored type, picture character and limits, and the window-side
// properties that Assign copies, error and highlight colours among them.
TEST_F(SimpleFieldWindowTest, StreamingAndAssignKeepTheTypeMaskLimitsAndLook) {
  a->SetDataType(sftByte);
  a->SetPictureMask('K');
  a->SetRangeHi("FF");
  ReadProperties(*b, WriteProperties(*a));
  EXPECT_EQ(b->SimpleDataType(), sftByte);
  EXPECT_EQ(b->PictureMask(), 'K');
  EXPECT_EQ(b->GetRangeHi(), "FF");

  a->SetBorderStyle(TBorderStyle::bsNone);
  a->ErrorColors().SetBackColor(clNavy);
  a->HighlightColors().SetTextColor(clRed);
  b->Assign(*a);
  EXPECT_EQ(b->BorderStyle(), TBorderStyle::bsNone);
  EXPECT_EQ(b->ErrorColors().BackColor(), clNavy);
  EXPECT_EQ(b->HighlightColors().TextColor(), clRed);
}

// The integer prompt's field: mask "i", MaxLength 5, the range 0 .. 20.
TEST_F(SimpleFieldWindowTest, IntegerPromptRefuses21AndReturns7) {
  a->SetDataType(sftLongInt);
  a->SetPictureMask('i');
  a->SetMaxLength(5);
  a->SetRangeLo("0");
  a->SetRangeHi("20");
  Show();
  input::TypeText(*a, "21");
  input::PressKey(*a, vk::Tab, 0, "\t");
  input::Flush();
  EXPECT_TRUE(a->Focused()) << "the field takes the focus back";
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.LastText(), "Value is not within required range");
  input::PressKey(*a, vk::End);
  input::PressKey(*a, vk::Back, 0, "\b");
  input::PressKey(*a, vk::Back, 0, "\b");
  input::TypeText(*a, "7");
  EXPECT_EQ(field_driving::Read<std::int32_t>(*a), 7);
  input::PressKey(*a, vk::Tab, 0, "\t");
  input::Flush();
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST_F(SimpleFieldWindowTest, CaretKeysStepOverWholeUtf8Characters) {
  Show();
  for (const utf8_keys::Case& c : utf8_keys::kCases) {
    SCOPED_TRACE(c.name);
    a->SetText(c.text);
    utf8_keys::Press(*a, c.keys);
    input::TypeText(*a, c.typed);
    EXPECT_EQ(a->GetText(), c.result);
    EXPECT_EQ(rtl::CharacterCount(a->GetText().substr(0, static_cast<std::size_t>(a->CaretPos()))) + 1,
              static_cast<std::size_t>(c.column));
  }
  // Text cut to the field's room keeps its characters whole.
  a->SetMaxLength(4);
  a->SetText("ab\xC3\xA9");
  EXPECT_EQ(a->GetText(), "ab\xC3\xA9");
  a->SetMaxLength(3);
  a->SetText("ab\xC3\xA9");
  EXPECT_EQ(a->GetText(), "ab");
}

TEST_F(SimpleFieldWindowTest, LettersOfOtherLayoutsKeepTheTextsEncoding) {
  Show();
  for (const utf8_keys::TypedCase& c : utf8_keys::kTypedCases) {
    SCOPED_TRACE(c.name);
    a->SetText(c.text);
    utf8_keys::TypeLetter(*a, c);
    EXPECT_EQ(a->GetText(), c.result);
  }
  // A letter that has no room left goes in whole or not at all.
  a->SetMaxLength(3);
  a->SetText("ab");
  input::PressKey(*a, vk::End);
  input::PressLayoutKey(*a, utf8_keys::kKeyUdiaeresis, "\xC3\xBC");
  EXPECT_EQ(a->GetText(), "ab");
  // In a full field that pushes, it pushes out whole characters.
  a->SetOption(O::InsertPushes, true);
  a->SetMaxLength(4);
  a->SetText("a\xC3\xA9" "b");
  input::PressKey(*a, vk::Home);
  input::PressLayoutKey(*a, utf8_keys::kKeyUdiaeresis, "\xC3\xBC");
  EXPECT_EQ(a->GetText(), "\xC3\xBC" "a");
}

TEST_F(SimpleFieldWindowTest, ArrowsStepAndAFullFieldMovesOn) {
  a->SetDataType(sftInteger);
  a->SetOption(O::ArrowIncDec, true);
  a->SetOption(O::AutoAdvanceChar, true);
  Show();
  input::TypeText(*a, "12");
  input::PressKey(*a, vk::Up);
  EXPECT_EQ(a->GetText(), "13");
  input::PressKey(*a, vk::Down);
  input::PressKey(*a, vk::Down);
  EXPECT_EQ(a->GetText(), "11");
  input::PressKey(*a, vk::End);
  input::PressKey(*a, vk::Back, 0, "\b");
  EXPECT_EQ(a->GetText(), "1");
  input::TypeText(*a, "2x34");
  EXPECT_EQ(desktop.Beeps(), 1) << "'x' is no digit";
  EXPECT_TRUE(a->Focused());
  input::TypeText(*a, "5");
  input::Flush();
  EXPECT_EQ(a->GetText(), "12345");
  EXPECT_TRUE(b->Focused()) << "the last position filled moves to the next control";
}

}  // namespace

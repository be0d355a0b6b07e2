#include "controls/base/forms/VirNF.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FieldDriving.h"
#include "FieldFormTest.h"
#include "tests/platform/QtTestSupport.h"

namespace {

using namespace plat;
namespace vk = plat::vk;
using O = TEntryOption;

using NumericFieldWindowTest = TwoFieldsTest<TVirNumericField>;

TEST_F(NumericFieldWindowTest, TypedDigitsEnterFromTheRight) {
  a->SetDataType(nftDouble);
  a->SetPictureMask("#####.##");
  a->SetOption(O::ArrowIncDec, true);
  Show();
  input::TypeText(*a, "12");
  EXPECT_EQ(a->GetText(), "      12");
  input::PressKey(*a, vk::OemPeriod, 0, ".");
  input::TypeText(*a, "5");
  EXPECT_EQ(a->GetText(), "    12.5");
  EXPECT_EQ(field_driving::Read<double>(*a), 12.5);
  input::PressKey(*a, vk::Back, 0, "\b");
  EXPECT_EQ(a->GetText(), "     12.");
  input::PressKey(*a, vk::Up);
  EXPECT_EQ(a->GetText(), "   13.00");
  input::PressKey(*a, vk::Down);
  input::PressKey(*a, vk::Down);
  EXPECT_EQ(field_driving::Read<double>(*a), 11.0);
  input::TypeText(*a, "5");
  EXPECT_EQ(a->GetText(), "   11.00") << "the decimals are full";
  EXPECT_EQ(desktop.Beeps(), 1);
}

// Ctrl+V pasted from the keyboard: a paste that the field takes whole sets
// the value; one with a character the field refuses, or more digits than it
// holds, is refused whole with a beep, and the value stays.
TEST_F(NumericFieldWindowTest, APasteIsTakenWholeOrRefused) {
  struct Case {
    const char* mask;
    TNumericDataType type;
    const char* pasted;
    double value;  // 7 when refused
    int beeps;
  };
  const Case cases[] = {
      {"##########", nftLongInt, "12a3.5", 7, 1},  {"##.########", nftDouble, "12a3.5", 7, 1},
      {"####", nftLongInt, "123456", 7, 1},        {"##.##", nftDouble, "1.234", 7, 1},
      {"##.########", nftDouble, "12.5", 12.5, 0}, {"####", nftLongInt, " 42\r\n", 42, 0},
      {"##########p", nftLongInt, "(12)", -12, 0},
  };
  Show();
  for (const Case& c : cases) {
    a->SetDataType(c.type);
    a->SetPictureMask(c.mask);
    if (c.type == nftDouble)
      field_driving::Load<double>(*a, 7);
    else
      field_driving::Load<std::int32_t>(*a, 7);
    ClipboardContent content;
    content.text = c.pasted;
    clipboard.Set(content);
    const int beeps = desktop.Beeps();
    input::PressKeyOnKeyboard(*a, 'V', ssCtrl);
    const double value = c.type == nftDouble ? field_driving::Read<double>(*a) : field_driving::Read<std::int32_t>(*a);
    EXPECT_EQ(value, c.value) << c.mask << " " << c.pasted;
    EXPECT_EQ(desktop.Beeps() - beeps, c.beeps) << c.mask << " " << c.pasted;
  }
  EXPECT_EQ(a->GetDisplayText(), "(12)");
}

TEST_F(NumericFieldWindowTest, AFullFieldMovesOn) {
  a->SetPictureMask("##");
  a->SetOption(O::AutoAdvanceChar, true);
  Show();
  input::TypeText(*a, "4");
  EXPECT_TRUE(a->Focused());
  input::TypeText(*a, "2");
  input::Flush();
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(field_driving::Read<std::int32_t>(*a), 42);
}

}  // namespace

#include "controls/base/forms/VirNF.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FieldDriving.h"
#include "FieldFormTest.h"
#include "controls/base/VirIntl.h"
#include "tests/platform/QtTestSupport.h"

namespace {

using namespace plat;
namespace vk = plat::vk;
using O = TEntryOption;

class NumericFieldWindowTest : public FieldFormTest {
 protected:
  void SetUp() override {
    MakeForm("NumericF", 300, 100);
    a = &AddField<TVirNumericField>(0, intl);
    b = &AddField<TVirNumericField>(1, intl);
  }
  void Show() {
    form->ShowForm();
    input::Flush();
    ASSERT_TRUE(a->Focused());
  }

  TVirIntlSup settings;
  IntlSupEntryFields intl{settings};
  TVirNumericField* a = nullptr;
  TVirNumericField* b = nullptr;
};

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

TEST_F(NumericFieldWindowTest, PastedParenthesesAreANegativeAmount) {
  a->SetPictureMask("##########p");
  Show();
  ClipboardContent content;
  content.text = "(12)";
  clipboard.Set(content);
  input::PressKey(*a, 'V', ssCtrl, "\x16");
  EXPECT_EQ(a->GetDisplayText(), "(12)");
  EXPECT_EQ(field_driving::Read<std::int32_t>(*a), -12);
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

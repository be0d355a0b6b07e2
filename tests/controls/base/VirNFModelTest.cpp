#include "controls/base/VirNFModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FieldDriving.h"
#include "TestEntryField.h"
#include "controls/base/VirEFIntl.h"
#include "controls/base/VirExcept.h"
#include "controls/base/VirIntl.h"

namespace {

using O = TEntryOption;
using namespace field_driving;

// A numeric field without a window: its hooks recorded, a re-created window
// running the creation steps, focus moves counted.
class TestNumericField : public RecordingField, public NumericFieldModel {
 public:
  explicit TestNumericField(const EntryFieldIntl& intl)
      : EntryFieldModel(intl, TFieldKind::Numeric),
        PictureBaseModel(intl, TFieldKind::Numeric),
        RecordingField(intl, TFieldKind::Numeric),
        NumericFieldModel(intl) {
    controller = &ownController;
  }
  using EntryFieldModel::SetTextRaw;

  // A type and a mask; focused, with the whole text selected as on entry.
  void Shape(TNumericDataType type, std::string_view mask) {
    SetDataType(type);
    SetPictureMask(mask);
  }
  void Focus() {
    if (!IsFocused()) FocusEntered();
  }
  std::uint16_t Check() { return ValidateContents(false); }

  FakeController ownController;
  int advancedNext = 0;

 protected:
  void RecreateWindow() override {
    RecordingField::RecreateWindow();
    WindowCreated();
  }
  void MoveToNextControl() override { ++advancedNext; }
};

class NumericFieldTest : public ::testing::Test {
 protected:
  TVirIntlSup settings;
  IntlSupEntryFields intl{settings};
};

TEST_F(NumericFieldTest, DataTypeSetsTypeCodeMaskAndRange) {
  struct Case {
    TNumericDataType type;
    const char* mask;
    const char* low;
  };
  const Case cases[] = {
      {nftLongInt, "iiiiiiiiii", "-2147483648"},
      {nftWord, "99999", "0"},
      {nftInteger, "iiiiii", "-32768"},
      {nftByte, "999", "0"},
      {nftShortInt, "iiii", "-128"},
      {nftReal, "##########", nullptr},
      {nftExtended, "##########", nullptr},
      {nftDouble, "##########", nullptr},
      {nftSingle, "##########", nullptr},
      {nftComp, "iiiiiiiiii", "-9200000000000000000"},
  };
  for (const Case& c : cases) {
    TestNumericField f(intl);
    f.SetDataType(c.type == nftWord ? nftByte : nftWord);
    f.SetDataType(c.type);
    EXPECT_EQ(f.TypeByte(), 132 + c.type);
    EXPECT_EQ(f.PictureMask(), c.mask) << int(c.type);
    EXPECT_EQ(f.MaxLength(), static_cast<int>(std::string(c.mask).size())) << int(c.type);
    if (c.low != nullptr) {
      EXPECT_EQ(f.GetRangeLo(), c.low) << int(c.type);
    }
  }
  TestNumericField f(intl);
  EXPECT_EQ(f.PictureMask(), "##########") << "a new field";
  EXPECT_EQ(f.NumericDataType(), nftLongInt);
  EXPECT_THROW(f.SetDataType(10), EVirException);
  f.SetPictureMask("#####.##p");
  EXPECT_EQ(f.MaxLength(), 8) << "'p' is shown beside the text";
  EXPECT_EQ(f.IntegerCount(), 5);
  EXPECT_EQ(f.DecimalCount(), 2);
  EXPECT_EQ(f.TotalCount(), 8);
  f.SetPictureMask("$$#,##9");
  EXPECT_EQ(f.IntegerCount(), 4) << "currency and separators are no digit positions";
  EXPECT_EQ(f.TotalCount(), 4);
}

TEST_F(NumericFieldTest, DigitsEnterFromTheRightLikeACalculator) {
  TestNumericField f(intl);
  f.Shape(nftDouble, "#####.##");
  f.Focus();
  struct Step {
    const char* typed;
    const char* text;
  };
  const Step steps[] = {{"1", "       1"}, {"2", "      12"}, {".", "     12."}, {"5", "    12.5"}};
  for (const Step& s : steps) {
    Type(f, s.typed);
    EXPECT_EQ(f.GetText(), s.text) << "after " << s.typed;
  }
  EXPECT_EQ(f.DigitBuffer(), "12.5");
  EXPECT_EQ(f.GetDisplayText(), "12.5");
  EXPECT_EQ(Read<double>(f), 12.5);
  Type(f, "57");
  EXPECT_EQ(f.GetText(), "   12.55");
  EXPECT_EQ(f.beeps, 1) << "no more decimals than the mask shows";

  TestNumericField whole(intl);
  whole.Focus();
  Type(whole, "123");
  EXPECT_EQ(whole.GetText(), "       123") << "each digit at the right end";
  EXPECT_EQ(Read<std::int32_t>(whole), 123);
}

TEST_F(NumericFieldTest, SignZeroAndBackspace) {
  TestNumericField three(intl);
  three.SetPictureMask("###");
  three.Focus();
  Type(three, "-123");
  EXPECT_EQ(three.GetDisplayText(), "-12") << "the sign takes a position";
  EXPECT_EQ(three.beeps, 1);
  Command(three, ccBack);
  Command(three, ccBack);
  EXPECT_EQ(three.GetDisplayText(), "-0");
  Command(three, ccBack);
  EXPECT_FALSE(three.Negative()) << "Back on the sign alone clears it";
  EXPECT_EQ(three.GetDisplayText(), "0");

  TestNumericField f(intl);
  f.Shape(nftDouble, "##.##");
  f.Focus();
  Type(f, "0");
  EXPECT_EQ(f.GetDisplayText(), "0");
  EXPECT_EQ(f.DigitBuffer(), "") << "a leading zero is shown, not kept";
  Type(f, ".5");
  EXPECT_EQ(f.GetDisplayText(), "0.5");
  Command(f, ccBack);
  EXPECT_EQ(f.GetDisplayText(), "0.");
  EXPECT_EQ(f.DigitBuffer(), ".");

  TestNumericField word(intl);
  word.SetDataType(nftWord);
  word.Focus();
  Type(word, "-");
  EXPECT_EQ(word.beeps, 1) << "the mask '9' refuses the sign";
  EXPECT_FALSE(word.Negative());
}

TEST_F(NumericFieldTest, NegativeAmountsUnderPAndG) {
  struct Case {
    const char* mask;
    std::int32_t value;
    const char* shown;
  };
  const Case cases[] = {
      {"##########p", -12, "(12)"}, {"##########p", 12, "12"},     {"#####g", -12, "12-"},
      {"#####g", 12, "12"},         {"##,###p", -1234, "(1,234)"},
  };
  for (const Case& c : cases) {
    TestNumericField f(intl);
    f.SetPictureMask(c.mask);
    Load(f, c.value);
    EXPECT_EQ(f.GetDisplayText(), c.shown) << c.mask << " " << c.value;
    EXPECT_EQ(Read<std::int32_t>(f), c.value) << c.mask;
  }
  TestNumericField g(intl);
  g.SetPictureMask("#####g");
  Load(g, -12);
  EXPECT_EQ(g.GetText(), "  -12") << "the text keeps the sign for the value";
}

// A value that does not fit is never shown or read back as another number.
TEST_F(NumericFieldTest, ValuesTheMaskCannotShow) {
  struct Case {
    const char* name;
    const char* mask;
    std::int32_t value;
  };
  const Case cases[] = {
      {"ten digits and a sign in ten positions", "##########", -1234567890},
      {"three digits in two", "##", 100},
  };
  for (const Case& c : cases) {
    TestNumericField f(intl);
    f.SetPictureMask(c.mask);
    Load(f, c.value);
    EXPECT_EQ(f.GetText(), std::string(std::string(c.mask).size(), '*')) << c.name;
    EXPECT_EQ(f.Check(), efeOutOfRange) << c.name;
    f.Focus();
    EXPECT_EQ(f.DigitBuffer(), "") << c.name;
    Type(f, "42");
    EXPECT_EQ(Read<std::int32_t>(f), 42) << c.name << ": a typed value counts again";
  }
}

// The masks of the parameter dialog's real and integer cells.
TEST_F(NumericFieldTest, ParameterDialogMasksRoundTrip) {
  struct Case {
    const char* mask;
    double value;
    const char* text;
  };
  const Case reals[] = {
      {"#####.#####", 12345.12345, "12345.12345"},
      {"#####.#####", -0.5, "   -0.50000"},
      {"#.##########", 0.1234567891, "0.1234567891"},
      {"#.##########", 1e-10, "0.0000000001"},
  };
  for (const Case& c : reals) {
    TestNumericField f(intl);
    f.Shape(nftDouble, c.mask);
    Load(f, c.value);
    EXPECT_EQ(f.GetText(), c.text) << c.mask;
    EXPECT_EQ(Read<double>(f), c.value) << c.mask;
  }
  const Case integers[] = {
      {"##", 42, "42"},
      {"##", 7, " 7"},
      {"####", 1234, "1234"},
      {"####", -123, "-123"},
  };
  for (const Case& c : integers) {
    TestNumericField f(intl);
    f.Shape(nftLongInt, c.mask);
    Load(f, static_cast<std::int32_t>(c.value));
    EXPECT_EQ(f.GetText(), c.text) << c.mask;
    EXPECT_EQ(Read<std::int32_t>(f), static_cast<std::int32_t>(c.value)) << c.mask;
  }
  TestNumericField comp(intl);
  comp.Shape(nftComp, "iiiiiiiiiiiiiiiiiiii");
  Load(comp, std::int64_t{-9000000000000000001LL});
  EXPECT_EQ(Read<std::int64_t>(comp), -9000000000000000001LL) << "comp in 64 bits";
}

TEST_F(NumericFieldTest, SelectionAndCommands) {
  TestNumericField f(intl);
  Load(f, 345);
  f.Focus();
  EXPECT_EQ(f.SelectionLength(), 10) << "the whole text on entry";
  EXPECT_EQ(f.DigitBuffer(), "345");
  Type(f, "6");
  EXPECT_EQ(f.GetDisplayText(), "6") << "a typed digit replaces a selection";
  Command(f, ccExtendLeft);
  EXPECT_EQ(f.SelectionLength(), 10) << "any extension selects all";
  Command(f, ccDelWord);
  EXPECT_EQ(f.GetDisplayText(), "0");
  Type(f, "78");
  Command(f, ccRestore);
  EXPECT_EQ(f.GetDisplayText(), "345");
  EXPECT_EQ(f.DigitBuffer(), "345");
  EXPECT_EQ(f.CaretPos(), 10) << "the caret stays after the last position";
  f.SetOption(O::ArrowIncDec, true);
  Command(f, ccUp);
  EXPECT_EQ(f.GetDisplayText(), "346");
  EXPECT_EQ(f.DigitBuffer(), "346") << "stepping reloads the digits";
  Type(f, "1");
  EXPECT_EQ(f.GetDisplayText(), "3461");
}

TEST_F(NumericFieldTest, TheDigitsWaitForTheUsersReturnFromAnotherProgram) {
  TestNumericField f(intl);
  f.Focus();
  Type(f, "12");
  f.FocusLeft(false, false);
  EXPECT_EQ(f.DigitBuffer(), "12");
  f.FocusEntered();
  f.FocusLeft(true, false);
  EXPECT_EQ(f.DigitBuffer(), "");
  EXPECT_EQ(Read<std::int32_t>(f), 12);
}

TEST_F(NumericFieldTest, ANewWindowKeepsTheValue) {
  TestNumericField f(intl);
  f.WindowCreated();
  Load(f, -77);
  f.SetPictureMask("iiiiii");
  EXPECT_EQ(Read<std::int32_t>(f), 0) << "a new mask starts blank";
  Load(f, -77);
  f.SetDecimalPlaces(0);
  f.WindowCreated();
  EXPECT_EQ(Read<std::int32_t>(f), -77);
}

}  // namespace

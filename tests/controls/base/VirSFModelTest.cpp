#include "controls/base/VirSFModel.h"

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

// A simple field without a window: its hooks recorded, a re-created window
// running the creation steps, focus moves counted.
class TestSimpleField : public RecordingField, public SimpleFieldModel {
 public:
  explicit TestSimpleField(const EntryFieldIntl& intl)
      : EntryFieldModel(intl, TFieldKind::Simple), RecordingField(intl, TFieldKind::Simple), SimpleFieldModel(intl) {
    controller = &ownController;
    recreateMakesWindow = true;
  }
  using EntryFieldModel::SetCaretRaw;
  using EntryFieldModel::SetSelectionRaw;
  using EntryFieldModel::SetTextRaw;

  // Focused with the caret at a position and nothing selected.
  void FocusAt(int caret) {
    if (!IsFocused()) FocusEntered();
    SetCaretRaw(caret);
    SetSelectionRaw(caret, caret);
  }
  std::uint16_t Check() { return ValidateContents(false); }
  template <class T>
  void LoadValue(T value) {
    Load(*this, value);
  }
};

class SimpleFieldTest : public ::testing::Test {
 protected:
  TVirIntlSup settings;
  IntlSupEntryFields intl{settings};
};

TEST_F(SimpleFieldTest, DataTypeSetsLengthMaskAndRange) {
  struct Case {
    TSimpleDataType type;
    int maxLength;
    char mask;
    const char* low;
    const char* high;
  };
  const Case cases[] = {
      {sftString, 15, 'X', "", ""},
      {sftChar, 1, 'X', " ", " "},
      {sftBoolean, 1, 'B', "", ""},
      {sftYesNo, 1, 'Y', "", ""},
      {sftLongInt, 8, 'i', "-2147483648", "2147483647"},
      {sftWord, 5, '9', "0", "65535"},
      {sftInteger, 5, 'i', "-32768", "32767"},
      {sftByte, 3, '9', "0", "255"},
      {sftShortInt, 4, 'i', "-128", "127"},
      {sftReal, 14, '#', "", ""},
      {sftExtended, 14, '#', "", ""},
      {sftDouble, 14, '#', "", ""},
      {sftSingle, 14, '#', "", ""},
      {sftComp, 14, 'i', "-9200000000000000000", "9200000000000000000"},
  };
  for (const Case& c : cases) {
    TestSimpleField f(intl);
    f.SetDataType(c.type == sftLongInt ? sftWord : sftLongInt);  // away from the type first
    f.SetDecimalPlaces(3);
    f.SetDataType(c.type);
    EXPECT_EQ(f.MaxLength(), c.maxLength) << int(c.type);
    EXPECT_EQ(f.PictureMask(), c.mask) << int(c.type);
    EXPECT_EQ(f.Mask(), std::string(1, c.mask)) << int(c.type);
    EXPECT_EQ(f.TypeByte(), c.type) << "neither the picture nor the numeric flag";
    EXPECT_EQ(f.DecimalPlaces(), 0);
    EXPECT_TRUE(f.Option(O::InsertPushes) || c.type == sftChar || c.type == sftBoolean || c.type == sftYesNo);
    if (*c.low != 0) {
      EXPECT_EQ(f.GetRangeLo(), c.low) << int(c.type);
      EXPECT_EQ(f.GetRangeHi(), c.high) << int(c.type);
    }
  }
  TestSimpleField f(intl);
  EXPECT_THROW(f.SetDataType(14), EVirException);
  EXPECT_EQ(f.SimpleDataType(), sftString);
  try {
    f.SetPictureMask('?');
    FAIL() << "'?' is no picture character";
  } catch (const EInvalidPictureMask& e) {
    EXPECT_STREQ(e.what(), "Invalid picture mask: ?");
  }
  EXPECT_EQ(f.PictureMask(), 'X') << "the old mask stays";
}

TEST_F(SimpleFieldTest, EveryTypeTravelsThroughItsText) {
  struct Case {
    TSimpleDataType type;
    TFieldValue value;
    const char* text;
  };
  const Case cases[] = {
      {sftChar, {'q', 0}, "q"},
      {sftBoolean, {0, 0}, "F"},
      {sftYesNo, {1, 0}, "Y"},
      {sftLongInt, {-1234567, 0}, "-1234567"},
      {sftWord, {65535, 0}, "65535"},
      {sftInteger, {-1234, 0}, "-1234"},
      {sftByte, {255, 0}, "255"},
      {sftShortInt, {-128, 0}, "-128"},
      {sftReal, {0, 1.5L}, "2"},
      {sftExtended, {0, -2.5L}, "-3"},
      {sftDouble, {0, 1234.0L}, "1234"},
      {sftSingle, {0, 0.5L}, "1"},
      {sftComp, {0, 5000000000.0L}, "5000000000"},
  };
  for (const Case& c : cases) {
    TestSimpleField f(intl);
    f.SetDataType(c.type);
    f.SetValue(FieldValueBytes(static_cast<TPictureDataType>(c.type), c.value));
    EXPECT_EQ(f.GetText(), c.text) << int(c.type);
  }

  // Comp in 64 bits, both ways.
  TestSimpleField comp(intl);
  comp.SetDataType(sftComp);
  comp.SetMaxLength(20);
  comp.LoadValue<std::int64_t>(-9000000000000000001LL);
  EXPECT_EQ(comp.GetText(), "-9000000000000000001");
  EXPECT_EQ(Read<std::int64_t>(comp), -9000000000000000001LL);

  TestSimpleField text(intl);
  text.SetPictureMask('!');
  text.SetValueText("new york");
  EXPECT_EQ(text.GetText(), "NEW YORK") << "each character takes its position's case";
  std::vector<std::uint8_t> bytes(16);
  EXPECT_EQ(text.ValidateAndGetValue(bytes), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data())), "NEW YORK");
}

TEST_F(SimpleFieldTest, RealLayouts) {
  struct Case {
    const char* name;
    TSimpleDataType type;
    int decimals;
    int maxLength;
    char mask;
    long double value;
    const char* text;
  };
  const Case cases[] = {
      {"trailing zeros go", sftDouble, 2, 14, '#', 1.5L, "1.5"},
      {"a whole number loses its point", sftDouble, 2, 14, '#', 3.0L, "3"},
      {"rounded to the decimals", sftDouble, 2, 14, '#', 2.345678L, "2.35"},
      {"too long for fixed notation", sftDouble, 0, 14, '#', 1.5e20L, "1.5E+020"},
      {"scientific in decimals + 9", sftDouble, 2, 14, '#', 123456789012345.0L, "1.235E+014"},
      {"mask E asks for scientific", sftExtended, 0, 14, 'E', 250.0L, "2.5E+002"},
      {"negative and small", sftExtended, 0, 14, 'E', -0.000125L, "-1.25E-004"},
  };
  for (const Case& c : cases) {
    TestSimpleField f(intl);
    f.SetDataType(c.type);
    f.SetDecimalPlaces(c.decimals);
    f.SetMaxLength(c.maxLength);
    f.SetPictureMask(c.mask);
    f.SetValue(FieldValueBytes(static_cast<TPictureDataType>(c.type), {0, c.value}));
    EXPECT_EQ(f.GetText(), c.text) << c.name;
    EXPECT_EQ(f.Check(), 0) << c.name;
  }
  settings.DecimalChar = ',';
  TestSimpleField f(intl);
  f.SetDataType(sftDouble);
  f.SetDecimalPlaces(2);
  f.LoadValue<double>(-12.5);
  EXPECT_EQ(f.GetText(), "-12,5") << "the international decimal character";
  EXPECT_EQ(Read<double>(f), -12.5);
}

// A value that does not fit is never shown or read back as another number.
TEST_F(SimpleFieldTest, AValueTooLongShowsStarsAndFailsItsCheck) {
  TestSimpleField f(intl);
  f.SetDataType(sftLongInt);
  f.LoadValue<std::int32_t>(123456789);
  EXPECT_EQ(f.GetText(), "********");
  EXPECT_TRUE(f.ValueLost());
  EXPECT_EQ(f.Check(), efeOutOfRange);
  std::vector<std::uint8_t> bytes(8);
  EXPECT_EQ(f.ValidateAndGetValue(bytes), efeOutOfRange);
  f.SetDecimalPlaces(1);  // a new window keeps the stars
  EXPECT_EQ(f.GetText(), "********");

  f.FocusAt(8);
  Command(f, ccDelLine);
  Type(f, "12345678");
  EXPECT_EQ(Read<std::int32_t>(f), 12345678) << "a typed value counts again";

  TestSimpleField tiny(intl);
  tiny.SetDataType(sftDouble);
  tiny.SetMaxLength(5);
  tiny.LoadValue<double>(1e300);
  EXPECT_EQ(tiny.GetText(), "*****") << "even the scientific form is too long";
  EXPECT_EQ(tiny.Check(), efeOutOfRange);
}

TEST_F(SimpleFieldTest, ChecksByType) {
  struct Case {
    const char* name;
    TSimpleDataType type;
    const char* text;
    std::uint16_t code;
  };
  const Case cases[] = {
      {"string", sftString, "anything", 0},
      {"boolean of another letter", sftBoolean, "Q", efeInvalidForType},
      {"true", sftBoolean, "t", 0},
      {"yes-no of another letter", sftYesNo, "T", efeInvalidForType},
      {"integer", sftInteger, "-300", 0},
      {"integer that is no number", sftInteger, "-3-0", efeInvalidForType},
      {"integer out of its type", sftInteger, "40000", efeOutOfRange},
      {"byte out of its type", sftByte, "256", efeOutOfRange},
      {"real", sftDouble, "12.5", 0},
      {"real that is no number", sftDouble, "1-2.5", efeInvalidForType},
      {"comp beyond 32 bits", sftComp, "-5000000000", 0},
  };
  for (const Case& c : cases) {
    TestSimpleField f(intl);
    f.SetDataType(c.type);
    f.SetTextRaw(c.text);
    EXPECT_EQ(f.Check(), c.code) << c.name;
  }
  TestSimpleField f(intl);
  f.SetDataType(sftChar);
  f.SetRangeLo("a");
  f.SetRangeHi("c");
  f.SetTextRaw("d");
  EXPECT_EQ(f.Check(), efeOutOfRange);
  f.SetTextRaw("b");
  EXPECT_EQ(f.Check(), 0);

  TestSimpleField trimmed(intl);
  trimmed.FocusAt(0);
  trimmed.SetTextRaw("  ab ");
  EXPECT_EQ(trimmed.Check(), 0);
  EXPECT_EQ(trimmed.GetText(), "ab") << "a focused string loses its outer blanks";
}

TEST_F(SimpleFieldTest, DisplayOfPasswordPadAndUninitialisedFields) {
  struct Case {
    const char* name;
    bool password;
    char pad;
    bool uninitialized;
    const char* text;
    const char* shown;
  };
  const Case cases[] = {
      {"plain", false, ' ', false, "ab", "ab"},
      {"password", true, ' ', false, "ab", "**"},
      {"padded to MaxLength", false, '_', false, "ab", "ab___"},
      {"password and pad", true, '.', false, "ab", "**..."},
      {"uninitialised", false, '_', true, "ab", "  "},
      {"empty stays empty", false, '_', false, "", ""},
  };
  for (const Case& c : cases) {
    TestSimpleField f(intl);
    f.SetMaxLength(5);
    f.SetOption(O::PasswordMode, c.password);
    f.SetPadChar(c.pad);
    f.SetOption(O::Uninitialized, c.uninitialized);
    f.SetTextRaw(c.text);
    EXPECT_EQ(f.GetDisplayText(), c.shown) << c.name;
  }
  TestSimpleField f(intl);
  f.SetOption(O::Uninitialized, true);
  f.SetTextRaw("ab");
  f.FocusEntered();
  EXPECT_EQ(f.GetDisplayText(), "ab") << "shown once focused";
}

TEST_F(SimpleFieldTest, TypingInInsertAndOverwriteMode) {
  struct Case {
    const char* name;
    bool insert;
    bool pushes;
    int caret;
    const char* text;
    int beeps;
  };
  const Case cases[] = {
      {"insert pushes the last character off", true, true, 1, "azbc", 0},
      {"insert at the end of a full text is refused", true, true, 4, "abcd", 1},
      {"insert into a full text without pushing", true, false, 1, "abcd", 1},
      {"overwrite", false, true, 1, "azcd", 0},
      {"overwrite past the end", false, true, 4, "abcd", 1},
  };
  for (const Case& c : cases) {
    TestSimpleField f(intl);
    f.SetMaxLength(4);
    f.SetOption(O::InsertPushes, c.pushes);
    f.SetTextRaw("abcd");
    f.FocusAt(c.caret);
    f.SetInsertMode(c.insert);
    Type(f, "z");
    EXPECT_EQ(f.GetText(), c.text) << c.name;
    EXPECT_EQ(f.beeps, c.beeps) << c.name;
  }
  TestSimpleField number(intl);
  number.SetDataType(sftLongInt);
  number.FocusAt(0);
  Type(number, "1a.2");
  EXPECT_EQ(number.GetText(), "12") << "the mask 'i' takes digits and '-' alone";
  EXPECT_EQ(number.beeps, 2);
  number.SetOption(O::AutoAdvanceChar, true);
  Type(number, "345678");
  EXPECT_EQ(number.advancedNext, 1) << "the last position filled moves on";
}

TEST_F(SimpleFieldTest, MovingAndDeleting) {
  TestSimpleField f(intl);
  f.SetMaxLength(20);
  f.SetTextRaw("ab cd  ef");
  f.FocusAt(0);
  Command(f, ccWordRight);
  EXPECT_EQ(f.CaretPos(), 3);
  Command(f, ccWordRight);
  EXPECT_EQ(f.CaretPos(), 7);
  Command(f, ccWordLeft);
  EXPECT_EQ(f.CaretPos(), 3);
  Command(f, ccExtWordRight);
  EXPECT_EQ(f.SelStart(), 3);
  EXPECT_EQ(f.SelEnd(), 7);
  Command(f, ccExtendLeft);
  EXPECT_EQ(f.SelEnd(), 6) << "the moving end follows the caret";
  Command(f, ccBack);
  EXPECT_EQ(f.GetText(), "ab  ef");
  Command(f, ccDelWord);
  EXPECT_EQ(f.GetText(), "ab ef") << "the blanks after the caret";
  Command(f, ccDelEol);
  EXPECT_EQ(f.GetText(), "ab ");
  Command(f, ccDelBol);
  EXPECT_EQ(f.GetText(), "");

  f.SetTextRaw("abc");
  f.FocusAt(0);
  const int repaints = f.repaints;
  Command(f, ccExtendLeft);
  EXPECT_EQ(f.repaints, repaints) << "nothing to extend at the start";
  f.SetOption(O::AutoAdvanceLeftRight, true);
  Command(f, ccLeft);
  EXPECT_EQ(f.advancedPrev, 1);
  Command(f, ccEnd);
  Command(f, ccRight);
  EXPECT_EQ(f.advancedNext, 1);
}

TEST_F(SimpleFieldTest, PasteIsTakenWholeOrRefusedWhole) {
  struct Case {
    const char* name;
    TSimpleDataType type;
    int maxLength;  // 0: the type's
    std::string before;
    int selStart, selEnd;  // the caret at selEnd
    std::string pasted;
    std::string after;  // the text the paste leaves
    int caret;
    bool beeps;
  };
  const Case cases[] = {
      {"a number pasted into an integer", sftLongInt, 0, "", 0, 0, "15", "15", 2, false},
      {"a decimal point refuses an integer paste", sftLongInt, 0, "7", 1, 1, "1.5", "7", 1, true},
      {"a letter refuses it", sftLongInt, 0, "7", 1, 1, "1x5", "7", 1, true},
      {"a blank inside a number refuses it", sftLongInt, 0, "", 0, 0, "1 5", "", 0, true},
      {"blanks and a line end around a number are left out", sftLongInt, 0, "", 0, 0, " 42\r\n", "42", 2, false},
      {"a real takes its decimal point", sftDouble, 0, "", 0, 0, "1.5", "1.5", 3, false},
      {"the selection is replaced", sftLongInt, 0, "123", 0, 3, "45", "45", 2, false},
      {"a refused paste keeps the selection's text", sftLongInt, 0, "123", 0, 3, "4.5", "123", 3, true},
      {"a paste with no room is refused", sftString, 3, "ab", 2, 2, "cd", "ab", 2, true},
      {"a string paste keeps its blanks", sftString, 0, "", 0, 0, " a b ", " a b ", 5, false},
  };
  for (const Case& c : cases) {
    TestSimpleField f(intl);
    f.SetDataType(c.type);
    if (c.maxLength > 0) f.SetMaxLength(c.maxLength);
    f.SetTextRaw(c.before);
    f.FocusAt(c.selEnd);
    f.SetSelectionRaw(c.selStart, c.selEnd);
    const int beeps = f.beeps;
    PasteText(f, c.pasted);
    EXPECT_EQ(f.GetText(), c.after) << c.name;
    EXPECT_EQ(f.CaretPos(), c.caret) << c.name;
    EXPECT_EQ(f.beeps > beeps, c.beeps) << c.name;
  }
}

TEST_F(SimpleFieldTest, OneCharacterEditor) {
  TestSimpleField f(intl);
  f.SetDataType(sftBoolean);
  f.FocusAt(0);
  Type(f, "t");
  EXPECT_EQ(f.GetText(), "T");
  Type(f, "x");
  EXPECT_EQ(f.beeps, 1);
  Command(f, ccInc);
  EXPECT_EQ(f.GetText(), "F") << "ccInc toggles";
  f.SetOption(O::ArrowIncDec, true);
  Command(f, ccUp);
  EXPECT_EQ(f.GetText(), "F") << "the arrows never toggle it";
  Command(f, ccBack);
  EXPECT_EQ(f.GetText(), "F") << "the character can only be replaced";
  Command(f, ccExtendEnd);
  EXPECT_EQ(f.SelectionLength(), 1);
  PasteText(f, "?t");
  EXPECT_EQ(f.GetText(), "T");
}

TEST_F(SimpleFieldTest, SteppingByType) {
  struct Case {
    const char* name;
    TSimpleDataType type;
    const char* low;
    const char* high;
    const char* text;
    double delta;
    const char* stepped;
  };
  const Case cases[] = {
      {"char up within its limits", sftChar, "a", "c", "a", 1, "b"},
      {"char wraps at the upper limit", sftChar, "a", "c", "c", 1, "a"},
      {"a char steps by the sign of Delta", sftChar, "a", "z", "m", 2, "n"},
      {"and down", sftChar, "a", "z", "m", -2, "l"},
      {"integer", sftInteger, "-5", "5", "4", 1, "5"},
      {"integer wraps", sftInteger, "-5", "5", "5", 1, "-5"},
      {"integer step truncated", sftInteger, "-5", "5", "0", 2.9, "2"},
      {"clamped", sftInteger, "-5", "5", "4", 3, "5"},
      {"64 bits before the clamp", sftLongInt, "", "", "2147483640", 10, "2147483647"},
      {"comp beyond 32 bits", sftComp, "", "", "5000000000", -1, "4999999999"},
      {"real", sftDouble, "", "", "1.5", 0.25, "1.75"},
  };
  for (const Case& c : cases) {
    TestSimpleField f(intl);
    f.SetDataType(c.type);
    f.SetDecimalPlaces(2);
    if (c.type != sftChar) f.SetMaxLength(20);
    if (*c.low != 0) f.SetRangeLo(c.low);
    if (*c.high != 0) f.SetRangeHi(c.high);
    f.SetTextRaw(c.text);
    f.FocusAt(0);
    f.IncreaseValue(true, c.delta);
    EXPECT_EQ(f.GetText(), c.stepped) << c.name;
    EXPECT_TRUE(f.Modified()) << c.name;
  }
  TestSimpleField f(intl);
  f.SetDataType(sftChar);
  f.SetPictureMask('9');
  f.SetRangeLo("a");
  f.SetRangeHi("z");
  f.SetTextRaw("m");
  f.FocusAt(0);
  f.IncreaseValue(true, 1);
  EXPECT_EQ(f.GetText(), "m") << "no letter passes '9': the search ends";
  f.SetTextRaw("a");
  f.DecreaseValue(false, 1);
  EXPECT_EQ(f.GetText(), "a") << "no wrap at the lower limit";
}

// The integer prompt's field: mask "i", MaxLength 5, range 0 .. 20.
TEST_F(SimpleFieldTest, IntegerPromptField) {
  TestSimpleField f(intl);
  f.SetDataType(sftLongInt);
  f.SetPictureMask('i');
  f.SetMaxLength(5);
  f.SetRangeLo("0");
  f.SetRangeHi("20");
  f.FocusAt(0);
  Type(f, "21");
  EXPECT_EQ(f.Check(), efeOutOfRange);
  Command(f, ccDelLine);
  Type(f, "7");
  EXPECT_EQ(Read<std::int32_t>(f), 7);
}

TEST_F(SimpleFieldTest, ANewWindowKeepsTheValueButATypeChangeClearsIt) {
  TestSimpleField f(intl);
  f.SetDataType(sftLongInt);
  f.WindowCreated();
  f.LoadValue<std::int32_t>(-42);
  f.SetPictureMask('#');  // makes the window again
  EXPECT_EQ(Read<std::int32_t>(f), -42);
  f.SetDataType(sftWord);
  EXPECT_EQ(f.GetText(), "");
}

TEST_F(SimpleFieldTest, AssignCopiesTypeOptionsAndRange) {
  TestSimpleField source(intl);
  source.SetDataType(sftInteger);
  source.SetMaxLength(7);
  source.SetPictureMask('#');
  source.SetRangeLo("-3");
  source.SetRangeHi("3");
  source.SetOption(O::ArrowIncDec, true);
  source.SetOption(O::ReadOnly, true);
  source.SetPadChar('_');
  TestSimpleField copy(intl);
  copy.Assign(source);
  EXPECT_EQ(copy.SimpleDataType(), sftInteger);
  EXPECT_EQ(copy.MaxLength(), 7);
  EXPECT_EQ(copy.PictureMask(), '#');
  EXPECT_EQ(copy.GetRangeLo(), "-3");
  EXPECT_EQ(copy.GetRangeHi(), "3");
  EXPECT_TRUE(copy.Option(O::ReadOnly));
  EXPECT_FALSE(copy.Option(O::ArrowIncDec)) << "not copied";
  EXPECT_EQ(copy.PadChar(), '_');
  TestSimpleField plain(intl);
  copy.Assign(plain);
  EXPECT_EQ(copy.SimpleDataType(), sftString) << "a string field has no range to copy";
}

}  // namespace

#include "controls/base/VirPFModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FieldDriving.h"
#include "TestEntryField.h"
#include "controls/base/VirEFIntl.h"
#include "controls/base/VirExcept.h"
#include "controls/base/VirIntl.h"

namespace {

using O = TEntryOption;

// A picture field without a window: its hooks recorded, a re-created window
// running the creation steps, today and now fixed.
class TestPictureField : public RecordingField, public PictureFieldModel {
 public:
  explicit TestPictureField(const EntryFieldIntl& intl)
      : EntryFieldModel(intl, TFieldKind::Picture),
        PictureBaseModel(intl, TFieldKind::Picture),
        RecordingField(intl, TFieldKind::Picture),
        PictureFieldModel(intl) {
    controller = &ownController;
    Clock.today = [] { return DateFromDMY(15, 3, 2024, 0); };
    Clock.now = [] { return TimeFromHMS(9, 5, 30); };
  }
  using EntryFieldModel::SetCaretRaw;
  using EntryFieldModel::SetFirstVisible;
  using EntryFieldModel::SetSelectionRaw;
  using EntryFieldModel::SetTextRaw;

  void Command(std::uint16_t command) { field_driving::Command(*this, command); }
  void Type(std::string_view text) { field_driving::Type(*this, text); }
  void PasteText(std::string_view text) { field_driving::PasteText(*this, text); }
  // Focused with the caret at a position (kept off literals) and nothing selected.
  void FocusAt(int caret) {
    if (!IsFocused()) FocusEntered();
    SetCaretPos(caret);
    SetSelectionRaw(CaretPos(), CaretPos());
    Command(ccBadSequence);  // a command that does nothing settles the moving end
  }
  template <class T>
  void Load(T value) {
    field_driving::Load(*this, value);
  }
  template <class T>
  T Read() {
    return field_driving::Read<T>(*this);
  }
  std::uint16_t Check() { return ValidateContents(false); }
  // Range limits of a 32-bit type given as their values.
  void Limits(std::int32_t low, std::int32_t high) {
    TRangeLimit lo{}, hi{};
    std::memcpy(lo.data(), &low, 4);
    std::memcpy(hi.data(), &high, 4);
    SetRangeLow(lo);
    SetRangeHigh(hi);
  }
  // A type and a mask of its own length.
  void Shape(TPictureDataType type, std::string_view mask) {
    SetDataType(type);
    SetPictureMask(mask);
    SetMaxLength(MaskLength());
  }

  FakeController ownController;
  int advancedNext = 0;
  int advancedPrev = 0;
  int averageWidth = 8;  // of the font

 protected:
  void RecreateWindow() override {
    RecordingField::RecreateWindow();
    WindowCreated();
  }
  int FieldAverageCharWidth() const override { return averageWidth; }
  void MoveToNextControl() override { ++advancedNext; }
  void MoveToPrevControl() override { ++advancedPrev; }
};

class PictureFieldTest : public ::testing::Test {
 protected:
  TVirIntlSup settings;
  IntlSupEntryFields intl{settings};
};

TEST_F(PictureFieldTest, DataTypeSetsTheDefaultMaskAndRange) {
  struct Case {
    TPictureDataType type;
    const char* mask;
    const char* low;
    const char* high;
  };
  const Case cases[] = {
      {pftString, "XXXXXXXXXXXXXXX", "", ""},
      {pftChar, "X", " ", " "},
      {pftBoolean, "B", "", ""},
      {pftYesNo, "Y", "", ""},
      {pftLongInt, "iiiiiiiiii", "-2147483648", "2147483647"},
      {pftWord, "99999", "0", "65535"},
      {pftInteger, "iiiiii", "-32768", "32767"},
      {pftByte, "999", "0", "255"},
      {pftShortInt, "iiii", "-128", "127"},
      {pftShortInt, "iiii", "-128", "127"},
      {pftDate, "MM/dd/yy", " 1/01/00", "12/31/99"},
      {pftTime, "Hh:mm:ss", " 0:00:00", "23:59:59"},
  };
  for (const Case& c : cases) {
    TestPictureField f(intl);
    f.SetDataType(pftLongInt);  // away from the string type first
    f.SetDataType(c.type);
    EXPECT_EQ(f.PictureMask(), c.mask) << int(c.type);
    EXPECT_EQ(f.Mask(), c.mask) << int(c.type);
    EXPECT_EQ(f.MaxLength(), static_cast<int>(std::string(c.mask).size())) << int(c.type);
    EXPECT_EQ(f.GetRangeLo(), c.low) << int(c.type);
    if (*c.high != 0) {
      EXPECT_EQ(f.GetRangeHi(), c.high) << int(c.type);
    }
    EXPECT_EQ(f.TypeByte(), 64 + c.type);
  }
  TestPictureField f(intl);
  EXPECT_THROW(f.SetDataType(16), EVirException);
}

TEST_F(PictureFieldTest, WordFieldRefusesLettersAndLargeValues) {
  TestPictureField f(intl);
  f.SetDataType(pftWord);
  f.FocusAt(0);
  f.Type("7a");
  EXPECT_EQ(f.beeps, 1);
  EXPECT_EQ(f.GetText(), "7    ");
  f.Command(ccDelLine);
  f.Type("70000");
  EXPECT_EQ(f.Check(), efeOutOfRange);
}

TEST_F(PictureFieldTest, ValuesTravelThroughTheText) {
  TestPictureField f(intl);
  f.SetDataType(pftLongInt);
  f.Load<std::int32_t>(-42);
  EXPECT_EQ(f.GetText(), "-42       ") << "a plain mask fills from the left";
  EXPECT_EQ(f.Read<std::int32_t>(), -42);

  f.SetDataType(pftByte);
  f.Load<std::uint8_t>(255);
  EXPECT_EQ(f.GetText(), "255");
  EXPECT_EQ(f.Read<std::uint8_t>(), 255);

  f.SetDataType(pftBoolean);
  f.Load<std::uint8_t>(1);
  EXPECT_EQ(f.GetText(), "T");
  EXPECT_EQ(f.Read<std::uint8_t>(), 1);

  f.SetDataType(pftChar);
  f.Load<char>('q');
  EXPECT_EQ(f.Read<char>(), 'q');

  f.SetDataType(pftDouble);
  f.Load<double>(12.6);
  EXPECT_EQ(f.GetText(), "13        ") << "no decimals by default";
  f.SetDecimalPlaces(2);
  f.Load<double>(12.5);
  EXPECT_EQ(f.GetText(), "12.5      ");
  EXPECT_EQ(f.Read<double>(), 12.5);

  f.SetPictureMask("###.##");
  f.SetMaxLength(6);
  f.Load<double>(-2.125);
  EXPECT_EQ(f.GetText(), " -2.13") << "halves away from zero";
  f.Shape(pftSingle, "####.#");
  f.Load<float>(0.25f);
  EXPECT_EQ(f.GetText(), "   0.3");

  f.Shape(pftTime, "hh:mm:ss");
  f.Load<std::int32_t>(TimeFromHMS(23, 30, 0));
  EXPECT_EQ(f.GetText(), "23:30:00");
  EXPECT_EQ(f.Read<std::int32_t>(), TimeFromHMS(23, 30, 0));
}

// The bytes of a value of a type, as the value protocol carries them.
std::vector<std::uint8_t> BytesOf(TPictureDataType type, long double v) {
  std::vector<std::uint8_t> b(16);
  std::span<std::uint8_t> all(b);
  switch (type) {
    case pftWord:
    case pftInteger: StoreLE(static_cast<std::uint16_t>(static_cast<std::int64_t>(v)), all.first<2>()); break;
    case pftLongInt:
    case pftDate:
    case pftTime: StoreLE(static_cast<std::int32_t>(v), all.first<4>()); break;
    case pftReal: StoreReal48(v, all.first<6>()); break;
    case pftExtended: StoreExtended(v, all.first<10>()); break;
    case pftDouble: StoreDouble(static_cast<double>(v), all.first<8>()); break;
    case pftSingle: StoreSingle(static_cast<float>(v), all.first<4>()); break;
    case pftComp: StoreLE(static_cast<std::int64_t>(v), all.first<8>()); break;
    default: b[0] = static_cast<std::uint8_t>(static_cast<int>(v)); break;
  }
  return b;
}

TEST_F(PictureFieldTest, TransferOfEveryType) {
  struct Case {
    TPictureDataType type;
    const char* mask;
    long double value;
    const char* text;
  };
  const Case cases[] = {
      {pftChar, "X", 'q', "q"},
      {pftBoolean, "B", 0, "F"},
      {pftYesNo, "Y", 1, "Y"},
      {pftLongInt, "iiiiiiiiiii", -2147483648.0L, "-2147483648"},
      {pftWord, "99999", 65535, "65535"},
      {pftInteger, "iiiiii", -32768, "-32768"},
      {pftByte, "KK", 255, "FF"},
      {pftShortInt, "iiii", -128, "-128"},
      {pftReal, "#####.##", 1.5L, "    1.50"},
      {pftExtended, "#####.##", -0.25L, "   -0.25"},
      {pftDouble, "#####.##", 1234.5L, " 1234.50"},
      {pftSingle, "#####.##", 0.5L, "    0.50"},
      {pftComp, "iiiiiiiiiiiiiiiiiiii", -9000000000000000000.0L, "-9000000000000000000"},
      {pftDate, "mm/dd/yyyy", static_cast<long double>(DateFromDMY(29, 2, 2000, 0)), "02/29/2000"},
      {pftTime, "hh:mm", static_cast<long double>(TimeFromHMS(13, 45, 0)), "13:45"},
  };
  for (const Case& c : cases) {
    TestPictureField f(intl);
    f.Shape(c.type, c.mask);
    const std::vector<std::uint8_t> in = BytesOf(c.type, c.value);
    f.SetValue(in);
    EXPECT_EQ(f.GetText(), c.text) << int(c.type);
    std::vector<std::uint8_t> out(16);
    EXPECT_EQ(f.ValidateAndGetValue(out), 0) << int(c.type);
    const std::size_t size = f.GetDataSize();
    EXPECT_TRUE(std::equal(in.begin(), in.begin() + static_cast<long>(size), out.begin())) << int(c.type);
  }
}

TEST_F(PictureFieldTest, StringsWithAndWithoutTheirLiterals) {
  TestPictureField f(intl);
  f.Shape(pftString, "(999) 999-9999");
  f.SetValueText("5551234567");
  EXPECT_EQ(f.GetText(), "(555) 123-4567");
  std::vector<std::uint8_t> out(32);
  ASSERT_EQ(f.ValidateAndGetValue(out), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.data())), "(555) 123-4567");
  f.SetOption(O::StripLiterals, true);
  EXPECT_EQ(f.GetDataSize(), 11);
  ASSERT_EQ(f.ValidateAndGetValue(out), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.data())), "5551234567");
}

TEST_F(PictureFieldTest, ValuesTheMaskCannotShowAreNeverAnotherNumber) {
  struct Case {
    const char* name;
    TPictureDataType type;
    const char* mask;
    double value;
    const char* shown;
  };
  const Case cases[] = {
      {"a hundred in two digits", pftByte, "##", 100, "**"},
      {"a ten-digit negative in ten positions", pftLongInt, "iiiiiiiiii", -1234567890, "**********"},
      {"1e12 in the default real mask", pftDouble, "##########", 1e12, "**********"},
  };
  for (const Case& c : cases) {
    TestPictureField f(intl);
    f.Shape(c.type, c.mask);
    if (c.type == pftByte)
      f.Load<std::uint8_t>(static_cast<std::uint8_t>(c.value));
    else if (c.type == pftLongInt)
      f.Load<std::int32_t>(static_cast<std::int32_t>(c.value));
    else
      f.Load<double>(c.value);
    EXPECT_EQ(f.GetText(), c.shown) << c.name;
    EXPECT_EQ(f.Check(), efeOutOfRange) << c.name;
    std::vector<std::uint8_t> bytes(16);
    EXPECT_EQ(f.ValidateAndGetValue(bytes), efeOutOfRange) << c.name;
    f.FocusAt(0);
    f.Command(ccDelLine);
    f.Type("7");
    EXPECT_EQ(f.Check(), 0) << c.name << ": a typed value counts again";
  }
}

TEST_F(PictureFieldTest, ChecksByType) {
  struct Case {
    const char* name;
    TPictureDataType type;
    const char* mask;
    const char* text;
    std::uint16_t code;
  };
  const Case cases[] = {
      {"integer", pftInteger, "iiiiii", "  -300", 0},
      {"integer that is no number", pftInteger, "iiiiii", "  -3-0", efeInvalidForType},
      {"integer out of its type", pftInteger, "iiiiii", " 40000", efeOutOfRange},
      {"real", pftDouble, "###.##", " 12.50", 0},
      {"real that is no number", pftDouble, "###.##", "1-2.50", efeInvalidForType},
      {"boolean of another letter", pftBoolean, "B", "Q", efeOutOfRange},
      {"yes", pftYesNo, "Y", "Y", 0},
      {"blank date", pftDate, "mm/dd/yy", "  /  /  ", 0},
      {"leap day", pftDate, "mm/dd/yy", "02/29/96", 0},
      {"no leap day in 1900", pftDate, "mm/dd/yy", "02/29/00", efeInvalidDate},
      {"no such date", pftDate, "mm/dd/yy", "02/30/99", efeInvalidDate},
      {"no such time", pftTime, "hh:mm:ss", "25:00:00", efeInvalidTime},
  };
  for (const Case& c : cases) {
    TestPictureField f(intl);
    f.Shape(c.type, c.mask);
    f.SetTextRaw(c.text);
    EXPECT_EQ(f.Check(), c.code) << c.name;
  }
  TestPictureField f(intl);
  f.Shape(pftDate, "mm/dd/yy");
  EXPECT_EQ(f.Read<std::int32_t>(), -1) << "a blank date reads as no date";
  f.SetRangeLo("01/01/80");
  f.SetRangeHi("12/31/89");
  f.SetTextRaw("01/01/90");
  EXPECT_EQ(f.Check(), efeOutOfRange);
}

TEST_F(PictureFieldTest, DatesOutsideTheEpochOfATwoDigitYear) {
  TestPictureField f(intl);
  f.Shape(pftDate, "MM/dd/yy");
  f.SetEpoch(1950);
  EXPECT_THROW(f.Load<std::int32_t>(DateFromDMY(1, 1, 2060, 0)), EInvalidDateForMask);
  f.Load<std::int32_t>(DateFromDMY(31, 12, 1999, 0));
  EXPECT_EQ(f.GetText(), "12/31/99");
  f.Load<std::int32_t>(0);
  EXPECT_EQ(f.GetText(), "  /  /  ") << "day 0 is no date";
}

TEST_F(PictureFieldTest, ValueKeptAcrossANewWindowButNotAcrossATypeChange) {
  TestPictureField f(intl);
  f.SetDataType(pftLongInt);
  f.WindowCreated();
  f.Load<std::int32_t>(42);
  f.SetDecimalPlaces(1);  // makes the window again
  EXPECT_EQ(f.Read<std::int32_t>(), 42);
  f.SetDataType(pftWord);
  EXPECT_EQ(f.GetText(), "     ");
  f.SetDataType(pftTime);
  f.SetInitDateTime(true);
  EXPECT_EQ(f.GetText(), " 9:05:30") << "the time of day";
}

// ---- Stepping ---------------------------------------------------------------------------

struct StepCase {
  const char* name;
  TPictureDataType type;
  const char* mask;
  const char* text;
  int caret;
  bool wrap;
  double delta;
  const char* stepped;
};

TEST_F(PictureFieldTest, SteppingByType) {
  const StepCase cases[] = {
      {"char up", pftChar, "X", "B", 0, true, 1, "C"},
      {"char up by two is one code", pftChar, "X", "B", 0, true, 2, "C"},
      {"char down", pftChar, "X", "B", 0, true, -1, "A"},
      {"boolean toggles", pftBoolean, "B", "T", 0, true, 1, "F"},
      {"boolean toggles back", pftBoolean, "B", "F", 0, true, 1, "T"},
      {"byte wraps at the top", pftByte, "999", "255", 0, true, 1, "0  "},
      {"byte stays without wrap", pftByte, "999", "255", 0, false, 1, "255"},
      {"longint adds in 64 bits and stops at the limit", pftLongInt, "iiiiiiiiii", "2147483640", 0, false, 10,
       "2147483647"},
      {"integer down", pftInteger, "iiiiii", "     5", 0, true, -7.9, "-2    "},
      {"string does not step", pftString, "XXX", "abc", 0, true, 1, "abc"},
      {"real by a fraction", pftDouble, "###.##", "  1.50", 0, true, 0.25, "  1.75"},
      {"comp rounds to whole", pftComp, "iiiiiiiiii", "         7", 0, true, 1.6, "9         "},
      {"day step", pftDate, "mm/dd/yy", "01/31/99", 4, true, 1, "02/01/99"},
      {"month step keeps the month's last day", pftDate, "mm/dd/yy", "01/31/99", 1, true, 1, "02/28/99"},
      {"caret on a literal takes the unit before it", pftDate, "mm/dd/yy", "01/31/99", 2, true, 1, "02/28/99"},
      {"year step", pftDate, "mm/dd/yy", "02/28/98", 7, true, -1, "02/28/97"},
      {"hour step past midnight with wrap", pftTime, "hh:mm:ss", "23:30:00", 1, true, 1, "00:30:00"},
      {"hour step past midnight without wrap", pftTime, "hh:mm:ss", "23:30:00", 1, false, 1, "23:30:00"},
      {"minute step back", pftTime, "hh:mm:ss", "10:00:00", 4, true, -5, "09:55:00"},
      {"second step", pftTime, "hh:mm:ss", "10:00:59", 7, true, 1, "10:01:00"},
      {"am/pm letters step twelve hours", pftTime, "hh:mm tt", "09:15 AM", 7, true, 1, "09:15 PM"},
      {"char at the top without wrap", pftChar, "X", "\xff", 0, false, 1, "\xff"},
      {"yes toggles to no", pftYesNo, "Y", "Y", 0, true, -1, "N"},
      {"word wraps at the bottom", pftWord, "99999", "0    ", 0, true, -1, "65535"},
      {"shortint stays at the bottom without wrap", pftShortInt, "iiii", "-128", 0, false, -1, "-128"},
      {"single", pftSingle, "###.#", "  1.5", 0, true, 1, "  2.5"},
      {"extended wraps to the low limit", pftExtended, "###.#", "  9.5", 0, true, 1, "  0.0"},
      {"6-byte real", pftReal, "###.#", " -1.5", 0, true, -1, " -2.5"},
      {"caret after the text steps the last unit", pftDate, "mm/dd/yy", "12/31/98", 8, true, 1, "12/31/99"},
  };
  for (const StepCase& c : cases) {
    TestPictureField f(intl);
    f.Shape(c.type, c.mask);
    if (std::string(c.name).find("wraps to the low limit") != std::string::npos) {
      f.SetRangeLo("0");
      f.SetRangeHi("9.5");
    }
    f.ownController.epoch = 1900;
    f.FocusEntered();
    f.SetTextRaw(c.text);
    f.SetCaretRaw(c.caret);
    f.IncreaseValue(c.wrap, c.delta);
    EXPECT_EQ(f.GetText(), c.stepped) << c.name;
  }
}

TEST_F(PictureFieldTest, SteppingWithinLimits) {
  TestPictureField f(intl);
  f.Shape(pftChar, "9");
  f.SetRangeLo("a");
  f.SetRangeHi("z");
  f.FocusEntered();
  f.SetTextRaw("c");
  f.IncreaseValue(true, 1);
  EXPECT_EQ(f.GetText(), "c") << "no code fits: the search ends, unchanged";

  TestPictureField d(intl);
  d.Shape(pftDate, "mm/dd/yyyy");
  d.Limits(DateFromDMY(1, 1, 2000, 0), DateFromDMY(15, 6, 2000, 0));
  d.FocusEntered();
  d.SetTextRaw("06/10/2000");
  d.SetCaretRaw(3);
  d.IncreaseValue(false, 10);
  EXPECT_EQ(d.GetText(), "06/10/2000") << "beyond the high limit without wrap";
  d.IncreaseValue(true, 10);
  EXPECT_EQ(d.GetText(), "01/01/2000") << "a day step wraps to the low limit";
  d.SetTextRaw("05/31/2000");
  d.SetCaretRaw(0);
  d.IncreaseValue(true, 1);
  EXPECT_EQ(d.GetText(), "01/31/2000") << "a month step wraps to the low limit's month";
  d.DecreaseValue(true, 1);
  EXPECT_EQ(d.GetText(), "05/30/2000") << "back from the high limit's month to under the limit";
}

TEST_F(PictureFieldTest, DateStepsMatchTheCalendar) {
  std::ifstream file(std::string(MORVA_FIXTURES) + "/controls/base/datesteps.txt");
  ASSERT_TRUE(file) << "datesteps.txt";
  std::string start, unit, result;
  int step = 0, lines = 0;
  while (file >> start >> unit >> step >> result) {
    ++lines;
    TestPictureField f(intl);
    f.Shape(pftDate, "mm/dd/yyyy");
    f.FocusEntered();
    f.SetTextRaw(start);
    f.SetCaretRaw(unit == "m" ? 0 : unit == "d" ? 3 : 6);
    f.IncreaseValue(false, step);
    EXPECT_EQ(f.GetText(), result) << start << " " << unit << " " << step;
  }
  EXPECT_GT(lines, 0);
}

}  // namespace

// ---- The editors --------------------------------------------------------------------------

namespace {

TEST_F(PictureFieldTest, WordsWithinARun) {
  TestPictureField f(intl);
  f.Shape(pftString, "XXXXXXXXXX");
  f.FocusAt(0);
  f.Type("ab cd");
  f.FocusAt(0);
  f.Command(ccWordRight);
  EXPECT_EQ(f.CaretPos(), 3) << "on 'c'";
  f.Command(ccWordLeft);
  EXPECT_EQ(f.CaretPos(), 0);
  f.Command(ccDelWord);
  EXPECT_EQ(f.GetText(), "cd        ");
}

TEST_F(PictureFieldTest, TypingInInsertAndOverwriteMode) {
  struct Case {
    const char* name;
    bool insert;
    bool pushes;
    const char* typed;
    const char* text;
    int beeps;
  };
  const Case cases[] = {
      {"insert pushes the last character off", true, true, "z", "zab", 0},
      {"insert refused on a full run", true, false, "z", "abc", 1},
      {"overwrite", false, false, "z", "zbc", 0},
  };
  for (const Case& c : cases) {
    TestPictureField f(intl);
    f.Shape(pftString, "XXX");
    f.SetTextRaw("abc");
    f.SetOption(O::InsertPushes, c.pushes);
    f.FocusAt(0);
    f.SetInsertMode(c.insert);
    f.Type(c.typed);
    EXPECT_EQ(f.GetText(), c.text) << c.name;
    EXPECT_EQ(f.beeps, c.beeps) << c.name;
  }
}

TEST_F(PictureFieldTest, TypingSkipsLiteralsAndAdvancesFromTheLastPosition) {
  TestPictureField f(intl);
  f.Shape(pftString, "(999) 999-9999");
  f.FocusAt(0);
  EXPECT_EQ(f.CaretPos(), 1) << "the caret keeps off the leading literal";
  f.Type("5551234567");
  EXPECT_EQ(f.GetText(), "(555) 123-4567");
  EXPECT_EQ(f.advancedNext, 0) << "AutoAdvanceChar is off";
  f.Type("8");
  EXPECT_EQ(f.beeps, 1) << "no room after the last position";
  f.SetOption(O::AutoAdvanceChar, true);
  f.Command(ccDelLine);
  f.Type("5551234567");
  EXPECT_EQ(f.advancedNext, 1) << "filling the last position moves on";
}

TEST_F(PictureFieldTest, DeletingWithinRuns) {
  struct Case {
    const char* name;
    int caret;
    std::uint16_t command;
    const char* text;
    int caretAfter;
  };
  const Case cases[] = {
      {"backspace closes up the run", 7, ccBack, "(555) 23 -4567", 6},
      {"backspace over a literal", 10, ccBack, "(555) 12 -4567", 8},
      {"delete closes up the run", 11, ccDel, "(555) 123-467 ", 11},
      {"delete to the start of the run", 12, ccDelBol, "(555) 123-67  ", 10},
      {"delete to the end of the run", 11, ccDelEol, "(555) 123-4   ", 11},
      {"delete to the end on the run's last position", 8, ccDelEol, "(555) 12 -4567", 8},
  };
  for (const Case& c : cases) {
    TestPictureField f(intl);
    f.Shape(pftString, "(999) 999-9999");
    f.SetTextRaw("(555) 123-4567");
    f.FocusAt(c.caret);
    f.Command(c.command);
    EXPECT_EQ(f.GetText(), c.text) << c.name;
    EXPECT_EQ(f.CaretPos(), c.caretAfter) << c.name;
  }
}

TEST_F(PictureFieldTest, PasteLandsInTheMask) {
  struct Case {
    const char* name;
    TPictureDataType type;
    const char* mask;
    const char* pasted;
    const char* text;
  };
  const Case cases[] = {
      {"telephone number with its literals", pftString, "(999) 999-9999", "(555) 123-4567", "(555) 123-4567"},
      {"telephone digits alone", pftString, "(999) 999-9999", "5551234567", "(555) 123-4567"},
      {"letters with the dash", pftString, "AA-AA", "ab-cd", "AB-CD"},
      {"letters without the dash", pftString, "AA-AA", "abcd", "AB-CD"},
      {"digits refuse letters", pftString, "999", "1a2", "12 "},
  };
  for (const Case& c : cases) {
    TestPictureField f(intl);
    f.Shape(c.type, c.mask);
    f.FocusAt(0);
    f.SelectAll();
    f.PasteText(c.pasted);
    EXPECT_EQ(f.GetText(), c.text) << c.name;
  }
}

TEST_F(PictureFieldTest, SelectionEndsPastTheTextAreClamped) {
  TestPictureField f(intl);
  f.Shape(pftString, "XXXXX");
  f.SetTextRaw("abcde");
  f.FocusAt(2);
  f.Command(ccExtendEnd);
  EXPECT_EQ(f.MovingEnd(), 6);
  EXPECT_EQ(f.SelEnd(), 5);
  EXPECT_EQ(f.SelectionForClipboard(), "cde");
  f.Command(ccDel);
  EXPECT_EQ(f.GetText(), "ab   ");

  TestPictureField c(intl);
  c.Shape(pftChar, "X");
  c.SetTextRaw("q");
  c.FocusAt(0);
  c.Command(ccExtWordRight);
  EXPECT_EQ(c.MovingEnd(), 2);
  EXPECT_EQ(c.SelectionForClipboard(), "q");
}

TEST_F(PictureFieldTest, ExtendingLeftFromTheStartRepaintsNothing) {
  TestPictureField f(intl);
  f.Shape(pftString, "XXXXX");
  f.SetTextRaw("abcde");
  f.FocusAt(0);
  const int repaints = f.repaints;
  f.Command(ccExtendLeft);
  EXPECT_EQ(f.repaints, repaints);
  f.Command(ccExtendRight);
  f.Command(ccExtendRight);
  EXPECT_EQ(f.SelEnd(), 2);
  EXPECT_GT(f.repaints, repaints);
}

TEST_F(PictureFieldTest, OneCharacterEditor) {
  TestPictureField f(intl);
  f.Shape(pftBoolean, "B");
  f.SetOption(O::AutoAdvanceChar, true);
  f.Load<std::uint8_t>(1);
  f.FocusAt(0);
  f.Command(ccBack);
  EXPECT_EQ(f.GetText(), "T") << "Backspace changes nothing";
  f.Type("f");
  EXPECT_EQ(f.GetText(), "F");
  EXPECT_EQ(f.advancedNext, 1);
  f.Type("x");
  EXPECT_EQ(f.beeps, 1);
  f.Command(ccInc);
  EXPECT_EQ(f.GetText(), "T");
}

TEST_F(PictureFieldTest, CompleteDateFillsTheRunOrTheWholeText) {
  TestPictureField f(intl);
  f.Shape(pftDate, "mm/dd/yyyy");
  f.FocusAt(0);
  f.SelectAll();
  f.Command(ccCompleteDate);
  EXPECT_EQ(f.GetText(), "03/15/2024");
  f.Command(ccDelLine);
  f.FocusAt(3);
  f.Command(ccCompleteDate);
  EXPECT_EQ(f.GetText(), "  /15/    ") << "only the run of the caret";
  EXPECT_EQ(f.CaretPos(), 6) << "then on to the next run";
}

TEST_F(PictureFieldTest, MouseSelectsWordsAndWholeNumbers) {
  TestPictureField f(intl);
  f.Shape(pftString, "XXXXXXXXXX");
  f.SetTextRaw("ab cd ef  ");
  f.FocusAt(0);
  TEditMsg msg;
  msg.x = 2 + 8 * 4;  // over 'd' (8 pixels a character after the margin)
  f.ExecuteCommand(msg, efc::DoubleClick);
  EXPECT_EQ(f.SelStart(), 3);
  EXPECT_EQ(f.SelEnd(), 6) << "the word and the blank after it";

  msg.x = 2 + 8 * 1;
  f.ExecuteCommand(msg, efc::MouseDown);
  EXPECT_EQ(f.CaretPos(), 1);
  msg.x = 2 + 8 * 7;
  msg.shift = true;
  f.ExecuteCommand(msg, efc::MouseDown);
  EXPECT_EQ(f.SelStart(), 1);
  EXPECT_EQ(f.SelEnd(), 7);
  msg.shift = false;
  msg.x = 2 + 8 * 9;
  f.ExecuteCommand(msg, efc::MouseDown);
  EXPECT_EQ(f.CaretPos(), 8) << "a click past the entered text comes back to its end";

  TestPictureField d(intl);
  d.Shape(pftDouble, "###.##");
  d.SetTextRaw(" 12.50");
  d.FocusAt(0);
  msg.x = 10;
  d.ExecuteCommand(msg, efc::DoubleClick);
  EXPECT_EQ(d.SelectionLength(), 6) << "a real number is selected whole";
}

TEST_F(PictureFieldTest, DecimalPointAlignsTheParts) {
  TestPictureField f(intl);
  f.Shape(pftDouble, "###.##");
  f.FocusAt(0);
  f.Command(ccDelLine);
  f.Type("12.5");
  EXPECT_EQ(f.GetText(), " 12.5 ") << "the point closed up the integer part";
  f.FocusLeft(true, false);
  EXPECT_EQ(f.GetText(), " 12.50") << "leaving closes up the fraction";
  std::vector<std::uint8_t> bytes(8);
  EXPECT_EQ(f.ValidateAndGetValue(bytes), 0);

  f.FocusAt(0);
  f.SetTextRaw("1 2.5 ");
  f.EmSetModify(true);
  f.FocusLeft(true, false);
  EXPECT_EQ(f.GetText(), " 12.50");
}

TEST_F(PictureFieldTest, DisplayOfPadPasswordAndUninitialisedFields) {
  TestPictureField f(intl);
  f.Shape(pftString, "XXXXX");
  f.SetValueText("ab");
  f.SetPadChar('_');
  EXPECT_EQ(f.GetDisplayText(), "ab___");
  f.SetOption(O::PasswordMode, true);
  EXPECT_EQ(f.GetDisplayText(), "**___");
  f.SetOption(O::Uninitialized, true);
  EXPECT_EQ(f.GetDisplayText(), "     ") << "blank until focused";
  f.FocusEntered();
  EXPECT_EQ(f.GetDisplayText(), "**___");

  TestPictureField t(intl);
  t.Shape(pftString, "(999) 999-9999");
  t.SetPadChar('_');
  t.SetValueText("555");
  EXPECT_EQ(t.GetDisplayText(), "(555) ___-____") << "literals stay";
}

TEST_F(PictureFieldTest, AmountsLoseCurrencyAndSeparatorsWhileEdited) {
  TestPictureField f(intl);
  f.Shape(pftDouble, "$$#,##9.99");
  f.Load<double>(-1234.5);
  EXPECT_EQ(f.GetText(), "-$1,234.50");
  f.FocusAt(9);
  f.Command(ccLeft);
  EXPECT_EQ(f.GetText().find('$'), std::string::npos) << "the currency leaves the text for editing";
  EXPECT_EQ(f.Read<double>(), -1234.5);
  EXPECT_EQ(f.GetText(), "-$1,234.50") << "laid out again after reading";
}

TEST_F(PictureFieldTest, AMouseLeftOfTheFieldScrollsEvenWithoutACharacterWidth) {
  TestPictureField f(intl);
  f.Shape(pftString, "XXXXXXXXXX");
  f.SetValueText("abcdefghij");
  f.FocusAt(5);
  f.SetFirstVisible(4);
  f.averageWidth = 0;
  TEditMsg msg;
  msg.x = -20;
  f.ExecuteCommand(msg, efc::MouseDown);
  EXPECT_EQ(f.FirstVisible(), 0);
  EXPECT_EQ(f.CaretPos(), 0);
}

TEST_F(PictureFieldTest, AssignCopiesTypeMaskOptionsAndRange) {
  TestPictureField source(intl);
  source.Shape(pftWord, "9999");
  source.SetRangeHi("500");
  source.SetOption(O::AutoAdvanceChar, true);
  TestPictureField copy(intl);
  copy.Assign(source);
  EXPECT_EQ(copy.DataType(), pftWord);
  EXPECT_EQ(copy.PictureMask(), "9999");
  EXPECT_EQ(copy.GetRangeHi(), "500");
  EXPECT_TRUE(copy.Option(O::AutoAdvanceChar));
}

}  // namespace

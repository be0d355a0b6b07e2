#include "controls/base/VirEFModel.h"

#include <gtest/gtest.h>

#include <functional>

#include "FakeIntl.h"
#include "TestEntryField.h"
#include "controls/base/VirExcept.h"
#include "rtl/TextChars.h"

namespace {

using O = TEntryOption;

// ---- Setters and options ---------------------------------------------------------

struct SetterCase {
  const char* what;
  std::function<void(TestField&)> act;
  std::function<bool(const TestField&)> holds;
};

TEST(EntryFieldSetters, IgnoreValuesOutOfTheirRange) {
  FakeIntl intl;
  const SetterCase cases[] = {
      {"MaxLength 0 ignored", [](TestField& f) { f.SetMaxLength(0); }, [](auto& f) { return f.MaxLength() == 15; }},
      {"MaxLength 256 ignored", [](TestField& f) { f.SetMaxLength(256); }, [](auto& f) { return f.MaxLength() == 15; }},
      {"MaxLength 255 taken, window made again", [](TestField& f) { f.SetMaxLength(255); },
       [](auto& f) { return f.MaxLength() == 255 && f.recreated == 1; }},
      {"MaxLength below the mask ignored",
       [](TestField& f) {
         f.SetMaskText("XXXXX");
         f.SetMaxLength(4);
       },
       [](auto& f) { return f.MaxLength() == 15; }},
      {"MaxLength unchanged makes no new window", [](TestField& f) { f.SetMaxLength(15); },
       [](auto& f) { return f.recreated == 0; }},
      {"MaxLength cuts the text",
       [](TestField& f) {
         f.SetText("abcdefgh");
         f.SetMaxLength(3);
       },
       [](auto& f) { return f.GetText() == "abc"; }},
      {"MaxLength while loading keeps 1..255",
       [](TestField& f) {
         f.SetLoading(true);
         f.SetMaxLength(300);
         f.SetMaxLength(0);
       },
       [](auto& f) { return f.MaxLength() == 15; }},
      {"MaxLength while loading skips the mask rule",
       [](TestField& f) {
         f.SetMaskText("XXXXX");
         f.SetLoading(true);
         f.SetMaxLength(3);
       },
       [](auto& f) { return f.MaxLength() == 3; }},
      {"TextMargin 1 ignored", [](TestField& f) { f.SetTextMargin(1); }, [](auto& f) { return f.TextMargin() == 2; }},
      {"TextMargin 6 taken", [](TestField& f) { f.SetTextMargin(6); }, [](auto& f) { return f.TextMargin() == 6; }},
      {"Epoch 1599 ignored", [](TestField& f) { f.SetEpoch(1599); }, [](auto& f) { return f.Epoch() == 0; }},
      {"Epoch 4000 ignored",
       [](TestField& f) {
         f.SetEpoch(2000);
         f.SetEpoch(4000);
       },
       [](auto& f) { return f.Epoch() == 2000; }},
      {"Epoch 0 taken",
       [](TestField& f) {
         f.SetEpoch(1600);
         f.SetEpoch(0);
       },
       [](auto& f) { return f.Epoch() == 0; }},
      {"PasswordChar #0 turns PasswordMode off",
       [](TestField& f) {
         f.SetOption(O::PasswordMode, true);
         f.SetPasswordChar(0);
       },
       [](auto& f) { return !f.Option(O::PasswordMode); }},
      {"ArrowIncDec clears AutoAdvanceUpDown",
       [](TestField& f) {
         f.SetOption(O::AutoAdvanceUpDown, true);
         f.SetOption(O::ArrowIncDec, true);
       },
       [](auto& f) { return f.Option(O::ArrowIncDec) && !f.Option(O::AutoAdvanceUpDown); }},
      {"AutoAdvanceUpDown clears ArrowIncDec",
       [](TestField& f) {
         f.SetOption(O::ArrowIncDec, true);
         f.SetOption(O::AutoAdvanceUpDown, true);
       },
       [](auto& f) { return !f.Option(O::ArrowIncDec) && f.Option(O::AutoAdvanceUpDown); }},
      {"ForceInsert clears ForceOvertype",
       [](TestField& f) {
         f.SetOption(O::ForceOvertype, true);
         f.SetOption(O::ForceInsert, true);
       },
       [](auto& f) { return f.Option(O::ForceInsert) && !f.Option(O::ForceOvertype); }},
      {"ForceOvertype clears ForceInsert",
       [](TestField& f) {
         f.SetOption(O::ForceInsert, true);
         f.SetOption(O::ForceOvertype, true);
       },
       [](auto& f) { return !f.Option(O::ForceInsert) && f.Option(O::ForceOvertype); }},
      {"while loading the exclusive pairs are stored as read",
       [](TestField& f) {
         f.SetLoading(true);
         f.SetOption(O::ForceInsert, true);
         f.SetOption(O::ForceOvertype, true);
       },
       [](auto& f) { return f.Option(O::ForceInsert) && f.Option(O::ForceOvertype); }},
      {"ZeroDisplayValue repaints only when changed",
       [](TestField& f) {
         f.SetZeroDisplayValue(0);
         f.SetZeroDisplayValue(1);
       },
       [](auto& f) { return f.repaints == 1; }},
  };
  for (const auto& c : cases) {
    TestField f(intl);
    c.act(f);
    EXPECT_TRUE(c.holds(f)) << c.what;
  }
}

TEST(EntryFieldSetters, StringJustificationAndBlanks) {
  FakeIntl intl;
  TestField picture(intl, TFieldKind::Picture);
  picture.SetOption(O::TrimBlanks, false);
  picture.SetOption(O::RightJustify, true);
  EXPECT_TRUE(picture.Option(O::TrimBlanks)) << "RightJustify on a string field sets TrimBlanks";
  picture.SetOption(O::TrimBlanks, false);
  EXPECT_FALSE(picture.Option(O::RightJustify)) << "no TrimBlanks on a picture string: no RightJustify";

  TestField numberPicture(intl, TFieldKind::Picture, pftLongInt);
  numberPicture.SetOption(O::RightJustify, true);
  numberPicture.SetOption(O::TrimBlanks, false);
  EXPECT_TRUE(numberPicture.Option(O::RightJustify)) << "the rule is the string type's";
}

TEST(EntryFieldOptions, AdjustedToKindAndType) {
  FakeIntl intl;
  struct {
    const char* what;
    TFieldKind kind;
    TPictureDataType type;
    std::vector<O> cleared;
    std::vector<O> kept;
  } const cases[] = {
      {"simple string", TFieldKind::Simple, pftString, {O::RightJustify, O::StripLiterals}, {O::TrimBlanks}},
      {"simple number",
       TFieldKind::Simple,
       pftDouble,
       {O::TrimBlanks, O::RightJustify, O::StripLiterals},
       {O::CaretToEnd, O::InsertPushes}},
      {"picture number", TFieldKind::Picture, pftLongInt, {O::TrimBlanks, O::StripLiterals}, {O::RightJustify}},
      {"picture date",
       TFieldKind::Picture,
       pftDate,
       {O::TrimBlanks, O::RightJustify, O::StripLiterals},
       {O::CaretToEnd}},
      {"picture string keeps all", TFieldKind::Picture, pftString, {}, {O::RightJustify, O::StripLiterals}},
      {"yes/no",
       TFieldKind::Picture,
       pftYesNo,
       {O::CaretToEnd, O::InsertPushes, O::ForceInsert, O::TrimBlanks, O::RightJustify, O::StripLiterals},
       {O::RightAlign}},
      {"numeric field",
       TFieldKind::Numeric,
       pftLongInt,
       {O::CaretToEnd, O::ForceInsert, O::InsertPushes, O::TrimBlanks, O::RightJustify, O::StripLiterals,
        O::RightAlign},
       {O::AutoSelect}},
  };
  for (const auto& c : cases) {
    TestField f(intl, c.kind);
    f.SetLoading(true);  // every option on, stored as is
    for (int o = 0; o <= static_cast<int>(O::Uninitialized); ++o) f.SetOption(static_cast<O>(o), true);
    f.SetLoading(false);
    f.AssignDataType(c.type);
    for (O o : c.cleared) EXPECT_FALSE(f.Option(o)) << c.what << " option " << int(o);
    for (O o : c.kept) EXPECT_TRUE(f.Option(o)) << c.what << " option " << int(o);
  }
}

TEST(EntryFieldDataSize, FollowsEveryChange) {
  FakeIntl intl;
  TestField f(intl, TFieldKind::Picture);
  EXPECT_EQ(f.GetDataSize(), 16);
  f.SetMaxLength(20);
  EXPECT_EQ(f.GetDataSize(), 21);
  f.SetMaskText("(999) 999-9999");
  EXPECT_EQ(f.GetDataSize(), 21);
  f.SetOption(O::StripLiterals, true);
  EXPECT_EQ(f.GetDataSize(), 20 - 14 + 10 + 1);
  f.SetLoading(true);
  f.SetMaxLength(14);
  EXPECT_EQ(f.GetDataSize(), 11) << "while loading too";
  f.SetLoading(false);
  f.AssignDataType(pftExtended);
  EXPECT_EQ(f.GetDataSize(), 10);
}

// ---- Value protocol -------------------------------------------------------------

TEST(EntryFieldValues, ViewsSmallerThanTheDataAreRefused) {
  FakeIntl intl;
  TestField f(intl, TFieldKind::Simple, pftLongInt);
  std::vector<std::uint8_t> three(3), four(4, 0);
  auto refused = [](auto&& call) {
    try {
      call();
    } catch (const EVirException& e) {
      return e.Message() == "Parameter value is invalid";
    }
    return false;
  };
  EXPECT_TRUE(refused([&] { f.ValidateAndGetValue(three); }));
  EXPECT_TRUE(refused([&] { f.SetValue(three); }));
  EXPECT_NO_THROW(f.SetValue(four));
  f.AssignDataType(static_cast<TPictureDataType>(20));
  EXPECT_TRUE(refused([&] { f.SetValue(four); })) << "a type beyond 15";
  EXPECT_TRUE(refused([&] { f.ValidateAndGetValue(four); }));
}

TEST(EntryFieldValues, ValidateAndGetValueCopiesOnlyAValidValue) {
  FakeIntl intl;
  TestField f(intl);
  f.SetValueText("abc");
  std::vector<std::uint8_t> data(16, 0xEE);
  EXPECT_EQ(f.ValidateAndGetValue(data), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.data())), "abc");
  std::fill(data.begin(), data.end(), 0xEE);
  f.checkResult = efeOutOfRange;
  EXPECT_EQ(f.ValidateAndGetValue(data), efeOutOfRange);
  EXPECT_EQ(data[0], 0xEE);
}

TEST(EntryFieldValues, SetValueText) {
  FakeIntl intl;
  struct {
    const char* what;
    TPictureDataType type;
    const char* mask;
    const char* text;
    std::vector<std::uint8_t> value;
  } const cases[] = {
      {"string", pftString, "X", "abc", {'a', 'b', 'c', 0}},
      {"yes", pftYesNo, "X", "yes", {1}},
      {"no", pftYesNo, "X", "no", {0}},
      {"empty yes/no", pftYesNo, "X", "", {0}},
      {"true character on yes/no", pftYesNo, "X", "t", {1}},
      {"yes character on boolean", pftBoolean, "X", "y", {1}},
      {"false", pftBoolean, "X", "False", {0}},
      {"word", pftWord, "X", "65535", {0xFF, 0xFF}},
      {"longint", pftLongInt, "X", "-2", {0xFE, 0xFF, 0xFF, 0xFF}},
      {"hex byte", pftByte, "KK", "ff", {0xFF}},
      {"character code", pftChar, "X", "#65", {'A'}},
      {"6-byte real", pftReal, "X", "1", {0x81, 0, 0, 0, 0, 0}},
      {"double", pftDouble, "X", "0.1", {0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x3F}},
      {"comp rounds to even", pftComp, "X", "2.5", {2, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    TestField f(intl, TFieldKind::Picture, c.type);
    f.SetMaskText(c.mask);
    f.SetValueText(c.text);
    std::vector<std::uint8_t> got(f.loaded.begin(), f.loaded.begin() + std::min(f.loaded.size(), c.value.size()));
    EXPECT_EQ(got, c.value) << c.what;
  }
  TestField word(intl, TFieldKind::Simple, pftWord);
  try {
    word.SetValueText("65536");
    ADD_FAILURE() << "65536 taken by a word field";
  } catch (const EEntryFieldError& e) {
    EXPECT_EQ(e.Message(), "Value is not valid for this field type");
  }
}

TEST(EntryFieldValues, LoadsDuringTheFieldsOwnUserValidationAreIgnored) {
  FakeIntl intl;
  TestField f(intl);
  f.SetText("kept");
  f.OnUserValidation = [](EntryFieldModel& sender, std::uint16_t& code) {
    sender.SetValueText("lost");
    std::vector<std::uint8_t> other(16, 'x');
    sender.SetValue(other);
    code = 0;
  };
  EXPECT_TRUE(f.ValidateEntry());
  EXPECT_EQ(f.GetText(), "kept");
  f.SetValueText("taken");  // outside the handler
  EXPECT_EQ(f.GetText(), "taken");
}

TEST(EntryFieldValues, LoadClearsModifiedAndErrorAndFiresNoChange) {
  FakeIntl intl;
  TestField f(intl);
  int changes = 0;
  f.OnChange = [&](EntryFieldModel&) { ++changes; };
  f.Type("ab");
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(f.Modified());
  f.SetOption(O::SoftValidation, true);
  f.checkResult = efeOutOfRange;
  f.ValidateContents(false);
  ASSERT_TRUE(f.InError());
  f.SetValueText("cd");
  EXPECT_FALSE(f.Modified());
  EXPECT_FALSE(f.ModifiedOnce());
  EXPECT_FALSE(f.InError());
  EXPECT_EQ(changes, 2);
}

TEST(EntryFieldRangeTexts, SettersRaiseOrIgnoreWhileLoading) {
  FakeIntl intl;
  TestField word(intl, TFieldKind::Picture, pftWord);
  word.SetRangeHi("65535");
  EXPECT_EQ(word.GetRangeHi(), "65535");
  try {
    word.SetRangeHi("65536");
    ADD_FAILURE();
  } catch (const EInvalidRangeValue& e) {
    EXPECT_EQ(e.Message(), "Invalid range. Enter a value between (0) and (65535)");
  }
  word.SetLoading(true);
  EXPECT_NO_THROW(word.SetRangeHi("65536"));
  EXPECT_EQ(word.GetRangeHi(), "65535");

  TestField real(intl, TFieldKind::Picture, pftReal);
  EXPECT_THROW(real.SetRangeHi("1e39"), EInvalidRangeValue) << "beyond the 6-byte real";
  try {
    real.SetRangeLo("-1.8e38");
    ADD_FAILURE();
  } catch (const EInvalidRangeValue& e) {
    EXPECT_EQ(e.Message(), "Invalid range. Enter a value between (-1.7e+38) and (+1.7e+38)");
  }
  EXPECT_EQ(real.RangeLow(), DefaultRangeLow(pftReal));

  TestField date(intl, TFieldKind::Picture, pftDate);
  try {
    date.SetRangeHi("13/45/2000");
    ADD_FAILURE();
  } catch (const EInvalidRangeValue& e) {
    EXPECT_EQ(e.Message(), "Invalid date range. Enter a value using 'MM/dd/yyyy' as the format");
  }

  TestField longint(intl, TFieldKind::Picture, pftLongInt);
  EXPECT_EQ(longint.GetRangeLo(), "-2147483648");
  TestField hex(intl, TFieldKind::Picture, pftByte);
  hex.SetMaskText("KK");
  EXPECT_EQ(hex.GetRangeHi(), "FF");
  hex.SetRangeHi("7f");
  EXPECT_EQ(hex.GetRangeHi(), "7F");
}

TEST(EntryFieldRangeTexts, DatesReadWithTheEffectiveEpoch) {
  FakeIntl intl;
  FakeController controller;
  controller.epoch = 1950;
  TestField date(intl, TFieldKind::Picture, pftDate);
  date.SetRangeLo("D10");
  EXPECT_EQ(intl.lastEpoch, 0) << "no controller, no epoch";
  date.controller = &controller;
  date.SetRangeLo("D10");
  EXPECT_EQ(intl.lastEpoch, 1950);
  date.SetEpoch(2000);
  date.SetRangeLo("D10");
  EXPECT_EQ(intl.lastEpoch, 2000);
  EXPECT_EQ(date.GetRangeLo(), "D10");
}

// ---- Text, caret and selection -------------------------------------------------------

TEST(EntryFieldCaret, StaysWithinTheText) {
  FakeIntl intl;
  TestField f(intl);
  f.SetText("abcde");
  f.SetCaretPos(3);
  EXPECT_EQ(f.CaretPos(), 0) << "only while focused";
  f.FocusEntered();
  struct {
    int to;
    int caret;
  } const cases[] = {{-5, 0}, {2, 2}, {5, 5}, {6, 5}, {99, 5}};
  for (const auto& c : cases) {
    f.SetCaretPos(c.to);
    EXPECT_EQ(f.CaretPos(), c.caret) << c.to;
  }
}

TEST(EntryFieldCaret, SelectionsAreClampedToTheText) {
  FakeIntl intl;
  struct {
    const char* what;
    std::function<void(TestField&)> select;
    int start, end;
  } const cases[] = {
      {"within", [](TestField& f) { f.SetSelection(1, 3); }, 1, 3},
      {"end past the text", [](TestField& f) { f.SetSelection(1, 99); }, 1, 5},
      {"end before start ignored", [](TestField& f) { f.SetSelection(3, 1); }, 2, 4},
      {"EM_SETSEL all", [](TestField& f) { f.EmSetSel(0, 65535); }, 0, 5},
      {"EM_SETSEL clears", [](TestField& f) { f.EmSetSel(65535, 0); }, 5, 5},
      {"EM_SETSEL past the text", [](TestField& f) { f.EmSetSel(2, 300); }, 2, 5},
      {"EM_SETSEL end before start ignored", [](TestField& f) { f.EmSetSel(4, 1); }, 2, 4},
  };
  for (const auto& c : cases) {
    TestField f(intl);
    f.SetText("abcde");
    f.FocusEntered();  // caret at the end
    f.SetSelection(2, 4);
    c.select(f);
    EXPECT_EQ(f.SelStart(), c.start) << c.what;
    EXPECT_EQ(f.SelEnd(), c.end) << c.what;
  }
  TestField numeric(intl, TFieldKind::Numeric, pftLongInt);
  numeric.SetText("12345");
  numeric.SetSelection(1, 2);
  EXPECT_EQ(numeric.SelStart(), 0);
  EXPECT_EQ(numeric.SelEnd(), 5) << "a numeric field selects all or nothing";
  std::uint32_t start = 9, end = 9;
  EXPECT_EQ(numeric.EmGetSel(&start, &end), 5u << 16);
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 5u);
}

TEST(EntryFieldCaret, ScrollKeepsTheCaretInView) {
  FakeIntl intl;
  auto tenEach = [](std::string_view s) { return 10 * static_cast<int>(s.size()); };
  TestField f(intl);
  f.SetText("abcdefghij");
  f.FocusEntered();  // caret after the last character
  // 50 pixels wide: the text from FirstVisible to the caret must be narrower than 50 - 2 - 1.
  EXPECT_EQ(f.PlaceCaretAndScroll(tenEach, 50), 2 + 40 - 2);
  EXPECT_EQ(f.FirstVisible(), 6);
  f.SetCaretPos(1);
  f.PlaceCaretAndScroll(tenEach, 50);
  EXPECT_EQ(f.FirstVisible(), 0) << "one after the first edit position scrolls home";

  // Too narrow for any character: the scroll stops at the caret.
  f.SetCaretPos(7);
  EXPECT_EQ(f.PlaceCaretAndScroll(tenEach, 3), 2 - 2);
  EXPECT_EQ(f.FirstVisible(), 7);
  f.PlaceCaretAndScroll(tenEach, 0);
  EXPECT_EQ(f.FirstVisible(), 7);

  // UTF-8 text scrolls by whole characters, each 10 pixels wide: never into one.
  auto tenACharacter = [](std::string_view s) { return 10 * static_cast<int>(rtl::CharacterCount(s)); };
  TestField letters(intl);
  letters.SetMaxLength(16);
  letters.SetText("\xC5\x82\xC5\x82\xC5\x82\xC5\x82\xC5\x82\xC5\x82\xC5\x82\xC5\x82");
  letters.FocusEntered();
  letters.PlaceCaretAndScroll(tenACharacter, 50);
  EXPECT_EQ(letters.FirstVisible(), 2 * 4) << "four letters out of view, as with ASCII";
  letters.CharacterUnderMouse(-9);  // 8 pixels a character on average: two steps back
  EXPECT_EQ(letters.FirstVisible(), 2 * 2) << "left of the field: back by whole letters";

  TestField right(intl);
  right.SetOption(O::RightAlign, true);
  right.SetText("abc");
  right.FocusEntered();
  EXPECT_EQ(right.PlaceCaretAndScroll(tenEach, 50), 50 - 30 - 2 + 30 - 2);
  EXPECT_TRUE(right.RightAligned());
  EXPECT_EQ(right.TextOrigin(tenEach, 50), 18);
  right.SetText("abcdefghij");
  right.SetCaretPos(10);
  right.PlaceCaretAndScroll(tenEach, 50);
  EXPECT_FALSE(right.RightAligned()) << "a text as wide as the field is shown left-aligned";

  TestField numeric(intl, TFieldKind::Numeric, pftLongInt);
  numeric.SetText("  42");
  numeric.FocusEntered();
  EXPECT_EQ(numeric.PlaceCaretAndScroll(tenEach, 50), 50 - 2 - 1);
  EXPECT_EQ(numeric.TextOrigin(tenEach, 50), 50 - 20 - 2);
}

// ---- Commands, keys and the clipboard ------------------------------------------------------

TEST(EntryFieldCommands, ReadOnlyRefusesEditingWithABeep) {
  FakeIntl intl;
  struct {
    std::uint16_t command;
    bool refused;
  } const cases[] = {
      {ccBack, true},   {ccCtrlChar, true}, {ccCut, true},     {ccDec, true},     {ccDel, true},
      {ccDelBol, true}, {ccDelEol, true},   {ccDelLine, true}, {ccDelWord, true}, {ccInc, true},
      {ccPaste, true},  {ccRestore, true},  {ccChar, true},    {ccLeft, false},   {ccRight, false},
      {ccHome, false},  {ccEnd, false},     {ccCopy, false},   {ccIns, false},    {efc::MouseDown, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RefusedWhenReadOnly(c.command), c.refused) << c.command;
    TestField f(intl);
    f.SetText("abc");
    f.SetOption(O::ReadOnly, true);
    f.FocusEntered();
    TEditMsg msg;
    msg.ch = 'x';
    msg.text = "pasted";
    f.ExecuteCommand(msg, c.command);
    EXPECT_EQ(f.GetText(), "abc") << c.command;
    EXPECT_EQ(f.beeps, c.refused ? 1 : 0) << c.command;
    EXPECT_EQ(f.edits.empty(), c.refused) << c.command;
  }
  TestField quiet(intl);
  quiet.SetOption(O::ReadOnly, true);
  quiet.SetOption(O::BeepOnError, false);
  TEditMsg msg;
  quiet.ExecuteCommand(msg, ccBack);
  EXPECT_EQ(quiet.beeps, 0);
}

TEST(EntryFieldCommands, KeysOnAReadOnlyField) {
  FakeIntl intl;
  TestField f(intl);
  f.SetText("abcd");
  f.SetOption(O::ReadOnly, true);
  f.FocusEntered();  // all selected, caret at the end
  EXPECT_TRUE(f.KeyCommand(ccCut));
  EXPECT_EQ(f.GetText(), "abcd");
  EXPECT_EQ(f.beeps, 1);
  f.clipboard = "zz";
  f.KeyCommand(ccPaste);
  f.KeyCommand(ccBack);
  f.KeyCommand(ccUndo);  // becomes ccRestore, refused too
  f.KeyCommand(ccNotCommand);
  f.CharTyped('q');
  EXPECT_EQ(f.GetText(), "abcd");
  EXPECT_EQ(f.beeps, 5);
  f.KeyCommand(ccLeft);
  EXPECT_EQ(f.CaretPos(), 3) << "arrows still move";
  f.SetSelection(1, 3);
  f.KeyCommand(ccCopy);
  EXPECT_EQ(f.clipboard, "bc") << "Ctrl+C still copies";
}

TEST(EntryFieldCommands, TypedCharactersArriveAfterTheirKey) {
  FakeIntl intl;
  TestField f(intl);
  f.FocusEntered();
  f.CharTyped('x');
  EXPECT_EQ(f.GetText(), "") << "a character without its key";
  EXPECT_FALSE(f.KeyCommand(ccNone)) << "no command: the platform's";
  f.KeyCommand(ccNotCommand);
  f.CharTyped('a');
  f.CharTyped('b');
  EXPECT_EQ(f.GetText(), "a") << "one key, one character";
  f.SysKeyCommand(ccNotCommand, true);  // Alt+keypad code
  f.CharTyped(U'\u00e9');
  EXPECT_EQ(f.GetText(), "a\xe9");
  f.KeyCommand(ccNotCommand);
  f.CharTyped(0);
  EXPECT_EQ(f.edits.back(), ccNotCommand) << "character 0 is dropped";
}

TEST(EntryFieldCommands, UndoRestoresTheTextOfFocusEntry) {
  FakeIntl intl;
  TestField f(intl);
  f.SetText("start");
  f.FocusEntered();
  f.KeyCommand(ccEnd);
  f.KeyCommand(ccNotCommand);
  f.CharTyped('!');
  EXPECT_EQ(f.GetText(), "start!");
  f.KeyCommand(ccUndo);
  EXPECT_EQ(f.GetText(), "start");
  EXPECT_FALSE(f.Modified());
  EXPECT_EQ(f.SelectionLength(), 5);
  f.KeyCommand(ccDel);
  f.KeyCommand(ccUndo);
  EXPECT_EQ(f.GetText(), "start") << "a second undo restores the same text";
}

TEST(EntryFieldCommands, InsIgnoredWhileForced) {
  FakeIntl intl;
  TestField f(intl);
  f.SetOption(O::ForceInsert, true);
  f.FocusEntered();
  EXPECT_TRUE(f.InsertMode());
  EXPECT_TRUE(f.KeyCommand(ccIns));
  EXPECT_TRUE(f.InsertMode());
  EXPECT_TRUE(f.edits.empty());
  f.SetOption(O::ForceInsert, false);
  f.KeyCommand(ccIns);
  EXPECT_FALSE(f.InsertMode());
}

TEST(EntryFieldCommands, UserCommandsFireTheirEvent) {
  FakeIntl intl;
  TestField f(intl);
  f.SetText("same");
  std::vector<std::uint16_t> fired;
  f.OnUserCommand = [&](EntryFieldModel&, std::uint16_t command) { fired.push_back(command); };
  f.KeyCommand(300);
  EXPECT_EQ(fired, std::vector<std::uint16_t>{300});
  EXPECT_EQ(f.edits, std::vector<std::uint16_t>{efc::Handled});
  EXPECT_EQ(f.GetText(), "same");
}

TEST(EntryFieldClipboard, CopiesTheDisplayWithControlCharactersAsThemselves) {
  FakeIntl intl;
  TestField f(intl);
  f.SetText(
      "a\x01"
      "bc");
  f.FocusEntered();
  EXPECT_EQ(f.GetDisplayString(), "aAbc");
  f.SetSelection(0, 3);
  EXPECT_EQ(f.SelectionForClipboard(),
            "a\x01"
            "b");
  f.SetSelection(2, 2);
  f.CopyToClipboard();
  EXPECT_FALSE(f.clipboard) << "an empty selection copies nothing";
  f.SetText("ab");  // shorter than the old selection
  f.SetSelection(0, 99);
  EXPECT_EQ(f.SelectionForClipboard(), "ab");
  f.clipboard.reset();
  f.PasteFromClipboard();
  EXPECT_EQ(f.GetText(), "ab") << "no clipboard text, no paste";
  f.SetWindowText("new");
  EXPECT_EQ(f.GetText(), "new") << "the window text replaces the whole text";
}

TEST(EntryFieldClipboard, ContextMenuEnabledItems) {
  FakeIntl intl;
  struct {
    const char* what;
    bool readOnly;
    int selStart, selEnd;
    bool typed;
    bool clipboard;
    TContextMenuState items;
  } const cases[] = {
      {"whole text selected", false, 0, 4, false, true, {false, true, true, true, true, false}},
      {"empty selection", false, 2, 2, false, false, {false, false, false, false, false, true}},
      {"part selected, modified", false, 1, 3, true, true, {true, true, true, true, true, true}},
      {"read-only", true, 1, 3, false, true, {false, false, true, false, false, true}},
  };
  for (const auto& c : cases) {
    TestField f(intl);
    f.SetText("abcd");
    f.SetOption(O::ReadOnly, c.readOnly);
    f.FocusEntered();
    if (c.typed) f.EmSetModify(true);
    f.SetSelection(c.selStart, c.selEnd);
    EXPECT_EQ(f.ContextMenuState(c.clipboard), c.items) << c.what;
  }
}

// ---- Display and painting ---------------------------------------------------------------

TEST(EntryFieldDisplay, ZeroHiddenUntilFocused) {
  FakeIntl intl;
  struct {
    const char* what;
    TPictureDataType type;
    TZeroDisplay mode;
    const char* text;
    double zero;
    bool modified;
    bool focused;
    const char* shown;
  } const cases[] = {
      {"hidden", pftLongInt, zdHide, "  0", 0, false, false, "   "},
      {"focused", pftLongInt, zdHide, "  0", 0, false, true, "  0"},
      {"shown", pftLongInt, zdShow, "  0", 0, false, false, "  0"},
      {"not zero", pftLongInt, zdHide, " 10", 0, false, false, " 10"},
      {"until modified", pftDouble, zdHideUntilModified, "0.00", 0, false, false, "    "},
      {"after a modification", pftDouble, zdHideUntilModified, "0.00", 0, true, false, "0.00"},
      {"another zero value", pftDouble, zdHide, "5,0", 5, false, false, "   "},
      {"not a number", pftLongInt, zdHide, "abc", 0, false, false, "abc"},
      {"strings show all", pftString, zdHide, "0", 0, false, false, "0"},
  };
  intl.decimal = ',';
  for (const auto& c : cases) {
    TestField f(intl, TFieldKind::Simple, c.type);
    f.SetText(c.text);
    f.SetZeroDisplay(c.mode);
    f.SetZeroDisplayValue(c.zero);
    if (c.modified) f.EmSetModify(true);
    if (c.focused) f.FocusEntered();
    EXPECT_EQ(f.GetDisplayText(), c.shown) << c.what;
  }
}

TEST(EntryFieldDisplay, PaintRunsAndState) {
  FakeIntl intl;
  TestField f(intl);
  f.SetText(
      "ab\x02"
      "cde");
  using R = TPaintRun;
  EXPECT_EQ(f.PaintRuns(), (std::vector<R>{{0, 2, R::Text}, {2, 1, R::ControlChar}, {3, 3, R::Text}}));
  f.FocusEntered();
  f.SetSelection(1, 4);
  EXPECT_EQ(f.PaintRuns(), (std::vector<R>{{0, 1, R::Text}, {1, 3, R::Selected}, {4, 2, R::Text}}));
  f.SetSelection(0, 0);
  f.SetFirstVisible(3);
  EXPECT_EQ(f.PaintRuns(), (std::vector<R>{{3, 3, R::Text}}));

  EXPECT_EQ(f.PaintState(), TPaintState::Normal);
  f.SetOption(O::SoftValidation, true);
  f.checkResult = efeInvalidForType;
  f.ValidateContents(false);
  EXPECT_EQ(f.PaintState(), TPaintState::Error);
  f.enabled = false;
  EXPECT_EQ(f.PaintState(), TPaintState::Disabled);
}

// ---- Validation and reports -------------------------------------------------------------

TEST(EntryFieldValidation, RequiredEmptyFieldFailsAndAsksForTheFocus) {
  FakeIntl intl;
  TestField a(intl), b(intl);
  TestForm form({&a, &b});
  a.SetOption(O::InputRequired, true);
  form.Focus(&a);
  form.Focus(&b);  // Tab
  EXPECT_EQ(a.LastError(), efeRequired);
  EXPECT_TRUE(form.controller.errorPending);
  EXPECT_EQ(form.focused, &b) << "the focus moves on first";
  form.Deliver();
  EXPECT_EQ(form.focused, &a) << "then comes back";
  EXPECT_EQ(form.controller.errors, std::vector<std::string>{"258 A value is required in this field"});
  EXPECT_FALSE(form.controller.errorPending) << "the failing field took the focus back";
  EXPECT_EQ(form.controller.errorText, "A value is required in this field");

  // Typed in and left again: valid now.
  a.KeyCommand(ccNotCommand);
  a.CharTyped('x');
  form.Focus(&b);
  form.Deliver();
  EXPECT_EQ(form.focused, &b);
  EXPECT_EQ(form.controller.errors.size(), 1u);
}

TEST(EntryFieldValidation, TwoFailingFieldsGiveOneReport) {
  FakeIntl intl;
  TestField a(intl), b(intl), c(intl);
  TestForm form({&a, &b, &c});
  a.SetOption(O::InputRequired, true);
  b.SetOption(O::InputRequired, true);
  form.Focus(&a);
  form.Focus(&b);
  form.Focus(&c);  // before the posted messages run
  form.Deliver();
  EXPECT_EQ(form.controller.errors, std::vector<std::string>{"258 A value is required in this field"});
  EXPECT_EQ(form.focused, &a);
  EXPECT_EQ(b.LastError(), 0) << "passed through while the report was on its way";
}

TEST(EntryFieldValidation, SpecialButtonsDoNotReport) {
  FakeIntl intl;
  TestField a(intl);
  TestForm form({&a});
  a.SetOption(O::InputRequired, true);
  a.checkResult = efeOutOfRange;
  form.Focus(&a);
  form.FocusButton(true);  // cancel, help or restore
  form.Deliver();
  EXPECT_TRUE(form.controller.errors.empty());
  EXPECT_EQ(form.focused, nullptr);
  form.Focus(&a);
  form.FocusButton(false);  // any other button
  form.Deliver();
  EXPECT_EQ(form.controller.errors.size(), 1u);
  EXPECT_EQ(form.focused, &a);
}

TEST(EntryFieldValidation, SoftValidationLetsTheFocusGo) {
  FakeIntl intl;
  TestField a(intl), b(intl);
  TestForm form({&a, &b});
  a.SetOption(O::InputRequired, true);
  a.SetOption(O::SoftValidation, true);
  form.Focus(&a);
  form.Focus(&b);
  form.Deliver();
  EXPECT_EQ(form.focused, &b);
  EXPECT_TRUE(form.controller.errors.empty());
  EXPECT_TRUE(a.InError());
  EXPECT_EQ(a.PaintState(), TPaintState::Error);
  EXPECT_FALSE(a.ValidateEntry()) << "asked for, the check still fails";
}

TEST(EntryFieldValidation, FieldsThatAlwaysValidate) {
  FakeIntl intl;
  struct {
    const char* what;
    std::function<void(TestField&)> setup;
  } const cases[] = {
      {"read-only", [](TestField& f) { f.SetOption(O::ReadOnly, true); }},
      {"disabled", [](TestField& f) { f.enabled = false; }},
      {"invisible", [](TestField& f) { f.visible = false; }},
  };
  for (const auto& c : cases) {
    TestField f(intl);
    FakeController controller;
    f.controller = &controller;
    f.SetOption(O::InputRequired, true);
    c.setup(f);
    EXPECT_TRUE(f.Validate(true)) << c.what;
    EXPECT_FALSE(controller.errorPending) << c.what;
  }
  TestField uninitialized(intl);
  uninitialized.SetText("text");
  uninitialized.SetOption(O::InputRequired, true);
  uninitialized.SetOption(O::Uninitialized, true);
  EXPECT_EQ(uninitialized.ValidateContents(false), efeRequired) << "an uninitialised field holds no value yet";
  uninitialized.EmSetModify(true);
  EXPECT_EQ(uninitialized.ValidateContents(false), 0);
}

TEST(EntryFieldValidation, ReportTexts) {
  FakeIntl intl;
  struct {
    std::uint16_t code;
    const char* stored;
    const char* shown;  // nullptr: no report
  } const cases[] = {
      {256, "", "Value is not within required range"},
      {262, "", "This field should be either empty or completely full"},
      {300, "old", "Entry Error"},
      {40000, "Weight must be positive", "Weight must be positive"},
      {0, "", nullptr},
  };
  for (const auto& c : cases) {
    TestField f(intl);
    FakeController controller;
    controller.errorText = c.stored;
    f.controller = &controller;
    std::vector<std::string> events;
    f.OnError = [&](EntryFieldModel&, std::uint16_t code, const std::string& text) {
      events.push_back(std::to_string(code) + " " + text);
    };
    f.ReportError(c.code);
    if (c.shown == nullptr) {
      EXPECT_TRUE(events.empty());
    } else {
      EXPECT_EQ(events, std::vector<std::string>{std::to_string(c.code) + " " + c.shown});
      EXPECT_EQ(controller.errorText, c.shown);
    }
    EXPECT_TRUE(controller.errors.empty()) << "OnError takes the report from the controller";
  }
}

TEST(EntryFieldValidation, UserValidationCodesReachTheReport) {
  FakeIntl intl;
  for (std::uint16_t code : {std::uint16_t{300}, std::uint16_t{40000}}) {
    TestField a(intl), b(intl);
    TestForm form({&a, &b});
    form.controller.errorText = "Stored by the application";
    a.OnUserValidation = [code](EntryFieldModel&, std::uint16_t& c) { c = code; };
    form.Focus(&a);
    form.Focus(&b);
    form.Deliver();
    std::string expected = code == 300 ? "Entry Error" : "Stored by the application";
    EXPECT_EQ(form.controller.errors, std::vector<std::string>{std::to_string(code) + " " + expected});
  }
}

TEST(EntryFieldValidation, OnDemandCheckReportsWithoutRefocus) {
  FakeIntl intl;
  TestField a(intl), b(intl);
  TestForm form({&a, &b});
  a.checkResult = efeOutOfRange;
  form.Focus(&b);
  EXPECT_EQ(a.ValidateContents(true), efeOutOfRange);
  EXPECT_FALSE(form.controller.errorPending);
  form.Deliver();
  EXPECT_EQ(form.focused, &b);
  EXPECT_EQ(form.controller.errors, std::vector<std::string>{"256 Value is not within required range"});
  EXPECT_FALSE(a.InError()) << "without SoftValidation the field is not marked";
}

TEST(EntryFieldValidation, WithoutAControllerAFailureRaises) {
  FakeIntl intl;
  TestField f(intl);
  f.SetOption(O::InputRequired, true);
  EXPECT_THROW(f.Validate(true), ENoControllerAssigned);
  EXPECT_THROW(f.ReportError(258), ENoControllerAssigned);
}

// ---- Focus -----------------------------------------------------------------------------

TEST(EntryFieldFocus, EntrySelectsAndTakesTheRestoreCopy) {
  FakeIntl intl;
  TestField a(intl), b(intl);
  TestForm form({&a, &b});
  a.SetText("hello");
  form.Focus(&a);
  EXPECT_EQ(a.CaretPos(), 5) << "CaretToEnd";
  EXPECT_EQ(a.SelectionLength(), 5) << "AutoSelect";
  a.SetOption(O::CaretToEnd, false);
  a.SetOption(O::AutoSelect, false);
  form.Focus(&b);
  EXPECT_EQ(a.CaretPos(), 0) << "leaving resets the scroll and caret";
  a.SetSelection(2, 2);
  form.Focus(&a);
  EXPECT_EQ(a.CaretPos(), 0);
  EXPECT_EQ(a.SelectionLength(), 0);
  form.FocusButton(false);
  form.controller.insertMode = false;
  form.Focus(&b);
  EXPECT_FALSE(b.InsertMode()) << "the form's insert mode";
  b.KeyCommand(ccIns);
  form.Focus(&a);
  EXPECT_TRUE(form.controller.insertMode) << "handed back on exit";
}

TEST(EntryFieldFocus, AClickKeepsTheCaretWhereItIs) {
  FakeIntl intl;
  TestField a(intl), b(intl);
  TestForm form({&a, &b});
  b.SetText("hello");
  form.Focus(&a);
  b.LeftButtonDown(20, 5);  // takes the focus
  EXPECT_EQ(form.focused, &b);
  EXPECT_EQ(b.CaretPos(), 0) << "the click places the caret, not the entry rule";
  EXPECT_EQ(b.SelectionLength(), 0);
  b.LeftButtonDown(20, 5);
  EXPECT_EQ(b.edits.back(), efc::MouseDown) << "on the focused field the editor gets the click";
}

TEST(EntryFieldFocus, LeavingModifiedClearsUninitialized) {
  FakeIntl intl;
  TestField a(intl), b(intl);
  TestForm form({&a, &b});
  a.SetOption(O::Uninitialized, true);
  form.Focus(&a);
  form.Focus(&b);
  EXPECT_TRUE(a.Option(O::Uninitialized));
  form.Focus(&a);
  a.KeyCommand(ccNotCommand);
  a.CharTyped('1');
  form.Focus(&b);
  EXPECT_FALSE(a.Option(O::Uninitialized));
}

TEST(EntryFieldSpinner, StepsClearTheSelection) {
  FakeIntl intl;
  TestField f(intl);
  f.SetText("12");
  f.FocusEntered();
  ASSERT_EQ(f.SelectionLength(), 2);
  f.IncreaseValue(false, 1);
  f.DecreaseValue(true, 1);
  EXPECT_EQ(f.increments, 2);
  EXPECT_EQ(f.SelectionLength(), 0);
  f.MoveCaret(-2);
  EXPECT_EQ(f.CaretPos(), 0);
  f.MoveCaret(1);
  EXPECT_EQ(f.CaretPos(), 1);
}

}  // namespace

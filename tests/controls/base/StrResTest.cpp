#include "controls/base/StrRes.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "TestResources.h"
#include "platform/Resources.h"

namespace {

// ---- The library catalogue ------------------------------------------------

const char* const kCommandNames[76] = {
    "ccNone",         "ccBack",         "ccBotOfPage",    "ccBotRightCell", "ccCompleteDate", "ccCompleteTime",
    "ccCopy",         "ccCtrlChar",     "ccCut",          "ccDec",          "ccDel",          "ccDelBol",
    "ccDelEol",       "ccDelLine",      "ccDelWord",      "ccDown",         "ccEnd",          "ccExtendDown",
    "ccExtendEnd",    "ccExtendHome",   "ccExtendLeft",   "ccExtendPgDn",   "ccExtendPgUp",   "ccExtendRight",
    "ccExtendUp",     "ccExtBotOfPage", "ccExtFirstPage", "ccExtLastPage",  "ccExtTopOfPage", "ccExtWordLeft",
    "ccExtWordRight", "ccFirstPage",    "ccGotoMarker0",  "ccGotoMarker1",  "ccGotoMarker2",  "ccGotoMarker3",
    "ccGotoMarker4",  "ccGotoMarker5",  "ccGotoMarker6",  "ccGotoMarker7",  "ccGotoMarker8",  "ccGotoMarker9",
    "ccHome",         "ccInc",          "ccIns",          "ccLastPage",     "ccLeft",         "ccNewLine",
    "ccNextPage",     "ccPageLeft",     "ccPageRight",    "ccPaste",        "ccPrevPage",     "ccRedo",
    "ccRestore",      "ccRight",        "ccScrollDown",   "ccScrollUp",     "ccSetMarker0",   "ccSetMarker1",
    "ccSetMarker2",   "ccSetMarker3",   "ccSetMarker4",   "ccSetMarker5",   "ccSetMarker6",   "ccSetMarker7",
    "ccSetMarker8",   "ccSetMarker9",   "ccTab",          "ccTableEdit",    "ccTopLeftCell",  "ccTopOfPage",
    "ccUndo",         "ccUp",           "ccWordLeft",     "ccWordRight",
};

TEST(LibraryCatalogue, CommandNamesStandUnderTheirCodes) {
  for (int code = 0; code < 75; ++code) {
    EXPECT_EQ(GetLibraryString(static_cast<std::uint16_t>(33768 + code)), kCommandNames[code]) << "code " << code;
  }
  // The last command's name stands apart, and its neighbour's place is empty.
  EXPECT_EQ(GetLibraryString(32843), "ccWordRight");
  EXPECT_EQ(GetLibraryString(33843), "");
}

struct TextRun {
  std::uint16_t firstId;
  std::vector<std::string> texts;
};

const TextRun kTextRuns[] = {
    {34068,
     {"String", "Char", "Boolean", "YesNo", "LongInt", "Word", "SmallInt", "Byte", "ShortInt", "Real", "Extended",
      "Double", "Single", "Comp", "Date", "Time"}},
    {34168,
     {"Unknown Error condition",
      "Duplicate command found while adding a new command to the table",
      "Command table not found or command table index out of range",
      "This feature is not implemented at this time",
      "No Controller assigned",
      "Unable to create command table",
      "Can't delete this table. Must have at least one command table defined",
      "Invalid or no key sequence entered",
      "Keys entered are not WordStar style commands",
      "No command selected",
      "Duplicate key sequence",
      "Value is not within required range",
      "Value is not valid for this field type",
      "A value is required in this field",
      "Value is not a valid date",
      "Value is not a valid time",
      "This field should contain no blanks",
      "This field should be either empty or completely full",
      "Region is too large (> 64K)",
      "Could not allocate memory for clipboard copy",
      "Parameter value is invalid",
      "No Window's timers are available",
      "Too many trigger events",
      "Invalid trigger handle",
      "OnSelect event is not assigned",
      "Invalid page index value",
      "Invalid data type for this field",
      "Invalid font. toRight oriented tabs require a True-Type font",
      "Invalid font. Rotated text requires a True-Type font",
      "insufficient memory for requested operation",
      "Current operation will exceed the maximum number of allowed paragraphs",
      "Cannot join paragraphs. New paragraph size exceeds maximum paragraph size",
      "Current operation will exceed the maximum editor text size",
      "Current operation will exceed the maximum paragraph size",
      "Invalid picture mask: %s",
      "Invalid range. Enter a value between (%d) and (%d)",
      "Invalid range. Enter a value between (-1.7e+38) and (+1.7e+38)",
      "Invalid range. Enter a value between (-1.1e+4932) and (+1.1e+4932)",
      "Invalid range. Enter a value between (-1.7e+308) and (+1.7e+308)",
      "Invalid range. Enter a value between (-3.4e+38) and (+3.4e+38)",
      "Invalid range. Enter a value between (-9.2e+18) and (+9.2e+18)",
      "Invalid date range. Enter a value using '%s' as the format",
      "Invalid time range. Enter a value using '%s' as the format",
      "Invalid range value",
      "Range limits for the currently selected data type are not supported",
      "Invalid line or paragraph index",
      "Invalid font assignment. Font must be a fixed font",
      "Invalid font assignemnt. Font must be a TFont or TVirFixedFont",
      "Invalid line or column",
      "Unknown sparse array error",
      "Sparse array is at the maximum size",
      "Index is out of bounds for sparse array",
      "VirTable: %s",
      "has maximum number of columns already",
      "has maximum number of rows already",
      "row number out of bounds",
      "Requested field type is not supported",
      "Invalid alarm handle",
      "OnIsSelected event is not assigned",
      "Invalid date value for picture mask. (Year is outside the Epoch range)"}},
    {34268,
     {"(None)",
      "ccUser",
      "ccUser%d",
      "Delete the %s table?",
      "Rename Table",
      "Enter new table name for %s:",
      "NewTable",
      "Default",
      "WordStar",
      "(Unknown)",
      "Entry Error",
      "%d. *** Warning *** OnGetItem not assigned!",
      "%d. - Sample virtual list box item",
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz",
      "Wy",
      "Default",
      "Grid",
      " - Desc",
      "(Default)",
      "&Restore",
      "Cu&t",
      "&Copy",
      "&Paste",
      "&Delete",
      "Select &All"}},
    {34368, {"Y", "N", "T", "F"}},
    {34468, {"X  any character", "!  any char (upper)"}},
    {34491, {"8  User 8"}},
    {34493, {"9999999999          Allows entry of 0 through 9, and space"}},
};

TEST(LibraryCatalogue, TextsStandUnderTheirIds) {
  for (const TextRun& run : kTextRuns) {
    for (std::size_t i = 0; i < run.texts.size(); ++i) {
      std::uint16_t id = static_cast<std::uint16_t>(run.firstId + i);
      EXPECT_EQ(GetLibraryString(id), run.texts[i]) << "id " << id;
    }
  }
}

// Ranges whose wording is ours: each id holds a text, and the sample masks keep
// their layout (the mask, blanks to column 21, a description).
TEST(LibraryCatalogue, FreelyWordedRangesAreFilled) {
  struct Range {
    std::uint16_t first, last;
    bool sampleMask;
  };
  const Range ranges[] = {{34228, 34240, false}, {34468, 34491, false}, {34493, 34510, true}, {34518, 34541, true}};
  for (const Range& r : ranges) {
    for (std::uint16_t id = r.first; id <= r.last; ++id) {
      std::string text = GetLibraryString(id);
      ASSERT_FALSE(text.empty()) << "id " << id;
      if (r.sampleMask) {
        ASSERT_GT(text.size(), 20u) << "id " << id;
        EXPECT_NE(text[0], ' ') << "id " << id;
        EXPECT_EQ(text[19], ' ') << "id " << id;
        EXPECT_NE(text[20], ' ') << "id " << id;
      }
    }
  }
}

// The catalogue holds exactly the 260 texts of its ranges: nothing between
// them (34000, 34084, 34492, 34511..34517 ...) and nothing left out.
TEST(LibraryCatalogue, HoldsExactlyItsRanges) {
  int texts = 0;
  for (std::uint32_t id = 0; id <= 0xFFFF; ++id) {
    if (!GetLibraryString(static_cast<std::uint16_t>(id)).empty()) ++texts;
  }
  EXPECT_EQ(texts, 260);
  for (std::uint16_t gap : {34000, 34084, 34167, 34241, 34492, 34511, 34517, 34542}) {
    EXPECT_EQ(GetLibraryString(gap), "") << "id " << gap;
  }
}

TEST(StringTables, ReaderMessages) {
  struct Case {
    const char* table;
    std::uint32_t id;
    const char* text;
  };
  const Case cases[] = {
      {"SRMGR_STRINGS", 1, "String not found: %d"},          {"SRMGR_STRINGS", 2, "Cannot lock resource"},
      {"SRMGR_STRINGS", 3, "String resource not found: %s"}, {"SRMGR_STRINGS", 4, "Unable to open string resource: %s"},
      {"SRMGR_STRINGS", 5, "Invalid TPString resource"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TpsStringResource(c.table).GetStringById(c.id), c.text) << c.table << " " << c.id;
  }
}

// ---- The reader -------------------------------------------------------------

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const ETpsStringResourceError& e) {
    return e.Message();
  }
  return "(no error)";
}

TEST(StringResourceReader, MissingIdsAndMissingResources) {
  RegisterLibraryStringTables();
  TpsStringResource catalogue("vireo_strings_English");  // names compare without regard to case
  EXPECT_EQ(catalogue.GetStringById(34172), "No Controller assigned");
  EXPECT_EQ(catalogue.GetStringById(34000), "");
  EXPECT_EQ(catalogue.GetStringById(0xFFFFFFFF), "");

  catalogue.RaiseOnMissing = true;
  EXPECT_EQ(ErrorOf([&] { catalogue.GetStringById(34000); }), "String not found: 34000");
  EXPECT_EQ(ErrorOf([&] { catalogue.GetStringById(4000000000u); }), "String not found: 4000000000");

  EXPECT_EQ(ErrorOf([] { TpsStringResource r("NO_SUCH_TABLE"); }), "String resource not found: NO_SUCH_TABLE");
  EXPECT_EQ(ErrorOf([] { TpsStringResource r(std::string(256, 'A')); }),
            "String resource not found: " + std::string(256, 'A'));
  EXPECT_EQ(ErrorOf([] { TpsStringResource().GetStringById(1); }), "Cannot lock resource");
}

// A table built by an independent tool, read back text by text, and the same
// table made by the build's generator, byte for byte.
TEST(StringResourceReader, ReadsAnIndependentlyBuiltTable) {
  RegisterSampleStringTables();
  RegisterTestResource("SAMPLE_STRINGS_REFERENCE", ReadFixture("SAMPLE_STRINGS.str0"));

  auto generated = plat::FindResource("SAMPLE_STRINGS");
  ASSERT_TRUE(generated.has_value());
  std::vector<std::uint8_t> reference = ReadFixture("SAMPLE_STRINGS.str0");
  EXPECT_EQ(std::vector<std::uint8_t>(generated->begin(), generated->end()), reference);

  TpsStringResource reader("SAMPLE_STRINGS_REFERENCE");
  std::vector<std::uint8_t> expectedBytes = ReadFixture("SAMPLE_STRINGS.expected");
  std::istringstream expected(std::string(expectedBytes.begin(), expectedBytes.end()));
  std::string line;
  int lines = 0;
  while (std::getline(expected, line)) {
    std::istringstream fields(line);
    std::uint32_t id = 0;
    std::string hex;
    fields >> id >> hex;
    std::string text;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
      text += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    EXPECT_EQ(reader.GetStringById(id), text) << "id " << id;
    ++lines;
  }
  EXPECT_EQ(lines, 11);
  EXPECT_EQ(reader.GetStringById(1), "");
}

// A small well-formed table: ids 10 and 20 with texts "ab" and "c".
std::vector<std::uint8_t> SmallTable() {
  return {'S', 'T', 'R', '0', 2,   0, 0, 0,              // magic, count
          10,  0,   0,   0,   32,  0, 0, 0, 2, 0, 0, 0,  // id 10 at 32, 2 units
          20,  0,   0,   0,   36,  0, 0, 0, 1, 0, 0, 0,  // id 20 at 36, 1 unit
          'a', 0,   'b', 0,   'c', 0};
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<std::uint8_t>(value >> (8 * k));
}

TEST(StringResourceReader, SmallTableReadsBothEnds) {
  RegisterTestResource("SMALL_TABLE", SmallTable());
  TpsStringResource reader("SMALL_TABLE");
  EXPECT_EQ(reader.GetStringById(10), "ab");
  EXPECT_EQ(reader.GetStringById(20), "c");
  for (std::uint32_t absent : {0u, 9u, 11u, 19u, 21u, 0xFFFFFFFFu}) EXPECT_EQ(reader.GetStringById(absent), "");
}

// Damaged tables are refused when opened, and the reader keeps the table it
// had. Each is registered in an allocation of its exact size, so a read past
// its end fails under AddressSanitizer.
TEST(StringResourceReader, RefusesDamagedTables) {
  struct Case {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> damage;
  };
  const Case cases[] = {
      {"BAD_MAGIC", [](auto& b) { b[3] = '1'; }},
      {"NO_BYTES", [](auto& b) { b.clear(); }},
      {"MAGIC_ONLY", [](auto& b) { b.resize(4); }},
      {"EMPTY_TABLE", [](auto& b) { b = {'S', 'T', 'R', '0', 0, 0, 0, 0}; }},
      {"TRUNCATED_INDEX", [](auto& b) { b.resize(8 + 12 + 6); }},
      {"COUNT_TOO_LARGE", [](auto& b) { PutU32(b, 4, 3); }},
      {"COUNT_HUGE", [](auto& b) { PutU32(b, 4, 0xFFFFFFFF); }},
      {"OFFSET_PAST_END", [](auto& b) { PutU32(b, 24, 38); }},
      {"OFFSET_WRAPS", [](auto& b) { PutU32(b, 24, 0xFFFFFFFE); }},
      {"LENGTH_PAST_END", [](auto& b) { PutU32(b, 28, 2); }},
      {"LENGTH_HUGE", [](auto& b) { PutU32(b, 16, 0x80000000); }},
      {"TEXT_INSIDE_INDEX", [](auto& b) { PutU32(b, 12, 4); }},
      {"TEXTS_CUT_OFF", [](auto& b) { b.pop_back(); }},
      {"IDS_DESCENDING", [](auto& b) { PutU32(b, 20, 5); }},
      {"IDS_TWICE", [](auto& b) { PutU32(b, 20, 10); }},
  };
  RegisterTestResource("GOOD_TABLE", SmallTable());
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bytes = SmallTable();
    c.damage(bytes);
    RegisterTestResource(c.name, bytes);
    TpsStringResource reader("GOOD_TABLE");
    EXPECT_EQ(ErrorOf([&] { reader.Open(c.name); }), "Invalid TPString resource") << c.name;
    EXPECT_EQ(reader.GetStringById(10), "ab") << c.name;
  }
}

// ---- The alphabetic set -------------------------------------------------------

TEST(AlphaCharSet, MatchesTheLettersOfTheWesternCodePage) {
  std::vector<std::uint8_t> listed = ReadFixture("alpha1252.txt");
  std::istringstream in(std::string(listed.begin(), listed.end()));
  std::bitset<256> expected;
  for (int b; in >> b;) expected.set(static_cast<std::size_t>(b));
  ASSERT_TRUE(expected.test(233));
  EXPECT_EQ(AlphaCharSet(), expected);
  EXPECT_FALSE(AlphaCharSet().test('_'));
  EXPECT_FALSE(AlphaCharSet().test('5'));
}

}  // namespace

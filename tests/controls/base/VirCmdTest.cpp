#include "controls/base/VirCmd.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "controls/base/VirExcept.h"
#include "rtl/TextFile.h"

namespace {

namespace vk = plat::vk;
using plat::ssAlt;
using plat::ssCtrl;
using plat::ssShift;

// ---- translation ----

struct Key {
  int key;
  plat::ShiftState shift;
  std::uint16_t expected;
};

enum class Setup { DefaultOnly, WordStarFirst, GridByName };

struct TranslationCase {
  const char* name;
  Setup setup;
  std::vector<Key> keys;
};

// The built-in table `name` as a fresh, active table.
std::unique_ptr<TVirCommandTable> BuiltIn(const char* name) {
  return std::make_unique<TVirCommandTable>(name, *BuiltInCommands(name), true);
}

const TranslationCase kTranslations[] = {
    {"DefaultCutCopyPaste",
     Setup::DefaultOnly,
     {{'X', ssCtrl, ccCut}, {vk::Delete, ssShift, ccCut}, {vk::Insert, ssCtrl, ccCopy}, {'V', ssCtrl, ccPaste}}},
    {"DefaultPlainKeysAreNoCommand",
     Setup::DefaultOnly,
     {{vk::Shift, ssShift, ccNotCommand}, {'A', 0, ccNotCommand}, {'A', ssShift, ccNotCommand}}},
    {"DefaultUndoRedoRestore",
     Setup::DefaultOnly,
     {{'Z', ssCtrl, ccUndo}, {'Z', ssCtrl | ssShift, ccRedo}, {vk::Back, ssAlt, ccRestore}}},
    {"DefaultMarkers",
     Setup::DefaultOnly,
     {{'3', ssCtrl, ccGotoMarker0 + 3}, {'9', ssCtrl | ssShift, ccSetMarker0 + 9}}},
    {"DefaultExtendsWithShift",
     Setup::DefaultOnly,
     {{vk::Left, ssShift, ccExtendLeft},
      {vk::Home, ssShift | ssCtrl, ccExtFirstPage},
      {vk::Return, ssCtrl, ccNewLine}}},
    {"InactiveGridIsNotAsked", Setup::DefaultOnly, {{vk::Left, ssCtrl, ccWordLeft}, {vk::F1 + 1, 0, ccNotCommand}}},
    {"WordStarSequence", Setup::WordStarFirst, {{'Q', ssCtrl, ccPartialSequence}, {'S', 0, ccHome}}},
    {"WordStarSecondKeyWithCtrl", Setup::WordStarFirst, {{'Q', ssCtrl, ccPartialSequence}, {'S', ssCtrl, ccHome}}},
    {"WordStarSecondKeyWithShiftFails",
     Setup::WordStarFirst,
     {{'Q', ssCtrl, ccPartialSequence}, {'S', ssShift, ccBadSequence}, {'S', ssCtrl, ccLeft}}},
    {"WordStarUnknownSecondKeyFails",
     Setup::WordStarFirst,
     {{'K', ssCtrl, ccPartialSequence}, {'Z', 0, ccBadSequence}, {'E', ssCtrl, ccUp}}},
    {"LoneModifierWhileWaiting",
     Setup::WordStarFirst,
     {{'Q', ssCtrl, ccPartialSequence}, {vk::Shift, ssShift, ccPartialSequence}, {'D', 0, ccEnd}}},
    {"LiteralModePassesTheNextKey",
     Setup::WordStarFirst,
     {{'P', ssCtrl, ccCtrlChar}, {'S', ssCtrl, ccNotCommand}, {'S', ssCtrl, ccLeft}}},
    {"LiteralModeSurvivesALoneModifier",
     Setup::WordStarFirst,
     {{'P', ssCtrl, ccCtrlChar},
      {vk::Control, ssCtrl, ccNotCommand},
      {'X', ssCtrl, ccNotCommand},
      {'X', ssCtrl, ccDown}}},
    {"WordStarBeforeDefault", Setup::WordStarFirst, {{'V', ssCtrl, ccIns}, {vk::Left, 0, ccLeft}}},
    {"InactiveGridByName",
     Setup::GridByName,
     {{vk::Left, ssCtrl, ccPageLeft},
      {vk::F1 + 1, 0, ccTableEdit},
      {'Z', ssCtrl, ccRestore},
      {vk::Up, ssCtrl, ccTopLeftCell}}},
    {"GridByNameLeavesOtherKeys", Setup::GridByName, {{'Q', ssCtrl, ccNotCommand}, {vk::Tab, 0, ccNotCommand}}},
};

class Translation : public ::testing::TestWithParam<TranslationCase> {};

TEST_P(Translation, GivesTheCommandsInOrder) {
  const TranslationCase& c = GetParam();
  TVirCommandProcessor processor;
  if (c.setup == Setup::WordStarFirst) {
    processor.ClearTables();
    processor.AddTable(BuiltIn("WordStar"));
    processor.AddTable(BuiltIn("Default"));
  }
  for (std::size_t i = 0; i < c.keys.size(); ++i) {
    const Key& k = c.keys[i];
    std::uint16_t got = c.setup == Setup::GridByName ? processor.TranslateWithTables({"Grid"}, k.key, k.shift)
                                                     : processor.Translate(k.key, k.shift);
    EXPECT_EQ(got, k.expected) << "key " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(CommandProcessor, Translation, ::testing::ValuesIn(kTranslations),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(CommandProcessor, BuiltInTablesInOrder) {
  TVirCommandProcessor processor;
  struct Expected {
    const char* name;
    int records;
    bool active;
  };
  const Expected expected[] = {{"Default", 64, true}, {"WordStar", 40, false}, {"Grid", 38, false}};
  ASSERT_EQ(processor.TableCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(processor.Table(i).TableName, expected[i].name);
    EXPECT_EQ(processor.Table(i).Count(), expected[i].records) << expected[i].name;
    EXPECT_EQ(processor.Table(i).IsActive, expected[i].active) << expected[i].name;
    // No table binds the same keys twice.
    const TVirCommandTable& t = processor.Table(i);
    for (int r = 0; r < t.Count(); ++r) EXPECT_EQ(t.IndexOfKeys(t.Record(r)), r) << expected[i].name << " " << r;
  }
  EXPECT_EQ(processor.GetTableByName("wordstar"), &processor.Table(1));
  EXPECT_EQ(processor.GetTableByName("Other"), nullptr);
}

TEST(CommandProcessor, CommandNames) {
  EXPECT_EQ(CommandName(ccNone), "ccNone");
  EXPECT_EQ(CommandName(ccCut), "ccCut");
  EXPECT_EQ(CommandName(ccWordRight), "ccWordRight");
  EXPECT_EQ(CommandName(300), "ccUser300");
  EXPECT_EQ(CommandName(ccNotCommand), "(Unknown)");
}

// ---- adding tables and commands ----

struct RenameCase {
  const char* name;
  std::vector<std::string> added;
  std::vector<std::string> expected;
};

const RenameCase kRenames[] = {
    {"SecondDefault", {"Default"}, {"Default1"}},
    {"BaseNameTaken", {"Grid2"}, {"Grid1"}},
    {"FreeBaseKeepsItsName", {"Custom2"}, {"Custom2"}},
    {"OwnNameTakenCountsFromOne", {"Custom2", "Custom2"}, {"Custom2", "Custom1"}},
    {"CountsOnPastTakenNumbers", {"Default", "Default", "Default3"}, {"Default1", "Default2", "Default3"}},
    {"NamesCompareWithoutCase", {"default"}, {"default1"}},
    {"ADigitAloneIsItsOwnBase", {"7", "7"}, {"7", "71"}},
};

class TableNames : public ::testing::TestWithParam<RenameCase> {};

TEST_P(TableNames, TakenNamesAreRenamed) {
  TVirCommandProcessor processor;
  std::vector<std::string> got;
  for (const std::string& name : GetParam().added) {
    got.push_back(processor.AddTable(std::make_unique<TVirCommandTable>(name)).TableName);
  }
  EXPECT_EQ(got, GetParam().expected);
  // Every table stays reachable by its name.
  for (const std::string& name : got) EXPECT_EQ(processor.GetTableByName(name)->TableName, name);
}

INSTANTIATE_TEST_SUITE_P(CommandProcessor, TableNames, ::testing::ValuesIn(kRenames),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(CommandProcessor, AddCommandChecksTableAndKeys) {
  TVirCommandProcessor processor;
  EXPECT_THROW(processor.AddCommand("Default", {'X', kssCtrl, 0, 0, ccCopy}), EDuplicateCommand);
  EXPECT_THROW(processor.AddCommand("Missing", {'X', kssCtrl, 0, 0, ccCopy}), ETableNotFound);
  processor.AddCommand("default", {'K', kssCtrl | kssAlt, 0, 0, 300});
  EXPECT_EQ(processor.Translate('K', ssCtrl | ssAlt), 300);
  EXPECT_EQ(processor.Table(0).Count(), 65);
  EXPECT_THROW(processor.Table(3), ETableNotFound);
}

// ---- table files ----

class TableFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("morva_cmdtables_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  void WriteFile(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
  }
  std::filesystem::path dir;
};

TEST_F(TableFiles, BuiltInTablesSaveAndLoadBackByteForByte) {
  TVirCommandProcessor processor;
  for (int i = 0; i < processor.TableCount(); ++i) {
    const TVirCommandTable& original = processor.Table(i);
    processor.SaveTableToFile(original.TableName, Path("first.tbl"));
    TVirCommandTable loaded;
    loaded.LoadFromFile(Path("first.tbl"));
    EXPECT_EQ(loaded.TableName, original.TableName);
    EXPECT_EQ(loaded.Records(), original.Records());
    loaded.SaveToFile(Path("second.tbl"));
    EXPECT_EQ(rtl::ReadWholeFile(Path("second.tbl")), rtl::ReadWholeFile(Path("first.tbl"))) << original.TableName;
  }
}

TEST_F(TableFiles, LinesHoldRightAlignedFields) {
  TVirCommandTable table("Mine", {{vk::Left, 0, 0, 0, ccLeft}, {'Q', kssCtrl, '5', kssNoneOrCtrl, 65535}});
  table.SaveToFile(Path("mine.tbl"));
  EXPECT_EQ(rtl::ReadWholeFile(Path("mine.tbl")), "Mine\r\n  37   0   0   0    46\r\n  81   4  53 128 65535\r\n");
}

TEST_F(TableFiles, LoadedTableIsAddedUnderAFreeName) {
  WriteFile("grid.tbl", "Grid\n 113   0   0   0   300\n");
  TVirCommandProcessor processor;
  int index = processor.LoadTableFromFile(Path("grid.tbl"));
  EXPECT_EQ(index, 3);
  EXPECT_EQ(processor.Table(index).TableName, "Grid1");
  EXPECT_EQ(processor.TranslateWithTables({"Grid1"}, vk::F1 + 1, 0), 300);
}

struct BadLine {
  const char* name;
  const char* line;
};

const BadLine kBadLines[] = {
    {"KeyAbove255", "300 0 0 0 5"},   {"CommandAbove65535", "65 4 0 0 70000"}, {"Negative", "-1 0 0 0 5"},
    {"FourNumbers", "65 4 0 0"},      {"SixNumbers", "65 4 0 0 8 9"},          {"NotNumbers", "A ctrl 0 0 8"},
    {"TrailingText", "65 4 0 0 8 x"},
};

class MalformedTableFile : public TableFiles, public ::testing::WithParamInterface<BadLine> {};

TEST_P(MalformedTableFile, IsRefusedNamingTheLineAndKeepsTheOldBindings) {
  WriteFile("bad.tbl", std::string("Broken\r\n  65   4   0   0     8\r\n") + GetParam().line + "\r\n");
  TVirCommandTable table("Mine", {{vk::Left, 0, 0, 0, ccLeft}});
  try {
    table.LoadFromFile(Path("bad.tbl"));
    FAIL() << "no error";
  } catch (const ECmdProcessorError& e) {
    EXPECT_EQ(std::string(e.what()), "Invalid command table line 3 in " + Path("bad.tbl") + ": " + GetParam().line);
  }
  EXPECT_EQ(table.TableName, "Mine");
  EXPECT_EQ(table.Records(), (std::vector<TVirCmdRec>{{vk::Left, 0, 0, 0, ccLeft}}));
}

INSTANTIATE_TEST_SUITE_P(TableFiles, MalformedTableFile, ::testing::ValuesIn(kBadLines),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(TableFiles, MissingFileIsAnInputOutputError) {
  TVirCommandTable table;
  EXPECT_THROW(table.LoadFromFile(Path("none.tbl")), rtl::EInOutError);
}

// ---- streaming ----

TEST(CommandStreaming, UnchangedBuiltInTablesAreRefilledChangedOnesKeepTheirRecords) {
  TVirCommandProcessor original;
  original.Table(1).IsActive = true;                                // WordStar switched on, records unchanged
  original.Table(2).PutCommandRec(0, {vk::Left, 0, 0, 0, ccHome});  // Grid changed
  original.AddTable(std::make_unique<TVirCommandTable>("Mine", std::vector<TVirCmdRec>{{'K', 6, 'B', 128, 257}}));
  std::vector<std::uint8_t> stream = WriteProperties(original);

  TVirCommandProcessor copy;
  copy.ClearTables();
  ReadProperties(copy, stream);
  ASSERT_EQ(copy.TableCount(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(copy.Table(i).TableName, original.Table(i).TableName);
    EXPECT_EQ(copy.Table(i).IsActive, original.Table(i).IsActive);
    EXPECT_EQ(copy.Table(i).Records(), original.Table(i).Records()) << original.Table(i).TableName;
  }
  // An unchanged built-in table stores no records: the stream holds about Grid's.
  TVirWriter grid;
  original.Table(2).WriteTo(grid);
  TVirWriter defaults;
  original.Table(0).WriteTo(defaults);
  EXPECT_LT(defaults.Bytes().size(), 20u);
  EXPECT_GT(grid.Bytes().size(), 38u * 4);
}

TEST(CommandStreaming, OtherTablesPackTheKeysWithKey1InTheLowestByte) {
  TVirCommandTable table("Mine", {{0x4B, 0x06, 0x42, 0x80, 257}}, false);
  TVirWriter writer;
  table.WriteTo(writer);
  std::vector<std::uint8_t> bytes = writer.Bytes();
  TVirReader reader(bytes);
  EXPECT_EQ(reader.ReadString(), "Mine");
  EXPECT_FALSE(reader.ReadBoolean());
  reader.ReadListBegin();
  EXPECT_EQ(reader.ReadInteger(), 0x8042064B);
  EXPECT_EQ(reader.ReadInteger(), 257);
  reader.ReadListEnd();
  EXPECT_TRUE(reader.AtEnd());
}

TEST(CommandStreaming, ACutStreamIsRefusedAndTheTablesStay) {
  TVirCommandProcessor original;
  std::vector<std::uint8_t> stream = WriteProperties(original);
  stream.resize(stream.size() - 3);
  TVirCommandProcessor copy;
  copy.AddTable(std::make_unique<TVirCommandTable>("Mine"));
  EXPECT_THROW(ReadProperties(copy, stream), EFilerError);
  EXPECT_EQ(copy.TableCount(), 4);
  EXPECT_FALSE(copy.Loading());
}

}  // namespace

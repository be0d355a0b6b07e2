// The fast table format decoder: cells of every kind, blanks and skips, the
// header, and blocks that claim more than they hold.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeSheetServer.h"
#include "tests/matrix/core/ErrorText.h"
#include "dataeditor/LinkError.h"
#include "dataeditor/XlTableData.h"

namespace dataeditor_test {
namespace {

std::string ErrorOf(const std::function<void()>& action) { return ErrorText<ExcelError>(action); }

TEST(XlTableData, ReadsEveryKindOfCellInOrder) {
  auto block = XlTableBuilder()
                   .Header(2, 4)
                   .Floats({1.5, -2.25})
                   .Strings({"abc", ""})
                   .Bools({true, false})
                   .Errors({42})
                   .Ints({-7})
                   .Bytes();
  TGetXlTableData t;
  t.Load(block);
  EXPECT_EQ(t.Rows(), 2);
  EXPECT_EQ(t.Columns(), 4);
  EXPECT_EQ(t.ReadFloat(), 1.5);
  EXPECT_EQ(t.ReadFloat(), -2.25);
  EXPECT_EQ(t.DataType(), xlString);
  EXPECT_EQ(t.ReadString(), "abc");
  EXPECT_EQ(t.ReadString(), "");
  EXPECT_TRUE(t.ReadBool());
  EXPECT_FALSE(t.ReadBool());
  EXPECT_EQ(t.ReadError(), 6);
  EXPECT_EQ(t.ReadInt(), -7);
  EXPECT_EQ(t.DataType(), xlNoData);
}

TEST(XlTableData, BlankRecordsAnswerTheirCountOfCells) {
  TGetXlTableData t;
  t.Load(XlTableBuilder().Header(1, 4).Blanks(3).Floats({2}).Bytes());
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(t.DataType(), xlBlank) << "blank " << k;
    t.SkipCell();
  }
  EXPECT_EQ(t.ReadFloat(), 2);
  EXPECT_EQ(t.DataType(), xlNoData);

  // A count of 0 is no cell: the next record's cells come at once.
  t.Load(XlTableBuilder().Header(1, 2).Blanks(0).Floats({1, 2}).Bytes());
  EXPECT_EQ(t.ReadFloat(), 1);
  EXPECT_EQ(t.ReadFloat(), 2);
}

TEST(XlTableData, SkipPassesCellsOfEveryKind) {
  TGetXlTableData t;
  t.Load(XlTableBuilder()
             .Header(1, 9)
             .Floats({1, 2})
             .Strings({"xy"})
             .Blanks(2)
             .Record(xlSkip, XlTableBuilder::U16(5))
             .Bools({true})
             .Ints({3, 4})
             .Bytes());
  t.Skip(7);
  EXPECT_EQ(t.DataType(), xlInt);
  EXPECT_EQ(t.ReadInt(), 3);
  t.Skip(5);  // past the table's end: stops there
  EXPECT_EQ(t.DataType(), xlNoData);
}

TEST(XlTableData, SkipRecordCountsAsOneCellThatNoReaderTakes) {
  TGetXlTableData t;
  t.Load(XlTableBuilder().Header(1, 2).Record(xlSkip, XlTableBuilder::U16(4)).Floats({9}).Bytes());
  EXPECT_EQ(t.DataType(), xlSkip);
  EXPECT_EQ(ErrorOf([&] { t.ReadFloat(); }), "Bad data type demanded");
  t.SkipCell();
  EXPECT_EQ(t.ReadFloat(), 9);
}

TEST(XlTableData, ErrorCodesGiveTheirIndex) {
  const std::vector<std::uint16_t> codes = {0, 7, 15, 23, 29, 36, 42};
  for (std::size_t k = 0; k < codes.size(); ++k) {
    TGetXlTableData t;
    t.Load(XlTableBuilder().Header(1, 1).Errors({codes[k]}).Bytes());
    EXPECT_EQ(t.ReadError(), static_cast<int>(k)) << "code " << codes[k];
  }
  TGetXlTableData t;
  t.Load(XlTableBuilder().Header(1, 1).Errors({8}).Bytes());
  EXPECT_EQ(ErrorOf([&] { t.ReadError(); }), "Excel returned unknown data error value");
}

TEST(XlTableData, EachReaderDemandsItsRecordType) {
  TGetXlTableData t;
  t.Load(XlTableBuilder().Header(1, 1).Strings({"1"}).Bytes());
  EXPECT_EQ(ErrorOf([&] { t.ReadFloat(); }), "Bad data type demanded");
  EXPECT_EQ(ErrorOf([&] { t.ReadBool(); }), "Bad data type demanded");
  EXPECT_EQ(ErrorOf([&] { t.ReadError(); }), "Bad data type demanded");
  EXPECT_EQ(ErrorOf([&] { t.ReadInt(); }), "Bad data type demanded");
  EXPECT_EQ(t.ReadString(), "1");
  EXPECT_EQ(ErrorOf([&] { t.ReadString(); }), "Bad data type demanded");
}

TEST(XlTableData, HeaderGivesTheSizeOrIsRefused) {
  TGetXlTableData t;
  t.Load("");
  EXPECT_EQ(t.Rows(), 0);
  EXPECT_EQ(t.Columns(), 0);
  EXPECT_EQ(t.DataType(), xlNoData);

  EXPECT_EQ(ErrorOf([&] { t.Load(XlTableBuilder().Floats({1}).Bytes()); }), "Error retrieving xlTable: bad header");

  // The cell count is wide: 65535 x 65535 cells do not wrap.
  t.Load(XlTableBuilder().Header(65535, 65535).Floats({1, 2}).Bytes());
  EXPECT_EQ(t.Rows(), 65535);
  EXPECT_EQ(t.Columns(), 65535);
  EXPECT_EQ(t.ReadFloat(), 1);
  EXPECT_EQ(t.DataType(), xlFloat);
}

TEST(XlTableData, NoCellIsReadBeyondTheTable) {
  TGetXlTableData t;
  t.Load(XlTableBuilder().Header(1, 1).Floats({1, 2}).Bytes());
  EXPECT_EQ(t.ReadFloat(), 1);
  EXPECT_EQ(t.DataType(), xlNoData);
  EXPECT_EQ(ErrorOf([&] { t.ReadFloat(); }), "Bad data type demanded");
}

// Each block claims more bytes than it holds somewhere; all are refused the same way.
TEST(XlTableData, MalformedBlocksAreRefusedWithoutReadingOutside) {
  using B = XlTableBuilder;
  const std::string header = B().Header(1, 2).Bytes();
  struct Case {
    const char* name;
    std::string block;
    std::function<void(TGetXlTableData&)> read;
  };
  auto none = [](TGetXlTableData&) {};
  auto readFloat = [](TGetXlTableData& t) { t.ReadFloat(); };
  const std::vector<Case> cases = {
      {"block shorter than a record head", std::string("\x10\x00", 2), none},
      {"header record too short", B().Record(16, B::U16(1)).Bytes(), none},
      {"header claims bytes past the end", B::U16(16) + B::U16(8) + B::U16(1) + B::U16(1), none},
      {"partial record head after the header", header + std::string("\x01\x00", 2), none},
      {"record claims bytes past the end", header + B::U16(1) + B::U16(16) + std::string(8, '\0'), none},
      {"float of 4 bytes", header + B().Record(1, std::string(4, '\0')).Bytes(), readFloat},
      {"string longer than its record", header + B().Record(2, std::string(1, '\x05') + "ab").Bytes(),
       [](TGetXlTableData& t) { t.ReadString(); }},
      {"string skipped past its record", header + B().Record(2, std::string(1, '\x09') + "a").Bytes(),
       [](TGetXlTableData& t) { t.Skip(2); }},
      {"Boolean of 1 byte", header + B().Record(3, std::string(1, '\1')).Bytes(),
       [](TGetXlTableData& t) { t.ReadBool(); }},
      {"error of 1 byte", header + B().Record(4, std::string(1, '\0')).Bytes(),
       [](TGetXlTableData& t) { t.ReadError(); }},
      {"integer of 1 byte", header + B().Record(6, std::string(1, '\0')).Bytes(),
       [](TGetXlTableData& t) { t.ReadInt(); }},
      {"blank record without its count", header + B().Record(5, std::string(1, '\3')).Bytes(), none},
      {"second float cut short", header + B().Record(1, std::string(12, '\0')).Bytes(),
       [](TGetXlTableData& t) { t.Skip(2); }},
  };
  for (const auto& c : cases) {
    TGetXlTableData t;
    EXPECT_EQ(ErrorOf([&] {
                t.Load(c.block);
                c.read(t);
              }),
              "Bad data format in xlTable")
        << c.name;
  }
}

}  // namespace
}  // namespace dataeditor_test

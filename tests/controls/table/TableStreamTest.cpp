// The table's stored properties without a window: the bytes of "RowData" and
// "ColData", reading them back, and where stored cell names are looked for.

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <tuple>
#include <map>
#include <string>
#include <vector>

#include "TableTestSupport.h"
#include "controls/base/VirFiler.h"

namespace {

// The table's stored properties as an object of the filer.
struct Stored : TVirPersistent {
  explicit Stored(TVirTableCore& t) : table(t) {}
  void DefineProperties(TVirFiler& filer) override { table.DefineTableProperties(filer); }
  TVirTableCore& table;
};

// What one property writes: the values of a list.
std::vector<std::uint8_t> ListOf(const std::function<void(TVirWriter&)>& values) {
  TVirWriter writer;
  writer.WriteListBegin();
  values(writer);
  writer.WriteListEnd();
  return writer.Bytes();
}

// A stream holding one property.
std::vector<std::uint8_t> PropertyStream(const std::string& name, const std::vector<std::uint8_t>& value) {
  TVirWriter writer;
  writer.WriteString(name);
  std::vector<std::uint8_t> bytes = writer.Bytes();
  bytes.insert(bytes.end(), value.begin(), value.end());
  return bytes;
}

TEST(TableStream, RowDataExampleRoundTrips) {
  const std::vector<std::uint8_t> example = ListOf([](TVirWriter& w) {
    w.WriteInteger(25);
    w.WriteInteger(0);
    w.WriteBoolean(false);
    w.WriteInteger(34);
  });
  TestTable source;
  source.Rows().SetDefaultHeight(25);
  source.Rows().SetRowHeight(0, 34);
  Stored stored(source);
  const std::vector<std::uint8_t> bytes = WriteProperties(stored);
  const std::vector<std::uint8_t> rowData = PropertyStream("RowData", example);
  ASSERT_GE(bytes.size(), rowData.size());
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(rowData.size())), rowData);

  TestTable target;
  target.Rows().SetRowHeight(3, 50);  // cleared by the read
  Stored into(target);
  ReadProperties(into, rowData);
  EXPECT_EQ(target.Rows().DefaultHeight(), 25);
  EXPECT_EQ(target.Rows().Height(0), 34);
  EXPECT_EQ(target.Rows().Height(3), 25);
  EXPECT_EQ(target.Rows().StyledCount(), 1);
}

TEST(TableStream, RowDataVisitsOnlyStyledRowsAndSkipsRowsBeyondTheLimit) {
  // Two billion rows: writing must not walk them.
  TestTable huge;
  huge.SetRowLimit(std::numeric_limits<int>::max());
  huge.Rows().SetRowStyle(7, {40, true});
  huge.Rows().SetRowHeight(319999, 12);
  Stored stored(huge);
  const std::vector<std::uint8_t> expected =
      PropertyStream("RowData", ListOf([](TVirWriter& w) {
                       w.WriteInteger(30);
                       for (auto [row, hidden, height] : {std::tuple{7, true, 40}, {319999, false, 12}}) {
                         w.WriteInteger(row);
                         w.WriteBoolean(hidden);
                         w.WriteInteger(height);
                       }
                     }));
  const std::vector<std::uint8_t> bytes = WriteProperties(stored);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(expected.size())), expected);

  // A stream from a table with more rows: the rows this table lacks are passed over.
  TestTable small;
  Stored into(small);
  ReadProperties(into, PropertyStream("RowData", ListOf([](TVirWriter& w) {
                                        w.WriteInteger(30);
                                        for (int row : {2, 10, 400000}) {
                                          w.WriteInteger(row);
                                          w.WriteBoolean(true);
                                          w.WriteInteger(20);
                                        }
                                      })));
  EXPECT_TRUE(small.Rows().Hidden(2));
  EXPECT_EQ(small.Rows().StyledCount(), 1);
}

// Stored cell names as the parameter dialog's table has them.
const std::vector<std::uint8_t> kDialogColData = ListOf([](TVirWriter& w) {
  w.WriteInteger(177);
  w.WriteBoolean(false);
  w.WriteBoolean(true);
  w.WriteString("DialogF.VirTCString1");
  w.WriteInteger(230);
  w.WriteBoolean(false);
  w.WriteBoolean(true);
  w.WriteString("DialogF.VirTCSimpleField1");
});

TEST(TableStream, ColDataKeepsTheNamesUntilTheWindowResolvesThem) {
  TVirBaseTableCell string1, simple1;
  string1.SetName("VirTCString1");
  simple1.SetName("VirTCSimpleField1");
  TestTable table;
  table.window = false;
  table.directory.formName = "DialogF";
  table.directory.inOwnForm = [&](const std::string& name) {
    return name == "VirTCString1" ? &string1 : name == "VirTCSimpleField1" ? &simple1 : nullptr;
  };
  Stored into(table);
  ReadProperties(into, PropertyStream("ColData", kDialogColData));
  ASSERT_EQ(table.ColCount(), 2);
  EXPECT_EQ(table.Columns().Column(0)->Width(), 177);
  EXPECT_EQ(table.Columns().Column(1)->Width(), 230);
  EXPECT_EQ(table.Columns().DefaultCell(0), nullptr);
  EXPECT_EQ(table.PendingCellNames(), 2);
  table.Create();
  table.Pump();
  EXPECT_EQ(table.Columns().DefaultCell(0), &string1);
  EXPECT_EQ(table.Columns().DefaultCell(1), &simple1);
  EXPECT_EQ(table.PendingCellNames(), 0);
}

TEST(TableStream, WhereStoredNamesResolve) {
  TVirBaseTableCell own, other;
  struct Case {
    const char* stored;
    const char* formName;
    TVirBaseTableCell* ownPass;
    TVirBaseTableCell* openPass;
  };
  const std::vector<Case> cases = {
      {"DialogF.VirTCString1", "DialogF", &own, nullptr},   {"DialogF.VirTCString1", "DialogF_2", &own, nullptr},
      {"DialogF.VirTCString1", "Other", nullptr, nullptr},  {"DialogF.VirTCString1", "DialogF_2_3", nullptr, nullptr},
      {"Palette.VirTCString1", "DialogF", nullptr, &other}, {"VirTCString1", "DialogF", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.stored) + " on " + c.formName);
    TVirCellDirectory directory;
    directory.formName = c.formName;
    directory.inOwnForm = [&](const std::string& name) { return name == "VirTCString1" ? &own : nullptr; };
    directory.inOpenForm = [&](const std::string& form, const std::string& name) {
      return form == "Palette" && name == "VirTCString1" ? &other : nullptr;
    };
    EXPECT_EQ(ResolveStoredCellName(c.stored, directory, false), c.ownPass);
    EXPECT_EQ(ResolveStoredCellName(c.stored, directory, true), c.openPass);
  }
}

}  // namespace

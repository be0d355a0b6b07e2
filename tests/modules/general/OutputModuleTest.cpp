// OUTPUT's pages: how many columns a page holds and which rows it prints.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modules/general/output.h"
#include "tests/modules/general/GeneralTestSupport.h"

namespace {

class OutputRun : public gentest::ModuleRun {
 protected:
  // The lines that start with the rule of a page ("-"), and the row lines.
  std::vector<std::string> LinesAfter(const std::string& first) const {
    std::vector<std::string> lines;
    bool taking = false;
    for (const std::string& line : services.lines) {
      taking = taking || line.find(first) != std::string::npos;
      if (taking) lines.push_back(line);
    }
    return lines;
  }
};

TEST_F(OutputRun, TenCharacterRowLabelsLeaveSevenColumnsAPage) {
  WriteFile("in.qmx", "1 2L 9 0\nAbcdefghij Klmnopqrst\n1 2 3 4 5 6 7 8 9\n9 8 7 6 5 4 3 2 1\n");
  Run(OutputDescribe, {{"O", "in.qmx"}});
  const std::vector<std::string> page = LinesAfter("Abcdefghij  |");
  ASSERT_GE(page.size(), 1u);
  EXPECT_EQ(page[0], "Abcdefghij  |   1.0000   2.0000   3.0000   4.0000   5.0000   6.0000   7.0000");
}

TEST_F(OutputRun, ARowOrderPrintsTheRowsWithTheirOwnLabels) {
  WriteFile("in.qmx", "1 3L 1 0\na b c\n1\n2\n3\n");
  WriteFile("order.qmx", "1 3 1 0\n3\n2\n1\n");
  Run(OutputDescribe, {{"O", "in.qmx"}, {"RO", "order.qmx"}});
  const std::vector<std::string> rows = LinesAfter("c  |");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows, (std::vector<std::string>{"c  |   3.0000", "b  |   2.0000", "a  |   1.0000"}));
}

TEST_F(OutputRun, AnOrderMatrixWithAnyMissingCodeIsRefused) {
  WriteFile("in.qmx", "1 2 1 0\n1\n2\n");
  for (const char* order : {"1 2 1 1 -1\n2\n1\n", "1 2 1 7 -1\n2\n1\n"}) {
    WriteFile("order.qmx", order);
    EXPECT_EQ(RefusalOf(OutputDescribe, {{"O", "in.qmx"}, {"RO", "order.qmx"}}),
              "No missing values allowed in order matrix.");
  }
}

// A matrix with no rows or no columns has nothing to show: refused with the
// sizes, whatever its type.
TEST_F(OutputRun, EmptyMatricesAreRefused) {
  const struct {
    const char* body;
    const char* message;
  } cases[] = {
      {"1 0 0 0\n", "Input matrix is empty: 0 rows by 0 columns"},
      {"1 2 0 0\n\n\n", "Input matrix is empty: 2 rows by 0 columns"},
      {"1 0 3 0\n", "Input matrix is empty: 0 rows by 3 columns"},
      {"3 0 0 0\n", "Input matrix is empty: 0 rows by 0 columns"},
      {"4 0 0 0\n", "Input matrix is empty: 0 rows by 0 columns"},
      {"5 0 2 0\n", "Input matrix is empty: 0 rows by 2 columns"},
      {"7 0 0 0\n", "Input matrix is empty: 0 rows by 0 columns"},
  };
  for (const auto& c : cases) {
    WriteFile("in.qmx", c.body);
    EXPECT_EQ(RefusalOf(OutputDescribe, {{"O", "in.qmx"}}), c.message) << c.body;
  }
}

}  // namespace

// The lower-triangle layout shared by the similarity modules' output bodies.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "modules/similarity/simdata.h"

namespace {

// The number of values on each line that the writer makes of row `row`,
// writing values 1 .. row (the last one being the diagonal).
std::vector<int> ValuesPerLine(int row, int perLine) {
  const std::filesystem::path file = std::filesystem::path(MORVA_ARTEFACTS) / "similarity-triangle.txt";
  {
    rtl::TextWriter f(file.string());
    TTriangleWriter writer(&f, perLine);
    for (int j = 1; j <= row; ++j) writer.Put(row, j, " v");
    f.Close();
  }
  std::vector<int> counts;
  std::istringstream lines(rtl::ReadWholeFile(file.string()));
  std::string line;
  while (std::getline(lines, line)) counts.push_back(static_cast<int>(line.size() / 2));
  return counts;
}

TEST(TriangleWriter, BreaksLinesAfterEveryPerLineValuesAndAfterTheDiagonal) {
  struct Case {
    const char* name;
    int row, perLine;
    std::vector<int> lines;
  };
  const Case cases[] = {
      {"SIMINT row of 12 values", 12, 5, {5, 5, 2}},
      {"SIMINT row of 10 values ends once", 10, 5, {5, 5}},
      {"SIMQUAL row of 15 values", 15, 7, {7, 7, 1}},
      {"SIMGEND row 9: 8 distances, then the diagonal beside the 8th", 9, 7, {7, 2}},
      {"SIMGEND row 8: the diagonal alone after 7 distances", 8, 7, {7, 1}},
      {"row 1 holds its diagonal only", 1, 7, {1}},
  };
  for (const Case& c : cases) EXPECT_EQ(ValuesPerLine(c.row, c.perLine), c.lines) << c.name;
}

TEST(TriangleWriter, WithoutAFileWritesNothing) {
  TTriangleWriter writer(nullptr, 5);
  EXPECT_FALSE(writer.Writes());
  EXPECT_NO_THROW(writer.Put(1, 1, " 1"));
}

}  // namespace

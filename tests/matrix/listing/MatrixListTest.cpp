// Listings of rectangular and symmetric matrices and integer vectors.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "matrix/MatrixList.h"
#include "rtl/Format.h"
#include "tests/support/RecordedServices.h"

namespace {

using testsupport::RecordedServices;

const std::string kFive(5, ' ');

// A matrix whose element (i, j) is 100 i + j + 0.25 (matrices do not move).
std::unique_ptr<Rect_mx> Numbered(std::int32_t rows, std::int32_t cols) {
  auto m = std::make_unique<Rect_mx>(rows, cols);
  for (std::int32_t i = 1; i <= rows; ++i) {
    for (std::int32_t j = 1; j <= cols; ++j) m->putxij(i, j, i * 100 + j + 0.25);
  }
  return m;
}

// The items of the numbered lines, each a run of `width` characters after
// the 5-character start of the line.
std::int32_t ItemsOn(const std::string& line, std::int32_t itemWidth) {
  return static_cast<std::int32_t>((line.size() - 5) / static_cast<std::size_t>(itemWidth));
}

TEST(ValueWidth, IsTheLengthOfMinus12_34InTheFormat) {
  EXPECT_EQ(ValueWidth("8.4f"), 8);
  EXPECT_EQ(ValueWidth("e"), 22);
  EXPECT_EQ(ValueWidth("6.2f"), 6);
  EXPECT_EQ(ValueWidth("12.3f"), 12);
}

struct RectWrapCase {
  const char* name;
  const char* format;
  std::int32_t cols;
  std::int32_t perLine;  // items before a continuation line
};

class RectListWrapping : public ::testing::TestWithParam<RectWrapCase> {};

TEST_P(RectListWrapping, ContinuesALineBeforeItPassesColumn80) {
  const RectWrapCase& c = GetParam();
  // Every value as wide as -12.34, the width the wrapping counts with.
  Rect_mx m(2, c.cols);
  m.Fill(-12.34);
  RecordedServices listing;
  List(m, true, c.format);

  const std::int32_t item = ValueWidth(c.format) + 1;
  const std::int32_t linesPerRecord = (c.cols + c.perLine - 1) / c.perLine;
  ASSERT_EQ(listing.lines.size(), static_cast<std::size_t>(3 * linesPerRecord + 1));
  for (std::int32_t record = 0; record < 3; ++record) {
    for (std::int32_t part = 0; part < linesPerRecord; ++part) {
      const std::string& line = listing.lines[static_cast<std::size_t>(record * linesPerRecord + part)];
      const std::int32_t expected = std::min(c.perLine, c.cols - part * c.perLine);
      EXPECT_EQ(ItemsOn(line, item), expected) << line;
      const std::string start = part > 0 || record == 0 ? kFive : rtl::Format("%4d ", record);
      EXPECT_EQ(line.substr(0, 5), start) << line;
      EXPECT_LE(line.size(), 80u);
    }
  }
  EXPECT_EQ(listing.lines.back(), "");
}

INSTANTIATE_TEST_SUITE_P(Formats, RectListWrapping,
                         ::testing::Values(RectWrapCase{"Fixed8_4EightToALine", "8.4f", 9, 8},
                                           RectWrapCase{"ScientificThreeToALine", "e", 7, 3},
                                           RectWrapCase{"Fixed6_2TenToALine", "6.2f", 10, 10},
                                           RectWrapCase{"OneColumnNeverWraps", "8.4f", 1, 1}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(RectList, PrintsHeadingRowsAndTheTransposeWhenNotByRows) {
  const auto m = Numbered(2, 3);
  RecordedServices listing;
  List(*m, true, "6.2f");
  List(*m, false, "6.2f");
  const std::vector<std::string> expected = {
      "          1      2      3 ",
      "   1 101.25 102.25 103.25 ",
      "   2 201.25 202.25 203.25 ",
      "",
      "          1      2 ",
      "   1 101.25 201.25 ",
      "   2 102.25 202.25 ",
      "   3 103.25 203.25 ",
      "",
  };
  EXPECT_EQ(listing.lines, expected);
}

TEST(RectListWithLabels, ShowsAsManyColumnsPerBlockAsFitBesideTheLabels) {
  const auto m = Numbered(2, 10);
  Label_mx rows(2);
  rows.PutLabel(1, "Specimen10");
  rows.PutLabel(2, "A");
  Label_mx cols(10);
  cols.SetDefaultLabels("C");
  RecordedServices listing;
  ListWithLabels(*m, rows, cols, "8.4f");

  // Width 10 labels and a 9-character column: (78 - 12) div 9 = 7 columns.
  ASSERT_EQ(listing.lines.size(), 11u);
  EXPECT_EQ(listing.lines[0], "");
  std::string heading(12, ' ');
  for (int j = 1; j <= 7; ++j) heading += rtl::Format("%9s", "C" + std::to_string(j));
  EXPECT_EQ(listing.lines[1], heading);
  EXPECT_EQ(listing.lines[2], std::string(12, ' ') + std::string(63, '-'));
  EXPECT_EQ(listing.lines[3].substr(0, 30), "Specimen10 | 101.2500 102.2500");
  EXPECT_EQ(listing.lines[4].substr(0, 12), "A          |");
  EXPECT_EQ(listing.lines[5], "");
  EXPECT_EQ(listing.lines[6], std::string(12, ' ') + "       C8       C9      C10");
  EXPECT_EQ(listing.lines[7], std::string(12, ' ') + std::string(27, '-'));
  EXPECT_EQ(listing.lines[9], "A          | 208.2500 209.2500 210.2500");
  EXPECT_EQ(listing.lines[10], "");
}

TEST(RectListWithLabels, AlignsUtf8AndWindows1252LabelsByCharacters) {
  const auto m = Numbered(3, 2);
  Label_mx rows(3);
  rows.PutLabel(1, "Z\xC3\xBCrich");  // UTF-8
  rows.PutLabel(2, "Gen\xE8ve");       // Windows-1252
  rows.PutLabel(3, "\xC3\x89vora\xE2\x82\xAC");
  Label_mx cols(2);
  cols.PutLabel(1, "L\xC3\xA4nge");
  cols.PutLabel(2, "Breite");
  RecordedServices listing;
  ListWithLabels(*m, rows, cols, "8.4f");
  ASSERT_EQ(rows.GetWidth(), 6);
  EXPECT_EQ(listing.lines[1], std::string(8, ' ') + "    L\xC3\xA4nge   Breite");
  EXPECT_EQ(listing.lines[3], "Z\xC3\xBCrich | 101.2500 102.2500");
  EXPECT_EQ(listing.lines[4], "Gen\xE8ve | 201.2500 202.2500");
  EXPECT_EQ(listing.lines[5], "\xC3\x89vora\xE2\x82\xAC | 301.2500 302.2500");
}

TEST(RectListWithLabels, KeepsLongLabelsWholeAndAtLeastOneColumnPerBlock) {
  const auto m = Numbered(1, 2);
  Label_mx rows(1);
  rows.PutLabel(1, "FifteenLetters_");
  Label_mx cols(2);
  cols.PutLabel(1, "LongColumnName1");
  cols.PutLabel(2, "B");
  RecordedServices listing;
  // A column of "6.2f" is 8 characters; the label of 15 is not cut.
  ListWithLabels(*m, rows, cols, "6.2f");
  EXPECT_EQ(listing.lines[1], std::string(17, ' ') + "LongColumnName1       B");

  listing.lines.clear();
  // Scientific values are 23 wide: (78 - 17) div 23 = 2 columns; a single
  // column matrix still gets one.
  const auto one = Numbered(1, 1);
  ListWithLabels(*one, rows, cols, "e");
  ASSERT_EQ(listing.lines.size(), 5u);
  EXPECT_EQ(listing.lines[3], "FifteenLetters_ | 1.01250000000000E+002");
}

TEST(SymList, PrintsTheLowerTriangle) {
  Sym_mx s(2, 2);
  s.putxij(1, 1, 0);
  s.putxij(2, 1, 1.5);
  s.putxij(2, 2, 0);
  RecordedServices listing;
  List(s, "6.2f");
  // The column width is that of a value plus one.
  const std::vector<std::string> expected = {
      "           1       2 ",
      "   1   0.00 ",
      "   2   1.50   0.00 ",
      "",
  };
  EXPECT_EQ(listing.lines, expected);
}

TEST(SymList, WrapsRowsOnlyOnceTheyPassColumn80) {
  Sym_mx s(2, 9);
  s.Fill(1);
  RecordedServices listing;
  List(s, "8.4f");
  // Heading: 7 numbers of 10 characters fit; rows take 8 values of 9.
  ASSERT_EQ(listing.lines.size(), 2u + 8u + 2u + 1u);
  EXPECT_EQ(ItemsOn(listing.lines[0], 10), 7);
  EXPECT_EQ(listing.lines[1], kFive + "        8         9 ");
  EXPECT_EQ(ItemsOn(listing.lines[9], 9), 8);
  EXPECT_EQ(listing.lines[9].size(), 77u);
  EXPECT_EQ(listing.lines[10].substr(0, 5), "   9 ");
  EXPECT_EQ(ItemsOn(listing.lines[10], 9), 8);
  EXPECT_EQ(listing.lines[11], kFive + "  1.0000 ");
  EXPECT_EQ(listing.lines[12], "");
}

TEST(IntegerVectorList, PutsTenValuesToALineThenAnEmptyLine) {
  ivect_mx v(25);
  for (std::int32_t k = 1; k <= 25; ++k) v.Put(k, k * 7);
  RecordedServices listing;
  List(v, 3);
  const std::vector<std::string> expected = {
      "  7  14  21  28  35  42  49  56  63  70 ",
      " 77  84  91  98 105 112 119 126 133 140 ",
      "147 154 161 168 175 ",
      "",
  };
  EXPECT_EQ(listing.lines, expected);

  listing.lines.clear();
  ivect_mx ten(10);
  ten.Fill(-1);
  List(ten, 2);
  EXPECT_EQ(listing.lines, (std::vector<std::string>{"-1 -1 -1 -1 -1 -1 -1 -1 -1 -1 ", ""}));
}

}  // namespace

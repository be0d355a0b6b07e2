// Files this system writes read back to the same matrices: write, read and
// write again gives the same bytes, for every matrix type.

#include <gtest/gtest.h>

#include <fstream>

#include "FilesTestSupport.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "tests/support/RecordedServices.h"

namespace {

using filetest::Text;
using filetest::Written;

// One matrix of a file with what its header said.
struct StoredMatrix {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  bool byRows = true;
  std::unique_ptr<Label_mx> rowLabels;
  std::unique_ptr<Label_mx> colLabels;
  std::unique_ptr<Rect_mx> rect;
  std::unique_ptr<Sym_mx> sym;
  std::unique_ptr<vect_mx> diagonal;
  std::unique_ptr<Tree_mx> tree;
  std::unique_ptr<Graph_mx> graph;
};

std::unique_ptr<Label_mx> ReadLabelBlock(rtl::TextReader& f, int code, std::int32_t n) {
  auto labels = std::make_unique<Label_mx>(n);
  if (code == lcBlock) ReadLabels(*labels, f);
  return code == lcNone ? nullptr : std::move(labels);
}

StoredMatrix ReadOne(rtl::TextReader& f) {
  StoredMatrix m;
  ReadMatrixHeader(f, m.comments, m.header, false, {1, 2, 3, 4, 5, 6, 7, 8});
  const TMatrixHeader& h = m.header;
  switch (h.type) {
    case mtRectangular: {
      m.byRows = !(m.comments && (*m.comments)[0] == "by columns");
      m.rect = std::make_unique<Rect_mx>(h.rows, h.cols, h.missingCode, h.missingValue);
      if (h.rowLabelCode != lcNone) m.rowLabels = std::make_unique<Label_mx>(h.rows);
      if (h.colLabelCode != lcNone) m.colLabels = std::make_unique<Label_mx>(h.cols);
      Read(*m.rect, f, m.byRows, {m.rowLabels.get(), h.rowLabelCode, true}, {m.colLabels.get(), h.colLabelCode, true});
      break;
    }
    case mtDissimilarity:
    case mtSimilarity:
      m.rowLabels = ReadLabelBlock(f, h.rowLabelCode, h.rows);
      m.sym = std::make_unique<Sym_mx>(h.type, h.rows, h.missingCode, h.missingValue);
      Read(*m.sym, f);
      break;
    case mtDiagonal:
      m.rowLabels = ReadLabelBlock(f, h.rowLabelCode, h.rows);
      m.diagonal = std::make_unique<vect_mx>(h.rows);
      Read(*m.diagonal, f);
      break;
    case mtTreeDissimilarity:
    case mtTreeSimilarity:
      m.rowLabels = ReadLabelBlock(f, h.rowLabelCode, h.rows);
      m.tree = std::make_unique<Tree_mx>(h.type, h.rows);
      Read(*m.tree, f);
      break;
    default:
      m.rowLabels = ReadLabelBlock(f, h.rowLabelCode, h.rows);
      m.graph = std::make_unique<Graph_mx>(h.type, h.rows, h.cols);
      Read(*m.graph, f);
      break;
  }
  return m;
}

std::vector<StoredMatrix> ReadAll(rtl::TextReader& f) {
  std::vector<StoredMatrix> all;
  while (!f.Eof()) all.push_back(ReadOne(f));
  return all;
}

// Labels read from any position are written as blocks.
void WriteOne(rtl::TextWriter& f, const StoredMatrix& m, std::string_view format) {
  const TMatrixHeader& h = m.header;
  WriteMatrixComments(f, m.comments.get());
  WriteMatrixHeader(f, h.type, h.rows, h.cols, h.missingCode, h.missingValue, format, m.rowLabels ? lcBlock : lcNone,
                    m.colLabels ? lcBlock : lcNone);
  // A rectangular matrix stored by columns has its column block first.
  const Label_mx* first = m.byRows ? m.rowLabels.get() : m.colLabels.get();
  const Label_mx* second = m.byRows ? m.colLabels.get() : m.rowLabels.get();
  if (first) WriteLabels(*first, f);
  if (second) WriteLabels(*second, f);
  if (m.rect) Write(*m.rect, f, m.byRows, format);
  if (m.sym) Write(*m.sym, f, format);
  if (m.diagonal) Write(*m.diagonal, f, format);
  if (m.tree) Write(*m.tree, f, format);
  if (m.graph) Write(*m.graph, f, format);
}

std::string WrittenAll(const std::vector<StoredMatrix>& all, std::string_view format) {
  return Written([&](rtl::TextWriter& f) {
    for (const StoredMatrix& m : all) WriteOne(f, m, format);
  });
}

std::string Fixture(const std::string& name) {
  return rtl::ReadWholeFile(std::string(MORVA_FIXTURES) + "/matrixfiles/" + name);
}

// Keeps what a test wrote beside the build, for a person to look at.
void KeepArtefact(const std::string& name, const std::string& text) {
  std::ofstream(std::string(MORVA_ARTEFACTS) + "/" + name, std::ios::binary) << text;
}

class RoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(RoundTrip, EveryTypeReadsBackToTheSameBytes) {
  testsupport::RecordedServices services;
  const std::string format = GetParam();
  auto source = Text(Fixture("all-types.qmx"));
  const std::vector<StoredMatrix> matrices = ReadAll(source);
  ASSERT_EQ(matrices.size(), 11u);
  // The source leaves words after a row on purpose; what is written leaves none.
  EXPECT_EQ(services.warnings, std::vector<std::string>{"3 values after the end of row 2 ignored (decimal commas?)"});
  services.warnings.clear();

  const std::string first = WrittenAll(matrices, format);
  KeepArtefact("all-types." + format + ".qmx", first);
  EXPECT_EQ(first, Fixture("all-types." + format + ".qmx"));

  auto reread = Text(first);
  const std::vector<StoredMatrix> again = ReadAll(reread);
  EXPECT_EQ(WrittenAll(again, format), first);
  EXPECT_TRUE(services.warnings.empty());
}

INSTANTIATE_TEST_SUITE_P(FileFormats, RoundTrip, ::testing::Values("e", "8.4f"),
                         [](const auto& param) { return std::string(param.param) == "e" ? "e" : "f8_4"; });

// What the source said survives the trip in format "e" (15 significant digits).
TEST(RoundTripValues, FormatEKeepsFifteenDigits) {
  testsupport::RecordedServices services;
  auto source = Text(Fixture("all-types.qmx"));
  const std::vector<StoredMatrix> before = ReadAll(source);
  auto written = Text(WrittenAll(before, "e"));
  const std::vector<StoredMatrix> after = ReadAll(written);

  const Rect_mx& a = *before[0].rect;
  const Rect_mx& b = *after[0].rect;
  EXPECT_EQ(b.missCode(), 1);
  EXPECT_EQ(b.missValue(), -999.0);
  for (std::int32_t i = 1; i <= a.rows(); ++i) {
    for (std::int32_t j = 1; j <= a.cols(); ++j)
      EXPECT_NEAR(b.getxij(i, j), a.getxij(i, j), 1e-14 * std::abs(a.getxij(i, j)));
  }
  EXPECT_EQ(b.getxij(1, 2), -999.0);
  EXPECT_EQ(after[0].rowLabels->GetLabel(3), "Gorilla");
  EXPECT_EQ(after[0].colLabels->GetLabel(4), "weight");
  EXPECT_EQ(after[2].rowLabels->GetLabel(2), "second");
  EXPECT_EQ(after[3].rowLabels->GetLabel(2), "last_two");
  EXPECT_EQ(after[1].rect->getxij(2, 3), 6.0);  // stored by columns
  EXPECT_TRUE(after[9].graph->NegativePointers);
}

// A selected part of a matrix, with its labels, is written and read back.
TEST(RoundTripValues, SelectionWritesTheSelectedPart) {
  const std::string text = "1 3L 4L 0\r\nr1 r2 r3\r\nc1 c2 c3 c4\r\n1 2 3 4\r\n5 6 7 8\r\n9 10 11 12\r\n";
  Index_mx rowSel(3), colSel(4);
  for (auto [k, v] : {std::pair{1, 2}, {2, 0}, {3, 1}}) rowSel.Put(k, v);
  for (auto [k, v] : {std::pair{1, 0}, {2, 1}, {3, 0}, {4, 2}}) colSel.Put(k, v);

  auto f = Text(text);
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader h;
  ReadMatrixHeader(f, comments, h, false, {1});
  Rect_mx m(2, 2);
  Label_mx rows(2), cols(2);
  Read(m, f, true, {&rows, h.rowLabelCode, true}, {&cols, h.colLabelCode, true}, &rowSel, &colSel);

  const auto write = [](const Rect_mx& x, const Label_mx& r, const Label_mx& c) {
    return Written([&](rtl::TextWriter& out) {
      WriteMatrixHeader(out, 1, x.rows(), x.cols(), 0, 0, "4.1f", lcBlock, lcBlock);
      WriteLabels(r, out);
      WriteLabels(c, out);
      Write(x, out, true, "4.1f");
    });
  };
  const std::string selected = write(m, rows, cols);
  EXPECT_EQ(selected, "1 2L 2L 0\r\nr3 r1 \r\nc2 c4 \r\n10.0 12.0 \r\n 2.0  4.0 \r\n");

  auto g = Text(selected);
  ReadMatrixHeader(g, comments, h, false, {1});
  Rect_mx back(2, 2);
  Label_mx backRows(2), backCols(2);
  Read(back, g, true, {&backRows, h.rowLabelCode, true}, {&backCols, h.colLabelCode, true});
  EXPECT_EQ(write(back, backRows, backCols), selected);
}

}  // namespace

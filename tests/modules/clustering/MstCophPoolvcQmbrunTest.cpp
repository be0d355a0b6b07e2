// A golden batch of MST, COPH and POOLVC through the headless batch driver:
// MST on labelled dissimilarities, similarities, one OTU (a graph of no
// edges), two OTUs and a tie; COPH on SAHN's type-5 and type-6 trees, a tree
// in parenthesis form and R's hclust tree with rows of 29 values; POOLVC from
// raw data with and without the test, from covariance matrices with the
// sample-size file of the first run, and the 10 and 12 example. The listing,
// the messages and every output file must match the stored ones.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/Matrixob.h"
#include "rtl/TextFile.h"
#include "tests/support/Qmbrun.h"

namespace {

namespace fs = std::filesystem;

const fs::path Fixtures = fs::path(MORVA_FIXTURES);
const fs::path Golden = Fixtures / "mst-coph-poolvc";

// The lower triangle of a pooled matrix file.
std::vector<double> PooledValues(const fs::path& file) {
  rtl::TextReader f(file.string());
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(f, comments, header, false, {mtSimilarity});
  if (header.rowLabelCode != lcNone) {
    Label_mx labels(header.rows);
    ReadLabels(labels, f);
  }
  Sym_mx s(mtSimilarity, header.rows);
  Read(s, f);
  std::vector<double> values;
  for (std::int32_t i = 1; i <= s.n(); ++i)
    for (std::int32_t j = 1; j <= i; ++j) values.push_back(s.getxij(i, j));
  return values;
}

TEST(MstCophPoolvcGolden, ListingMessagesAndFilesMatch) {
  const fs::path folder = qmbtest::FreshFolder("mst-coph-poolvc");
  for (const auto& entry : fs::directory_iterator(Golden)) {
    if (entry.is_regular_file()) fs::copy_file(entry.path(), folder / entry.path().filename());
  }
  for (const char* name : {"groups.qmx", "covs.qmx"}) fs::copy_file(Fixtures / "poolvc" / name, folder / name);
  fs::copy_file(Fixtures / "coph" / "tree5.qmx", folder / "tree5.qmx");

  const qmbtest::Outcome outcome = qmbtest::Run(folder, "golden.qmb");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  const auto expect = [&](const std::string& made, const std::string& stored) {
    qmbtest::ExpectSameAsGolden(folder / made, Golden / "expected" / stored);
  };
  expect("listing.txt", "listing.txt");
  expect("messages.txt", "messages.txt");
  for (const char* file :
       {"dis.grf", "sim.grf", "one.grf", "tie.grf", "dis-coph.qmx", "sim-coph.qmx", "paren-coph.qmx", "r-coph.qmx",
        "means.qmx", "pooled.qmx", "gs.qmx", "pooled-noth.qmx", "pooled-2.qmx", "pooled-10-12.qmx"}) {
    expect(file, file);
  }

  // The sample-size file of the run from raw data, with the groups'
  // covariance matrices, gives the same pooled matrix and test.
  const std::vector<double> fromData = PooledValues(folder / "pooled.qmx");
  const std::vector<double> fromCovariances = PooledValues(folder / "pooled-2.qmx");
  ASSERT_EQ(fromData.size(), fromCovariances.size());
  for (std::size_t k = 0; k < fromData.size(); ++k) EXPECT_NEAR(fromData[k], fromCovariances[k], 1e-12);
  const auto testLine = [&](std::size_t from) {
    const std::size_t at = outcome.out.find("X2 =", from);
    return at == std::string::npos ? std::string() : outcome.out.substr(at, outcome.out.find('\n', at) - at);
  };
  const std::size_t secondRun = outcome.out.find("Read input from file: gs.qmx");
  ASSERT_NE(secondRun, std::string::npos);
  EXPECT_EQ(testLine(outcome.out.find("Read input from file: groups.qmx")), testLine(secondRun));

  // The spanning tree of one OTU is a graph of no edges, and reads back.
  rtl::TextReader f((folder / "one.grf").string());
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ASSERT_TRUE(ReadMatrixHeader(f, comments, header, false, {mtGraphDissimilarity}));
  EXPECT_EQ(header.cols, 0);
  Label_mx labels(header.rows);
  ReadLabels(labels, f);
  EXPECT_EQ(labels.GetLabel(1), "Solo");
  Graph_mx graph(header.type, header.rows, header.cols);
  EXPECT_TRUE(Read(graph, f));
  EXPECT_EQ(graph.m(), 0);
}

// A refused run: its batch line, the input files it reads, the message box.
struct Refusal {
  const char* name;
  const char* command;
  std::vector<std::pair<const char*, const char*>> files;
  const char* message;
};

class MstCophPoolvcRefusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(MstCophPoolvcRefusals, StopTheBatchWithTheirMessage) {
  const Refusal& r = GetParam();
  const fs::path folder = qmbtest::FreshFolder(fs::path("mst-coph-poolvc-refusals") / r.name);
  for (const auto& [name, text] : r.files) {
    rtl::TextWriter f((folder / name).string());
    f.Write(text);
    f.Close();
  }
  {
    rtl::TextWriter batch((folder / "run.qmb").string());
    batch.WriteLine(r.command);
    batch.Close();
  }
  const qmbtest::Outcome outcome = qmbtest::Run(folder, "run.qmb");
  EXPECT_EQ(outcome.status, 1);
  // The message names the batch's one line.
  EXPECT_EQ(outcome.err, "line 1 (" + std::string(r.command) + "): " + r.message + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MstCophPoolvcRefusals,
    ::testing::Values(
        Refusal{"MstMissingValues",
                "*MST O=m.qmx R=m.grf",
                {{"m.qmx", "2 3 3 -1 -999\r\n0\r\n-999 0\r\n2 3 0\r\n"}},
                "This program cannot handle missing values"},
        Refusal{"CophPointerOutOfRange",
                "*COPH O=t.tre R=c.qmx",
                {{"t.tre", "5 3 2 0\r\n1 1.0\r\n7 2.0\r\n3\r\n"}},
                "Pointer value, 7, in tree matrix is out of range"},
        Refusal{"CophPointerTwice",
                "*COPH O=t.tre R=c.qmx",
                {{"t.tre", "6 3 2 0\r\n2 1.0\r\n2 2.0\r\n3\r\n"}},
                "Pointer value, 2, occurs twice in tree matrix"},
        Refusal{"CophParenthesisOtuBeyondN",
                "*COPH O=t.tre R=c.qmx",
                {{"t.tre", "5 3 2 0\r\n((1,2),9)\r\n"}},
                "OTU number (9) greater than number of OTUs"},
        Refusal{"PoolvcOneGroup",
                "*POOLVC O=g.qmx",
                {{"g.qmx", "1 2 3 0\r\n1 2 4\r\n2 1 5\r\n"}},
                "Must have at least two groups"},
        Refusal{"PoolvcMissingData",
                "*POOLVC O=g.qmx",
                {{"g.qmx", "1 2 3 -1 -9\r\n1 2 4\r\n2 -9 5\r\n"}},
                "Sorry, no missing data allowed"},
        Refusal{"PoolvcVariablesAsRowsDiffer",
                "*POOLVC O=g.qmx TH=N",
                {{"g.qmx", "1 2 3 0\r\n1 2 4\r\n2 1 5\r\n1 3 2 0\r\n1 2\r\n3 4\r\n5 6\r\n"}},
                "Numbers of variables not the same"},
        Refusal{"PoolvcVariablesAsColumnsDiffer",
                "*POOLVC O=g.qmx D=N TH=N",
                {{"g.qmx", "1 3 2 0\r\n1 2\r\n3 4\r\n5 6\r\n1 2 3 0\r\n1 2 4\r\n2 1 5\r\n"}},
                "Numbers of variables not the same as in previous matrix"},
        Refusal{"PoolvcGroupNotLargerThanP",
                "*POOLVC O=g.qmx",
                {{"g.qmx", "1 3 3 0\r\n1 2 4\r\n2 1 5\r\n0 0 1\r\n1 3 3 0\r\n1 2 4\r\n2 1 5\r\n0 0 1\r\n"}},
                "Each group sample size must be > number of variables. "},
        Refusal{"PoolvcSingularGroup",
                "*POOLVC O=g.qmx",
                {{"g.qmx", "1 2 3 0\r\n1 2 3\r\n2 4 6\r\n1 2 3 0\r\n3 5 4\r\n1 1 2\r\n"}},
                "Covariance matrix of group 1 is singular or not positive definite"},
        Refusal{"PoolvcNotPositiveDefinite",
                "*POOLVC O=s.qmx C=c.qmx",
                {{"s.qmx", "1 1 2 0\r\n5 5\r\n"}, {"c.qmx", "3 2 2 0\r\n1\r\n0 1\r\n3 2 2 0\r\n1\r\n2 1\r\n"}},
                "Covariance matrix of group 2 is singular or not positive definite"},
        Refusal{"PoolvcSizesNotAList",
                "*POOLVC O=s.qmx C=c.qmx",
                {{"s.qmx", "1 2 2 0\r\n5 5\r\n5 5\r\n"}, {"c.qmx", "3 1 1 0\r\n1\r\n"}},
                "List of sample sizes should be a 1xn or nx1 matrix"},
        Refusal{"PoolvcSizesMissing",
                "*POOLVC O=s.qmx C=c.qmx",
                {{"s.qmx", "1 1 2 -1 -9\r\n5 5\r\n"}, {"c.qmx", "3 1 1 0\r\n1\r\n"}},
                "No missing values allowed in sample size array"},
        Refusal{"PoolvcSizeZero",
                "*POOLVC O=s.qmx C=c.qmx TH=N",
                {{"s.qmx", "1 1 2 0\r\n5 0\r\n"}, {"c.qmx", "3 1 1 0\r\n1\r\n3 1 1 0\r\n1\r\n"}},
                "Sample size of group 2 must be a whole number of at least 1"},
        Refusal{"PoolvcTooFewMatrices",
                "*POOLVC O=s.qmx C=c.qmx",
                {{"s.qmx", "1 1 2 0\r\n5 5\r\n"}, {"c.qmx", "3 1 1 0\r\n1\r\n"}},
                "Only 1 covariance matrices in VCV file for 2 groups"},
        Refusal{"PoolvcAdditionalData",
                "*POOLVC O=s.qmx C=c.qmx",
                {{"s.qmx", "1 1 2 0\r\n5 5\r\n"}, {"c.qmx", "3 1 1 0\r\n1\r\n3 1 1 0\r\n2\r\n3 1 1 0\r\n3\r\n"}},
                "Additional data in VCV file after reading 2 matrices"},
        Refusal{"PoolvcNoWithinDegreesOfFreedom",
                "*POOLVC O=s.qmx C=c.qmx TH=N",
                {{"s.qmx", "1 1 2 0\r\n1 1\r\n"}, {"c.qmx", "3 1 1 0\r\n1\r\n3 1 1 0\r\n2\r\n"}},
                "Must have sufficient samples sizes so that degrees of freedom within are greater than zero"},
        Refusal{"PoolvcCovariancesDiffer",
                "*POOLVC O=s.qmx C=c.qmx TH=N",
                {{"s.qmx", "1 1 2 0\r\n5 5\r\n"}, {"c.qmx", "3 1 1 0\r\n1\r\n3 2 2 0\r\n1\r\n0 1\r\n"}},
                "Numbers of variables not the same as in previous matrix"}),
    [](const auto& test) { return std::string(test.param.name); });

// A run refused at its second group leaves the pooled matrix's file as it
// was: the first group's comment lines are not left in it.
TEST(MstCophPoolvcRefusals, LeaveThePreviousOutput) {
  const fs::path folder = qmbtest::FreshFolder(fs::path("mst-coph-poolvc-refusals") / "LeaveThePreviousOutput");
  rtl::TextWriter data((folder / "g.qmx").string());
  data.Write("\" first group\r\n1 2 3 0\r\n1 2 4\r\n2 1 5\r\n1 3 2 0\r\n1 2\r\n3 4\r\n5 6\r\n");
  data.Close();
  rtl::TextWriter batch((folder / "run.qmb").string());
  batch.WriteLine("*POOLVC O=g.qmx V=v.qmx TH=N");
  batch.Close();
  rtl::TextWriter previous((folder / "v.qmx").string());
  previous.Write("previous\r\n");
  previous.Close();
  const qmbtest::Outcome outcome = qmbtest::Run(folder, "--overwrite run.qmb");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(rtl::ReadWholeFile((folder / "v.qmx").string()), "previous\r\n");
}

}  // namespace

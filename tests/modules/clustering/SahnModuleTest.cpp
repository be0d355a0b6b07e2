// The SAHN module as the dialog and the batch runner run it: its descriptor,
// its listing and tree files, its refusals and the trees it keeps.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/clustering/sahn.h"
#include "rtl/TextFile.h"
#include "shell/PlotWindows.h"
#include "tests/modules/clustering/SahnRunSupport.h"
#include "tests/support/ScopedHook.h"

namespace {

using namespace sahntest;

TEST(SahnDescribe, FillsTheDescriptorWithTheModuleTable) {
  TModuleRec module;
  SahnDescribe(module);
  EXPECT_EQ(module.name, "SAHN");
  EXPECT_EQ(module.title, "SAHN clustering");
  EXPECT_EQ(module.helpContext, 516);
  EXPECT_EQ(module.run, &SahnRun);
  EXPECT_EQ(module.release, &SahnRelease);
  ASSERT_EQ(module.params.size(), 7u);
  std::vector<std::string> keywords;
  for (const TParamRec& p : module.params) {
    keywords.push_back(p.keyword);
    EXPECT_EQ(p.helpContext, 1001);
  }
  EXPECT_EQ(keywords, (std::vector<std::string>{"O", "R", "CM", "TM", "NT", "TOL", "B"}));
  EXPECT_TRUE(module.params[0].required);
  EXPECT_EQ(module.params[2].ChoiceText(), "UPGMA");
  EXPECT_EQ(module.params[2].ItemWidth(), 8);
  EXPECT_EQ(module.params[3].ChoiceText(), "WARN");
  EXPECT_EQ(module.params[4].integer, 25);
  EXPECT_EQ(module.params[4].max, "9999");
  EXPECT_EQ(module.params[5].mask, "##.########");
  ASSERT_EQ(module.buttons.size(), 1u);
  EXPECT_EQ(module.buttons[0].hint, "Plot tree");
  EXPECT_EQ(module.buttons[0].glyph, "Tree");
}

const char* const kTiedDistances =
    "\" five OTUs with tied distances\r\n"
    "2 5L 5 0\r\n"
    "Alpha Beta Gamma Delta Eps\r\n"
    "0\r\n2 0\r\n2 4 0\r\n6 6 6 0\r\n6 6 7 3 0\r\n";

TEST_F(SahnRunTest, ListsTheRunAndWritesTheTreeWithTheInputsComments) {
  const std::string input = Write("in.qmx", kTiedDistances);
  Run({.input = input, .output = Path("tree.qmx")});

  const std::vector<std::string> head(services.lines.begin(), services.lines.begin() + 12);
  const std::vector<std::string> expected = {
      "Input parameters",
      "Read input from file: " + input,
      "Save result tree in output file: " + Path("tree.qmx"),
      "Clustering method: UPGMA",
      "In case of ties: WARN",
      "",
      "Comments:",
      "  five OTUs with tied distances",
      "type=2, size=5 by 5, nc=none  (dissimilarity)",
      "Results will be stored in file: " + Path("tree.qmx"),
      "** Warning - at least one tie found that can influence clustering **",
      "",
  };
  EXPECT_EQ(head, expected);
  EXPECT_EQ(services.warnings,
            (std::vector<std::string>{"At least one tie found that could change clustering.  You may wish to use the "
                                      "FIND option."}));
  EXPECT_EQ(rtl::ReadWholeFile(Path("tree.qmx")),
            "\" five OTUs with tied distances\r\n"
            "\" SAHN: input=" +
                input +
                ", method=UPGMA, tie=WARN\r\n"
                "5 5L 2  0\r\n"
                "Alpha Beta Gamma Delta Eps \r\n"
                "  1 2.00000000000000E+000\r\n"
                "  2 3.00000000000000E+000\r\n"
                "  3 6.16666666666667E+000\r\n"
                "  4 3.00000000000000E+000\r\n"
                "   5 0.0\r\n");
}

TEST_F(SahnRunTest, ListsOptionalValuesOnlyWhenTheyMatter) {
  const std::string input = Write("in.qmx", kTiedDistances);
  Run({.input = input, .method = "FLEXI", .ties = "FIND", .maxTrees = 3, .tol = 0.5, .beta = -0.25});
  const std::vector<std::string> head(services.lines.begin(), services.lines.begin() + 8);
  const std::vector<std::string> expected = {
      "Input parameters",
      "Read input from file: " + input,
      "Clustering method: FLEXI",
      "In case of ties: FIND",
      "Max. no. tied trees:          3",
      "Tie cut off:   0.5000",
      "Beta:   -0.25000",
      "",
  };
  EXPECT_EQ(head, expected);
  EXPECT_TRUE(Listed("beta =   -0.25000 alpha =    0.62500"));
  EXPECT_TRUE(Listed("Searching for all tied trees"));
  EXPECT_FALSE(Listed("Results will be stored in file: "));
}

struct RefusalCase {
  const char* name;
  const char* method;
  const char* header;
  const char* message;
};

class SahnRefusals : public SahnRunTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SahnRefusals, EndTheRunWithTheirMessage) {
  const RefusalCase& c = GetParam();
  const std::string input = Write("in.qmx", std::string(c.header) + "\r\n0\r\n0.5 0\r\n0.25 0.75 0\r\n");
  ExpectRefused({.input = input, .method = c.method}, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SahnRefusals,
    ::testing::Values(RefusalCase{"MissingValues", "UPGMA", "2 3 3 1 -9", "This program cannot handle Missing values"},
                      RefusalCase{"WpgmsOnDissimilarities", "WPGMS", "2 3 3 0", "WPGMS not defined for dissimilarity"},
                      RefusalCase{"WpgmcOnSimilarities", "WPGMC", "3 3 3 0", "WPGMC not defined for similarity"},
                      RefusalCase{"UpgmcOnSimilarities", "UPGMC", "3 3 3 0", "UPGMC not defined for similarity"},
                      RefusalCase{"NoOtus", "UPGMA", "2 0 0 0", "There are no OTUs to cluster."}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(SahnRunTest, RefusesAValueOfTheSearchMarksSize) {
  const std::string input = Write("in.qmx", "2 3 3 0\r\n0\r\n1 0\r\n9e200 2 0\r\n");
  ExpectRefused({.input = input},
                "SAHN cannot cluster the value 9E200 at row 3, column 1:\nvalues must be numbers below 9e200 in size.");
  ExpectRefused({.input = input, .ties = "FIND"},
                "SAHN cannot cluster the value 9E200 at row 3, column 1:\nvalues must be numbers below 9e200 in size.");
}

TEST_F(SahnRunTest, JoinsTheMostSimilarPairFirstAndKeepsSimilarityLevels) {
  // UPGMC joins (1,2) and then sees {1,2} as dissimilar to all: refused above.
  const std::string input = Write("sim.qmx", "3 4 4 0\r\n1\r\n0.9 1\r\n0.8 0.7 1\r\n0.85 0.75 0.6 1\r\n");
  Run({.input = input, .method = "SINGLE"});
  ASSERT_TRUE(SahnResults());
  ASSERT_EQ(SahnResults()->Count(), 1);
  const Tree_mx& tree = (*SahnResults())[0];
  EXPECT_EQ(tree.matrixType(), 6);
  // 1 and 2 at 0.9, then 4 at 0.85, then 3 at 0.8.
  EXPECT_EQ(Nodes(tree), (std::vector<std::pair<std::int32_t, double>>{{1, 0.9}, {2, 0.85}, {4, 0.8}, {3, 0.0}}));
  EXPECT_EQ(tree.Labels->GetLabel(3), "OTU-3");
}

TEST_F(SahnRunTest, KeepsOneTreePerDataSetWithItsLabelsUntilReleased) {
  const std::string input = Write("two.qmx", std::string(kTiedDistances) + "2 3 3 0\r\n0\r\n1 0\r\n2 3 0\r\n");
  Run({.input = input, .method = "COMPLETE"});
  const std::shared_ptr<const TTreeMxList> kept = SahnResults();
  ASSERT_TRUE(kept);
  ASSERT_EQ(kept->Count(), 2);
  EXPECT_EQ((*kept)[0].Labels->GetLabel(5), "Eps");
  EXPECT_EQ((*kept)[1].Labels->GetLabel(2), "OTU-2");
  EXPECT_TRUE(Listed("---- next dataset ----"));

  // A new run starts a new list; a plot still holding the old one keeps it.
  Run({.input = input, .method = "SINGLE"});
  EXPECT_NE(SahnResults(), kept);
  EXPECT_EQ(kept->Count(), 2);
  SahnRelease();
  EXPECT_FALSE(SahnResults());
  EXPECT_EQ((*kept)[1].n(), 3);
}

// The plot button opens its tree plot through the opener the windowed part
// installs; the plot shares the trees, so they outlive the module's release.
TEST_F(SahnRunTest, PlotTreeOpensTheKeptTreesThroughTheInstalledOpener) {
  std::vector<TTreePlotRequest> requests;
  TPlotOpeners openers;
  openers.tree = [&requests](const TTreePlotRequest& request) -> std::unique_ptr<TPlotObject> {
    requests.push_back(request);
    return nullptr;
  };
  const testsupport::ScopedHook installed(InstallPlotOpeners, openers);
  SahnPlotTree();
  EXPECT_TRUE(requests.empty()) << "no run, no trees, no plot";

  Run({.input = Write("d.qmx", kTiedDistances), .method = "COMPLETE"});
  SahnPlotTree();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].results, SahnResults());
  EXPECT_EQ(requests[0].windowName, "SAHNTreeF");
  EXPECT_EQ(requests[0].helpContext, 1);
  SahnRelease();
  EXPECT_EQ(requests[0].results->Count(), 1);
}

TEST_F(SahnRunTest, FindWritesEveryTiedTreeAsAMatrixTheTreeReaderReads) {
  const std::string input = Write("in.qmx", kTiedDistances);
  Run({.input = input, .output = Path("trees.qmx"), .ties = "FIND"});
  EXPECT_TRUE(Listed("A total of 2 tied trees were found"));
  EXPECT_TRUE(Listed("(note: some trees may be duplicates)"));
  EXPECT_TRUE(services.warnings.empty());

  rtl::TextReader f(Path("trees.qmx"));
  std::vector<std::string> firstComments;
  for (int number = 1; number <= 2; ++number) {
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, false, {5});
    ASSERT_EQ(header.rows, 5);
    Label_mx labels(5);
    ReadLabels(labels, f);
    EXPECT_EQ(labels.GetLabel(1), "Alpha");
    Tree_mx tree(5, 5);
    ASSERT_TRUE(Read(tree, f));
    const Tree_mx& kept = (*SahnResults())[number - 1];
    for (std::int32_t k = 1; k <= 5; ++k) {
      EXPECT_EQ(tree.GetPointer(k), kept.GetPointer(k)) << "tree " << number;
      if (k < 5) {
        EXPECT_DOUBLE_EQ(tree.GetValue(k), kept.GetValue(k)) << "tree " << number;
      }
    }
    if (number == 2) {
      ASSERT_TRUE(comments);
      EXPECT_EQ(comments->Count(), 1);
      EXPECT_EQ((*comments)[0], " Solution tree number 2");
    }
  }
  EXPECT_TRUE(f.SeekEof());
}

TEST_F(SahnRunTest, FindWithATreeLimitOfOneClustersOnceAndWarns) {
  const std::string input = Write("in.qmx", kTiedDistances);
  Run({.input = input, .ties = "FIND", .maxTrees = 1});
  EXPECT_FALSE(Listed("Searching for all tied trees"));
  EXPECT_TRUE(Listed("** Warning - at least one tie found that can influence clustering **"));
  EXPECT_EQ(services.warnings.size(), 1u);
  EXPECT_EQ(SahnResults()->Count(), 1);
}

TEST_F(SahnRunTest, FindListsTheTruncationAtTheTreeLimitAndWarns) {
  const std::string input = Write("eq.qmx", "2 4 4 0\r\n0\r\n1 0\r\n1 1 0\r\n1 1 1 0\r\n");
  Run({.input = input, .ties = "FIND", .maxTrees = 6});
  EXPECT_EQ(SahnResults()->Count(), 6);
  EXPECT_TRUE(Listed("Solution tree number 6"));
  EXPECT_FALSE(Listed("Solution tree number 7"));
  EXPECT_TRUE(Listed("Warning: search for tied trees truncated at 6 trees."));
  EXPECT_TRUE(Listed("A total of 6 tied trees were found"));
  EXPECT_EQ(services.warnings, std::vector<std::string>{"Search for tied trees aborted at limit of 6 trees"});
}

}  // namespace

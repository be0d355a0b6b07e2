// The NJOIN module: its descriptor, its refusals with their messages, the
// rooting choices, the files it writes for a similarity input, and the notes
// for long runs.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "modules/clustering/njoin.h"
#include "rtl/Format.h"
#include "tests/modules/clustering/ModuleRunSupport.h"

namespace {

using moduletest::Args;

TEST(NjoinDescribe, FillsTheDescriptor) {
  TModuleRec module;
  NjoinDescribe(module);
  EXPECT_EQ(module.name, "Njoin");
  EXPECT_EQ(module.title, "Neighbor joining");
  EXPECT_EQ(module.helpContext, 512);
  ASSERT_EQ(module.params.size(), 8U);
  std::vector<std::string> keywords;
  for (const TParamRec& p : module.params) keywords.push_back(p.keyword);
  EXPECT_EQ(keywords, (std::vector<std::string>{"O", "R1", "R2", "TM", "NT", "TOL", "RM", "OUT"}));
  EXPECT_EQ(module.params[3].ChoiceText(), "WARN");
  EXPECT_EQ(module.params[4].integer, 25);
  EXPECT_EQ(module.params[6].ChoiceText(), "MIDPOINT");
  EXPECT_EQ(module.params[7].text, "          ");
  ASSERT_EQ(module.buttons.size(), 1U);
  EXPECT_EQ(module.buttons[0].hint, "Plot tree");
  EXPECT_EQ(module.buttons[0].glyph, "Tree");
}

// The additive tree ((1:1, 2:2):3, (3:4, 4:5)), and the same of six OTUs
// ((A:2, B:3):4, (C:1, D:5):2, (E:3, F:6):1).
const char* const kFour = "2 4 4 0\n0\n3 0\n8 9 0\n9 10 9 0\n";
const char* const kSix = "2 6 6 0\n0\n5 0\n9 10 0\n13 14 6 0\n10 11 7 11 0\n13 14 10 14 9 0\n";

class NjoinRunTest : public moduletest::ModuleRunTest {
 protected:
  NjoinRunTest() : ModuleRunTest(NjoinDescribe) {}
};

struct Refusal {
  const char* name;
  const char* matrix;
  Args args;
  const char* message;
};

class NjoinRefusals : public NjoinRunTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(NjoinRefusals, EndTheRunWithTheirMessage) {
  Args args = GetParam().args;
  args["O"] = Write("in.qmx", GetParam().matrix);
  ExpectRefused(args, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, NjoinRefusals,
    ::testing::Values(
        Refusal{"MissingValues", "2 3 3 1 -9\n0\n1 0\n2 3 0\n", {}, "This program cannot handle missing values"},
        Refusal{"TwoOtus", "2 2 2 0\n0\n1 0\n", {}, "Neighbor joining needs at least 3 OTUs"},
        Refusal{
            "InvalidCharacter", kSix, {{"RM", "OUTGROUP"}, {"OUT", "3a"}}, "Invalid character (a) in outgroup list"},
        Refusal{"BadNumber",
                kSix,
                {{"RM", "OUTGROUP"}, {"OUT", "123456789012345678901234"}},
                "Bad integer number (123456789012345678901234) for root OTU"},
        Refusal{"OutOfRange", kSix, {{"RM", "OUTGROUP"}, {"OUT", "2,7"}}, "index (7) for root OTU out of range"},
        Refusal{"TooMany",
                kSix,
                {{"RM", "OUTGROUP"}, {"OUT", "1 2 3 4 5 6 1 2 3 4 5 6 1 2 3 4 5 6 1 2 3"}},
                "Too many OTUs in outgroup list (max = 20)"},
        Refusal{"NotAClade", kSix, {{"RM", "OUTGROUP"}, {"OUT", "1 3"}}, "Outgroup is not monophyletic."},
        Refusal{
            "BlankOutgroup", kSix, {{"RM", "OUTGROUP"}}, "No outgroup OTUs were given for rooting method OUTGROUP."}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(NjoinRunTest, RefusesMoreThanFiveHundredOtus) {
  std::string matrix = "2 501 501 0\n";
  for (int i = 1; i <= 501; ++i) matrix += std::string(static_cast<std::size_t>(2 * i - 1), '1') + "\n";
  ExpectRefused({{"O", Write("in.qmx", matrix)}}, "Input matrix is too large, maximum size is 500");
}

TEST_F(NjoinRunTest, OutgroupsRootTheTree) {
  const std::string input = Write("in.qmx", kSix);
  struct Case {
    const char* text;
    const char* title;
    std::vector<std::int32_t> order;
  };
  // Rooted on a clade, its OTUs stand together at one end.
  for (const Case& c : std::vector<Case>{{"", " ( 1)", {1, 2, 3, 4, 5, 6}},
                                         {"5,6", " ( 5 6)", {1, 2, 3, 4, 5, 6}},
                                         {"3", " ( 3)", {1, 2, 5, 6, 4, 3}}}) {
    const std::string output = std::string("out") + c.text + ".tre";
    Run({{"O", input}, {"R1", Path(output)}, {"RM", "OUTGROUP"}, {"OUT", c.text}});
    EXPECT_NE(ReadFile(output).find("root=OUTGROUP" + std::string(c.title) + "\r\n"), std::string::npos) << c.text;
    const Tree_mx& tree = (*NjoinResults())[0];
    std::vector<std::int32_t> order;
    for (std::int32_t k = 1; k <= tree.n(); ++k) order.push_back(tree.GetPointer(k));
    EXPECT_EQ(order, c.order) << c.text;
  }
}

TEST_F(NjoinRunTest, SimilarityInputWritesADissimilarityTreeAndASimilarityGraph) {
  // Similarities 1 - d / 10 of the four-OTU tree, diagonal 1.
  const std::string input = Write("in.qmx", "3 4 4 0\n1\n0.7 1\n0.2 0.1 1\n0.1 0 0.1 1\n");
  Run({{"O", input}, {"R1", Path("out.tre")}, {"R2", Path("out.gra")}});
  EXPECT_NE(ReadFile("out.tre").find("\r\n5 4  2  0\r\n"), std::string::npos) << ReadFile("out.tre");
  EXPECT_NE(ReadFile("out.gra").find("\r\n8 4  5  0\r\n"), std::string::npos) << ReadFile("out.gra");
  // The working values -s are 1 - s less 1, whose tree has every pendant
  // branch 0.5 shorter; the diagonal's -1 gives the 0.5 back. So the graph is
  // the tree of 1 - s, branches 0.1, 0.2, 0.4, 0.5 and 0.3, with the input's
  // sign.
  EXPECT_TRUE(Listed("Length of graph =  -1.5000"));
  EXPECT_TRUE(Listed("(Large values are desired since clustering similarity.)"));
  EXPECT_NE(ReadFile("out.gra").find("\r\n    4    -2 -5.00000000000000E-001\r\n"), std::string::npos)
      << ReadFile("out.gra");
}

TEST_F(NjoinRunTest, LongRunsAreAnnounced) {
  struct Case {
    std::int32_t n;
    bool first;
    bool second;
  };
  for (const Case& c : std::vector<Case>{{100, false, false}, {101, true, false}, {151, true, true}}) {
    std::string matrix = rtl::Format("2 %d %d 0\n", c.n, c.n);
    for (std::int32_t i = 1; i <= c.n; ++i) {
      for (std::int32_t j = 1; j < i; ++j) matrix += std::to_string(i + j) + " ";
      matrix += "0\n";
    }
    Run({{"O", Write("in.qmx", matrix)}});
    EXPECT_EQ(Listed(" Note: this run may take a while"), c.first) << c.n;
    EXPECT_EQ(Listed(" -- actually, quite a while!"), c.second) << c.n;
  }
}

TEST_F(NjoinRunTest, KeepsEveryTreeOfTheRunWithItsLabels) {
  const std::string input = Write("in.qmx", "2 4L 4 0\nP Q R S\n0\n2 0\n2 2 0\n2 2 2 0\n");
  Run({{"O", input}, {"TM", "FIND"}, {"NT", 4.0}});
  ASSERT_TRUE(NjoinResults());
  EXPECT_EQ(NjoinResults()->Count(), 4);
  EXPECT_EQ((*NjoinResults())[3].Labels->GetLabel(1), "P");
  EXPECT_TRUE(Listed("Warning: search for tied trees truncated at 4 trees"));
  EXPECT_EQ(services.warnings, std::vector<std::string>{"Search for tied trees aborted at limit of 4 trees"});
  Run({{"O", input}});
  EXPECT_EQ(NjoinResults()->Count(), 1);
  EXPECT_EQ(services.warnings,
            std::vector<std::string>{"At least one tied tree found. You may wish to rerun with FIND option"});
  NjoinRelease();
  EXPECT_FALSE(NjoinResults());
}

}  // namespace

// The CONSENS module: its descriptor, its refusals with their messages, and a
// consensus that does not depend on what the listing shows.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "modules/clustering/consens.h"
#include "tests/modules/clustering/ModuleRunSupport.h"

namespace {

using moduletest::Args;

TEST(ConsensDescribe, FillsTheDescriptor) {
  TModuleRec module;
  ConsensDescribe(module);
  EXPECT_EQ(module.name, "consens");
  EXPECT_EQ(module.title, "Consensus");
  EXPECT_EQ(module.helpContext, 502);
  ASSERT_EQ(module.params.size(), 7U);
  std::vector<std::string> keywords;
  for (const TParamRec& p : module.params) keywords.push_back(p.keyword);
  EXPECT_EQ(keywords, (std::vector<std::string>{"O1", "O2", "M", "R", "S", "SS", "ST"}));
  EXPECT_EQ(module.params[2].prompt, "Consesus method");
  EXPECT_EQ(module.params[2].hint, "Consnsus method");
  EXPECT_EQ(module.params[2].ChoiceText(), "STRICT");
  EXPECT_EQ(module.params[4].real, 0.5);
  EXPECT_TRUE(module.params[5].check);
  EXPECT_FALSE(module.params[6].check);
  ASSERT_EQ(module.buttons.size(), 1U);
  EXPECT_EQ(module.buttons[0].hint, "Plot consensus tree");
}

// Trees of four OTUs: ((1,2),(3,4)) and (((1,2),3),4).
const char* const kTreeA = "5 4 2 0\n1 1\n2 3\n3 1\n4\n";
const char* const kTreeB = "5 4 2 0\n1 1\n2 2\n3 3\n4\n";

class ConsensRunTest : public moduletest::ModuleRunTest {
 protected:
  ConsensRunTest() : ModuleRunTest(ConsensDescribe) {}
};

struct Refusal {
  const char* name;
  std::string first;
  std::string second;  // none when empty
  const char* message;
};

class ConsensRefusals : public ConsensRunTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ConsensRefusals, EndTheRunWithTheirMessage) {
  const Refusal& r = GetParam();
  Args args{{"O1", Write("one.tre", r.first)}};
  if (!r.second.empty()) args["O2"] = Write("two.tre", r.second);
  std::string message = r.message;
  const std::size_t name = message.find("%");
  if (name != std::string::npos) message.replace(name, 1, r.second.empty() ? Path("one.tre") : Path("two.tre"));
  ExpectRefused(args, message);
}

std::string ManyOtus(int n) {
  std::string tree = "5 " + std::to_string(n) + " 2 0\n";
  for (int k = 1; k < n; ++k) tree += std::to_string(k) + " 1\n";
  return tree + std::to_string(n) + "\n";
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, ConsensRefusals,
    ::testing::Values(Refusal{"OneTreeOnly", kTreeA, "", "Only 1 tree in file: % -- nothing to do"},
                      Refusal{"NoTreeToMatch", kTreeA, " \n", "No tree in file: % to match"},
                      Refusal{"UnequalSizes", std::string(kTreeA) + "5 3 2 0\n1 1\n2 2\n3\n", "",
                              "All trees must be the same size as the first tree"},
                      Refusal{"UnequalSizesInTwoFiles", kTreeA, "5 3 2 0\n1 1\n2 2\n3\n",
                              "All trees must be the same size as the first tree"},
                      Refusal{"MissingValues", "5 4 2 1 -9\n1 1\n2 3\n3 1\n4\n", "", "No missing values are allowed"},
                      Refusal{"MissingValuesLater", std::string(kTreeA) + "5 4 2 1 -9\n1 1\n2 3\n3 1\n4\n", "",
                              "No missing values are allowed"},
                      Refusal{"TooLarge", ManyOtus(501), "", "Input matrix is too large, maximum size is 500"},
                      Refusal{"TooSmall", "5 2 2 0\n1 1\n2\n5 2 2 0\n1 1\n2\n", "",
                              "A consensus needs trees of at least 3 OTUs"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(ConsensRunTest, ShowingSetsChangesTheListingOnly) {
  const std::string input = Write("in.tre", std::string(kTreeA) + kTreeB + kTreeB);
  for (const char* method : {"MAJRUL", "STINEB", "STRICT"}) {
    Run({{"O1", input}, {"M", method}, {"SS", true}});
    const std::size_t shown = services.lines.size();
    const std::shared_ptr<const TTreeMxList> firstRun = ConsensResults();
    const Tree_mx& withSets = (*firstRun)[0];
    Run({{"O1", input}, {"M", method}, {"SS", false}});
    EXPECT_LT(services.lines.size(), shown) << method;
    const Tree_mx& withoutSets = (*ConsensResults())[0];
    for (std::int32_t k = 1; k <= 4; ++k) {
      EXPECT_EQ(withSets.GetPointer(k), withoutSets.GetPointer(k)) << method;
      EXPECT_EQ(withSets.GetValue(k), withoutSets.GetValue(k)) << method;
    }
  }
}

TEST_F(ConsensRunTest, KeepsTheConsensusTreeWithDefaultLabels) {
  Run({{"O1", Write("one.tre", kTreeA)}, {"O2", Write("two.tre", kTreeB)}});
  ASSERT_TRUE(ConsensResults());
  ASSERT_EQ(ConsensResults()->Count(), 1);
  const Tree_mx& tree = (*ConsensResults())[0];
  EXPECT_EQ(tree.Labels->GetLabel(3), "OTU-3");
  // Only (1,2) is in both trees: 1 and 2 join below the others.
  EXPECT_EQ(tree.GetPointer(1), 1);
  EXPECT_EQ(tree.GetPointer(2), 2);
  EXPECT_LT(tree.GetValue(1), tree.GetValue(2));
  EXPECT_TRUE(Listed("No. trees= 2, Method = STRICT"));
  ConsensRelease();
  EXPECT_FALSE(ConsensResults());
}

}  // namespace

// SAHN's trees against the cophenetic values of SciPy's linkage and R's
// hclust on random tie-free matrices of 50 objects (made by the script in
// tests/fixtures/sahn/references).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "rtl/Convert.h"
#include "rtl/TextFile.h"
#include "tests/modules/clustering/SahnRunSupport.h"
#include "tests/modules/clustering/SahnTestSupport.h"

namespace {

using namespace sahntest;

const std::filesystem::path References = std::filesystem::path(MORVA_FIXTURES) / "sahn" / "references";

// The reference values, in the order (2,1), (3,1), (3,2), (4,1), ...
std::vector<double> ReadCophenetic(const std::string& name) {
  rtl::TextReader f((References / name).string());
  std::vector<double> values;
  std::string line;
  while (f.ReadLine(line)) values.push_back(rtl::StrToFloat(line));
  return values;
}

struct ReferenceCase {
  const char* matrix;
  const char* tool;    // the reference's method name
  const char* method;  // SAHN's
};

class SahnAgainstReferences : public SahnRunTest, public ::testing::WithParamInterface<ReferenceCase> {};

TEST_P(SahnAgainstReferences, GivesTheirCopheneticValues) {
  const ReferenceCase& c = GetParam();
  Run({.input = (References / (std::string(c.matrix) + ".qmx")).string(), .method = c.method});
  EXPECT_TRUE(services.warnings.empty());
  ASSERT_TRUE(SahnResults());
  const Tree_mx& tree = (*SahnResults())[0];
  TSahnDendrogram dendrogram;
  for (std::int32_t k = 1; k <= tree.n(); ++k) {
    dendrogram.order.push_back(tree.GetPointer(k));
    if (k < tree.n()) dendrogram.levels.push_back(tree.GetValue(k));
  }
  const Cophenetic coph = CopheneticOf(dendrogram);
  const std::vector<double> expected = ReadCophenetic(std::string(c.matrix) + "." + c.tool + ".coph");
  ASSERT_EQ(expected.size(), 50u * 49u / 2u);
  std::size_t k = 0;
  for (std::size_t i = 2; i <= 50; ++i) {
    for (std::size_t j = 1; j < i; ++j, ++k) {
      ASSERT_NEAR(coph[i][j], expected[k], 1e-9) << "OTUs " << i << " and " << j;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Methods, SahnAgainstReferences,
    ::testing::Values(ReferenceCase{"plane50", "single", "SINGLE"}, ReferenceCase{"plane50", "complete", "COMPLETE"},
                      ReferenceCase{"plane50", "average", "UPGMA"}, ReferenceCase{"plane50", "weighted", "WPGMA"},
                      ReferenceCase{"plane50", "centroid", "UPGMC"}, ReferenceCase{"plane50", "median", "WPGMC"},
                      ReferenceCase{"plane50", "mcquitty", "WPGMA"}, ReferenceCase{"space50", "single", "SINGLE"},
                      ReferenceCase{"space50", "complete", "COMPLETE"}, ReferenceCase{"space50", "average", "UPGMA"},
                      ReferenceCase{"space50", "weighted", "WPGMA"}, ReferenceCase{"space50", "mcquitty", "WPGMA"}),
    [](const auto& test) { return std::string(test.param.matrix) + "_" + test.param.tool; });

}  // namespace

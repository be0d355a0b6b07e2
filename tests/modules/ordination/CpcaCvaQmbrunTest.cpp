// Golden runs of CPCA, CVA, CANPLS and CORRESP through the headless batch driver: the
// listing, the files written and the message boxes must match the stored
// ones byte for byte. The numbers in them are those the computation tests
// check against R.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/Qmbrun.h"

namespace {

namespace fs = std::filesystem;

struct GoldenCase {
  const char* module;  // the fixtures' folder, which holds the inputs
  const char* stem;    // the batch file and the outputs' names
  std::vector<std::string> outputs;
};

class CanonicalGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(CanonicalGolden, ListingFilesAndMessagesMatch) {
  const GoldenCase& c = GetParam();
  const fs::path inputs = fs::path(MORVA_FIXTURES) / c.module;
  qmbtest::ExpectGoldenBatch(inputs / "golden", {inputs, inputs / "golden"}, fs::path(c.module) / "qmbrun" / c.stem,
                             c.stem, c.outputs);
}

INSTANTIATE_TEST_SUITE_P(Batches, CanonicalGolden,
                         ::testing::Values(GoldenCase{"cpca", "raw", {"vec", "lam", "cov"}},
                                           GoldenCase{"cpca", "covariances", {"vec", "lam", "cov"}},
                                           GoldenCase{"cpca", "fallback", {"vec", "lam", "cov"}},
                                           GoldenCase{"cpca", "onevar", {"vec", "lam", "cov"}},
                                           GoldenCase{"cpca", "refused", {"vec"}},
                                           GoldenCase{"cva", "compute", {"cv", "vv", "cs", "gd"}},
                                           GoldenCase{"cva", "given", {"cv", "vv", "cs", "gd"}},
                                           GoldenCase{"canpls", "pls", {"l", "r", "val", "lc", "rc", "w", "res"}},
                                           GoldenCase{"canpls", "cancor", {"l", "r", "val", "lc", "rc", "w", "res"}},
                                           GoldenCase{"corresp", "plain", {"rf", "cf", "val", "ra", "ca", "rc", "cc"}},
                                           GoldenCase{"corresp", "turned", {"rf", "cf", "val", "ra", "ca", "rc", "cc"}},
                                           GoldenCase{"corresp", "reduced", {"rf", "cf", "val"}}),
                         [](const auto& test) { return std::string(test.param.module) + "_" + test.param.stem; });

}  // namespace

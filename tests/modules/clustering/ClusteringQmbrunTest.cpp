// Golden runs of NJOIN and CONSENS through the headless batch driver: the
// listing, the files written and the message boxes must match the stored
// ones byte for byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/Qmbrun.h"

namespace {

namespace fs = std::filesystem;

struct GoldenCase {
  const char* module;  // the fixtures' folder
  const char* stem;    // the batch file and the outputs' names
  std::vector<std::string> outputs;
};

class ClusteringGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(ClusteringGolden, ListingFilesAndMessagesMatch) {
  const GoldenCase& c = GetParam();
  const fs::path golden = fs::path(MORVA_FIXTURES) / c.module / "golden";
  qmbtest::ExpectGoldenBatch(golden, {golden}, fs::path(c.module) / "qmbrun" / c.stem, c.stem, c.outputs);
}

INSTANTIATE_TEST_SUITE_P(Batches, ClusteringGolden,
                         ::testing::Values(GoldenCase{"njoin", "dis-noties", {"tre", "gra"}},
                                           GoldenCase{"njoin", "dis-ties", {"tre", "gra"}},
                                           GoldenCase{"njoin", "sim-noties", {"tre", "gra"}},
                                           GoldenCase{"njoin", "sim-ties", {"tre", "gra"}},
                                           GoldenCase{"njoin", "small", {"tre", "gra"}},
                                           GoldenCase{"consens", "consens", {"tre"}}),
                         [](const auto& test) {
                           std::string name = std::string(test.param.module) + "_" + test.param.stem;
                           std::erase(name, '-');
                           return name;
                         });

}  // namespace

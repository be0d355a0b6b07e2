// One run of each similarity module through the headless batch driver, on
// inputs whose second data set marks missing values: the output files and the
// listing must match the golden copies byte for byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "rtl/TextFile.h"
#include "tests/support/Qmbrun.h"

namespace {

namespace fs = std::filesystem;

TEST(SimilarityBatch, OneRunOfEachModuleMatchesTheGoldenFilesAndListing) {
  const fs::path fixtures = fs::path(MORVA_FIXTURES) / "similarity";
  const fs::path golden = fixtures / "golden";
  const fs::path folder = qmbtest::FreshFolder(fs::path("similarity") / "qmbrun");
  for (const auto& entry : fs::directory_iterator(fixtures)) {
    if (entry.path().extension() == ".qmx") fs::copy_file(entry.path(), folder / entry.path().filename());
  }
  fs::copy_file(golden / "similarity.qmb", folder / "similarity.qmb");

  const qmbtest::Outcome outcome = qmbtest::Run(folder, "similarity.qmb");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  for (const char* file : {"simint-corr.qmx", "simint-n.qmx", "simqual-j.qmx", "simgend-rogers.qmx", "listing.txt"}) {
    qmbtest::ExpectSameAsGolden(folder / file, golden / file);
  }
}

}  // namespace

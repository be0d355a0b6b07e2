// EIGEN, SVD and PROJ through the headless batch driver: the output files,
// the listing and the message boxes must match the golden copies byte for
// byte. The numbers in them are those the computation tests check against R.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "rtl/TextFile.h"
#include "tests/support/Qmbrun.h"

namespace {

namespace fs = std::filesystem;

TEST(OrdinationBatch, RunsOfEachModuleMatchTheGoldenFilesAndListing) {
  const fs::path fixtures = fs::path(MORVA_FIXTURES) / "ordination";
  const fs::path golden = fixtures / "golden";
  const fs::path folder = qmbtest::FreshFolder(fs::path("ordination") / "qmbrun");
  for (const auto& entry : fs::directory_iterator(fixtures)) {
    if (entry.path().extension() == ".qmx") fs::copy_file(entry.path(), folder / entry.path().filename());
  }
  fs::copy_file(golden / "ordination.qmb", folder / "ordination.qmb");

  const qmbtest::Outcome outcome = qmbtest::Run(folder, "ordination.qmb");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  for (const auto& entry : fs::directory_iterator(golden)) {
    const std::string file = entry.path().filename().string();
    if (file == "ordination.qmb") continue;
    ASSERT_TRUE(fs::exists(folder / file)) << file;
    qmbtest::ExpectSameAsGolden(folder / file, entry.path());
  }
}

}  // namespace

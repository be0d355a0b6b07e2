// MDSCALE through the headless batch driver: for each batch file of the
// golden folder, the listing, the message boxes and every file the runs wrote
// must match the stored copies in the folder of the batch's name, byte for
// byte. Each batch starts a new program, so a random start draws from seed 0.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "rtl/TextFile.h"
#include "tests/support/Qmbrun.h"

namespace {

namespace fs = std::filesystem;

const fs::path Golden = fs::path(MORVA_FIXTURES) / "mdscale" / "golden";

class MdscaleGolden : public ::testing::TestWithParam<const char*> {};

TEST_P(MdscaleGolden, ListingMessagesAndFilesMatch) {
  const std::string stem = GetParam();
  const fs::path folder = qmbtest::FreshFolder(fs::path("mdscale") / "qmbrun" / stem);
  for (const auto& entry : fs::directory_iterator(Golden / "inputs")) {
    if (entry.path().extension() == ".qmx") fs::copy_file(entry.path(), folder / entry.path().filename());
  }
  fs::copy_file(Golden / (stem + ".qmb"), folder / (stem + ".qmb"));

  const std::set<std::string> inputs = qmbtest::FileNames(folder);
  qmbtest::Run(folder, stem + ".qmb");
  for (const auto& entry : fs::directory_iterator(Golden / stem)) {
    qmbtest::ExpectSameAsGolden(folder / entry.path().filename(), entry.path());
  }
  qmbtest::ExpectOnlyGoldenFilesMade(folder, inputs, Golden / stem);
}

INSTANTIATE_TEST_SUITE_P(Batches, MdscaleGolden,
                         ::testing::Values("mono", "linear", "missing", "initial", "n4", "n400", "n600"));

}  // namespace

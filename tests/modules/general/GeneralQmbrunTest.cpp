// Golden batches of STAND, DCENTER, TRANSF and OUTPUT through the headless
// batch driver: each batch of the golden folder runs in a folder of its own
// with the golden inputs, and its listing, its message boxes and every file it
// writes must match the stored ones byte for byte. A batch stops at its first
// refusal, so each refusal that is not the last of a batch has a batch of its
// own.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "rtl/TextFile.h"
#include "tests/support/Qmbrun.h"

namespace {

namespace fs = std::filesystem;

const fs::path Golden = fs::path(MORVA_FIXTURES) / "general" / "golden";

std::vector<std::string> Batches() {
  std::vector<std::string> stems;
  for (const auto& entry : fs::directory_iterator(Golden)) {
    if (entry.path().extension() == ".qmb") stems.push_back(entry.path().stem().string());
  }
  return stems;
}

TEST(GeneralGolden, ListingMessagesAndFilesOfEachBatchMatch) {
  const std::vector<std::string> batches = Batches();
  ASSERT_FALSE(batches.empty());
  for (const std::string& stem : batches) {
    const fs::path folder = qmbtest::FreshFolder(fs::path("general") / "qmbrun" / stem);
    for (const auto& entry : fs::directory_iterator(Golden)) {
      if (entry.is_regular_file()) fs::copy_file(entry.path(), folder / entry.path().filename());
    }
    const qmbtest::Outcome outcome = qmbtest::Run(folder, stem + ".qmb");
    EXPECT_TRUE(outcome.status == 0 || outcome.status == 1) << stem << ": " << outcome.err;
    const fs::path expected = Golden / "expected" / stem;
    ASSERT_TRUE(fs::exists(expected / "listing.txt")) << stem;
    for (const auto& entry : fs::directory_iterator(expected)) {
      const std::string file = entry.path().filename().string();
      ASSERT_TRUE(fs::exists(folder / file)) << stem << ": " << file;
      qmbtest::ExpectSameAsGolden(folder / file, entry.path());
    }
  }
}

}  // namespace

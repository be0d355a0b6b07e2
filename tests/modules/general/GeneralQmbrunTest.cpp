// Golden batches of the general modules through the headless batch driver:
// each batch of a golden folder runs in a folder of its own with the
// fixtures of the module's folder and the golden inputs, and its listing, its
// message boxes and every file it writes must match the stored ones byte for
// byte. A batch stops at its first refusal, so each refusal that is not the
// last of a batch has a batch of its own.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "rtl/TextFile.h"
#include "tests/support/Qmbrun.h"

namespace {

namespace fs = std::filesystem;

// The fixture folders whose golden/ holds batches.
const char* const kFolders[] = {"general", "fourier", "tpswts"};

std::vector<std::string> Batches(const fs::path& golden) {
  std::vector<std::string> stems;
  for (const auto& entry : fs::directory_iterator(golden)) {
    if (entry.path().extension() == ".qmb") stems.push_back(entry.path().stem().string());
  }
  return stems;
}

// The matrix files of the module's folder, then everything of its golden folder.
void CopyInputs(const fs::path& fixtures, const fs::path& folder) {
  for (const fs::path& source : {fixtures, fixtures / "golden"}) {
    for (const auto& entry : fs::directory_iterator(source)) {
      if (entry.is_regular_file() && (source != fixtures || entry.path().extension() == ".qmx"))
        fs::copy_file(entry.path(), folder / entry.path().filename(), fs::copy_options::overwrite_existing);
    }
  }
}

class GeneralGolden : public ::testing::TestWithParam<const char*> {};

TEST_P(GeneralGolden, ListingMessagesAndFilesOfEachBatchMatch) {
  const fs::path fixtures = fs::path(MORVA_FIXTURES) / GetParam();
  const fs::path golden = fixtures / "golden";
  const std::vector<std::string> batches = Batches(golden);
  ASSERT_FALSE(batches.empty());
  for (const std::string& stem : batches) {
    const fs::path folder = qmbtest::FreshFolder(fs::path(GetParam()) / "qmbrun" / stem);
    CopyInputs(fixtures, folder);
    const std::set<std::string> inputs = qmbtest::FileNames(folder);
    const qmbtest::Outcome outcome = qmbtest::Run(folder, stem + ".qmb");
    EXPECT_TRUE(outcome.status == 0 || outcome.status == 1) << stem << ": " << outcome.err;
    const fs::path expected = golden / "expected" / stem;
    ASSERT_TRUE(fs::exists(expected / "listing.txt")) << stem;
    for (const auto& entry : fs::directory_iterator(expected)) {
      qmbtest::ExpectSameAsGolden(folder / entry.path().filename(), entry.path());
    }
    qmbtest::ExpectOnlyGoldenFilesMade(folder, inputs, expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Folders, GeneralGolden, ::testing::ValuesIn(kFolders),
                         [](const auto& test) { return std::string(test.param); });

}  // namespace

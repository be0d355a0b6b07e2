// Golden runs of NJOIN and CONSENS through the headless batch driver: the
// listing, the files written and the message boxes must match the stored
// ones byte for byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "rtl/TextFile.h"
#include "tests/support/Qmbrun.h"

namespace {

namespace fs = std::filesystem;

struct GoldenCase {
  const char* module;  // the fixtures' folder
  const char* stem;    // the batch file and the outputs' names
  std::vector<const char*> outputs;
};

class ClusteringGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(ClusteringGolden, ListingFilesAndMessagesMatch) {
  const GoldenCase& c = GetParam();
  const fs::path golden = fs::path(MORVA_FIXTURES) / c.module / "golden";
  const fs::path folder = qmbtest::FreshFolder(fs::path(c.module) / "qmbrun" / c.stem);
  for (const fs::directory_entry& entry : fs::directory_iterator(golden)) {
    if (entry.path().filename().string().find(".expected.") == std::string::npos) {
      fs::copy_file(entry.path(), folder / entry.path().filename());
    }
  }
  // Every command appends to the one output of each kind.
  qmbtest::WriteSettings(folder, {"[Config]", "OverWrite=A"});

  qmbtest::Run(folder, std::string(c.stem) + ".qmb");
  const auto expect = [&](const std::string& made, const std::string& stored) {
    EXPECT_EQ(rtl::ReadWholeFile((folder / made).string()), rtl::ReadWholeFile((golden / stored).string()))
        << "compare " << (folder / made) << " with " << (golden / stored);
  };
  expect("listing.txt", std::string(c.stem) + ".expected.txt");
  expect("messages.txt", std::string(c.stem) + ".expected.err");
  for (const char* extension : c.outputs) {
    expect(std::string(c.stem) + "." + extension, std::string(c.stem) + ".expected." + extension);
  }
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

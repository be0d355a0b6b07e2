// MXPLOT, MOD3D and MXCOMP through the headless batch driver, which presses "Next"
// as soon as a graphics module waits: the listing and the message boxes must
// match the stored ones. Each batch ends with a command that stops it.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "SavedPlots.h"
#include "rtl/TextFile.h"
#include "tests/support/Qmbrun.h"

namespace {

namespace fs = std::filesystem;

struct GoldenCase {
  const char* module;  // the fixture folder and the batch's name
};

class GraphicsBatch : public ::testing::TestWithParam<GoldenCase> {};

// A fresh folder of the test artefacts with the module's batch and its matrices.
fs::path BatchFolder(const std::string& module, const std::string& name) {
  const fs::path golden = fs::path(MORVA_FIXTURES) / module / "golden";
  const fs::path folder = qmbtest::FreshFolder(fs::path(module) / name);
  for (const auto& entry : fs::directory_iterator(golden)) {
    const auto extension = entry.path().extension();
    if (extension == ".qmx" || extension == ".qmb") fs::copy_file(entry.path(), folder / entry.path().filename());
  }
  return folder;
}

TEST_P(GraphicsBatch, ListingAndMessagesMatchTheGoldenCopies) {
  const std::string module = GetParam().module;
  const fs::path golden = fs::path(MORVA_FIXTURES) / module / "golden";
  const fs::path folder = BatchFolder(module, "qmbrun");
  // The permutation test's generator is seeded from the time of day of
  // SOURCE_DATE_EPOCH, so its counts repeat.
  const qmbtest::Outcome outcome = qmbtest::Run(folder, module + ".qmb");
  EXPECT_EQ(outcome.status, 1) << "the last command stops the batch";
  const fs::path listing = golden / (module + ".expected.txt");
  const fs::path messages = golden / (module + ".expected.err");
  qmbtest::ExpectSameAsGolden(folder / "listing.txt", listing);
  qmbtest::ExpectSameAsGolden(folder / "messages.txt", messages);
}

// --plots png saves each plot as a picture of a printed page at 150 pixels
// per inch; the pictures stay among the test artefacts for people to see.
TEST_P(GraphicsBatch, SavesEveryPlotAsAPagePicture) {
  const std::string module = GetParam().module;
  const fs::path folder = BatchFolder(module, "pictures");
  const qmbtest::Outcome outcome = qmbtest::Run(folder, "--plots pictures --plot-format png " + module + ".qmb");
  EXPECT_EQ(outcome.status, 1) << "the last command stops the batch";
  const std::vector<std::string> files = savedplots::SavedFiles(outcome.out);
  EXPECT_GE(files.size(), 3u) << outcome.out;
  for (const std::string& file : files) {
    const savedplots::PngFacts png = savedplots::ReadPngFacts((folder / file).string());
    EXPECT_TRUE(png.png) << file;
    EXPECT_EQ(png.dpi, 150) << file;
    EXPECT_GT(png.width, png.height) << file << " a landscape page";
  }
}

INSTANTIATE_TEST_SUITE_P(Modules, GraphicsBatch,
                         ::testing::Values(GoldenCase{"mxplot"}, GoldenCase{"mod3d"}, GoldenCase{"mxcomp"}),
                         [](const auto& param) { return std::string(param.param.module); });

}  // namespace

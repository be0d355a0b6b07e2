// Golden runs of SAHN through the headless batch driver: for a small matrix
// with ties and one without, of dissimilarities and of similarities, every
// method the input allows, with WARN and with FIND. The listing, the tree
// file and the message boxes must match the stored ones byte for byte.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "rtl/TextFile.h"

namespace {

namespace fs = std::filesystem;

const fs::path Golden = fs::path(MORVA_FIXTURES) / "sahn" / "golden";

class SahnGolden : public ::testing::TestWithParam<const char*> {};

TEST_P(SahnGolden, ListingTreesAndMessagesMatch) {
  const std::string stem = GetParam();
  const fs::path folder = fs::path(MORVA_ARTEFACTS) / "sahn" / "qmbrun" / stem;
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const char* extension : {".qmx", ".qmb"}) fs::copy_file(Golden / (stem + extension), folder / (stem + extension));
  // Every command appends its trees to the one tree file.
  fs::create_directories(folder / "config" / "morva");
  rtl::TextWriter settings((folder / "config" / "morva" / "morva.ini").string());
  settings.WriteLine("[Config]");
  settings.WriteLine("OverWrite=A");
  settings.Close();

  const std::string command = "cd '" + folder.string() + "' && env XDG_CONFIG_HOME='" + (folder / "config").string() +
                              "' SOURCE_DATE_EPOCH=0 '" + QMBRUN + "' " + stem + ".qmb >listing.txt 2>messages.txt";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << rtl::ReadWholeFile((folder / "messages.txt").string());

  const auto expect = [&](const std::string& made, const std::string& stored) {
    EXPECT_EQ(rtl::ReadWholeFile((folder / made).string()), rtl::ReadWholeFile((Golden / stored).string()))
        << "compare " << (folder / made) << " with " << (Golden / stored);
  };
  expect("listing.txt", stem + ".expected.txt");
  expect(stem + ".tre", stem + ".expected.tre");
  expect("messages.txt", stem + ".expected.err");
}

INSTANTIATE_TEST_SUITE_P(Inputs, SahnGolden, ::testing::Values("dis-ties", "dis-noties", "sim-ties", "sim-noties"),
                         [](const auto& test) {
                           std::string name = test.param;
                           name.erase(name.find('-'), 1);
                           return name;
                         });

}  // namespace

// Golden runs of SAHN through the headless batch driver: for a small matrix
// with ties and one without, of dissimilarities and of similarities, every
// method the input allows, with WARN and with FIND. The listing, the tree
// file and the message boxes must match the stored ones byte for byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "rtl/TextFile.h"
#include "tests/support/Qmbrun.h"

namespace {

namespace fs = std::filesystem;

const fs::path Golden = fs::path(MORVA_FIXTURES) / "sahn" / "golden";

class SahnGolden : public ::testing::TestWithParam<const char*> {};

TEST_P(SahnGolden, ListingTreesAndMessagesMatch) {
  const std::string stem = GetParam();
  const fs::path folder = qmbtest::FreshFolder(fs::path("sahn") / "qmbrun" / stem);
  for (const char* extension : {".qmx", ".qmb"})
    fs::copy_file(Golden / (stem + extension), folder / (stem + extension));
  // Every command appends its trees to the one tree file.
  qmbtest::WriteSettings(folder, {"[Config]", "OverWrite=A"});

  const qmbtest::Outcome outcome = qmbtest::Run(folder, stem + ".qmb");
  EXPECT_EQ(outcome.status, 0) << outcome.err;

  const auto expect = [&](const std::string& made, const std::string& stored) {
    qmbtest::ExpectSameAsGolden(folder / made, Golden / stored);
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

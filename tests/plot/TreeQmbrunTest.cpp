// The TREE module through the headless batch driver, which presses "Next" as
// soon as a graphics module waits: the listing must match the stored one.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "rtl/TextFile.h"
#include "tests/support/Qmbrun.h"

namespace {

namespace fs = std::filesystem;

TEST(TreeBatch, ListsEveryTreeHeaderAndEndsNormally) {
  const fs::path fixtures = fs::path(MORVA_FIXTURES) / "treeplot";
  const fs::path folder = qmbtest::FreshFolder(fs::path("treeplot") / "qmbrun");
  for (const char* name : {"tree.qmb", "consensus5.qmx", "upgma30-tree.qmx"})
    fs::copy_file(fixtures / name, folder / name);

  // The plot windows open offscreen.
  const qmbtest::Outcome outcome = qmbtest::Run(folder, "tree.qmb");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, rtl::ReadWholeFile((fixtures / "tree.expected.txt").string()))
      << "compare " << (folder / "listing.txt") << " with " << (fixtures / "tree.expected.txt");
  EXPECT_EQ(outcome.err, "");
}

// A graphics module's plot window needs no display.
TEST(TreeBatch, RunsWithoutADisplay) {
  const fs::path trees = fs::path(MORVA_FIXTURES) / "treeplot";
  const fs::path folder = qmbtest::FreshFolder(fs::path("treeplot") / "no-display");
  for (const char* name : {"tree.qmb", "consensus5.qmx", "upgma30-tree.qmx"})
    fs::copy_file(trees / name, folder / name);
  const qmbtest::Outcome outcome = qmbtest::Run(folder, "tree.qmb", "QT_QPA_PLATFORM= DISPLAY= WAYLAND_DISPLAY=");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out.substr(0, 13), "Tree: Morvapc");
}

}  // namespace

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
  qmbtest::ExpectSameAsGolden(folder / "listing.txt", fixtures / "tree.expected.txt");
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

// --plots saves the pages of each plot window in the format asked for, and
// the listing names the files; without it, the listing says so.
TEST(TreeBatch, SavesThePlotsPagesWithPlots) {
  struct Case {
    const char* format;
    std::string signature;  // the first bytes of such a file
  };
  const Case cases[] = {{"pdf", "%PDF"}, {"png", "\x89PNG"}, {"emf", std::string("\x01\0\0\0", 4)}};
  const fs::path fixtures = fs::path(MORVA_FIXTURES) / "treeplot";
  for (const Case& c : cases) {
    const fs::path folder = qmbtest::FreshFolder(fs::path("treeplot") / "plots" / c.format);
    for (const char* name : {"tree.qmb", "consensus5.qmx", "upgma30-tree.qmx"})
      fs::copy_file(fixtures / name, folder / name);
    const qmbtest::Outcome outcome =
        qmbtest::Run(folder, std::string("--plots pictures --plot-format ") + c.format + " tree.qmb");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out.find("Plot not saved"), std::string::npos);
    int files = 0;
    for (size_t at = outcome.out.find("Plot saved: "); at != std::string::npos;
         at = outcome.out.find("Plot saved: ", at + 1)) {
      const size_t start = at + 12;
      const fs::path file = folder / outcome.out.substr(start, outcome.out.find('\r', start) - start);
      EXPECT_EQ(file.extension(), std::string(".") + c.format);
      ASSERT_TRUE(fs::exists(file)) << file;
      EXPECT_EQ(rtl::ReadWholeFile(file.string()).substr(0, c.signature.size()), c.signature) << file;
      ++files;
    }
    EXPECT_GE(files, 2) << outcome.out;
  }
}

}  // namespace

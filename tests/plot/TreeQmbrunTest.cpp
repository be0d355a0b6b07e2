// The TREE module through the headless batch driver, which presses "Next" as
// soon as a graphics module waits: the listing must match the stored one.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "PrintedPages.h"
#include "SavedPlots.h"
#include "rtl/TextFile.h"
#include "tests/support/FileSizeLimit.h"
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

// --plots saves every page of a tree of 50 objects, two pages of 30 rows: one
// PDF document of both, or a picture file per page as large as the printed
// page, PNG at 150 pixels per inch; the listing names every file.
TEST(TreeBatch, SavesEveryPageOfATallTree) {
  struct Case {
    const char* format;
    std::vector<std::string> files;
    std::string signature;  // the first bytes of such a file
  };
  const Case cases[] = {
      {"pdf", {"pictures/Tree-1.pdf"}, "%PDF"},
      {"png", {"pictures/Tree-1-p1.png", "pictures/Tree-1-p2.png"}, "\x89PNG"},
      {"emf", {"pictures/Tree-1-p1.emf", "pictures/Tree-1-p2.emf"}, std::string("\x01\0\0\0", 4)},
  };
  const fs::path fixtures = fs::path(MORVA_FIXTURES) / "treeplot";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    const fs::path folder = qmbtest::FreshFolder(fs::path("treeplot") / "plots" / c.format);
    for (const char* name : {"tree50.qmb", "tree50.qmx"}) fs::copy_file(fixtures / name, folder / name);
    const qmbtest::Outcome outcome =
        qmbtest::Run(folder, std::string("--plots pictures --plot-format ") + c.format + " tree50.qmb");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(savedplots::SavedFiles(outcome.out), c.files);
    for (const std::string& name : c.files) {
      const fs::path file = folder / name;
      ASSERT_TRUE(fs::exists(file)) << file;
      EXPECT_EQ(rtl::ReadWholeFile(file.string()).substr(0, c.signature.size()), c.signature) << file;
    }
    if (std::string(c.format) == "png") {
      const savedplots::PngFacts png = savedplots::ReadPngFacts((folder / c.files[0]).string());
      EXPECT_EQ(png.dpi, 150);
      // A landscape page of letter or A4 size, less its margins.
      EXPECT_GT(png.width, 10u * 150);
      EXPECT_GT(png.height, 7u * 150);
    }
    if (std::string(c.format) == "pdf") {
      EXPECT_EQ(printtest::RenderPdf(folder / c.files[0], 20).size(), 2u) << "a page for each";
    }
  }
}

// A full disk while saving: the system's reason, exit 1, and no file left of
// the plot, neither a page nor a temporary file: every file the program
// writes past a few kilobytes fails.
TEST(TreeBatch, FullDiskFailsTheRunAndLeavesNoFile) {
  const fs::path fixtures = fs::path(MORVA_FIXTURES) / "treeplot";
  for (const char* format : {"pdf", "png", "emf"}) {
    SCOPED_TRACE(format);
    const fs::path folder = qmbtest::FreshFolder(fs::path("treeplot") / "full" / format);
    for (const char* name : {"tree50.qmb", "tree50.qmx"}) fs::copy_file(fixtures / name, folder / name);
    fs::create_directory(folder / "pictures");
    const std::string first =
        std::string("pictures/Tree-1") + (std::string(format) == "pdf" ? "" : "-p1") + "." + format;
    qmbtest::Outcome outcome{};
    {
      const testsupport::FileSizeLimit full(4000);
      outcome = qmbtest::Run(folder, std::string("--plots pictures --plot-format ") + format + " tree50.qmb");
    }
    EXPECT_EQ(outcome.status, 1) << outcome.out;
    EXPECT_NE(outcome.err.find(first), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("File too large"), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.out.find("Plot saved"), std::string::npos);
    EXPECT_EQ(qmbtest::FileNames(folder / "pictures"), std::set<std::string>{});
  }
}

// Each graphics command's window is saved after it, a file for each tree of
// a file of several.
TEST(TreeBatch, SavesTheWindowOfEveryCommand) {
  const fs::path fixtures = fs::path(MORVA_FIXTURES) / "treeplot";
  const fs::path folder = qmbtest::FreshFolder(fs::path("treeplot") / "plots" / "windows");
  for (const char* name : {"tree.qmb", "consensus5.qmx", "upgma30-tree.qmx"})
    fs::copy_file(fixtures / name, folder / name);
  const qmbtest::Outcome saved = qmbtest::Run(folder, "--plots pictures --plot-format png tree.qmb");
  EXPECT_EQ(saved.status, 0) << saved.err;
  const std::vector<std::string> files = savedplots::SavedFiles(saved.out);
  EXPECT_EQ(files, (std::vector<std::string>{"pictures/Tree-1-1.png", "pictures/Tree-1-2.png", "pictures/Tree-2.png"}));
  for (const std::string& file : files) EXPECT_TRUE(savedplots::ReadPngFacts((folder / file).string()).png) << file;
}

// Two runs saving in one folder at once take turns: the first saves its
// picture, the second finds it there and stops naming it, so that neither
// replaces the other's picture in silence.
TEST(TreeBatch, TwoRunsSharingAPlotsFolderTakeTurns) {
  const fs::path fixtures = fs::path(MORVA_FIXTURES) / "treeplot";
  const fs::path root = qmbtest::FreshFolder(fs::path("treeplot") / "plots" / "shared");
  for (int round = 1; round <= 10; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const fs::path shared = root / ("pictures-" + std::to_string(round));
    std::vector<fs::path> folders;
    for (const char* run : {"a", "b"}) {
      folders.push_back(root / (std::string(run) + "-" + std::to_string(round)));
      fs::create_directories(folders.back());
      for (const char* name : {"tree.qmb", "consensus5.qmx", "upgma30-tree.qmx"})
        fs::copy_file(fixtures / name, folders.back() / name);
    }
    std::vector<qmbtest::Outcome> outcomes(2);
    {
      std::vector<std::thread> runs;
      for (std::size_t i = 0; i < 2; ++i)
        runs.emplace_back(
            [&, i] { outcomes[i] = qmbtest::Run(folders[i], "--plots '" + shared.string() + "' tree.qmb"); });
      for (std::thread& run : runs) run.join();
    }
    const std::size_t first = outcomes[0].status == 0 ? 0 : 1;
    const qmbtest::Outcome& saved = outcomes[first];
    const qmbtest::Outcome& refused = outcomes[1 - first];
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(refused.status, 1) << refused.err;
    EXPECT_NE(refused.err.find("Output file exists: " + (shared / "Tree-1.pdf").string()), std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.out.find("Plot saved"), std::string::npos);
    EXPECT_EQ(savedplots::SavedFiles(saved.out),
              (std::vector<std::string>{(shared / "Tree-1.pdf").string(), (shared / "Tree-2.pdf").string()}));
    EXPECT_EQ(qmbtest::FileNames(shared), (std::set<std::string>{"Tree-1.pdf", "Tree-2.pdf"}));
  }
}

}  // namespace

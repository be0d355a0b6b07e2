// The TREE module through the headless batch driver, which presses "Next" as
// soon as a graphics module waits: the listing must match the stored one.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "rtl/TextFile.h"

namespace {

namespace fs = std::filesystem;

TEST(TreeBatch, ListsEveryTreeHeaderAndEndsNormally) {
  const fs::path fixtures = fs::path(MORVA_FIXTURES) / "treeplot";
  const fs::path folder = fs::path(MORVA_ARTEFACTS) / "treeplot" / "qmbrun";
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const char* name : {"tree.qmb", "consensus5.qmx", "upgma30-tree.qmx"})
    fs::copy_file(fixtures / name, folder / name);

  // The plot windows open offscreen; the toolkit's own notices stay out of the messages.
  const std::string command = "cd '" + folder.string() + "' && env XDG_CONFIG_HOME='" + (folder / "config").string() +
                              "' XDG_RUNTIME_DIR='" + folder.string() +
                              "' QT_LOGGING_RULES='*.warning=false' SOURCE_DATE_EPOCH=0 '" + QMBRUN +
                              "' tree.qmb >listing.txt 2>messages.txt";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << rtl::ReadWholeFile((folder / "messages.txt").string());
  EXPECT_EQ(rtl::ReadWholeFile((folder / "listing.txt").string()),
            rtl::ReadWholeFile((fixtures / "tree.expected.txt").string()))
      << "compare " << (folder / "listing.txt") << " with " << (fixtures / "tree.expected.txt");
  EXPECT_EQ(rtl::ReadWholeFile((folder / "messages.txt").string()), "");
}

}  // namespace

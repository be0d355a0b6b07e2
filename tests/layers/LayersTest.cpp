// The layers of the tree as docs/ARCHITECTURE.md tables them: every #include of
// every C++ file keeps to the table, and Qt stays in platform/qt/.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "LayerRules.h"

namespace {

namespace fs = std::filesystem;

const fs::path Root = MORVA_SOURCE_DIR;

std::string ReadFile(const fs::path& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream text;
  text << f.rdbuf();
  return text.str();
}

std::vector<layers::Layer> Table() { return layers::ParseLayerTable(ReadFile(Root / "docs" / "ARCHITECTURE.md")); }

TEST(LayerRules, ChecksIncludesAgainstTheTable) {
  const std::vector<layers::Layer> table = layers::ParseLayerTable(
      "| folder | may include | holds |\n"
      "|---|---|---|\n"
      "| `rtl/` | | run-time |\n"
      "| `platform/` | `rtl/` | interfaces |\n"
      "| `platform/qt/` | `rtl/` `platform/` | Qt |\n"
      "| `shell/` | `rtl/` `platform/` | framework |\n"
      "| `modules/` | `rtl/` `shell/` `modules/` | modules |\n"
      "| `plot/forms/` | `shell/` | windows |\n"
      "| `tests/` | `*` | tests |\n");
  struct Case {
    const char* name;
    const char* file;
    const char* header;
    bool quoted;
    bool allowed;
  };
  const Case cases[] = {
      {"a row's own folder", "shell/Batchu.cpp", "shell/Batchu.h", true, true},
      {"a folder of its row", "modules/clustering/sahn.cpp", "shell/ModuleRun.h", true, true},
      {"a subfolder belongs to the row above it", "modules/ordination/proj.cpp", "modules/similarity/simdata.h", true,
       true},
      {"upward", "shell/ModuleRun.cpp", "modules/clustering/sahn.h", true, false},
      {"sideways to windows", "modules/clustering/sahn.cpp", "plot/forms/tree.h", true, false},
      {"a lower folder not in the row", "modules/clustering/sahn.cpp", "platform/Form.h", true, false},
      {"a header beside the file", "plot/forms/tree.cpp", "tree.h", true, true},
      {"tests include anything", "tests/plot/TreeTest.cpp", "plot/forms/tree.h", true, true},
      {"a standard header", "rtl/Format.cpp", "string", false, true},
      {"Qt in platform/qt/", "platform/qt/Form.cpp", "QWidget", false, true},
      {"Qt in the tests", "tests/plot/QtCanvasTest.cpp", "QImage", false, true},
      {"Qt anywhere else", "shell/Batchu.cpp", "QtCore/QString", false, false},
      {"a folder without a row", "scratch/try.cpp", "rtl/Format.h", true, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(!layers::CheckInclude(table, c.file, c.header, c.quoted).has_value(), c.allowed) << c.name;
  }
}

TEST(LayerRules, ReadsIncludeLines) {
  struct Case {
    const char* line;
    const char* header;  // null: not an include
    bool quoted;
  };
  const Case cases[] = {
      {"#include \"shell/ModuleRun.h\"", "shell/ModuleRun.h", true},
      {"  #  include <QWidget>", "QWidget", false},
      {"#include <string>  // comment", "string", false},
      {"// #include \"plot/forms/tree.h\"", nullptr, false},
      {"#pragma once", nullptr, false},
      {"#include \"unterminated.h", nullptr, false},
  };
  for (const Case& c : cases) {
    const auto include = layers::IncludeOf(c.line);
    ASSERT_EQ(include.has_value(), c.header != nullptr) << c.line;
    if (!include) continue;
    EXPECT_EQ(include->header, c.header) << c.line;
    EXPECT_EQ(include->quoted, c.quoted) << c.line;
  }
}

// The plot's options windows take the component library's controller and
// spinner; the rules beside them, and the other libraries, stay out of reach.
TEST(Layers, PlotWindowsMayUseTheComponentLibrarysFoundation) {
  const std::vector<layers::Layer> table = Table();
  struct Case {
    const char* file;
    const char* header;
    bool allowed;
  };
  const Case cases[] = {
      {"plot/forms/mxcompo.h", "controls/base/forms/VirSC.h", true},
      {"plot/forms/plotOptionsForm.cpp", "controls/base/forms/VirBase.h", true},
      {"plot/forms/mxcompo.cpp", "controls/base/VirSCModel.h", true},
      {"plot/plotOptions.cpp", "controls/base/forms/VirSC.h", false},
      {"plot/forms/mod3do.cpp", "controls/table/forms/VirTbl.h", false},
      {"plot/forms/mod3do.cpp", "controls/editor/forms/VirEdit.h", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(!layers::CheckInclude(table, c.file, c.header, true).has_value(), c.allowed)
        << c.file << " -> " << c.header;
  }
}

bool IsSourceFolder(const fs::path& relative) {
  const std::string top = relative.begin()->string();
  return !top.empty() && top[0] != '.' && top.rfind("build", 0) != 0;
}

TEST(Layers, EveryIncludeOfTheTreeKeepsToTheTable) {
  const std::vector<layers::Layer> table = Table();
  ASSERT_GT(table.size(), 10u) << "the layer table of docs/ARCHITECTURE.md was not found";
  std::vector<std::string> faults;
  int files = 0;
  for (auto it = fs::recursive_directory_iterator(Root); it != fs::recursive_directory_iterator(); ++it) {
    const fs::path relative = fs::relative(it->path(), Root);
    if (it->is_directory()) {
      if (!IsSourceFolder(relative)) it.disable_recursion_pending();
      continue;
    }
    const std::string extension = it->path().extension().string();
    if (extension != ".h" && extension != ".cpp") continue;
    ++files;
    std::istringstream lines(ReadFile(it->path()));
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
      ++number;
      const auto include = layers::IncludeOf(line);
      if (!include) continue;
      const std::string file = relative.generic_string();
      if (auto fault = layers::CheckInclude(table, file, include->header, include->quoted)) {
        faults.push_back(file + ":" + std::to_string(number) + ": " + include->header + ": " + *fault);
      }
    }
  }
  EXPECT_GT(files, 100);
  for (const std::string& fault : faults) ADD_FAILURE() << fault;
}

}  // namespace

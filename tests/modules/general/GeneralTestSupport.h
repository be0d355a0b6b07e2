#pragma once
// Shared by the tests of the general modules: a run of a module as the batch
// runner makes it, in a folder of the test's own holding the fixture files,
// the numbers R computed on them (references.R beside the fixtures), and the
// output files read back with the system's own readers.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/Matrixob.h"
#include "rtl/TextFile.h"
#include "shell/Modules.h"
#include "tests/matrix/core/ErrorText.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ModuleArgs.h"
#include "tests/support/ReferenceTable.h"

namespace gentest {

inline const std::filesystem::path Fixtures = std::filesystem::path(MORVA_FIXTURES) / "general";

// The reference matrices of references.txt by name.
inline const testsupport::ReferenceTable& Refs() {
  static const testsupport::ReferenceTable refs(Fixtures / "references.txt");
  return refs;
}

using Args = testsupport::ModuleArgs;

// A matrix file read back: its header and its values in file order (the
// rectangular body row by row, the lower triangle of a symmetric matrix row
// by row, the diagonal, the node values of a tree, the edge values of a graph).
struct TReadBack {
  TMatrixHeader header;
  std::vector<double> values;
  std::vector<std::string> rowLabels;
  std::vector<std::string> colLabels;

  // The positions (from 0) of the values equal to the declared missing value.
  std::vector<std::size_t> MissingCells() const {
    std::vector<std::size_t> cells;
    if (header.missingCode == 0) return cells;
    for (std::size_t k = 0; k < values.size(); ++k) {
      if (values[k] == header.missingValue) cells.push_back(k);
    }
    return cells;
  }
};

inline std::vector<std::string> LabelTexts(const Label_mx& labels) {
  std::vector<std::string> texts;
  if (!labels.HasStorage()) return texts;
  for (std::int32_t i = 1; i <= labels.n(); ++i) texts.push_back(labels.GetLabel(i));
  return texts;
}

// Every data set of a matrix file.
inline std::vector<TReadBack> ReadBackAll(const std::filesystem::path& file) {
  std::vector<TReadBack> sets;
  rtl::TextReader f(file.string());
  while (!f.SeekEof()) {
    TReadBack r;
    std::unique_ptr<rtl::StringList> comments;
    ReadMatrixHeader(f, comments, r.header, false, {1, 2, 3, 4, 5, 6, 7, 8});
    const TMatrixHeader& h = r.header;
    Label_mx rows(h.rowLabelCode != lcNone ? h.rows : 0);
    Label_mx cols(h.type == mtRectangular && h.colLabelCode != lcNone ? h.cols : 0);
    switch (h.type) {
      case mtRectangular: {
        Rect_mx m(h.rows, h.cols);
        Read(m, f, true, {&rows, h.rowLabelCode, true}, {&cols, h.colLabelCode, true});
        for (std::int32_t i = 1; i <= h.rows; ++i)
          for (std::int32_t j = 1; j <= h.cols; ++j) r.values.push_back(m.getxij(i, j));
        break;
      }
      case mtDissimilarity:
      case mtSimilarity: {
        ReadLabels(rows, f);
        Sym_mx s(h.type, h.rows);
        Read(s, f);
        for (std::int32_t i = 1; i <= h.rows; ++i)
          for (std::int32_t j = 1; j <= i; ++j) r.values.push_back(s.getxij(i, j));
        break;
      }
      case mtDiagonal: {
        ReadLabels(rows, f);
        vect_mx d(h.rows);
        Read(d, f);
        for (std::int32_t i = 1; i <= h.rows; ++i) r.values.push_back(d.Get(i));
        break;
      }
      case mtTreeDissimilarity:
      case mtTreeSimilarity: {
        Tree_mx t(h.type, h.rows);
        ReadTreeMatrix(t, f, h, &rows);
        for (std::int32_t k = 1; k < h.rows; ++k) r.values.push_back(t.GetValue(k));
        break;
      }
      default: {
        Graph_mx g(h.type, h.rows, h.cols);
        ReadGraphMatrix(g, f, h, &rows);
        for (std::int32_t k = 1; k <= g.m(); ++k) r.values.push_back(g.GetEdge(k).value);
        break;
      }
    }
    r.rowLabels = LabelTexts(rows);
    r.colLabels = LabelTexts(cols);
    sets.push_back(std::move(r));
  }
  return sets;
}

// A test that runs modules in a folder of its own, with the fixture files.
class ModuleRun : public ::testing::Test {
 protected:
  ModuleRun() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::path(MORVA_ARTEFACTS) / "general" /
              (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    for (const auto& entry : std::filesystem::directory_iterator(Fixtures)) {
      if (entry.path().extension() == ".qmx")
        std::filesystem::copy_file(entry.path(), folder_ / entry.path().filename());
    }
  }

  std::filesystem::path Path(const std::string& name) const { return folder_ / name; }

  void WriteFile(const std::string& name, const std::string& text) const {
    rtl::TextWriter f(Path(name).string());
    f.Write(text);
    f.Close();
  }

  // Runs the module with its defaults and the given values; file names are
  // taken in the test's folder.
  void Run(void (*describe)(TModuleRec&), const Args& args) {
    const auto path = [this](const std::string& name) { return Path(name).string(); };
    testsupport::RunModule(describe, args, path, [this](std::span<const TParamRec> params) {
      for (const TParamRec& p : params) {
        if (p.type == ptOutFile && !p.fileName.empty()) std::filesystem::remove(p.fileName);  // written afresh
      }
      services.lines.clear();
      services.warnings.clear();
    });
  }

  std::string RefusalOf(void (*describe)(TModuleRec&), const Args& args) {
    return ErrorText<E_Morvapc>([&] { Run(describe, args); });
  }

  bool Listed(const std::string& line) const {
    return std::find(services.lines.begin(), services.lines.end(), line) != services.lines.end();
  }

  TReadBack ReadBack(const std::string& name) const {
    std::vector<TReadBack> sets = ReadBackAll(Path(name));
    if (sets.empty()) throw std::runtime_error("no matrix in " + name);
    return sets.front();
  }

  shelltest::TempSettings settings;
  shelltest::RecordedServices services;

 private:
  std::filesystem::path folder_;
};

}  // namespace gentest

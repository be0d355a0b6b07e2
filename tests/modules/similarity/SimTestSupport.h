#pragma once
// Shared by the similarity tests: the data sets of the fixture files and the
// reference values computed once by independent tools (references.R beside
// the fixtures writes both).

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "matrix/MatrixFiles.h"
#include "modules/similarity/simdata.h"

namespace simtest {

inline const std::filesystem::path Fixtures = std::filesystem::path(MORVA_FIXTURES) / "similarity";

// Data set `set` (from 1) of a fixture file.
inline TOtuData LoadDataSet(const std::string& file, int set, bool byRows) {
  rtl::TextReader f((Fixtures / file).string());
  for (int k = 1;; ++k) {
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, false, {mtRectangular});
    TOtuData data = ReadOtuData(f, header, byRows);
    if (k == set) return data;
  }
}

// The lower triangle (diagonal included) of one reference matrix.
class Reference {
 public:
  double At(int i, int j) const {
    const auto cell = cells_.find({std::max(i, j), std::min(i, j)});
    if (cell == cells_.end()) throw std::out_of_range("no reference cell");
    return cell->second;
  }
  int n() const { return n_; }
  void Put(int i, int j, double v) {
    cells_[{i, j}] = v;
    n_ = std::max(n_, i);
  }

 private:
  std::map<std::pair<int, int>, double> cells_;
  int n_ = 0;
};

// The references of one data set of one file, by name.
inline std::map<std::string, Reference> LoadReferences(const std::string& file, int set) {
  std::ifstream in(Fixtures / "references.txt");
  std::map<std::string, Reference> refs;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string f, name, value;
    int s = 0, i = 0, j = 0;
    words >> f >> s >> name >> i >> j >> value;
    if (f == file && s == set) refs[name].Put(i, j, std::stod(value));
  }
  return refs;
}

inline constexpr double Tolerance = 1e-10;

}  // namespace simtest

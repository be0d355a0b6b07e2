#pragma once
// The reference numbers an independent tool computed once, as stored beside
// the fixtures: one line per cell, "name i j value" (a vector is a column).

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

class ReferenceTable {
 public:
  explicit ReferenceTable(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream words(line);
      std::string name, value;
      int i = 0, j = 0;
      words >> name >> i >> j >> value;
      cells_[name][{i, j}] = std::stod(value);
    }
  }

  double At(const std::string& name, int i, int j = 1) const {
    const auto& m = Matrix(name);
    const auto cell = m.find({i, j});
    if (cell == m.end()) throw std::out_of_range("no reference cell " + name);
    return cell->second;
  }
  int Rows(const std::string& name) const { return Matrix(name).rbegin()->first.first; }
  int Cols(const std::string& name) const {
    int cols = 0;
    for (const auto& [cell, value] : Matrix(name)) cols = std::max(cols, cell.second);
    return cols;
  }
  std::vector<double> Column(const std::string& name, int j = 1) const {
    std::vector<double> v;
    for (int i = 1; i <= Rows(name); ++i) v.push_back(At(name, i, j));
    return v;
  }

 private:
  const std::map<std::pair<int, int>, double>& Matrix(const std::string& name) const {
    const auto m = cells_.find(name);
    if (m == cells_.end()) throw std::out_of_range("no reference " + name);
    return m->second;
  }

  std::map<std::string, std::map<std::pair<int, int>, double>> cells_;
};

}  // namespace testsupport

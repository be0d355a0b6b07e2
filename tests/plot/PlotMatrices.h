#pragma once
// Small data and graph matrices for the scatter plot tests, made in code.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/Matrixob.h"

namespace plottest {

constexpr double kMissing = -99;

// A matrix of the rows given, with labels when given; missing value -99.
inline std::unique_ptr<Rect_mx> MakeMatrix(const std::vector<std::vector<double>>& rows,
                                           const std::vector<std::string>& rowLabels = {},
                                           const std::vector<std::string>& colLabels = {}) {
  const auto r = static_cast<std::int32_t>(rows.size());
  const auto c = static_cast<std::int32_t>(rows.at(0).size());
  auto m = std::make_unique<Rect_mx>(r, c, 1, kMissing);
  for (std::int32_t i = 1; i <= r; ++i) {
    for (std::int32_t j = 1; j <= c; ++j) m->putxij(i, j, rows[i - 1][j - 1]);
  }
  auto labels = [](const std::vector<std::string>& texts) {
    auto list = std::make_shared<Label_mx>(static_cast<std::int32_t>(texts.size()));
    for (std::size_t k = 0; k < texts.size(); ++k) list->PutLabel(static_cast<std::int32_t>(k + 1), texts[k]);
    return list;
  };
  m->FrLabels = labels(rowLabels);
  m->FcLabels = labels(colLabels);
  return m;
}

inline std::shared_ptr<TRectMxList> ListOf(std::vector<std::unique_ptr<Rect_mx>> matrices) {
  auto list = std::make_shared<TRectMxList>();
  for (auto& m : matrices) list->Add(std::move(m));
  return list;
}

inline std::shared_ptr<TRectMxList> ListOf(std::unique_ptr<Rect_mx> m) {
  std::vector<std::unique_ptr<Rect_mx>> matrices;
  matrices.push_back(std::move(m));
  return ListOf(std::move(matrices));
}

// One graph of n nodes with the edges given.
inline std::shared_ptr<TGraphMxList> GraphOf(std::int32_t n, const std::vector<std::pair<int, int>>& edges) {
  auto graph = std::make_unique<Graph_mx>(mtGraphDissimilarity, n, static_cast<std::int32_t>(edges.size()));
  for (std::size_t k = 0; k < edges.size(); ++k)
    graph->PutEdge(static_cast<std::int32_t>(k + 1), edges[k].first, edges[k].second, 1.0);
  auto list = std::make_shared<TGraphMxList>();
  list->Add(std::move(graph));
  return list;
}

}  // namespace plottest

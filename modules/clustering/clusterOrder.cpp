#include "modules/clustering/clusterOrder.h"

#include <algorithm>
#include <string>

#include "matrix/Constu.h"

namespace {

// The first position of the order that holds a member.
std::vector<std::int32_t>::iterator FirstMember(std::vector<std::int32_t>& order, const std::vector<bool>& member,
                                                const TClusterOrderErrors& errors) {
  const auto first =
      std::find_if(order.begin(), order.end(), [&](std::int32_t otu) { return member[static_cast<std::size_t>(otu)]; });
  if (first == order.end()) throw E_Morvapc_Internal(std::string(errors.notFound));
  return first;
}

// Positions first .. end - 1 of the order.
struct TStretch {
  std::size_t first;
  std::size_t end;
};

// True when no two stretches overlap without one holding the other.
bool Nested(std::vector<TStretch> stretches) {
  std::sort(stretches.begin(), stretches.end(), [](const TStretch& a, const TStretch& b) {
    return a.first != b.first ? a.first < b.first : a.end > b.end;
  });
  std::vector<std::size_t> open;  // ends of the stretches holding the current one
  for (const TStretch& s : stretches) {
    while (!open.empty() && open.back() <= s.first) open.pop_back();
    if (!open.empty() && open.back() < s.end) return false;
    open.push_back(s.end);
  }
  return true;
}

}  // namespace

TDendrogram OrderByClusters(std::int32_t n, const std::vector<TLargeSet>& clusters, const TClusterOrderErrors& errors) {
  const auto count = static_cast<std::size_t>(n);
  TDendrogram result;
  result.order.resize(count);
  for (std::size_t k = 0; k < count; ++k) result.order[k] = static_cast<std::int32_t>(k + 1);
  std::vector<bool> member(count + 1);
  const auto members = [&](const TLargeSet& cluster) {
    std::fill(member.begin(), member.end(), false);
    const std::vector<std::int32_t> otus = SetElements(cluster);
    for (std::int32_t otu : otus) {
      if (otu < 1 || otu > n) throw E_Morvapc_Internal(std::string(errors.notFound));
      member[static_cast<std::size_t>(otu)] = true;
    }
    return otus.size();
  };
  for (const TLargeSet& cluster : clusters) {
    members(cluster);
    std::stable_partition(FirstMember(result.order, member, errors), result.order.end(),
                          [&](std::int32_t otu) { return member[static_cast<std::size_t>(otu)]; });
  }

  // Every cluster now covers consecutive positions, and two clusters'
  // stretches either nest or lie apart; each of its inner gaps counts it.
  std::vector<std::int32_t> depth(count > 0 ? count - 1 : 0, 0);
  std::vector<TStretch> stretches;
  stretches.reserve(clusters.size());
  for (const TLargeSet& cluster : clusters) {
    const std::size_t size = members(cluster);
    const auto first = static_cast<std::size_t>(FirstMember(result.order, member, errors) - result.order.begin());
    for (std::size_t p = first; p < first + size; ++p) {
      if (p >= count || !member[static_cast<std::size_t>(result.order[p])]) {
        throw E_Morvapc_Internal(std::string(errors.notConsecutive));
      }
      if (p + 1 < first + size) ++depth[p];
    }
    stretches.push_back({first, first + size});
  }
  if (!Nested(stretches)) throw E_Morvapc_Internal(std::string(errors.notConsecutive));
  const std::int32_t deepest = depth.empty() ? 0 : *std::max_element(depth.begin(), depth.end());
  result.levels.reserve(depth.size());
  for (std::int32_t c : depth) result.levels.push_back(1.0 - (c + 1.0) / (deepest + 2.0));
  return result;
}

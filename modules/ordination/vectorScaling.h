#pragma once
// The vector scalings that EIGEN and SVD offer in one shared choice list. An
// item names the length a unit vector gets: its eigenvalue or singular value,
// 1, the root, the inverse or the inverse root. The eigen-analysis and the
// singular value decomposition number these scalings differently; each item's
// facts give both numbers, once.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

enum class TScalingItem : std::uint8_t { Lambda, One, SqrtLambda, InverseLambda, InverseSqrtLambda };

struct TScalingFacts {
  std::string_view name;  // the item text
  TScalingItem item;
  std::int32_t eigenOption;  // the option of EigenSym
  std::int32_t svdOption;    // the option of SvdSorted
};

// In the order of the choice's items.
inline constexpr std::array<TScalingFacts, 5> kScalings = {{
    {"LAMBDA", TScalingItem::Lambda, 1, 1},
    {"1", TScalingItem::One, 2, 2},
    {"SQRT(LAMBDA)", TScalingItem::SqrtLambda, 3, 3},
    {"1/LAMBDA", TScalingItem::InverseLambda, 5, 4},
    {"1/SQRT(LAMBDA)", TScalingItem::InverseSqrtLambda, 4, 5},
}};

inline constexpr const TScalingFacts& ScalingFacts(TScalingItem item) {
  return kScalings[static_cast<std::size_t>(item)];
}

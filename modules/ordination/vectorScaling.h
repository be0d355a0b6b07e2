#pragma once
// The vector scalings that EIGEN and SVD offer in one shared choice list. An
// item names the length a unit vector gets: its eigenvalue or singular value,
// 1, the root, the inverse or the inverse root. The eigen-analysis and the
// singular value decomposition number these scalings differently; the item
// is translated here, once, for each of them.

#include <array>
#include <cstdint>
#include <string_view>

enum class TScalingItem : std::uint8_t { Lambda, One, SqrtLambda, InverseLambda, InverseSqrtLambda };

// The items in choice order ("LAMBDA", "1", "SQRT(LAMBDA)", "1/LAMBDA",
// "1/SQRT(LAMBDA)").
inline constexpr std::array<std::string_view, 5> kScalingItems = {"LAMBDA", "1", "SQRT(LAMBDA)", "1/LAMBDA",
                                                                  "1/SQRT(LAMBDA)"};

// The item at a 0-based choice index; an index outside the list raises
// E_Morvapc_Internal.
TScalingItem ScalingItemAt(std::int32_t index);
std::string_view ScalingKeyword(TScalingItem item);

// The option of EigenSym and of SvdSorted for an item.
std::int32_t EigenScalingOption(TScalingItem item);
std::int32_t SvdScalingOption(TScalingItem item);

#include "modules/ordination/vectorScaling.h"

#include "matrix/Constu.h"
#include "rtl/Format.h"

namespace {

// For each item in choice order: its EigenSym option and its SvdSorted option.
struct TScalingOptions {
  std::int32_t eigen;
  std::int32_t svd;
};
constexpr std::array<TScalingOptions, 5> kOptions = {{{1, 1}, {2, 2}, {3, 3}, {5, 4}, {4, 5}}};

std::size_t Position(TScalingItem item) { return static_cast<std::size_t>(item); }

}  // namespace

TScalingItem ScalingItemAt(std::int32_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= kScalingItems.size()) {
    throw E_Morvapc_Internal(rtl::Format("Vector scaling index out of range: %d", index));
  }
  return static_cast<TScalingItem>(index);
}

std::string_view ScalingKeyword(TScalingItem item) { return kScalingItems[Position(item)]; }

std::int32_t EigenScalingOption(TScalingItem item) { return kOptions[Position(item)].eigen; }

std::int32_t SvdScalingOption(TScalingItem item) { return kOptions[Position(item)].svd; }

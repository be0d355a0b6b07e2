#include "controls/base/StrRes.h"

#include <utility>

namespace {

std::bitset<256> BuildAlphaCharSet() {
  // Inclusive ranges: blank, ',', '-', '.', ASCII letters, then the letters of
  // Windows-1252: florin, the caron and ligature letters, the ordinal
  // indicators, micro, and the accented Latin letters but the multiply and divide signs.
  constexpr std::pair<unsigned, unsigned> kRanges[] = {
      {' ', ' '},   {',', '.'},   {'A', 'Z'},   {'a', 'z'},   {0x83, 0x83}, {0x8A, 0x8A},
      {0x8C, 0x8C}, {0x8E, 0x8E}, {0x9A, 0x9A}, {0x9C, 0x9C}, {0x9E, 0x9F}, {0xAA, 0xAA},
      {0xB5, 0xB5}, {0xBA, 0xBA}, {0xC0, 0xD6}, {0xD8, 0xF6}, {0xF8, 0xFF},
  };
  std::bitset<256> set;
  for (auto [first, last] : kRanges) {
    for (unsigned c = first; c <= last; ++c) set.set(c);
  }
  return set;
}

}  // namespace

TpsStringResource& LibraryStringResource() {
  static TpsStringResource catalogue = [] {
    RegisterLibraryStringTables();
    return TpsStringResource("VIREO_STRINGS_ENGLISH");
  }();
  return catalogue;
}

std::string GetLibraryString(std::uint16_t id) { return LibraryStringResource().GetStringById(id); }

const std::bitset<256>& AlphaCharSet() {
  static const std::bitset<256> set = BuildAlphaCharSet();
  return set;
}

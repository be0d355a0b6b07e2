#include "dataeditor/CellTexts.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kBlockSize = std::size_t{1} << 20;
constexpr int kOffsetBits = 32;

std::size_t EncodedLength(std::size_t n) {
  std::size_t bytes = 1;
  for (; n >= 0x80; n >>= 7) ++bytes;
  return bytes;
}

}  // namespace

TCellTexts::Ref TCellTexts::Add(std::string_view text) {
  if (text.empty()) return 0;
  const std::size_t need = EncodedLength(text.size()) + text.size();
  if (blocks_.empty() || used_ + need > capacity_) {
    // A text longer than a block gets a block of its own size.
    capacity_ = std::max(kBlockSize, need);
    blocks_.push_back(std::make_unique<char[]>(capacity_));
    used_ = 0;
  }
  char* at = blocks_.back().get() + used_;
  const Ref ref = (static_cast<Ref>(blocks_.size()) << kOffsetBits) | used_;
  std::size_t n = text.size();
  for (; n >= 0x80; n >>= 7) *at++ = static_cast<char>((n & 0x7F) | 0x80);
  *at++ = static_cast<char>(n);
  std::memcpy(at, text.data(), text.size());
  used_ += need;
  return ref;
}

std::string_view TCellTexts::Get(Ref ref) const {
  if (ref == 0) return {};
  const char* at = blocks_[(ref >> kOffsetBits) - 1].get() + (ref & ((Ref{1} << kOffsetBits) - 1));
  std::size_t n = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(*at++);
    n |= static_cast<std::size_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) break;
  }
  return {at, n};
}

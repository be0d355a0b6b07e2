#include "modules/clustering/largeSet.h"

#include <bit>

#include "matrix/Constu.h"
#include "rtl/Format.h"

// The words of a set, for the operations below.
class TLargeSetAccess {
 public:
  static std::array<std::uint64_t, TLargeSet::kWords>& Words(TLargeSet& a) { return a.words_; }
  static const std::array<std::uint64_t, TLargeSet::kWords>& Words(const TLargeSet& a) { return a.words_; }
};

namespace {

constexpr std::size_t kWordsPerHalf = TLargeSet::kWords / 2;

// The words in use: in each half in use, the first wordsPerHalf.
struct TLargeSetSize {
  std::size_t halves = 2;
  std::size_t wordsPerHalf = kWordsPerHalf;
};

TLargeSetSize& Size() {
  static TLargeSetSize size;
  return size;
}

// f(word index) for every word in use.
template <class F>
void ForWordsInUse(F f) {
  const TLargeSetSize& size = Size();
  for (std::size_t half = 0; half < size.halves; ++half) {
    for (std::size_t w = 0; w < size.wordsPerHalf; ++w) f(half * kWordsPerHalf + w);
  }
}

template <class Op>
TLargeSet Combine(const TLargeSet& a, const TLargeSet& b, Op op) {
  TLargeSet result;
  auto& r = TLargeSetAccess::Words(result);
  const auto& x = TLargeSetAccess::Words(a);
  const auto& y = TLargeSetAccess::Words(b);
  ForWordsInUse([&](std::size_t w) { r[w] = op(x[w], y[w]); });
  return result;
}

std::size_t CheckedElement(std::int32_t x) {
  if (x < 0 || x >= TLargeSet::kElements) {
    throw E_Morvapc_Internal(rtl::Format("Set element %d out of range 0..511", x));
  }
  return static_cast<std::size_t>(x);
}

}  // namespace

void SetInitSize(std::int32_t n) {
  if (n < 0 || n >= TLargeSet::kElements) {
    throw E_Morvapc_Internal(rtl::Format("Set size %d out of range 0..511", n));
  }
  // n div 8 + 1 bytes, at most the 32 bytes of a half, in whole words.
  const auto bytes = std::min<std::size_t>(static_cast<std::size_t>(n) / 8 + 1, 32);
  Size() = {static_cast<std::size_t>(n) / 256 + 1, (bytes + 7) / 8};
}

TLargeSet SetUnion(const TLargeSet& a, const TLargeSet& b) {
  return Combine(a, b, [](std::uint64_t x, std::uint64_t y) { return x | y; });
}

TLargeSet SetIntersection(const TLargeSet& a, const TLargeSet& b) {
  return Combine(a, b, [](std::uint64_t x, std::uint64_t y) { return x & y; });
}

TLargeSet SetDifference(const TLargeSet& a, const TLargeSet& b) {
  return Combine(a, b, [](std::uint64_t x, std::uint64_t y) { return x & ~y; });
}

TLargeSet SetSingleton(std::int32_t x) {
  TLargeSet result;
  SetInclude(x, result);
  return result;
}

bool SetMember(std::int32_t x, const TLargeSet& a) {
  const std::size_t e = CheckedElement(x);
  return (TLargeSetAccess::Words(a)[e / 64] >> (e % 64) & 1U) != 0;
}

void SetInclude(std::int32_t x, TLargeSet& a) {
  const std::size_t e = CheckedElement(x);
  TLargeSetAccess::Words(a)[e / 64] |= std::uint64_t{1} << (e % 64);
}

void SetClear(TLargeSet& a) { a = kEmptyLargeSet; }

bool SetEqual(const TLargeSet& a, const TLargeSet& b) {
  bool equal = true;
  ForWordsInUse([&](std::size_t w) { equal = equal && TLargeSetAccess::Words(a)[w] == TLargeSetAccess::Words(b)[w]; });
  return equal;
}

bool SetSubset(const TLargeSet& a, const TLargeSet& b) {
  bool subset = true;
  ForWordsInUse(
      [&](std::size_t w) { subset = subset && (TLargeSetAccess::Words(a)[w] & ~TLargeSetAccess::Words(b)[w]) == 0; });
  return subset;
}

std::int32_t SetCount(const TLargeSet& a) {
  std::int32_t count = 0;
  ForWordsInUse([&](std::size_t w) { count += std::popcount(TLargeSetAccess::Words(a)[w]); });
  return count;
}

std::vector<std::int32_t> SetElements(const TLargeSet& a) {
  std::vector<std::int32_t> elements;
  ForWordsInUse([&](std::size_t w) {
    for (std::uint64_t bits = TLargeSetAccess::Words(a)[w]; bits != 0; bits &= bits - 1) {
      elements.push_back(static_cast<std::int32_t>(w * 64) + std::countr_zero(bits));
    }
  });
  return elements;
}

std::vector<std::string> SetListLines(const TLargeSet& a) {
  const std::vector<std::int32_t> elements = SetElements(a);
  std::vector<std::string> lines;
  std::string line(1, '[');
  for (std::size_t k = 0; k < elements.size(); ++k) {
    if (line.size() > 57) {
      lines.push_back(std::move(line));
      line.assign(1, ' ');
    }
    line.append(rtl::Format(k + 1 < elements.size() ? "%d," : "%d]", elements[k]));
  }
  if (elements.empty()) line.push_back(']');
  lines.push_back(std::move(line));
  return lines;
}

void SetList(const TLargeSet& a) {
  for (const std::string& line : SetListLines(a)) ListingWriteLine(line);
}

std::size_t TLargeSetHash::operator()(const TLargeSet& a) const {
  std::uint64_t h = 0x9E3779B97F4A7C15ULL;
  ForWordsInUse(
      [&](std::size_t w) { h ^= TLargeSetAccess::Words(a)[w] + 0x9E3779B97F4A7C15ULL + (h << 6) + (h >> 2); });
  return static_cast<std::size_t>(h);
}

#pragma once
// Sets of OTU numbers up to 511: the clusters of consensus trees and the
// splits of neighbour-joining trees. A set is a 64-byte value of two halves of
// 256 elements; element x lives in half x div 256, at bit x mod 256 of that
// half, least significant bit first.
//
// The operations look only at the part of each half that the current problem
// size needs, set once per data set by SetInitSize. Sets of one problem are
// compared and combined only with sets of the same problem.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TLargeSet {
 public:
  static constexpr std::int32_t kElements = 512;
  static constexpr std::size_t kWords = kElements / 64;

  // The empty set.
  constexpr TLargeSet() = default;

 private:
  friend class TLargeSetAccess;
  std::array<std::uint64_t, kWords> words_{};
};

// The empty set, shared by all users.
inline constexpr TLargeSet kEmptyLargeSet{};

// Sizes the sets for problems whose elements go up to n (0 <= n <= 511):
// each half in use keeps n div 8 + 1 bytes, at most its 32, and the second
// half is in use from n = 256. Until the first call, every byte is in use.
void SetInitSize(std::int32_t n);

TLargeSet SetUnion(const TLargeSet& a, const TLargeSet& b);
TLargeSet SetIntersection(const TLargeSet& a, const TLargeSet& b);
TLargeSet SetDifference(const TLargeSet& a, const TLargeSet& b);
// {x}. An element outside 0 .. 511 raises E_Morvapc_Internal, here and in
// SetMember and SetInclude.
TLargeSet SetSingleton(std::int32_t x);
bool SetMember(std::int32_t x, const TLargeSet& a);
void SetInclude(std::int32_t x, TLargeSet& a);
void SetClear(TLargeSet& a);
bool SetEqual(const TLargeSet& a, const TLargeSet& b);
bool SetSubset(const TLargeSet& a, const TLargeSet& b);  // a is a subset of b
std::int32_t SetCount(const TLargeSet& a);

// The elements in ascending order.
std::vector<std::int32_t> SetElements(const TLargeSet& a);

// The listing of a set: "[1,2,3]", a new line started with a blank whenever
// the line has grown beyond 57 characters. "[]" for the empty set.
std::vector<std::string> SetListLines(const TLargeSet& a);
// Writes SetListLines to the listing.
void SetList(const TLargeSet& a);

// Hashes the bytes in use, for maps keyed by sets of one problem.
struct TLargeSetHash {
  std::size_t operator()(const TLargeSet& a) const;
};
struct TLargeSetEqual {
  bool operator()(const TLargeSet& a, const TLargeSet& b) const { return SetEqual(a, b); }
};

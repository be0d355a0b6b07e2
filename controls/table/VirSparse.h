#pragma once
// TVirSparseArray: a map from an index 0..319999 to a non-null pointer, kept
// in pages of 32 slots found through a directory sorted by page number. The
// array does not own its items. The directory holds at most 8191 pages; an
// operation that would need more raises ESAEAtMaxSize and changes nothing.
//
// Invariants: no page is empty, and Count is the highest index holding an item
// plus 1 (0 when empty).

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TVirSparseArray {
 public:
  static constexpr int kPageSize = 32;
  static constexpr int kMaxIndex = 319999;
  static constexpr int kMaxPages = 8191;

  // The item at Index, or null. An index outside 0..319999 raises ESAEOutOfBounds.
  void* Get(int index) const;
  // Stores Item at Index; null removes the item.
  void Put(int index, void* item);
  // Below Count: moves every item from Index on up by one and stores Item at
  // Index (null leaves a gap); Count grows by 1. At or beyond Count: as Put.
  // With Count at 320000 it raises ESAEAtMaxSize.
  void Insert(int index, void* item);
  // Below Count: removes the item at Index and moves every later item down by
  // one. At or beyond Count: nothing.
  void Delete(int index);
  void Exchange(int index1, int index2);
  // Calls Visitor(index, item) for every item in index order (or reversed)
  // until it returns false; the result is the index where it stopped, or -1.
  int VisitAll(const std::function<bool(int, void*)>& visitor, bool backwards = false) const;
  void DropEmptyPages();
  void Clear();
  int ItemCount() const;
  int Count() const { return count_; }
  int PageCount() const { return static_cast<int>(pages_.size()); }

 private:
  struct Page {
    std::uint16_t number;
    std::unique_ptr<std::array<void*, kPageSize>> slots;
  };
  static void CheckIndex(int index);
  // The position of the page in the directory, or where it would go.
  std::size_t Find(int pageNumber) const;
  const Page* PageOf(int pageNumber) const;
  std::array<void*, kPageSize>& MakePage(int pageNumber);
  // Moves every item from Index on by `shift` (+1 or -1) and, for an insert,
  // stores `item` at Index; raises before changing anything when the result
  // would need more than kMaxPages pages.
  void Shift(int index, int shift, void* item);
  void RecomputeCount();

  std::vector<Page> pages_;
  int count_ = 0;
};

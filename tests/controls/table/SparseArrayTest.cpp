// The sparse array against a std::map, its bounds and its page ceiling.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "controls/base/VirExcept.h"
#include "controls/table/VirSparse.h"

namespace {

void* Item(int n) { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(n) * 8 + 8); }

// What the array should hold, kept with plain map operations.
struct MapModel {
  std::map<int, void*> items;
  void Put(int i, void* p) {
    if (p)
      items[i] = p;
    else
      items.erase(i);
  }
  int Count() const { return items.empty() ? 0 : items.rbegin()->first + 1; }
  void Insert(int i, void* p) {
    if (i >= Count()) return Put(i, p);
    std::map<int, void*> next;
    for (auto [k, v] : items) next[k >= i ? k + 1 : k] = v;
    if (p) next[i] = p;
    items = std::move(next);
  }
  void Delete(int i) {
    if (i >= Count()) return;
    std::map<int, void*> next;
    for (auto [k, v] : items)
      if (k != i) next[k > i ? k - 1 : k] = v;
    items = std::move(next);
  }
};

void ExpectSame(const TVirSparseArray& a, const MapModel& m, const std::vector<int>& probes) {
  ASSERT_EQ(a.Count(), m.Count());
  ASSERT_EQ(a.ItemCount(), static_cast<int>(m.items.size()));
  std::map<int, void*> visited;
  a.VisitAll([&visited](int i, void* p) {
    visited[i] = p;
    return true;
  });
  ASSERT_EQ(visited, m.items);
  for (int i : probes) {
    auto it = m.items.find(i);
    ASSERT_EQ(a.Get(i), it == m.items.end() ? nullptr : it->second) << "index " << i;
  }
}

TEST(SparseArray, RandomOperationsAgreeWithAMap) {
  // Indices crowd around page edges and the top of the range, where the
  // carries between pages happen.
  std::vector<int> hot;
  for (int edge : {0, 32, 64, 96, 320, 319968, 319999 - 31})
    for (int d = -2; d <= 2; ++d)
      if (edge + d >= 0 && edge + d <= 319999) hot.push_back(edge + d);
  for (int i : {31, 63, 319990, 319997, 319998, 319999}) hot.push_back(i);
  std::mt19937 random(20261210);
  for (int round = 0; round < 40; ++round) {
    TVirSparseArray a;
    MapModel m;
    for (int step = 0; step < 300; ++step) {
      const int index = hot[random() % hot.size()];
      void* item = random() % 5 == 0 ? nullptr : Item(static_cast<int>(random() % 1000));
      switch (random() % 4) {
        case 0: a.Put(index, item), m.Put(index, item); break;
        case 1:
          if (m.Count() > 319999 && index < m.Count()) {
            EXPECT_THROW(a.Insert(index, item), ESAEAtMaxSize);
          } else {
            a.Insert(index, item), m.Insert(index, item);
          }
          break;
        case 2: a.Delete(index), m.Delete(index); break;
        case 3: {
          const int other = hot[random() % hot.size()];
          void* x = m.items.count(index) ? m.items[index] : nullptr;
          void* y = m.items.count(other) ? m.items[other] : nullptr;
          a.Exchange(index, other);
          m.Put(index, y), m.Put(other, x);
          break;
        }
      }
      ExpectSame(a, m, hot);
      if (HasFatalFailure()) return;
    }
  }
}

TEST(SparseArray, EdgeCases) {
  TVirSparseArray a;
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(a.Get(5), nullptr);
  a.Put(319999, Item(1));
  EXPECT_EQ(a.Count(), 320000);
  a.Put(319999, nullptr);
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(a.PageCount(), 0);

  // A full page 0; inserting at 31 carries the old slot 31 into a new page 1.
  for (int i = 0; i < 32; ++i) a.Put(i, Item(i));
  a.Insert(31, Item(100));
  EXPECT_EQ(a.Get(31), Item(100));
  EXPECT_EQ(a.Get(32), Item(31));
  EXPECT_EQ(a.Count(), 33);
}

TEST(SparseArray, InsertLeavesNoDuplicateAndMakesAMissingPage) {
  // Page 0 holds only slot 0, page 2 exists, page 1 is missing.
  TVirSparseArray a;
  a.Put(0, Item(0));
  a.Put(64, Item(64));
  a.Insert(0, Item(9));  // page 0's slot 31 is empty: page 1 receives nothing
  EXPECT_EQ(a.Get(0), Item(9));
  EXPECT_EQ(a.Get(1), Item(0));
  EXPECT_EQ(a.Get(64), nullptr);
  EXPECT_EQ(a.Get(65), Item(64));
  EXPECT_EQ(a.ItemCount(), 3);
  // An insert into the missing page 1 stores the item there.
  a.Insert(40, Item(40));
  EXPECT_EQ(a.Get(40), Item(40));
  EXPECT_EQ(a.Get(66), Item(64));
  EXPECT_EQ(a.ItemCount(), 4);
}

TEST(SparseArray, BoundsAndSizeErrors) {
  TVirSparseArray a;
  EXPECT_THROW(a.Get(-1), ESAEOutOfBounds);
  EXPECT_THROW(a.Put(320000, Item(1)), ESAEOutOfBounds);
  try {
    a.Get(320000);
    FAIL();
  } catch (const ESAEOutOfBounds& e) {
    EXPECT_STREQ(e.what(), "Index is out of bounds for sparse array");
  }
  a.Put(319999, Item(1));
  a.Put(5, Item(2));
  EXPECT_THROW(a.Insert(5, Item(3)), ESAEAtMaxSize);
  EXPECT_EQ(a.Get(5), Item(2));
  EXPECT_EQ(a.Get(319999), Item(1));
}

TEST(SparseArray, AFullDirectoryRaisesAndKeepsItsItems) {
  // The last slot of pages 0..8190 in use: the directory is full.
  TVirSparseArray a;
  for (int p = 0; p < TVirSparseArray::kMaxPages; ++p) a.Put(p * 32 + 31, Item(p));
  EXPECT_EQ(a.PageCount(), 8191);
  a.Put(0, Item(-1));  // an existing page takes more
  a.Put(0, nullptr);
  EXPECT_THROW(a.Put(8191 * 32, Item(1)), ESAEAtMaxSize);
  // An item at 0 with every other item carried into the next page needs 8192 pages.
  EXPECT_THROW(a.Insert(0, Item(1)), ESAEAtMaxSize);
  EXPECT_EQ(a.ItemCount(), 8191);
  EXPECT_EQ(a.Get(31), Item(0));
  EXPECT_EQ(a.Get(8190 * 32 + 31), Item(8190));
  // Without the new item the carry fits: page 0 empties and page 8191 is made.
  a.Insert(0, nullptr);
  EXPECT_EQ(a.Get(32), Item(0));
  EXPECT_EQ(a.Get(8191 * 32), Item(8190));
  EXPECT_EQ(a.PageCount(), 8191);
  a.Delete(0);
  EXPECT_EQ(a.Get(31), Item(0));
  EXPECT_EQ(a.Count(), 8190 * 32 + 32);
}

TEST(SparseArray, VisitAllStopsWhereTheVisitorSays) {
  TVirSparseArray a;
  for (int i : {3, 40, 90}) a.Put(i, Item(i));
  std::vector<int> seen;
  const int stop = a.VisitAll(
      [&seen](int i, void*) {
        seen.push_back(i);
        return i != 40;
      },
      true);
  EXPECT_EQ(stop, 40);
  EXPECT_EQ(seen, (std::vector<int>{90, 40}));
  EXPECT_EQ(a.VisitAll([](int, void*) { return true; }), -1);
}

}  // namespace

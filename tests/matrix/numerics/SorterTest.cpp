#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "matrix/util/UtSorter.h"
#include "tests/matrix/numerics/NumericsFixture.h"

namespace {

namespace fs = std::filesystem;
using numerics_test::MessageOf;

// A record: the sort key and the position at which it was put.
struct Rec {
  std::int32_t key;
  std::int32_t id;
};

int CompareKeys(const void* a, const void* b) {
  const auto* x = static_cast<const Rec*>(a);
  const auto* y = static_cast<const Rec*>(b);
  return (x->key > y->key) - (x->key < y->key);
}

// Points the system's temporary folder at an empty folder of its own, so that
// a test sees every run file the sorter makes and can check none is left.
class SorterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::path(MORVA_ARTEFACTS) / "sorter" / info->name();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    const char* old = std::getenv("TMPDIR");
    if (old) oldTmp_ = old;
    hadTmp_ = old != nullptr;
    setenv("TMPDIR", folder_.c_str(), 1);
  }
  void TearDown() override {
    fs::remove_all(folder_);
    if (hadTmp_)
      setenv("TMPDIR", oldTmp_.c_str(), 1);
    else
      unsetenv("TMPDIR");
  }
  std::size_t FilesLeft() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
  }
  static std::vector<Rec> SortAll(TUtSorter& sorter, const std::vector<Rec>& input) {
    for (const Rec& r : input) sorter.Put(&r);
    std::vector<Rec> out;
    Rec r;
    while (sorter.Get(&r)) out.push_back(r);
    return out;
  }
  static std::vector<std::int32_t> Ids(const std::vector<Rec>& recs) {
    std::vector<std::int32_t> ids;
    for (const Rec& r : recs) ids.push_back(r.id);
    return ids;
  }

  fs::path folder_;
  std::string oldTmp_;
  bool hadTmp_ = false;
};

std::vector<Rec> RandomRecords(int count, std::int32_t keyRange) {
  std::vector<Rec> recs;
  std::uint32_t seed = 12345;
  for (int i = 0; i < count; ++i) {
    seed = seed * 134775813u + 1u;
    recs.push_back({static_cast<std::int32_t>((seed >> 8) % static_cast<std::uint32_t>(keyRange)), i});
  }
  return recs;
}

struct BudgetCase {
  const char* what;
  int records;
  std::int64_t memoryRecords;  // the budget, in records
  bool runFiles;
};

TEST_F(SorterTest, SortsWithinEveryBudget) {
  const BudgetCase cases[] = {
      {"nothing put", 0, 6, false},
      {"one record", 1, 6, false},
      {"exactly the capacity", 40, 42, false},
      {"one more than the capacity", 41, 42, true},
      {"three runs, merged on the fly", 1000, 402, true},
      {"more than five runs, merged in passes", 5000, 66, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto input = RandomRecords(c.records, 1 << 20);
    TUtSorter sorter(sizeof(Rec), c.memoryRecords * static_cast<std::int64_t>(sizeof(Rec)), CompareKeys);
    const auto out = SortAll(sorter, input);
    auto expected = input;
    std::stable_sort(expected.begin(), expected.end(), [](const Rec& a, const Rec& b) { return a.key < b.key; });
    ASSERT_EQ(out.size(), expected.size());
    for (std::size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i].key, expected[i].key) << i;
    EXPECT_EQ(sorter.RunFilesWritten() > 0, c.runFiles);
    Rec r;
    EXPECT_FALSE(sorter.Get(&r));  // stays at the end
    EXPECT_EQ(FilesLeft(), 0u);
  }
}

TEST_F(SorterTest, MinimumMemoryHoldsEveryRecordInMemory) {
  const auto input = RandomRecords(500, 7);
  TUtSorter sorter(sizeof(Rec), SorterMinMemory(sizeof(Rec), 500), CompareKeys);
  SortAll(sorter, input);
  EXPECT_EQ(sorter.RunFilesWritten(), 0);
}

struct TieCase {
  const char* what;
  int records;
  std::int64_t memoryRecords;
  std::vector<std::int32_t> ids;
};

// Equal keys come back in the order the quicksort and the merge give, worked
// out by hand: a partition of equal records swaps them end for end, ranges of
// up to 16 are insertion-sorted (which keeps their order), and in a merge the
// older run gives its record first; a run merged from the five oldest goes to
// the end of the queue.
TEST_F(SorterTest, EqualKeysComeBackInTheSortersOrder) {
  const TieCase cases[] = {
      {"16 in memory: insertion sort only", 16, 18, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      {"17 in memory: one partition", 17, 19, {16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
      {"three runs of 4", 10, 6, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"seven runs of 4", 26, 6, {20, 21, 22, 23, 24, 25, 0,  1,  2,  3,  4,  5,  6,
                                  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<Rec> input;
    for (int i = 0; i < c.records; ++i) input.push_back({42, i});
    TUtSorter sorter(sizeof(Rec), c.memoryRecords * static_cast<std::int64_t>(sizeof(Rec)), CompareKeys);
    EXPECT_EQ(Ids(SortAll(sorter, input)), c.ids);
  }
}

TEST_F(SorterTest, RefusesMisuse) {
  const std::int64_t memory = 10 * sizeof(Rec);
  const Rec rec{1, 1};
  Rec out;
  EXPECT_EQ(MessageOf<EUtSortError>([&] { TUtSorter s(sizeof(Rec), 6 * sizeof(Rec) - 1, CompareKeys); }),
            "Bad size parameter");
  EXPECT_EQ(MessageOf<EUtSortError>([&] { TUtSorter s(0, memory, CompareKeys); }), "Bad size parameter");
  EXPECT_EQ(MessageOf<EUtSortError>([&] {
              TUtSorter s(sizeof(Rec), memory, CompareKeys);
              s.Put(&rec);
              s.Get(&out);
              s.Put(&rec);
            }),
            "TUtSorter in wrong state");
  EXPECT_EQ(MessageOf<EUtSortError>([&] {
              TUtSorter s(sizeof(Rec), memory, CompareKeys);
              s.Put(&rec);
              s.SetCompare(CompareKeys);
            }),
            "Unable to assign this compare function now");
  EXPECT_EQ(MessageOf<EUtSortError>([&] {
              TUtSorter s(sizeof(Rec), memory);
              s.SetCompare(nullptr);
            }),
            "Unable to assign this compare function now");
  EXPECT_EQ(MessageOf<EUtSortError>([&] {
              TUtSorter s(sizeof(Rec), memory);
              s.Put(&rec);
              s.Get(&out);
            }),
            "Compare property must be set");
  // Nothing to sort needs no compare function.
  TUtSorter empty(sizeof(Rec), memory);
  EXPECT_FALSE(empty.Get(&out));
}

TEST_F(SorterTest, RunFilesGoAwayWhenAnErrorStopsTheSorter) {
  // A compare function that fails in the middle of the merge.
  int calls = 0;
  auto failing = [&calls](const void* a, const void* b) {
    if (++calls > 3000) throw std::runtime_error("compare failed");
    return CompareKeys(a, b);
  };
  TUtSorter sorter(sizeof(Rec), 30 * sizeof(Rec), failing);
  const auto input = RandomRecords(400, 1000);
  for (const Rec& r : input) sorter.Put(&r);
  EXPECT_GT(FilesLeft(), 5u);
  Rec out;
  EXPECT_THROW(while (sorter.Get(&out)){}, std::runtime_error);
  EXPECT_EQ(FilesLeft(), 0u);
  EXPECT_EQ(MessageOf<EUtSortError>([&] { sorter.Get(&out); }), "TUtSorter in wrong state");
}

TEST_F(SorterTest, TwoSortersKeepTheirRunsApart) {
  TUtSorter first(sizeof(Rec), 10 * sizeof(Rec), CompareKeys), second(sizeof(Rec), 10 * sizeof(Rec), CompareKeys);
  const auto a = RandomRecords(100, 1000);
  std::vector<Rec> b;
  for (const Rec& r : a) b.push_back({-r.key, r.id});
  for (std::size_t i = 0; i < a.size(); ++i) {
    first.Put(&a[i]);
    second.Put(&b[i]);
  }
  std::vector<Rec> outA, outB;
  for (Rec r; first.Get(&r);) outA.push_back(r);
  for (Rec r; second.Get(&r);) outB.push_back(r);
  ASSERT_EQ(outA.size(), a.size());
  ASSERT_EQ(outB.size(), b.size());
  for (std::size_t i = 0; i < outA.size(); ++i) EXPECT_EQ(outA[i].key, -outB[outB.size() - 1 - i].key) << i;
  EXPECT_TRUE(std::is_sorted(outA.begin(), outA.end(), [](const Rec& x, const Rec& y) { return x.key < y.key; }));
}

TEST_F(SorterTest, RunFilesGoAwayWhenTheSorterIsFreedEarly) {
  {
    TUtSorter sorter(sizeof(Rec), 10 * sizeof(Rec), CompareKeys);
    for (const Rec& r : RandomRecords(100, 50)) sorter.Put(&r);
    Rec out;
    sorter.Get(&out);
    EXPECT_GT(FilesLeft(), 0u);
  }
  EXPECT_EQ(FilesLeft(), 0u);
}

TEST_F(SorterTest, NoTemporaryFolderIsACreateError) {
  setenv("TMPDIR", (folder_ / "missing").c_str(), 1);
  TUtSorter sorter(sizeof(Rec), 10 * sizeof(Rec), CompareKeys);
  EXPECT_EQ(MessageOf<EUtSortError>([&] {
              for (const Rec& r : RandomRecords(20, 50)) sorter.Put(&r);
            }),
            "Error creating file");
}

// Ten million 8-byte records through a 4 MB budget: 20 runs, merged in passes.
TEST_F(SorterTest, TenMillionRecordsThroughRunFiles) {
  constexpr std::int64_t kCount = 10'000'000;
  TUtSorter sorter(8, 4 << 20, [](const void* a, const void* b) {
    const auto x = *static_cast<const std::uint64_t*>(a), y = *static_cast<const std::uint64_t*>(b);
    return (x > y) - (x < y);
  });
  std::uint64_t state = 1, sumIn = 0;
  for (std::int64_t i = 0; i < kCount; ++i) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    sumIn += state;
    sorter.Put(&state);
  }
  std::uint64_t value, previous = 0, sumOut = 0;
  std::int64_t got = 0;
  bool ordered = true;
  while (sorter.Get(&value)) {
    ordered = ordered && value >= previous;
    previous = value;
    sumOut += value;
    ++got;
  }
  EXPECT_TRUE(ordered);
  EXPECT_EQ(got, kCount);
  EXPECT_EQ(sumOut, sumIn);
  EXPECT_GT(sorter.RunFilesWritten(), 20);
  EXPECT_EQ(FilesLeft(), 0u);
}

}  // namespace

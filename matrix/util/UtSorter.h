#pragma once
// TUtSorter: sorts fixed-length records by a caller's compare function within
// a bounded amount of memory. Records are put one by one and got back in
// sorted order. While they fit in the buffer they are sorted in memory; when
// the buffer fills it is sorted and written to a temporary run file, and the
// first Get merges the runs, five at a time.
//
// Equal records come back in a fixed order that depends only on the input
// sequence: the in-memory quicksort (median of three, insertion sort for
// partitions of at most 16 records) is not stable, and in a merge the older
// run gives its record first. Callers (the monotone regression) rely on that
// order being reproducible.
//
// Run files get unique names in the system's temporary folder and are removed
// when consumed, when an error stops the sorter and when the sorter is freed.
// Errors raise EUtSortError with the utility library's message numbers; after
// one the sorter refuses every further call with error 76 and must be freed.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "matrix/util/UtExcept.h"

class TUtSorter {
 public:
  // Negative when a sorts before b, zero when equal, positive when after.
  using TCompare = std::function<int(const void* a, const void* b)>;

  // The buffer holds memory div recordLength records, two of them spare
  // slots; fewer than 6 raises error 53. A buffer that cannot be allocated is
  // halved until it can, or std::bad_alloc once below 6 records.
  TUtSorter(std::int32_t recordLength, std::int64_t memory, TCompare compare = nullptr);
  ~TUtSorter();
  TUtSorter(const TUtSorter&) = delete;
  TUtSorter& operator=(const TUtSorter&) = delete;

  // Adds one record of recordLength bytes; error 76 once getting has begun.
  void Put(const void* record);
  // Copies the next record in sorted order; false when all have been returned.
  bool Get(void* record);
  // Error 63 when records are held or compare is empty.
  void SetCompare(TCompare compare);

  std::int64_t RecordCount() const { return putCount_; }
  // Run files written so far, merged runs included.
  std::int32_t RunFilesWritten() const { return runsWritten_; }

 private:
  class RunFile;
  struct MergeInput;

  std::byte* Record(std::int64_t index) { return buffer_.get() + index * recordLength_; }
  std::byte* PivotSlot() { return Record(capacity_); }
  std::byte* SpareSlot() { return Record(capacity_ + 1); }
  int Compare(const void* a, const void* b) const { return compare_(a, b); }
  void Swap(std::int64_t i, std::int64_t j);

  // Runs an operation; an error leaves the sorter failed, its run files removed.
  template <class Operation>
  auto Guarded(Operation operation);
  void SortBuffer();
  void QuickSort(std::int64_t left, std::int64_t right);
  void InsertionSort(std::int64_t left, std::int64_t right);
  void WriteBufferAsRun();
  std::unique_ptr<RunFile> NewRun();
  void StartGetting();
  void MergeOldestRuns();
  void OpenMerge(std::size_t runs);
  bool NextMerged(void* record);

  std::int64_t putCount_ = 0;
  std::int32_t recordLength_;
  TCompare compare_;
  std::int64_t capacity_ = 0;     // records the buffer sorts (the spare slots excluded)
  std::int64_t partRecords_ = 0;  // records of one sixth of the buffer, for merging
  std::unique_ptr<std::byte[]> buffer_;
  std::int64_t inBuffer_ = 0;
  std::int64_t readPos_ = 0;
  std::int32_t runsWritten_ = 0;
  bool getting_ = false;
  bool failed_ = false;
  std::deque<std::unique_ptr<RunFile>> runs_;
  std::vector<MergeInput> merge_;
};

// The smallest memory a caller should give a sorter for k records.
std::int64_t SorterMinMemory(std::int32_t recordLength, std::int64_t k);

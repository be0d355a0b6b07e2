#include "matrix/util/UtSorter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>
#include <random>
#include <string>
#include <system_error>
#include <utility>

#include "rtl/ScopeGuard.h"

namespace {

constexpr std::int64_t kMinRecords = 6;  // buffer records, the two spare slots included
constexpr std::size_t kMergeWays = 5;    // runs merged at once; the sixth part is the output
constexpr std::int64_t kInsertionSortLimit = 16;

// A name no other sorter, here or in another process, is using: the run
// number and a random tag. Creation is exclusive, so a clash is retried.
std::filesystem::path RunFileName(std::int32_t runNumber) {
  static std::mt19937_64 tags{std::random_device{}()};
  char tag[17];
  std::snprintf(tag, sizeof tag, "%016llx", static_cast<unsigned long long>(tags()));
  return std::filesystem::temp_directory_path() / ("SOR" + std::to_string(runNumber) + "-" + tag + ".TMP");
}

}  // namespace

// One temporary run file: written once, read back once, removed when freed.
class TUtSorter::RunFile {
 public:
  explicit RunFile(std::int32_t runNumber) {
    for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
      try {
        path_ = RunFileName(runNumber);
      } catch (const std::filesystem::filesystem_error&) {
        break;  // no usable temporary folder
      }
      file_ = std::fopen(path_.c_str(), "wbx");
      if (!file_ && errno != EEXIST) break;
    }
    if (!file_) throw EUtSortError(utCreateFile);
  }

  ~RunFile() {
    if (file_) std::fclose(file_);
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }

  RunFile(const RunFile&) = delete;
  RunFile& operator=(const RunFile&) = delete;

  void Write(const std::byte* records, std::int64_t count, std::int32_t recordLength) {
    const auto size = static_cast<std::size_t>(recordLength);
    if (std::fwrite(records, size, static_cast<std::size_t>(count), file_) != static_cast<std::size_t>(count))
      throw EUtSortError(utWriteFile);
    records_ += count;
  }

  void FinishWriting() {
    const int result = std::fclose(file_);
    file_ = nullptr;
    if (result != 0) throw EUtSortError(utWriteFile);
  }

  void OpenForReading() {
    file_ = std::fopen(path_.c_str(), "rb");
    if (!file_) throw EUtSortError(utOpenFile);
  }

  // Reads up to count records; returns how many were read.
  std::int64_t Read(std::byte* records, std::int64_t count, std::int32_t recordLength) {
    const std::int64_t wanted = std::min(count, records_ - read_);
    if (std::fread(records, static_cast<std::size_t>(recordLength), static_cast<std::size_t>(wanted), file_) !=
        static_cast<std::size_t>(wanted))
      throw EUtSortError(utReadFile);
    read_ += wanted;
    return wanted;
  }

 private:
  std::filesystem::path path_;
  std::FILE* file_ = nullptr;
  std::int64_t records_ = 0;
  std::int64_t read_ = 0;
};

// A run being merged: its part of the buffer and the position in it.
struct TUtSorter::MergeInput {
  std::unique_ptr<RunFile> run;
  std::byte* block;
  std::int64_t count = 0;
  std::int64_t pos = 0;
};

TUtSorter::TUtSorter(std::int32_t recordLength, std::int64_t memory, TCompare compare)
    : recordLength_(recordLength), compare_(std::move(compare)) {
  if (recordLength <= 0 || memory / recordLength < kMinRecords) throw EUtSortError(utBadSize);
  std::int64_t records = memory / recordLength;
  while (!(buffer_ = std::unique_ptr<std::byte[]>(new (std::nothrow)
                                                      std::byte[static_cast<std::size_t>(records * recordLength)]))) {
    records /= 2;
    if (records < kMinRecords) throw std::bad_alloc();
  }
  capacity_ = records - 2;
  partRecords_ = records / 6;
}

TUtSorter::~TUtSorter() = default;

std::int64_t SorterMinMemory(std::int32_t recordLength, std::int64_t k) {
  return static_cast<std::int64_t>(recordLength) * (k + 2);
}

void TUtSorter::SetCompare(TCompare compare) {
  if (!compare || putCount_ > 0) throw EUtSortError(utCannotAssignCompare);
  compare_ = std::move(compare);
}

template <class Operation>
auto TUtSorter::Guarded(Operation operation) {
  if (failed_) throw EUtSortError(utSorterState);
  const rtl::ScopeFail fail([this] {
    failed_ = true;
    merge_.clear();
    runs_.clear();
  });
  return operation();
}

void TUtSorter::Put(const void* record) {
  Guarded([&] {
    if (getting_) throw EUtSortError(utSorterState);
    if (inBuffer_ == capacity_) {
      SortBuffer();
      WriteBufferAsRun();
    }
    std::memcpy(Record(inBuffer_++), record, static_cast<std::size_t>(recordLength_));
    ++putCount_;
  });
}

bool TUtSorter::Get(void* record) {
  return Guarded([&] {
    if (!getting_) StartGetting();
    if (!merge_.empty()) return NextMerged(record);
    if (readPos_ == inBuffer_) return false;
    std::memcpy(record, Record(readPos_++), static_cast<std::size_t>(recordLength_));
    return true;
  });
}

void TUtSorter::StartGetting() {
  getting_ = true;
  if (inBuffer_ == 0) return;
  SortBuffer();
  if (runs_.empty()) return;
  WriteBufferAsRun();
  while (runs_.size() > kMergeWays) MergeOldestRuns();
  OpenMerge(runs_.size());
}

std::unique_ptr<TUtSorter::RunFile> TUtSorter::NewRun() {
  if (runsWritten_ == std::numeric_limits<std::int32_t>::max()) throw EUtSortError(utTooManyMergeFiles);
  return std::make_unique<RunFile>(++runsWritten_);
}

void TUtSorter::WriteBufferAsRun() {
  auto run = NewRun();
  run->Write(Record(0), inBuffer_, recordLength_);
  run->FinishWriting();
  runs_.push_back(std::move(run));
  inBuffer_ = 0;
}

// Merges the five oldest runs into a new run at the end of the queue, through
// the sixth part of the buffer.
void TUtSorter::MergeOldestRuns() {
  auto output = NewRun();
  OpenMerge(kMergeWays);
  std::byte* const block = Record(static_cast<std::int64_t>(kMergeWays) * partRecords_);
  std::int64_t held = 0;
  while (NextMerged(block + held * recordLength_)) {
    if (++held == partRecords_) {
      output->Write(block, held, recordLength_);
      held = 0;
    }
  }
  output->Write(block, held, recordLength_);
  output->FinishWriting();
  runs_.push_back(std::move(output));
}

// Opens the oldest runs for merging, each reading through its part of the buffer.
void TUtSorter::OpenMerge(std::size_t runs) {
  merge_.clear();
  for (std::size_t i = 0; i < runs; ++i) {
    MergeInput input{std::move(runs_.front()), Record(static_cast<std::int64_t>(i) * partRecords_)};
    runs_.pop_front();
    input.run->OpenForReading();
    input.count = input.run->Read(input.block, partRecords_, recordLength_);
    merge_.push_back(std::move(input));
  }
}

// The smallest head record of the runs being merged; among equal heads the
// oldest run's. A consumed run is removed at once.
bool TUtSorter::NextMerged(void* record) {
  MergeInput* best = nullptr;
  for (MergeInput& input : merge_) {
    if (input.pos == input.count) continue;
    if (!best || Compare(input.block + input.pos * recordLength_, best->block + best->pos * recordLength_) < 0)
      best = &input;
  }
  if (!best) {
    merge_.clear();
    return false;
  }
  std::memcpy(record, best->block + best->pos * recordLength_, static_cast<std::size_t>(recordLength_));
  if (++best->pos == best->count) {
    best->count = best->run->Read(best->block, partRecords_, recordLength_);
    best->pos = 0;
    if (best->count == 0) best->run.reset();
  }
  return true;
}

void TUtSorter::Swap(std::int64_t i, std::int64_t j) {
  const auto size = static_cast<std::size_t>(recordLength_);
  std::memcpy(SpareSlot(), Record(i), size);
  std::memcpy(Record(i), Record(j), size);
  std::memcpy(Record(j), SpareSlot(), size);
}

void TUtSorter::SortBuffer() {
  if (!compare_) throw EUtSortError(utCompareNotSet);
  QuickSort(0, inBuffer_ - 1);
}

// Quicksort on records left..right: the median of the first, middle and last
// record is the pivot (kept in the pivot slot), a Hoare partition splits the
// range, the smaller side is sorted by recursion and the larger by the loop.
// Ranges of at most 16 records are finished by insertion sort.
void TUtSorter::QuickSort(std::int64_t left, std::int64_t right) {
  while (right - left + 1 > kInsertionSortLimit) {
    const std::int64_t middle = (left + right) >> 1;
    if (Compare(Record(middle), Record(left)) < 0) Swap(middle, left);
    if (Compare(Record(right), Record(left)) < 0) Swap(right, left);
    if (Compare(Record(right), Record(middle)) < 0) Swap(right, middle);
    std::memcpy(PivotSlot(), Record(middle), static_cast<std::size_t>(recordLength_));
    std::int64_t i = left, j = right;
    while (i <= j) {
      while (Compare(Record(i), PivotSlot()) < 0) ++i;
      while (Compare(PivotSlot(), Record(j)) < 0) --j;
      if (i <= j) Swap(i++, j--);
    }
    if (j - left < right - i) {
      QuickSort(left, j);
      left = i;
    } else {
      QuickSort(i, right);
      right = j;
    }
  }
  InsertionSort(left, right);
}

void TUtSorter::InsertionSort(std::int64_t left, std::int64_t right) {
  const auto size = static_cast<std::size_t>(recordLength_);
  for (std::int64_t i = left + 1; i <= right; ++i) {
    std::memcpy(SpareSlot(), Record(i), size);
    std::int64_t j = i;
    for (; j > left && Compare(Record(j - 1), SpareSlot()) > 0; --j) std::memcpy(Record(j), Record(j - 1), size);
    std::memcpy(Record(j), SpareSlot(), size);
  }
}

#pragma once
// Large arrays: one-dimensional (TUtLArray) and two-dimensional (TUtLMatrix)
// arrays of fixed-size elements, each in one zero-filled memory block. The
// matrix and vector types keep their elements in them.
//
// Every public access checks its indices and raises EUtContainerError 55. The
// containers take no lock: the system runs on one thread. Derived classes that
// check their own indices reach the block through the unchecked Slot().

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

#include "matrix/util/UtExcept.h"

class TUtContainer {
 public:
  // Called with the container and each element until it returns false.
  using IterateFunc = std::function<bool(const TUtContainer&, const std::byte* element)>;

  virtual ~TUtContainer() = default;

  std::int32_t Count() const { return count_; }

  // Copies dimensions and contents from another container of the same
  // element size (error 53 for another size).
  virtual void Assign(const TUtContainer& source);
  virtual void Iterate(const IterateFunc& func) const;
  virtual void GetDimensions(std::int32_t& rows, std::int32_t& cols, std::uint32_t& elementSize) const;
  // Reallocates the block for the new dimensions and clears it.
  virtual void SetDimensions(std::int32_t rows, std::int32_t cols);
  virtual bool IsLargeContainer() const { return false; }
  // Sets every byte of every element to zero.
  virtual void Clear();

 protected:
  TUtContainer() = default;
  explicit TUtContainer(std::uint32_t elementSize) : elementSize_(elementSize) {}
  TUtContainer(const TUtContainer&) = delete;
  TUtContainer& operator=(const TUtContainer&) = delete;

  // Allocates a zero-filled block of rows x cols elements; raises error 53 for
  // a zero or negative dimension or size, or a block that cannot be had.
  void Allocate(std::int32_t rows, std::int32_t cols, std::uint32_t elementSize);
  // Called after SetDimensions gave the container a new block, so that a
  // derived type keeps its own sizes in step with it.
  virtual void Resized() {}

  // The block as an array of T, for element types of size ElementSize().
  template <class T>
  T* Cells() {
    return reinterpret_cast<T*>(block_.get());
  }
  template <class T>
  const T* Cells() const {
    return reinterpret_cast<const T*>(block_.get());
  }
  std::byte* Slot(std::size_t index) { return block_.get() + index * elementSize_; }
  const std::byte* Slot(std::size_t index) const { return block_.get() + index * elementSize_; }
  std::uint32_t ElementSize() const { return elementSize_; }

 private:
  struct FreeBlock {
    void operator()(std::byte* p) const { std::free(p); }
  };
  std::unique_ptr<std::byte, FreeBlock> block_;
  std::uint32_t elementSize_ = 0;
  std::int32_t count_ = 0;
};

// A one-dimensional array, elements addressed from 0.
class TUtLArray : public TUtContainer {
 public:
  TUtLArray(std::int32_t count, std::uint32_t elementSize) : TUtContainer(elementSize) {
    Allocate(count, 1, elementSize);
  }

  void Get(std::int32_t index, void* element) const {
    CheckIndex(index);
    std::memcpy(element, Slot(static_cast<std::size_t>(index)), ElementSize());
  }
  void Put(std::int32_t index, const void* element) {
    CheckIndex(index);
    std::memcpy(Slot(static_cast<std::size_t>(index)), element, ElementSize());
  }

  void GetDimensions(std::int32_t& rows, std::int32_t& cols, std::uint32_t& elementSize) const override;
  // The column count must be 1 (error 64).
  void SetDimensions(std::int32_t rows, std::int32_t cols) override;
  bool IsLargeContainer() const override { return true; }

 protected:
  // An array without storage (count 0), for lists that have none.
  explicit TUtLArray(std::uint32_t elementSize) : TUtContainer(elementSize) {}

 private:
  void CheckIndex(std::int32_t index) const {
    if (static_cast<std::uint32_t>(index) >= static_cast<std::uint32_t>(Count())) [[unlikely]]
      throw EUtContainerError(utIndexOutOfRange);
  }
};

// A two-dimensional array stored row by row, elements addressed from (0, 0).
class TUtLMatrix : public TUtContainer {
 public:
  TUtLMatrix(std::int32_t rows, std::int32_t cols, std::uint32_t elementSize) : TUtContainer(elementSize) {
    Allocate(rows, cols, elementSize);
    rows_ = rows;
    cols_ = cols;
  }

  std::int32_t GridRows() const { return rows_; }
  std::int32_t GridCols() const { return cols_; }
  std::size_t RowSize() const { return static_cast<std::size_t>(cols_) * ElementSize(); }

  void Get(std::int32_t row, std::int32_t col, void* element) const {
    std::memcpy(element, Slot(CheckedIndex(row, col)), ElementSize());
  }
  void Put(std::int32_t row, std::int32_t col, const void* element) {
    std::memcpy(Slot(CheckedIndex(row, col)), element, ElementSize());
  }
  void GetRow(std::int32_t row, void* buffer) const { std::memcpy(buffer, Slot(CheckedIndex(row, 0)), RowSize()); }
  void PutRow(std::int32_t row, const void* buffer) { std::memcpy(Slot(CheckedIndex(row, 0)), buffer, RowSize()); }

  void GetDimensions(std::int32_t& rows, std::int32_t& cols, std::uint32_t& elementSize) const override;
  void SetDimensions(std::int32_t rows, std::int32_t cols) override;
  bool IsLargeContainer() const override { return true; }

 private:
  // Row and column compared unsigned, so a negative index fails too.
  std::size_t CheckedIndex(std::int32_t row, std::int32_t col) const {
    if (static_cast<std::uint32_t>(row) >= static_cast<std::uint32_t>(rows_) ||
        static_cast<std::uint32_t>(col) >= static_cast<std::uint32_t>(cols_)) [[unlikely]]
      throw EUtContainerError(utIndexOutOfRange);
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(col);
  }

  std::int32_t rows_ = 0;
  std::int32_t cols_ = 0;
};

#include "matrix/util/UtLArray.h"

#include <limits>

void TUtContainer::Allocate(std::int32_t rows, std::int32_t cols, std::uint32_t elementSize) {
  if (rows <= 0 || cols <= 0 || elementSize == 0) throw EUtContainerError(utBadSize);
  const auto count = static_cast<std::int64_t>(rows) * cols;
  if (count > std::numeric_limits<std::int32_t>::max()) throw EUtContainerError(utBadSize);
  // calloc gives zero-filled pages without touching them, so a huge block is
  // refused here rather than exhausting memory while it is cleared.
  auto* block = static_cast<std::byte*>(std::calloc(static_cast<std::size_t>(count), elementSize));
  if (block == nullptr) throw EUtContainerError(utBadSize);
  block_.reset(block);
  elementSize_ = elementSize;
  count_ = static_cast<std::int32_t>(count);
}

void TUtContainer::Assign(const TUtContainer& source) {
  if (&source == this) return;
  std::int32_t rows = 0;
  std::int32_t cols = 0;
  std::uint32_t size = 0;
  source.GetDimensions(rows, cols, size);
  if (size != elementSize_) throw EUtContainerError(utBadSize);
  SetDimensions(rows, cols);
  std::memcpy(block_.get(), source.block_.get(), static_cast<std::size_t>(count_) * elementSize_);
}

void TUtContainer::Iterate(const IterateFunc& func) const {
  for (std::int32_t i = 0; i < count_; ++i) {
    if (!func(*this, Slot(static_cast<std::size_t>(i)))) return;
  }
}

void TUtContainer::GetDimensions(std::int32_t& rows, std::int32_t& cols, std::uint32_t& elementSize) const {
  rows = 0;
  cols = 0;
  elementSize = 0;
}

void TUtContainer::SetDimensions(std::int32_t rows, std::int32_t cols) {
  Allocate(rows, cols, elementSize_);
  Resized();
}

void TUtContainer::Clear() {
  if (block_) std::memset(block_.get(), 0, static_cast<std::size_t>(count_) * elementSize_);
}

void TUtLArray::GetDimensions(std::int32_t& rows, std::int32_t& cols, std::uint32_t& elementSize) const {
  rows = Count();
  cols = 1;
  elementSize = ElementSize();
}

void TUtLArray::SetDimensions(std::int32_t rows, std::int32_t cols) {
  if (cols != 1) throw EUtContainerError(utMatrixToArray);
  Allocate(rows, cols, ElementSize());
  Resized();
}

void TUtLMatrix::GetDimensions(std::int32_t& rows, std::int32_t& cols, std::uint32_t& elementSize) const {
  rows = rows_;
  cols = cols_;
  elementSize = ElementSize();
}

void TUtLMatrix::SetDimensions(std::int32_t rows, std::int32_t cols) {
  Allocate(rows, cols, ElementSize());
  rows_ = rows;
  cols_ = cols;
  Resized();
}

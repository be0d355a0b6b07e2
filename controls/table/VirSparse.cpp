#include "controls/table/VirSparse.h"

#include <algorithm>
#include <set>
#include <utility>

#include "controls/base/VirExcept.h"

void TVirSparseArray::CheckIndex(int index) {
  if (index < 0 || index > kMaxIndex) throw ESAEOutOfBounds();
}

std::size_t TVirSparseArray::Find(int pageNumber) const {
  auto it = std::lower_bound(pages_.begin(), pages_.end(), pageNumber,
                             [](const Page& p, int number) { return p.number < number; });
  return static_cast<std::size_t>(it - pages_.begin());
}

const TVirSparseArray::Page* TVirSparseArray::PageOf(int pageNumber) const {
  const std::size_t at = Find(pageNumber);
  return at < pages_.size() && pages_[at].number == pageNumber ? &pages_[at] : nullptr;
}

std::array<void*, TVirSparseArray::kPageSize>& TVirSparseArray::MakePage(int pageNumber) {
  const std::size_t at = Find(pageNumber);
  if (at < pages_.size() && pages_[at].number == pageNumber) return *pages_[at].slots;
  if (static_cast<int>(pages_.size()) >= kMaxPages) throw ESAEAtMaxSize();
  auto slots = std::make_unique<std::array<void*, kPageSize>>();
  slots->fill(nullptr);
  pages_.insert(pages_.begin() + static_cast<std::ptrdiff_t>(at), Page{static_cast<std::uint16_t>(pageNumber), {}});
  pages_[at].slots = std::move(slots);
  return *pages_[at].slots;
}

void* TVirSparseArray::Get(int index) const {
  CheckIndex(index);
  const Page* page = PageOf(index / kPageSize);
  return page ? (*page->slots)[index % kPageSize] : nullptr;
}

void TVirSparseArray::Put(int index, void* item) {
  CheckIndex(index);
  if (item == nullptr) {
    const std::size_t at = Find(index / kPageSize);
    if (at < pages_.size() && pages_[at].number == index / kPageSize) {
      (*pages_[at].slots)[index % kPageSize] = nullptr;
      DropEmptyPages();
    }
  } else {
    MakePage(index / kPageSize)[index % kPageSize] = item;
  }
  RecomputeCount();
}

void TVirSparseArray::Insert(int index, void* item) {
  CheckIndex(index);
  if (index >= count_) return Put(index, item);
  if (count_ > kMaxIndex) throw ESAEAtMaxSize();
  Shift(index, +1, item);
}

void TVirSparseArray::Delete(int index) {
  CheckIndex(index);
  if (index >= count_) return;
  Shift(index, -1, nullptr);
}

void TVirSparseArray::Shift(int index, int shift, void* item) {
  // The items that move, with their new indices; the item at Index itself is
  // dropped by a delete.
  std::vector<std::pair<int, void*>> moved;
  const std::size_t first = Find(index / kPageSize);
  for (std::size_t p = first; p < pages_.size(); ++p)
    for (int s = 0; s < kPageSize; ++s) {
      const int i = pages_[p].number * kPageSize + s;
      void* it = (*pages_[p].slots)[s];
      if (it != nullptr && i >= index && !(shift < 0 && i == index)) moved.emplace_back(i + shift, it);
    }
  if (item != nullptr) moved.emplace_back(index, item);

  // Pages in use afterwards: those keeping an item below Index, and those the
  // moved items land on.
  std::set<int> after;
  for (std::size_t p = 0; p < pages_.size(); ++p) {
    const auto& slots = *pages_[p].slots;
    const int base = pages_[p].number * kPageSize;
    for (int s = 0; s < kPageSize && base + s < index; ++s)
      if (slots[s] != nullptr) {
        after.insert(pages_[p].number);
        break;
      }
  }
  for (const auto& m : moved) after.insert(m.first / kPageSize);
  if (static_cast<int>(after.size()) > kMaxPages) throw ESAEAtMaxSize();

  for (std::size_t p = first; p < pages_.size(); ++p)
    for (int s = 0; s < kPageSize; ++s)
      if (pages_[p].number * kPageSize + s >= index) (*pages_[p].slots)[s] = nullptr;
  DropEmptyPages();
  for (const auto& m : moved) MakePage(m.first / kPageSize)[m.first % kPageSize] = m.second;
  RecomputeCount();
}

void TVirSparseArray::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  if (index1 == index2) return;
  void* item1 = Get(index1);
  void* item2 = Get(index2);
  // Make both pages first, so that a full directory raises before any change.
  if (item2 != nullptr) MakePage(index1 / kPageSize);
  if (item1 != nullptr) MakePage(index2 / kPageSize);
  Put(index1, item2);
  Put(index2, item1);
}

int TVirSparseArray::VisitAll(const std::function<bool(int, void*)>& visitor, bool backwards) const {
  const int n = static_cast<int>(pages_.size());
  for (int k = 0; k < n; ++k) {
    const Page& page = pages_[static_cast<std::size_t>(backwards ? n - 1 - k : k)];
    for (int j = 0; j < kPageSize; ++j) {
      const int s = backwards ? kPageSize - 1 - j : j;
      void* it = (*page.slots)[s];
      const int i = page.number * kPageSize + s;
      if (it != nullptr && !visitor(i, it)) return i;
    }
  }
  return -1;
}

void TVirSparseArray::DropEmptyPages() {
  std::erase_if(pages_, [](const Page& p) {
    return std::all_of(p.slots->begin(), p.slots->end(), [](void* it) { return it == nullptr; });
  });
}

void TVirSparseArray::Clear() {
  pages_.clear();
  count_ = 0;
}

int TVirSparseArray::ItemCount() const {
  int n = 0;
  VisitAll([&n](int, void*) {
    ++n;
    return true;
  });
  return n;
}

void TVirSparseArray::RecomputeCount() {
  const int last = VisitAll([](int, void*) { return false; }, true);
  count_ = last + 1;
}

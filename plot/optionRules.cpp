#include "plot/optionRules.h"

#include "rtl/Convert.h"

namespace {

constexpr std::int32_t kFewestOtusStepped = 2;
constexpr std::int32_t kFewestOtusTyped = 3;

std::int32_t TypedInteger(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  const auto last = text.find_last_not_of(' ');
  return rtl::StrToInt(first == std::string::npos ? std::string() : text.substr(first, last - first + 1));
}

// Moves one edge pair (low, high) so that low >= 0 and high <= limit, keeping its length.
void KeepWithin(int& low, int& high, int limit) {
  if (low < 0) {
    high -= low;
    low = 0;
  }
  if (high > limit) {
    low -= high - limit;
    high = limit;
  }
}

}  // namespace

bool TreePageDown(TTreePaging& paging) {
  if (paging.currentPage <= 1) return false;
  --paging.currentPage;
  return true;
}

bool TreePageUp(TTreePaging& paging) {
  if (paging.currentPage >= paging.pageCount) return false;
  ++paging.currentPage;
  return true;
}

bool TreePerPageDown(TTreePaging& paging) {
  if (paging.otusPerPage <= kFewestOtusStepped) return false;
  --paging.otusPerPage;
  return true;
}

bool TreePerPageUp(TTreePaging& paging) {
  if (paging.otusPerPage >= paging.nodeCount) return false;
  ++paging.otusPerPage;
  return true;
}

bool TakeTreePage(TTreePaging& paging, const std::string& text) {
  const std::int32_t page = TypedInteger(text);
  if (page < 1 || page > paging.pageCount) return false;
  paging.currentPage = page;
  return true;
}

bool TakeTreePerPage(TTreePaging& paging, const std::string& text) {
  const std::int32_t count = TypedInteger(text);
  if (count < kFewestOtusTyped || count > paging.nodeCount) return false;
  paging.otusPerPage = count;
  return true;
}

plat::Rect KeepOnScreen(const plat::Rect& window, int screenWidth, int screenHeight) {
  plat::Rect placed = window;
  KeepWithin(placed.top, placed.bottom, screenHeight);
  KeepWithin(placed.left, placed.right, screenWidth);
  return placed;
}

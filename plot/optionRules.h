#pragma once
// The rules of the plots' options windows that need no window: the paging of
// a tree plot as its page and rows-per-page controls change it, and where an
// options window goes so that it stays on the screen. The forms in
// plot/forms/ only bind their controls to these.

#include <cstdint>
#include <string>

#include "platform/Canvas.h"

// The paging of a tree plot: the page shown (1-based), the rows (OTUs) one
// page shows, the number of pages and the rows of the current tree. The plot
// sets the page count and the node count each time it draws.
struct TTreePaging {
  std::int32_t currentPage = 0;
  std::int32_t otusPerPage = 30;
  std::int32_t pageCount = 0;
  std::int32_t nodeCount = 0;
};

// The spins' steps. Each returns true when it changed the paging (the plot is
// then drawn again): the page steps within 1 .. the page count, the rows per
// page down to 2 and up to the node count. A new number of rows per page
// changes the page count only when the plot is drawn again.
bool TreePageDown(TTreePaging& paging);
bool TreePageUp(TTreePaging& paging);
bool TreePerPageDown(TTreePaging& paging);
bool TreePerPageUp(TTreePaging& paging);

// Typed values (blanks around them are ignored). A page within 1 .. the page
// count, or rows per page within 3 .. the node count, is taken and the result
// is true; any other number is refused (false, nothing changes). Text that is
// not an integer raises the conversion error, nothing changed.
bool TakeTreePage(TTreePaging& paging, const std::string& text);
bool TakeTreePerPage(TTreePaging& paging, const std::string& text);

// Where a window of the bounds given goes to be whole on a screen of the size
// given: a negative top becomes 0, a window whose bottom passes the screen's
// height moves up to end at it, and the same for left and the width.
plat::Rect KeepOnScreen(const plat::Rect& window, int screenWidth, int screenHeight);

#include "controls/editor/VirNbkModel.h"

#include <algorithm>
#include <utility>

#include "controls/base/VirExcept.h"
#include "rtl/StringList.h"

// --- TNbkPage -----------------------------------------------------------------

void TNbkPage::SetPageCaption(const std::string& caption) {
  caption_ = caption;
  if (owner_) owner_->PageTabChanged(*this);
}

void TNbkPage::SetPageEnabled(bool enabled) {
  enabled_ = enabled;
  if (owner_) owner_->PageTabChanged(*this);
}

void TNbkPage::SetTabVisible(bool visible) {
  tabVisible_ = visible;
  if (owner_) owner_->PageLayoutChanged();
}

void TNbkPage::SetTabTextColor(plat::Color color) {
  tabTextColor_ = color;
  if (owner_) owner_->PageTabChanged(*this);
}

// --- Layout -----------------------------------------------------------------------

namespace {

int CeilDiv(int a, int b) { return a / b + (a % b != 0 ? 1 : 0); }

int FloorDiv(int a, int b) {
  const int q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// v * m / d rounded to the nearest integer, for sizes and positive ratios.
int MulDiv(int v, int m, int d) { return static_cast<int>((static_cast<long long>(v) * m + d / 2) / d); }

bool Contains(const plat::Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// Whether `caption` marks `ch` as its accelerator, compared without case.
bool IsAccelerator(char ch, const std::string& caption) {
  const plat::AcceleratedText title = plat::StripAccelerators(caption);
  if (title.accelerator == std::string::npos) return false;
  return rtl::SameText(std::string_view(&ch, 1), std::string_view(title.shown).substr(title.accelerator, 1));
}

}  // namespace

TNbkRows LayoutTabRows(int pageCount, int room, int rowCount, int tabWidth, int tabIndent) {
  TNbkRows r{1, pageCount, tabWidth, tabIndent};
  const auto needed = [&r] { return (r.rows - 1) * r.tabIndent + r.perRow * r.tabWidth; };
  if (rowCount > 0) {
    r.rows = rowCount;
    r.perRow = CeilDiv(pageCount, rowCount);
    if (room <= (r.rows - 1) * r.tabIndent) r.tabIndent = 0;
    // The widest tab that fits, as shrinking it one pixel at a time finds it.
    if (r.perRow > 0 && needed() > room)
      r.tabWidth = std::max(0, FloorDiv(room - (r.rows - 1) * r.tabIndent, r.perRow));
  } else {
    while (needed() > room && r.rows < pageCount) {
      ++r.rows;
      r.perRow = CeilDiv(pageCount, r.rows);
    }
  }
  while (r.perRow * r.rows < pageCount) ++r.perRow;
  return r;
}

// --- TNotebookModel -------------------------------------------------------------

TNotebookModel::TNotebookModel(TNotebookView& view) : view_(view) {}

TNotebookModel::~TNotebookModel() = default;

int TNotebookModel::IndexOf(const TNbkPage& page) const {
  for (int i = 0; i < PageCount(); ++i)
    if (pages_[static_cast<std::size_t>(i)].get() == &page) return i;
  return -1;
}

TNbkPage& TNotebookModel::PageAt(int index) const {
  if (index < 0 || index >= PageCount()) throw EInvalidPageIndex();
  return *pages_[static_cast<std::size_t>(index)];
}

std::string TNotebookModel::PageHintAt(int index) const {
  return index >= 0 && index < PageCount() ? PageAt(index).PageHint() : std::string();
}

plat::Rect TNotebookModel::TabRectAt(int index) const {
  return index >= 0 && index < PageCount() ? PageAt(index).TabRect() : plat::Rect{};
}

bool TNotebookModel::IsUsable(int index) const {
  if (index < 0 || index >= PageCount()) return false;
  const TNbkPage& page = PageAt(index);
  return page.PageEnabled() && page.TabVisible();
}

TNbkPage* TNotebookModel::ActivePage() const {
  return pageIndex_ >= 0 && pageIndex_ < PageCount() ? pages_[static_cast<std::size_t>(pageIndex_)].get() : nullptr;
}

int TNotebookModel::NextUsable(int from) const {
  const int n = PageCount();
  const bool inside = from >= 0 && from < n;
  const int start = inside ? from : -1;
  for (int k = 1; k <= (inside ? n - 1 : n); ++k)
    if (IsUsable((start + k) % n)) return (start + k) % n;
  return -1;
}

int TNotebookModel::PreviousUsable(int from) const {
  const int n = PageCount();
  const bool inside = from >= 0 && from < n;
  const int start = inside ? from : n;
  for (int k = 1; k <= (inside ? n - 1 : n); ++k)
    if (IsUsable((start - k + n) % n)) return (start - k + n) % n;
  return -1;
}

// --- Pages ---------------------------------------------------------------------------

TNbkPage& TNotebookModel::InsertPage(const std::string& caption, int index) {
  if (index < 0 || index > PageCount()) throw EInvalidPageIndex();
  std::unique_ptr<TNbkPage> made = view_.CreatePage();
  TNbkPage& page = *made;
  page.owner_ = this;
  page.caption_ = caption;
  pages_.insert(pages_.begin() + index, std::move(made));
  view_.HidePage(page);
  // The shown page keeps being shown: its index moves on quietly, since a
  // refusing page-change handler must not leave the new, hidden page active.
  if (pageIndex_ >= 0 && index <= pageIndex_) ++pageIndex_;
  RelayoutIfAligned();
  if (!loading_) view_.RepaintAll();
  return page;
}

void TNotebookModel::DeletePage(int index) {
  if (index < 0 || index >= PageCount() || PageCount() <= 1) throw EInvalidPageIndex();
  RemovePage(index);
}

void TNotebookModel::RemovePage(int index) {
  if (index < 0 || index >= PageCount()) throw EInvalidPageIndex();
  ErasePage(index);
  RelayoutIfAligned();
  view_.RepaintAll();
}

void TNotebookModel::ErasePage(int index) {
  if (TNbkPage* active = ActivePage()) view_.HidePage(*active);
  pages_.erase(pages_.begin() + index);
  if (IsUsable(pageIndex_)) {
    TNbkPage& shown = *ActivePage();
    view_.ShowPage(shown);
    activeRow_ = shown.row_;
  } else {
    SelectFallback();
  }
}

// The active index names no usable page: the next usable one is selected (its
// events may refuse it), and until then no page is active.
void TNotebookModel::SelectFallback() {
  const int target = NextUsable(pageIndex_);
  pageIndex_ = -1;
  if (target >= 0) SetPageIndex(target);
}

void TNotebookModel::ClearPages() {
  if (TNbkPage* active = ActivePage()) view_.HidePage(*active);
  pages_.clear();
  pageIndex_ = -1;
  if (!loading_) view_.RepaintAll();
}

void TNotebookModel::ExchangePages(int index1, int index2) {
  PageAt(index1);  // both indexes are checked before anything moves
  PageAt(index2);
  std::swap(pages_[static_cast<std::size_t>(index1)], pages_[static_cast<std::size_t>(index2)]);
  if (pageIndex_ == index1)
    pageIndex_ = index2;
  else if (pageIndex_ == index2)
    pageIndex_ = index1;
  RelayoutIfAligned();
  view_.RepaintAll();
}

int TNotebookModel::IndexOfCaption(const std::string& caption) const {
  for (int i = 0; i < PageCount(); ++i)
    if (rtl::SameText(PageAt(i).PageCaption(), caption)) return i;
  return -1;
}

void TNotebookModel::PageTabChanged(TNbkPage& page) { RepaintTab(IndexOf(page)); }

void TNotebookModel::PageLayoutChanged() {
  if (loading_) return;
  Relayout();
  view_.RepaintAll();
}

void TNotebookModel::RepaintTab(int index) {
  if (!loading_ && index >= 0) view_.RepaintNow(TabPaintArea(index));
}

void TNotebookModel::RelayoutIfAligned() {
  if (!loading_ && view_.Aligned()) Relayout();
}

// --- The active page -------------------------------------------------------------------

void TNotebookModel::HideAndRelease(TNbkPage& page) {
  view_.HidePage(page);
  if (conserveResources_) view_.ReleasePageWindow(page);
}

void TNotebookModel::FollowActivePage() {
  const TNbkPage* page = ActivePage();
  if (!page || loading_) return;
  if (echoPageHelp_) view_.EchoHelpContext(page->PageHelpContext());
  if (echoPageHint_) view_.EchoHint(page->PageHint());
}

void TNotebookModel::SetPageIndex(int index) {
  if (loading_) {
    defaultPageIndex_ = index;
    pageIndex_ = index;
    return;
  }
  if (!IsUsable(index)) throw EInvalidPageIndex();
  if (index == pageIndex_) return;
  bool allow = true;
  view_.PageChanging(index, allow);
  if (!allow) return;

  TNbkPage& page = PageAt(index);
  view_.ShowPage(page);
  // The old page goes even when it is no longer usable (disabled or its tab
  // hidden): a covered page must not keep the form's active control.
  TNbkPage* old = ActivePage();
  const bool oldUsable = IsUsable(pageIndex_);
  const int oldRow = old ? old->row_ : -1;
  const int oldIndex = pageIndex_;
  if (old) {
    view_.LeavePage(*old);
    HideAndRelease(*old);
  }
  pageIndex_ = index;
  activeRow_ = page.row_;
  FollowActivePage();
  if (view_.HasFocus()) view_.TakeFocus();
  if (oldUsable && oldRow == page.row_) {
    view_.RepaintNow(TabPaintArea(oldIndex));
    view_.RepaintNow(TabPaintArea(index));
  } else {
    Relayout();
    view_.RepaintAll();
  }
  view_.PageChanged(index);
  if (!IsUsable(pageIndex_)) throw EInvalidPageIndex();
}

std::string TNotebookModel::ActivePageName() const {
  return IsUsable(pageIndex_) ? ActivePage()->PageCaption() : std::string();
}

void TNotebookModel::SetActivePageName(const std::string& caption) {
  const int index = IndexOfCaption(caption);
  if (index >= 0) SetPageIndex(index);
}

std::string TNotebookModel::PageName() const { return ActivePage() ? ActivePage()->PageCaption() : std::string(); }

void TNotebookModel::SetPageName(const std::string& caption) {
  if (TNbkPage* page = ActivePage()) page->SetPageCaption(caption);
}

bool TNotebookModel::PageEnabled() const { return ActivePage() && ActivePage()->PageEnabled(); }

void TNotebookModel::SetPageEnabled(bool enabled) {
  if (!IsUsable(pageIndex_)) return;
  TNbkPage& page = *ActivePage();
  page.SetPageEnabled(enabled);
  if (enabled || loading_) return;
  const int active = pageIndex_;
  const int previous = PreviousUsable(active);
  if (previous >= 0) SetPageIndex(previous);
  // No page to go to, or a handler refused to go: the page stays usable.
  if (pageIndex_ == active) {
    page.SetPageEnabled(true);
    throw EInvalidPageIndex();
  }
}

std::string TNotebookModel::PageHint() const { return ActivePage() ? ActivePage()->PageHint() : std::string(); }

void TNotebookModel::SetPageHint(const std::string& hint) {
  if (TNbkPage* page = ActivePage()) {
    page->SetPageHint(hint);
    FollowActivePage();
  }
}

int TNotebookModel::PageHelpContext() const { return ActivePage() ? ActivePage()->PageHelpContext() : 0; }

void TNotebookModel::SetPageHelpContext(int context) {
  if (TNbkPage* page = ActivePage()) {
    page->SetPageHelpContext(context);
    FollowActivePage();
  }
}

plat::Color TNotebookModel::TabTextColor() const { return ActivePage() ? ActivePage()->TabTextColor() : plat::clBlack; }

void TNotebookModel::SetTabTextColor(plat::Color color) {
  if (TNbkPage* page = ActivePage()) page->SetTabTextColor(color);
}

void TNotebookModel::SetDefaultPageIndex(int index) {
  defaultPageIndex_ = index;
  if (loading_) pageIndex_ = index;
}

// --- Tabs and look ------------------------------------------------------------------------

void TNotebookModel::SetTabHeight(int height) {
  if (height < 0) return;
  tabHeight_ = height;
  if (!loading_) tabAutoHeight_ = false;
  PageLayoutChanged();
}

void TNotebookModel::SetTabWidth(int width) {
  if (width < 0) return;
  tabWidth_ = width;
  PageLayoutChanged();
}

void TNotebookModel::SetTabIndent(int indent) {
  if (indent < 0 || indent > tabWidth_ - tabWidth_ / 2) return;
  tabIndent_ = indent;
  PageLayoutChanged();
}

void TNotebookModel::SetTabRowCount(int count) {
  if (loading_) {
    tabRowCount_ = count;
    return;
  }
  if (count >= 0 && count <= PageCount()) tabRowCount_ = count;
  PageLayoutChanged();
}

void TNotebookModel::SetTabAutoHeight(bool autoHeight) {
  tabAutoHeight_ = autoHeight;
  if (autoHeight) PageLayoutChanged();
}

void TNotebookModel::SetTabOrientation(TTabOrientation orientation) {
  if (orientation == toRight && !loading_ && (!view_.IsOutlineFont(font_) || !view_.IsOutlineFont(activeTabFont_)))
    throw EInvalidTabFont();
  orientation_ = orientation;
  PageLayoutChanged();
}

void TNotebookModel::SetStyle(TButtonStyle style) {
  style_ = style;
  PageLayoutChanged();
}

void TNotebookModel::SetCtl3D(bool ctl3D) {
  ctl3D_ = ctl3D;
  PageLayoutChanged();
}

// With tabs on the right the first font that cannot be turned is renamed.
void TNotebookModel::CheckTabFonts() {
  if (orientation_ != toRight || loading_) return;
  for (plat::Font* font : {&font_, &activeTabFont_}) {
    if (view_.IsOutlineFont(*font)) continue;
    font->name = "Courier New";
    PageLayoutChanged();
    throw EInvalidTabFont();
  }
}

void TNotebookModel::SetFont(const plat::Font& font) {
  font_ = font;
  PageLayoutChanged();
  CheckTabFonts();
}

void TNotebookModel::SetActiveTabFont(const plat::Font& font) {
  activeTabFont_ = font;
  PageLayoutChanged();
  CheckTabFonts();
}

void TNotebookModel::SetColor(plat::Color color) { ChangeLook(color_, color); }

void TNotebookModel::SetHighlightColor(plat::Color color) { ChangeLook(highlightColor_, color); }

void TNotebookModel::SetShadowColor(plat::Color color) { ChangeLook(shadowColor_, color); }

void TNotebookModel::SetTextShadowColor(plat::Color color) { ChangeLook(textShadowColor_, color); }

void TNotebookModel::SetShadowedText(bool shadowed) { ChangeLook(shadowedText_, shadowed); }

void TNotebookModel::SetEchoPageHelp(bool echo) {
  echoPageHelp_ = echo;
  FollowActivePage();
}

void TNotebookModel::SetEchoPageHint(bool echo) {
  echoPageHint_ = echo;
  FollowActivePage();
}

void TNotebookModel::SetConserveResources(bool conserve) {
  conserveResources_ = conserve;
  if (!conserve || loading_) return;
  for (int i = 0; i < PageCount(); ++i)
    if (i != pageIndex_) view_.ReleasePageWindow(PageAt(i));
}

void TNotebookModel::ScaleBy(int m, int d) {
  if (m <= 0 || d <= 0 || m == d) return;
  tabWidth_ = MulDiv(tabWidth_, m, d);
  tabHeight_ = MulDiv(tabHeight_, m, d);
  activeTabFont_.size = MulDiv(activeTabFont_.size, m, d);
  PageLayoutChanged();
}

// --- Layout ---------------------------------------------------------------------------------

void TNotebookModel::Relayout() {
  const plat::Size size = view_.NotebookSize();
  const int room = (orientation_ == toTop ? size.cx : size.cy) - 1;
  rows_ = LayoutTabRows(PageCount(), room, tabRowCount_, tabWidth_, tabIndent_);
  tabWidth_ = rows_.tabWidth;
  tabIndent_ = rows_.tabIndent;
  for (int i = 0; i < PageCount(); ++i) PageAt(i).row_ = rows_.perRow > 0 ? i / rows_.perRow : 0;
  activeRow_ = ActivePage() ? ActivePage()->row_ : std::min(activeRow_, rows_.rows - 1);
  const plat::Rect bounds = PageBounds();
  for (const auto& page : pages_) {
    if (page->bounds_ == bounds) continue;
    page->bounds_ = bounds;
    view_.PlacePage(*page, bounds);
  }
}

plat::Rect TNotebookModel::PageBounds() const {
  const plat::Size size = view_.NotebookSize();
  const int strip = tabHeight_ * rows_.rows + 3;
  const int length = rows_.perRow * tabWidth_ - 5;
  int left = 3;
  int top = orientation_ == toTop ? strip : 3;
  int width = orientation_ == toTop ? length : size.cx - strip - 2;
  int height = orientation_ == toTop ? size.cy - top - 2 : length;
  if (ThreeD()) {
    const int grow = ctl3D_ ? -1 : 2;
    if (!ctl3D_) {
      left -= 2;
      top -= 2;
    }
    width += grow;
    height += grow;
  }
  return {left, top, left + width, top + height};
}

plat::Rect TNotebookModel::InnerTabRect(const plat::Rect& tab) const {
  const int start = ThreeD() ? 3 : 4;
  if (orientation_ == toTop) return {tab.left + start, tab.top + 3, tab.right - 4, tab.bottom};
  return {tab.left, tab.top + start, tab.right - 3, tab.bottom - 4};
}

plat::Rect TNotebookModel::TabPaintArea(int index) const {
  plat::Rect area = TabRectAt(index);
  if (orientation_ == toTop)
    area.bottom += 5;
  else
    area.left -= 5;
  return area;
}

// --- Input -------------------------------------------------------------------------------------

// The tab in the same place of the row behind the active one (the row before
// it, or the last row from row 0), which comes next to the pages.
int TNotebookModel::RowTowardsPages() const {
  if (rows_.rows < 2) return -1;
  if (IsUsable(pageIndex_ - rows_.perRow)) return pageIndex_ - rows_.perRow;
  const int wrapped = (rows_.rows - 1) * rows_.perRow + pageIndex_;
  return IsUsable(wrapped) ? wrapped : -1;
}

int TNotebookModel::PageForKey(TNbkKey key) const {
  const bool top = orientation_ == toTop;
  switch (key) {
    case TNbkKey::Right: return top ? NextUsable(pageIndex_) : RowTowardsPages();
    case TNbkKey::Left: return top ? PreviousUsable(pageIndex_) : -1;
    case TNbkKey::Home: return NextUsable(PageCount() - 1);
    case TNbkKey::End: return PreviousUsable(0);
    case TNbkKey::Up: return top ? RowTowardsPages() : PreviousUsable(pageIndex_);
    case TNbkKey::Down: return top ? -1 : NextUsable(pageIndex_);
  }
  return -1;
}

bool TNotebookModel::MoveByKey(TNbkKey key) {
  const int target = PageForKey(key);
  if (target < 0) return false;
  SetPageIndex(target);
  return true;
}

bool TNotebookModel::SelectByAccelerator(char ch) {
  if (!view_.TakesAccelerators() || PageCount() == 0) return false;
  const int n = PageCount();
  const int start = ActivePage() ? pageIndex_ : -1;
  int found = -1;
  for (int k = 1; k <= n && found < 0; ++k)
    if (IsAccelerator(ch, PageAt((start + k) % n).PageCaption())) found = (start + k) % n;
  if (!IsUsable(found) || !view_.CanTakeFocus()) return false;
  if (found == pageIndex_) {
    view_.TakeFocus();
    return true;
  }
  SetPageIndex(found);
  if (pageIndex_ == found) {
    if (!view_.FocusFirstControlOn(PageAt(found))) view_.TakeFocus();
    view_.TabClicked(found);
  }
  return true;
}

int TNotebookModel::TabAt(int x, int y) const {
  for (int i = 0; i < PageCount(); ++i)
    if (PageAt(i).TabVisible() && Contains(PageAt(i).TabRect(), x, y)) return i;
  return -1;
}

void TNotebookModel::LeftClick(int x, int y) {
  const int index = TabAt(x, y);
  if (index < 0 || (index != pageIndex_ && !IsUsable(index))) return;
  if (index != pageIndex_) {
    view_.TakeFocus();
    SetPageIndex(index);
    if (pageIndex_ == index) view_.FocusFirstControlOn(PageAt(index));
  }
  view_.TabClicked(index);
}

void TNotebookModel::MouseMoved(int x, int y) {
  const int index = TabAt(x, y);
  if (index >= 0) view_.MouseOverTab(index);
}

// --- Reading stored properties -----------------------------------------------------------------

void TNotebookModel::BeginLoading() {
  loading_ = true;
  ClearPages();
}

void TNotebookModel::Loaded() {
  loading_ = false;
  if (!IsUsable(pageIndex_)) pageIndex_ = NextUsable(pageIndex_);
  for (int i = 0; i < PageCount(); ++i) {
    if (i == pageIndex_)
      view_.ShowPage(PageAt(i));
    else
      HideAndRelease(PageAt(i));
  }
  FollowActivePage();
  Relayout();
}

// --- TPageAccess --------------------------------------------------------------------------------

int TPageAccess::Add(const std::string& caption) {
  notebook_.InsertPage(caption, notebook_.PageCount());
  return notebook_.PageCount() - 1;
}

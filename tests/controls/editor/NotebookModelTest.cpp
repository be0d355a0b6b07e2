// The notebook's rules without a window: tab rows, the active page, inserting
// and deleting pages, keys, accelerators, the mouse, reading stored pages.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "NotebookTestSupport.h"
#include "controls/base/VirExcept.h"
#include "controls/editor/VirNbkModel.h"

namespace {

using Log = std::vector<std::string>;

// --- Tab rows ------------------------------------------------------------------------

struct RowsCase {
  const char* name;
  int pages, room, rowCount, tabWidth, tabIndent;
  TNbkRows expected;
};

class TabRows : public ::testing::TestWithParam<RowsCase> {};

TEST_P(TabRows, FitTheRoom) {
  const RowsCase& c = GetParam();
  EXPECT_EQ(LayoutTabRows(c.pages, c.room, c.rowCount, c.tabWidth, c.tabIndent), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Layout, TabRows,
                         ::testing::Values(
                             // 2 * 8 + 2 * 205 = 426 fits in 427 - 1.
                             RowsCase{"FiveInThreeFixedRowsJustFit", 5, 426, 3, 205, 8, {3, 2, 205, 8}},
                             // 8 + 195 = 203 > 199, then 16 + 130 = 146.
                             RowsCase{"RowsGrowToThreeIn200", 5, 199, 0, 65, 8, {3, 2, 65, 8}},
                             RowsCase{"OneRowWhenItFits", 3, 219, 0, 65, 8, {1, 3, 65, 8}},
                             // (300 - 16) / 2 = 142: the widest tab that fits.
                             RowsCase{"FixedRowsShrinkTheWidth", 5, 300, 3, 205, 8, {3, 2, 142, 8}},
                             RowsCase{"NoRoomForTheIndentDropsIt", 4, 10, 3, 65, 8, {3, 2, 5, 0}},
                             RowsCase{"RowsStopAtOneTabEach", 3, 50, 0, 65, 8, {3, 1, 65, 8}},
                             RowsCase{"WidthNeverBelowZero", 3, -1, 1, 65, 8, {1, 3, 0, 0}},
                             RowsCase{"MoreRowsThanPagesKeepOneTabEach", 2, 219, 3, 65, 8, {3, 1, 65, 8}},
                             RowsCase{"NoPages", 0, 219, 0, 65, 8, {1, 0, 65, 8}}),
                         CaseName());

class NotebookTest : public ::testing::Test {
 protected:
  RecordingNotebookView view;
  TNotebookModel nb{view};
  TPageAccess pages{nb};

  void Fill(const std::vector<std::string>& captions) { FillNotebook(nb, view, captions); }
  void Fill(int count) {
    std::vector<std::string> captions;
    for (int i = 0; i < count; ++i) captions.push_back(std::string(1, static_cast<char>('A' + i)));
    Fill(captions);
  }
  std::vector<int> RowsOfPages() const {
    std::vector<int> rows;
    for (int i = 0; i < nb.PageCount(); ++i) rows.push_back(nb.PageAt(i).Row());
    return rows;
  }
};

TEST_F(NotebookTest, MainWindowNotebookTakesThreeRowsOfTwo) {
  view.size = {427, 300};
  Fill(5);
  nb.SetTabWidth(205);
  nb.SetTabRowCount(3);
  EXPECT_EQ(nb.Rows(), (TNbkRows{3, 2, 205, 8}));
  EXPECT_EQ(RowsOfPages(), (std::vector<int>{0, 0, 1, 1, 2}));
  EXPECT_EQ(nb.TabWidth(), 205);
}

TEST_F(NotebookTest, RowCountAbovePageCountIsIgnoredButLaysOutAgain) {
  view.size = {200, 185};
  Fill(5);
  view.repaintsAll = 0;
  nb.SetTabRowCount(6);
  EXPECT_EQ(nb.TabRowCount(), 0);
  EXPECT_EQ(nb.RowCount(), 3);
  EXPECT_EQ(view.repaintsAll, 1);
  nb.SetTabRowCount(5);
  EXPECT_EQ(nb.RowCount(), 5);
}

TEST_F(NotebookTest, TabSizeSettersRefuseOutOfRangeValues) {
  Fill(3);
  nb.SetTabIndent(33);
  EXPECT_EQ(nb.TabIndent(), 33);
  nb.SetTabIndent(34);  // at most 65 - 65 div 2
  EXPECT_EQ(nb.TabIndent(), 33);
  nb.SetTabIndent(-1);
  EXPECT_EQ(nb.TabIndent(), 33);
  nb.SetTabWidth(-5);
  EXPECT_EQ(nb.TabWidth(), 65);
  ASSERT_TRUE(nb.TabAutoHeight());
  nb.SetTabHeight(-1);
  EXPECT_TRUE(nb.TabAutoHeight());
  nb.SetTabHeight(22);
  EXPECT_EQ(nb.TabHeight(), 22);
  EXPECT_FALSE(nb.TabAutoHeight());
}

struct BoundsCase {
  const char* name;
  TTabOrientation orientation;
  TButtonStyle style;
  bool ctl3D;
  plat::Size size;
  plat::Rect expected;
};

class PageBounds : public ::testing::TestWithParam<BoundsCase> {};

TEST_P(PageBounds, FollowTheStripAndTheStyle) {
  const BoundsCase& c = GetParam();
  RecordingNotebookView view;
  view.size = c.size;
  TNotebookModel nb(view);
  FillNotebook(nb, view, {"&First", "&Second", "&Third"});
  nb.SetTabOrientation(c.orientation);
  nb.SetStyle(c.style);
  nb.SetCtl3D(c.ctl3D);
  EXPECT_EQ(nb.PageBounds(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layout, PageBounds,
    ::testing::Values(BoundsCase{"TopFlat", toTop, bsWin31, false, {220, 185}, {3, 23, 193, 183}},
                      BoundsCase{"TopNewStyleGrowsOut", toTop, bsNew, false, {220, 185}, {1, 21, 193, 183}},
                      BoundsCase{"TopAutoDetectIsNewStyle", toTop, bsAutoDetect, false, {220, 185}, {1, 21, 193, 183}},
                      BoundsCase{"TopNewStyleWithCtl3DShrinks", toTop, bsNew, true, {220, 185}, {3, 23, 192, 182}},
                      BoundsCase{"RightFlat", toRight, bsWin31, false, {300, 250}, {3, 3, 278, 193}}),
    CaseName());

TEST_F(NotebookTest, PagesArePlacedOnlyWhenTheirBoundsChange) {
  Fill(3);
  nb.Relayout();
  view.log.clear();
  nb.Relayout();
  EXPECT_TRUE(view.Entries("place").empty());
  view.size = {300, 185};  // tabs on top: only the height moves the pages
  nb.Relayout();
  EXPECT_TRUE(view.Entries("place").empty());
  view.size = {220, 200};
  nb.Relayout();
  EXPECT_EQ(view.Entries("place").size(), 3u);
}

// --- The active page -----------------------------------------------------------------

TEST_F(NotebookTest, ChangingThePageShowsTheNewOneAndHidesTheOld) {
  Fill({"A", "B", "C"});
  nb.SetPageIndex(2);
  EXPECT_EQ(view.log, (Log{"changing 2", "show C", "leave A", "hide A", "changed 2"}));
  EXPECT_EQ(nb.PageIndex(), 2);
  EXPECT_EQ(nb.ActivePageName(), "C");
  // The same row: only the two tabs, each reaching 5 pixels into the pages.
  nb.PageAt(0).SetTabRect({0, 0, 65, 20});
  nb.PageAt(2).SetTabRect({130, 0, 195, 20});
  view.repaintedAreas.clear();
  nb.SetPageIndex(0);
  EXPECT_EQ(view.repaintedAreas, (std::vector<plat::Rect>{{130, 0, 195, 25}, {0, 0, 65, 25}}));
  EXPECT_EQ(view.repaintsAll, 0);
}

TEST_F(NotebookTest, ChangingToAnotherRowLaysOutAndRepaintsEverything) {
  view.size = {200, 185};
  Fill(5);
  nb.SetPageIndex(4);
  EXPECT_EQ(nb.ActiveRow(), 2);
  EXPECT_EQ(view.repaintsAll, 1);
  EXPECT_TRUE(view.repaintedAreas.empty());
}

TEST_F(NotebookTest, UnusablePagesAreRefused) {
  Fill({"A", "B", "C", "D"});
  nb.PageAt(1).SetPageEnabled(false);
  nb.PageAt(2).SetTabVisible(false);
  for (int index : {-1, 1, 2, 4}) {
    view.log.clear();
    EXPECT_THROW(nb.SetPageIndex(index), EInvalidPageIndex) << index;
    EXPECT_TRUE(view.log.empty()) << index;
    EXPECT_EQ(nb.PageIndex(), 0);
  }
  nb.SetPageIndex(0);  // the active page: nothing happens
  EXPECT_TRUE(view.log.empty());
}

TEST_F(NotebookTest, ARefusedChangeLeavesEverythingAsItWas) {
  Fill({"A", "B", "C"});
  view.allowChange = [](int) { return false; };
  nb.SetPageIndex(1);
  EXPECT_EQ(view.log, (Log{"changing 1"}));
  EXPECT_EQ(nb.PageIndex(), 0);
}

TEST_F(NotebookTest, APageDisabledByTheChangedHandlerRaisesAfterTheChange) {
  Fill({"A", "B", "C"});
  view.afterChange = [&](int index) { nb.PageAt(index).SetPageEnabled(false); };
  EXPECT_THROW(nb.SetPageIndex(1), EInvalidPageIndex);
  EXPECT_EQ(nb.PageIndex(), 1);
}

TEST_F(NotebookTest, TheFocusHelpAndHintFollowTheNewPage) {
  Fill({"A", "B"});
  nb.PageAt(1).SetPageHelpContext(42);
  nb.PageAt(1).SetPageHint("second");
  nb.SetEchoPageHelp(true);
  nb.SetEchoPageHint(true);
  nb.SetConserveResources(true);
  view.focused = true;
  view.log.clear();
  nb.SetPageIndex(1);
  EXPECT_EQ(view.helpContext, 42);
  EXPECT_EQ(view.hint, "second");
  EXPECT_EQ(view.log, (Log{"changing 1", "show B", "leave A", "hide A", "release A", "take focus", "changed 1"}));
  EXPECT_EQ(nb.PageHintAt(1), "second");
  EXPECT_EQ(nb.PageHintAt(2), "");
}

TEST_F(NotebookTest, DisablingTheActivePageGoesToThePreviousUsablePage) {
  Fill({"A", "B", "C"});
  nb.SetPageEnabled(false);  // wraps round to the last page
  EXPECT_EQ(nb.PageIndex(), 2);
  EXPECT_FALSE(nb.PageAt(0).PageEnabled());
}

TEST_F(NotebookTest, TheOnlyUsablePageCannotBeDisabled) {
  Fill({"A", "B"});
  nb.PageAt(1).SetTabVisible(false);
  EXPECT_THROW(nb.SetPageEnabled(false), EInvalidPageIndex);
  EXPECT_TRUE(nb.PageEnabled());
  EXPECT_EQ(nb.PageIndex(), 0);
}

TEST_F(NotebookTest, ARefusedMoveAwayKeepsTheActivePageEnabled) {
  Fill({"A", "B"});
  view.allowChange = [](int) { return false; };
  EXPECT_THROW(nb.SetPageEnabled(false), EInvalidPageIndex);
  EXPECT_TRUE(nb.IsUsable(nb.PageIndex()));
}

TEST_F(NotebookTest, LeavingAPageNoLongerUsableStillHidesIt) {
  Fill({"A", "B", "C"});
  nb.PageAt(0).SetTabVisible(false);
  view.log.clear();
  nb.SetPageIndex(1);
  EXPECT_EQ(view.log, (Log{"changing 1", "show B", "leave A", "hide A", "changed 1"}));
}

TEST_F(NotebookTest, ActivePageNameSelectsByCaption) {
  Fill({"&First", "&Second", "&Third"});
  nb.SetActivePageName("&THIRD");
  EXPECT_EQ(nb.PageIndex(), 2);
  nb.SetActivePageName("nothing");
  EXPECT_EQ(nb.PageIndex(), 2);
  nb.SetPageName("Third page");
  EXPECT_EQ(pages.Get(2), "Third page");
}

// --- Inserting and deleting pages ---------------------------------------------------

TEST_F(NotebookTest, InsertingBeforeTheActivePageKeepsItActiveWithoutEvents) {
  Fill({"A", "B", "C"});
  nb.SetPageIndex(2);
  view.log.clear();
  view.allowChange = [](int) { return false; };  // not asked
  TNbkPage& page = nb.InsertPage("New", 0);
  EXPECT_EQ(&page, &nb.PageAt(0));
  EXPECT_EQ(nb.PageIndex(), 3);
  EXPECT_EQ(nb.PageName(), "C");
  EXPECT_EQ(view.log, (Log{"create", "hide New"}));
}

TEST_F(NotebookTest, InsertingAfterTheActivePageLeavesItsIndex) {
  Fill({"A", "B"});
  nb.InsertPage("End", 2);
  EXPECT_EQ(nb.PageIndex(), 0);
  EXPECT_EQ(pages.Get(2), "End");
  EXPECT_THROW(nb.InsertPage("X", 4), EInvalidPageIndex);
  EXPECT_THROW(nb.InsertPage("X", -1), EInvalidPageIndex);
  EXPECT_EQ(nb.PageCount(), 3);
}

TEST_F(NotebookTest, AnAlignedNotebookLaysOutAtOnce) {
  Fill({"A", "B"});
  nb.InsertPage("C", 2);
  EXPECT_TRUE(view.Entries("place").empty());
  view.aligned = true;
  nb.InsertPage("D", 3);
  EXPECT_EQ(view.Entries("place").size(), 4u);
}

TEST_F(NotebookTest, DeletingNeedsAnIndexAndAnotherPage) {
  Fill({"A"});
  EXPECT_THROW(nb.DeletePage(0), EInvalidPageIndex);
  nb.InsertPage("B", 1);
  EXPECT_THROW(nb.DeletePage(2), EInvalidPageIndex);
  EXPECT_THROW(nb.DeletePage(-1), EInvalidPageIndex);
  EXPECT_EQ(nb.PageCount(), 2);
}

TEST_F(NotebookTest, DeletingBeforeTheActivePageShowsThePageAfterItWithoutEvents) {
  Fill({"A", "B", "C", "D"});
  nb.SetPageIndex(1);
  view.log.clear();
  nb.DeletePage(0);
  EXPECT_EQ(nb.PageIndex(), 1);
  EXPECT_EQ(nb.PageName(), "C");
  EXPECT_EQ(view.log, (Log{"hide B", "show C"}));
}

TEST_F(NotebookTest, DeletingTheLastActivePageSelectsTheFirst) {
  Fill({"A", "B", "C"});
  nb.SetPageIndex(2);
  view.log.clear();
  nb.DeletePage(2);
  EXPECT_EQ(nb.PageIndex(), 0);
  std::erase_if(view.log, [](const std::string& e) { return e.rfind("place", 0) == 0; });
  EXPECT_EQ(view.log, (Log{"hide C", "changing 0", "show A", "changed 0"}));
}

struct FallbackCase {
  const char* name;
  std::set<int> disabled;  // among A, B, C, D
  int active, deleted;
  bool refuse;
  int expectedIndex;
};

class DeleteFallback : public ::testing::TestWithParam<FallbackCase> {};

// The active index never names a missing or unusable page after a deletion.
TEST_P(DeleteFallback, SelectsTheNextUsablePageOrNone) {
  const FallbackCase& c = GetParam();
  RecordingNotebookView view;
  TNotebookModel nb(view);
  FillNotebook(nb, view, {"A", "B", "C", "D"});
  nb.SetPageIndex(c.active);
  for (int i : c.disabled) nb.PageAt(i).SetPageEnabled(false);
  if (c.refuse) view.allowChange = [](int) { return false; };
  nb.DeletePage(c.deleted);
  EXPECT_EQ(nb.PageIndex(), c.expectedIndex);
  EXPECT_TRUE(nb.PageIndex() == -1 || nb.IsUsable(nb.PageIndex()));
}

INSTANTIATE_TEST_SUITE_P(Pages, DeleteFallback,
                         ::testing::Values(FallbackCase{"LastActiveWithFirstDisabled", {0}, 3, 3, false, 1},
                                           FallbackCase{"ActiveWithDisabledSuccessor", {0, 3}, 2, 2, false, 1},
                                           FallbackCase{"NoUsablePageLeft", {0, 1, 2}, 3, 3, false, -1},
                                           FallbackCase{"RefusedFallbackShowsNone", {}, 3, 3, true, -1}),
                         CaseName());

TEST_F(NotebookTest, PagesListRenamesExchangesAndClears) {
  Fill({"A", "B", "C"});
  nb.SetPageIndex(1);
  EXPECT_EQ(pages.Count(), 3);
  EXPECT_EQ(&pages.Objects(2), &nb.PageAt(2));
  pages.Put(0, "Alpha");
  EXPECT_EQ(nb.PageAt(0).PageCaption(), "Alpha");
  pages.Exchange(1, 2);  // the shown page stays shown
  EXPECT_EQ(nb.PageIndex(), 2);
  EXPECT_EQ(nb.PageName(), "B");
  EXPECT_EQ(pages.IndexOf("b"), 2);
  EXPECT_EQ(pages.Add("D"), 3);
  pages.Delete(0);
  EXPECT_EQ(nb.PageIndex(), 2);  // as DeletePage: the index stays, the page after shows
  EXPECT_EQ(nb.PageName(), "D");
  EXPECT_THROW(pages.Get(3), EInvalidPageIndex);
  pages.Clear();
  EXPECT_EQ(nb.PageCount(), 0);
  EXPECT_EQ(nb.PageIndex(), -1);
  EXPECT_EQ(nb.TabRectAt(0), plat::Rect{});
}

// --- Keys ------------------------------------------------------------------------------

struct KeyCase {
  const char* name;
  TTabOrientation orientation;
  std::set<int> unusable;  // among the five pages A .. E, in rows of two
  int active;
  TNbkKey key;
  int expected;
};

class Keys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(Keys, MoveToTheUsablePageTheyName) {
  const KeyCase& c = GetParam();
  RecordingNotebookView view;
  view.size = {200, 200};  // three rows of two either way
  TNotebookModel nb(view);
  FillNotebook(nb, view, {"A", "B", "C", "D", "E"});
  nb.SetTabOrientation(c.orientation);
  nb.SetPageIndex(c.active);
  for (int i : c.unusable) nb.PageAt(i).SetPageEnabled(false);
  ASSERT_EQ(nb.Rows(), (TNbkRows{3, 2, 65, 8}));
  nb.MoveByKey(c.key);
  EXPECT_EQ(nb.PageIndex(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Input, Keys,
                         ::testing::Values(KeyCase{"RightToNext", toTop, {}, 0, TNbkKey::Right, 1},
                                           KeyCase{"RightWrapsFromLast", toTop, {}, 4, TNbkKey::Right, 0},
                                           KeyCase{"RightSkipsDisabled", toTop, {1, 2}, 0, TNbkKey::Right, 3},
                                           KeyCase{"RightWithOneUsablePage", toTop, {0, 1, 3, 4}, 2, TNbkKey::Right, 2},
                                           KeyCase{"LeftWrapsFromFirst", toTop, {}, 0, TNbkKey::Left, 4},
                                           KeyCase{"HomeToFirst", toTop, {}, 3, TNbkKey::Home, 0},
                                           KeyCase{"HomeSkipsDisabledFirst", toTop, {0}, 3, TNbkKey::Home, 1},
                                           KeyCase{"EndToLast", toTop, {}, 1, TNbkKey::End, 4},
                                           KeyCase{"EndSkipsDisabledLast", toTop, {4}, 1, TNbkKey::End, 3},
                                           KeyCase{"UpToTheRowBefore", toTop, {}, 3, TNbkKey::Up, 1},
                                           KeyCase{"UpFromRowZeroToTheLastRow", toTop, {}, 0, TNbkKey::Up, 4},
                                           KeyCase{"UpWithNoTabThereStays", toTop, {}, 1, TNbkKey::Up, 1},
                                           KeyCase{"DownOnTopDoesNothing", toTop, {}, 1, TNbkKey::Down, 1},
                                           KeyCase{"RightSideDownToNext", toRight, {}, 1, TNbkKey::Down, 2},
                                           KeyCase{"RightSideUpToPrevious", toRight, {}, 1, TNbkKey::Up, 0},
                                           KeyCase{"RightSideRightToTheRowBefore", toRight, {}, 2, TNbkKey::Right, 0},
                                           KeyCase{"RightSideLeftDoesNothing", toRight, {}, 2, TNbkKey::Left, 2},
                                           KeyCase{"RightSideEndToLast", toRight, {}, 0, TNbkKey::End, 4}),
                         CaseName());

// --- Accelerators -------------------------------------------------------------------------

TEST_F(NotebookTest, AltLetterSelectsThePageAndFocusesItsFirstControl) {
  Fill({"&First", "&Second", "&Third"});
  EXPECT_TRUE(nb.SelectByAccelerator('s'));
  EXPECT_EQ(nb.PageIndex(), 1);
  EXPECT_EQ(view.Entries("focus on"), (Log{"focus on &Second"}));
  EXPECT_EQ(view.Entries("take focus").size(), 1u);  // no control on the page took it
  EXPECT_EQ(view.clicks, (std::vector<int>{1}));
}

TEST_F(NotebookTest, TheActivePagesAcceleratorOnlyFocusesTheNotebook) {
  Fill({"&First", "&Second"});
  EXPECT_TRUE(nb.SelectByAccelerator('F'));
  EXPECT_EQ(view.log, (Log{"take focus"}));
  EXPECT_TRUE(view.clicks.empty());
}

TEST_F(NotebookTest, AcceleratorSearchStartsAfterTheActivePage) {
  Fill({"&Alpha", "&Beta", "&Another", "&Again"});
  nb.SetPageIndex(1);
  EXPECT_TRUE(nb.SelectByAccelerator('a'));
  EXPECT_EQ(nb.PageIndex(), 2);
  EXPECT_TRUE(nb.SelectByAccelerator('a'));
  EXPECT_EQ(nb.PageIndex(), 3);
  EXPECT_TRUE(nb.SelectByAccelerator('a'));
  EXPECT_EQ(nb.PageIndex(), 0);
}

TEST_F(NotebookTest, AcceleratorsThatAreNotConsumed) {
  Fill({"&First", "&Second", "&&Third", "&Unusable"});
  nb.PageAt(3).SetPageEnabled(false);
  EXPECT_FALSE(nb.SelectByAccelerator('x'));
  EXPECT_FALSE(nb.SelectByAccelerator('t'));  // "&&" shows an '&' and marks nothing
  EXPECT_FALSE(nb.SelectByAccelerator('u'));
  view.canFocus = false;
  EXPECT_FALSE(nb.SelectByAccelerator('s'));
  EXPECT_EQ(nb.PageIndex(), 0);
  EXPECT_TRUE(view.clicks.empty());
}

TEST_F(NotebookTest, ARefusedAcceleratorIsConsumedWithoutAClick) {
  Fill({"&First", "&Second"});
  view.allowChange = [](int) { return false; };
  EXPECT_TRUE(nb.SelectByAccelerator('s'));
  EXPECT_EQ(nb.PageIndex(), 0);
  EXPECT_TRUE(view.clicks.empty());
}

// --- Mouse ---------------------------------------------------------------------------------

class NotebookMouse : public NotebookTest {
 protected:
  void SetUp() override {
    Fill({"A", "B", "C", "D"});
    for (int i = 0; i < 4; ++i) nb.PageAt(i).SetTabRect({i * 65, 0, i * 65 + 65, 20});
    nb.PageAt(2).SetPageEnabled(false);
    nb.PageAt(3).SetTabVisible(false);  // keeps its last rectangle, but is not hit
    view.log.clear();
  }
};

TEST_F(NotebookMouse, ClickOnAnotherTabSwitchesFocusesAndReports) {
  view.pageControlTakesFocus = true;
  nb.LeftClick(70, 5);
  EXPECT_EQ(nb.PageIndex(), 1);
  EXPECT_EQ(view.log.front(), "take focus");
  EXPECT_EQ(view.log.back(), "focus on B");
  EXPECT_EQ(view.clicks, (std::vector<int>{1}));
}

TEST_F(NotebookMouse, ClickOnTheActiveTabOnlyReports) {
  nb.LeftClick(0, 0);
  EXPECT_TRUE(view.log.empty());
  EXPECT_EQ(view.clicks, (std::vector<int>{0}));
}

TEST_F(NotebookMouse, ClicksOffUsableTabsDoNothing) {
  for (auto [x, y] : std::vector<std::pair<int, int>>{{130, 5}, {200, 5}, {65, 20}, {300, 5}}) nb.LeftClick(x, y);
  EXPECT_EQ(nb.PageIndex(), 0);
  EXPECT_TRUE(view.clicks.empty());
  EXPECT_TRUE(view.log.empty());
}

TEST_F(NotebookMouse, MovingOverATabReportsItsIndex) {
  nb.MouseMoved(64, 19);
  nb.MouseMoved(140, 3);  // a disabled page's tab is still its tab
  nb.MouseMoved(65, 25);
  nb.MouseMoved(200, 3);
  EXPECT_EQ(view.overTabs, (std::vector<int>{0, 2}));
}

// --- Fonts -----------------------------------------------------------------------------------

TEST_F(NotebookTest, TabsOnTheRightNeedOutlineFonts) {
  Fill(3);
  view.bitmapFonts = {"Fixedsys"};
  nb.SetActiveTabFont(plat::Font{"Fixedsys", 8, plat::clBlack, plat::fsBold});
  EXPECT_THROW(nb.SetTabOrientation(toRight), EInvalidTabFont);
  EXPECT_EQ(nb.TabOrientation(), toTop);

  nb.SetActiveTabFont(plat::Font{"Arial", 8, plat::clBlack, plat::fsBold});
  nb.SetTabOrientation(toRight);
  EXPECT_THROW(nb.SetFont(plat::Font{"Fixedsys", 9, plat::clBlack, 0}), EInvalidTabFont);
  EXPECT_EQ(nb.Font().name, "Courier New");
  EXPECT_EQ(nb.Font().size, 9);
  EXPECT_EQ(nb.TabOrientation(), toRight);
}

TEST_F(NotebookTest, ScalingScalesTabSizesAndTheActiveFont) {
  Fill(3);
  nb.SetActiveTabFont(plat::Font{"Arial", 8, plat::clBlack, plat::fsBold});
  nb.ScaleBy(3, 2);
  EXPECT_EQ(nb.TabWidth(), 98);  // 97.5 rounds up
  EXPECT_EQ(nb.TabHeight(), 30);
  EXPECT_EQ(nb.ActiveTabFont().size, 12);
}

// --- Reading stored pages ----------------------------------------------------------------------

TEST_F(NotebookTest, LoadingReplacesThePagesAndShowsTheNextUsableStoredPage) {
  Fill({"&First", "&Second", "&Third"});
  nb.BeginLoading();
  EXPECT_EQ(nb.PageCount(), 0);
  for (const char* caption : {"A", "B", "C"}) pages.Add(caption);
  nb.PageAt(1).SetPageEnabled(false);
  nb.PageAt(2).SetPageHint("third");
  nb.SetEchoPageHint(true);
  nb.SetPageIndex(1);
  EXPECT_EQ(nb.DefaultPageIndex(), 1);
  view.log.clear();
  view.repaintsAll = 0;
  nb.Loaded();
  EXPECT_EQ(nb.PageIndex(), 2);
  EXPECT_EQ(view.hint, "third");
  EXPECT_EQ(view.Entries("show"), (Log{"show C"}));
  EXPECT_EQ(view.Entries("hide"), (Log{"hide A", "hide B"}));
  EXPECT_TRUE(view.Entries("changing").empty());
}

TEST_F(NotebookTest, LoadingWithoutUsablePagesShowsNone) {
  Fill(2);
  nb.BeginLoading();
  pages.Add("A");
  nb.PageAt(0).SetTabVisible(false);
  nb.Loaded();
  EXPECT_EQ(nb.PageIndex(), -1);
  EXPECT_EQ(nb.ActivePageName(), "");
}

}  // namespace

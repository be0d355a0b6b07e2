// The options windows' rules without windows: the tree plot's page and
// rows-per-page steps and typed values with their limits, and where an
// options window goes to stay on the screen.

#include <gtest/gtest.h>

#include "plot/optionRules.h"
#include "rtl/Exception.h"

namespace {

// Names the cases of a table after their `name` field.
struct CaseName {
  template <class Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
    return info.param.name;
  }
};

// A tree of 50 OTUs at 30 a page on page 1 of 2, unless a case says otherwise.
TTreePaging Paging(std::int32_t page = 1, std::int32_t perPage = 30, std::int32_t pages = 2, std::int32_t nodes = 50) {
  return {page, perPage, pages, nodes};
}

struct StepCase {
  const char* name;
  bool (*step)(TTreePaging&);
  TTreePaging before;
  bool changed;
  std::int32_t page;
  std::int32_t perPage;
};

class TreePagingStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(TreePagingStep, StaysWithinItsLimits) {
  const StepCase& c = GetParam();
  TTreePaging paging = c.before;
  EXPECT_EQ(c.step(paging), c.changed);
  EXPECT_EQ(paging.currentPage, c.page);
  EXPECT_EQ(paging.otusPerPage, c.perPage);
  EXPECT_EQ(paging.pageCount, c.before.pageCount);
  EXPECT_EQ(paging.nodeCount, c.before.nodeCount);
}

INSTANTIATE_TEST_SUITE_P(
    Spins, TreePagingStep,
    ::testing::Values(StepCase{"PageDownFromTwo", TreePageDown, Paging(2), true, 1, 30},
                      StepCase{"PageDownStopsAtOne", TreePageDown, Paging(1), false, 1, 30},
                      StepCase{"PageUpFromOne", TreePageUp, Paging(1), true, 2, 30},
                      StepCase{"PageUpStopsAtTheLastPage", TreePageUp, Paging(2), false, 2, 30},
                      StepCase{"PerPageDownToTwo", TreePerPageDown, Paging(1, 3), true, 1, 2},
                      StepCase{"PerPageDownStopsAtTwo", TreePerPageDown, Paging(1, 2), false, 1, 2},
                      StepCase{"PerPageUpToTheNodeCount", TreePerPageUp, Paging(1, 49), true, 1, 50},
                      StepCase{"PerPageUpStopsAtTheNodeCount", TreePerPageUp, Paging(1, 50, 1), false, 1, 50},
                      // Rows per page set from a tree of 4 OTUs (5 a page) step down only.
                      StepCase{"PerPageAboveTheNodeCountStaysUp", TreePerPageUp, Paging(1, 5, 1, 4), false, 1, 5}),
    CaseName());

struct TypedCase {
  const char* name;
  bool perPage;  // typed into the rows-per-page edit, else into the page edit
  const char* text;
  bool taken;
  std::int32_t page;
  std::int32_t otusPerPage;
};

class TreePagingTyped : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TreePagingTyped, TakesOnlyValuesWithinTheLimits) {
  const TypedCase& c = GetParam();
  TTreePaging paging = Paging();
  EXPECT_EQ(c.perPage ? TakeTreePerPage(paging, c.text) : TakeTreePage(paging, c.text), c.taken);
  EXPECT_EQ(paging.currentPage, c.page);
  EXPECT_EQ(paging.otusPerPage, c.otusPerPage);
  // A new number of rows per page changes the page count only when the plot draws again.
  EXPECT_EQ(paging.pageCount, 2);
}

INSTANTIATE_TEST_SUITE_P(Edits, TreePagingTyped,
                         ::testing::Values(TypedCase{"PageOne", false, "1", true, 1, 30},
                                           TypedCase{"LastPage", false, "2", true, 2, 30},
                                           TypedCase{"PageWithBlanks", false, " 2 ", true, 2, 30},
                                           TypedCase{"PageZero", false, "0", false, 1, 30},
                                           TypedCase{"PageBeyondTheCount", false, "3", false, 1, 30},
                                           TypedCase{"NegativePage", false, "-1", false, 1, 30},
                                           TypedCase{"PerPageThree", true, "3", true, 1, 3},
                                           TypedCase{"PerPageTheNodeCount", true, "50", true, 1, 50},
                                           // The spin steps down to 2, but a typed value must be 3 or more.
                                           TypedCase{"PerPageTwo", true, "2", false, 1, 30},
                                           TypedCase{"PerPageBeyondTheNodes", true, "51", false, 1, 30}),
                         CaseName());

TEST(TreePagingTyped, TextThatIsNoIntegerRaisesTheConversionErrorAndChangesNothing) {
  for (const char* text : {"", "abc", "2.5", "99999999999"}) {
    TTreePaging paging = Paging();
    EXPECT_THROW(TakeTreePage(paging, text), rtl::EConvertError) << text;
    EXPECT_THROW(TakeTreePerPage(paging, text), rtl::EConvertError) << text;
    EXPECT_EQ(paging.currentPage, 1) << text;
    EXPECT_EQ(paging.otusPerPage, 30) << text;
  }
}

struct PlaceCase {
  const char* name;
  plat::Rect window;
  plat::Rect placed;
};

class KeepOnScreenCase : public ::testing::TestWithParam<PlaceCase> {};

// On a screen of 800 x 600.
TEST_P(KeepOnScreenCase, MovesTheWindowToBeWhole) {
  const PlaceCase& c = GetParam();
  EXPECT_EQ(KeepOnScreen(c.window, 800, 600), c.placed);
}

INSTANTIATE_TEST_SUITE_P(Windows, KeepOnScreenCase,
                         ::testing::Values(PlaceCase{"Inside", {100, 50, 420, 400}, {100, 50, 420, 400}},
                                           PlaceCase{"AboveTheTop", {100, -30, 420, 320}, {100, 0, 420, 350}},
                                           PlaceCase{"BelowTheBottom", {100, 500, 420, 850}, {100, 250, 420, 600}},
                                           PlaceCase{"LeftOfTheScreen", {-40, 50, 280, 400}, {0, 50, 320, 400}},
                                           PlaceCase{"RightOfTheScreen", {700, 50, 1020, 400}, {480, 50, 800, 400}},
                                           // Taller than the screen: the bottom rule comes last and wins.
                                           PlaceCase{"TallerThanTheScreen", {0, 10, 320, 710}, {0, -100, 320, 600}}),
                         CaseName());

}  // namespace

#include "controls/base/VirExcept.h"

#include <gtest/gtest.h>

#include <functional>

#include "TestResources.h"

namespace {

template <class Family>
bool IsA(const EVirException* e) {
  return dynamic_cast<const Family*>(e) != nullptr;
}

struct Raise {
  const char* name;
  std::function<void()> raise;
  bool (*inFamily)(const EVirException*);
  const char* message;
};

const Raise kLeaves[] = {
    {"ENoTimersAvailable", [] { throw ENoTimersAvailable(); }, IsA<EVirException>, "No Window's timers are available"},
    {"ENoControllerAssigned", [] { throw ENoControllerAssigned(); }, IsA<EControllerError>, "No Controller assigned"},
    {"EDuplicateCommand", [] { throw EDuplicateCommand(); }, IsA<ECmdProcessorError>,
     "Duplicate command found while adding a new command to the table"},
    {"ETableNotFound", [] { throw ETableNotFound(); }, IsA<ECmdProcessorError>,
     "Command table not found or command table index out of range"},
    {"EInvalidDataType", [] { throw EInvalidDataType(); }, IsA<EEntryFieldError>, "Invalid data type for this field"},
    {"EInvalidPictureMask", [] { throw EInvalidPictureMask("99/99/9x"); }, IsA<EEntryFieldError>,
     "Invalid picture mask: 99/99/9x"},
    {"EInvalidRangeValue", [] { throw EInvalidRangeValue(7); }, IsA<EEntryFieldError>,
     "Invalid range. Enter a value between (0) and (255)"},
    {"EInvalidDateForMask", [] { throw EInvalidDateForMask(); }, IsA<EEntryFieldError>,
     "Invalid date value for picture mask. (Year is outside the Epoch range)"},
    {"EInvalidLineOrCol", [] { throw EInvalidLineOrCol(); }, IsA<EEditorError>, "Invalid line or column"},
    {"EInvalidLineOrPara", [] { throw EInvalidLineOrPara(); }, IsA<EEditorError>, "Invalid line or paragraph index"},
    {"EInvalidPageIndex", [] { throw EInvalidPageIndex(); }, IsA<ENotebookError>, "Invalid page index value"},
    {"EInvalidTabFont", [] { throw EInvalidTabFont(); }, IsA<ENotebookError>,
     "Invalid font. toRight oriented tabs require a True-Type font"},
    {"ESAEAtMaxSize", [] { throw ESAEAtMaxSize(); }, IsA<ESparseArrayError>, "Sparse array is at the maximum size"},
    {"ESAEOutOfBounds", [] { throw ESAEOutOfBounds(); }, IsA<ESparseArrayError>,
     "Index is out of bounds for sparse array"},
    {"EInvalidFixedFont", [] { throw EInvalidFixedFont(); }, IsA<EFixedFontError>,
     "Invalid font assignment. Font must be a fixed font"},
    {"EInvalidFontParam", [] { throw EInvalidFontParam(); }, IsA<EFixedFontError>,
     "Invalid font assignemnt. Font must be a TFont or TVirFixedFont"},
};

// Every leaf is caught as EVirException (and as the system's root), sits in its
// family, takes its catalogue text and carries no error code.
TEST(VirExceptionTree, LeavesTakeTheirCatalogueTexts) {
  for (const Raise& leaf : kLeaves) {
    try {
      leaf.raise();
      ADD_FAILURE() << leaf.name << " did not raise";
    } catch (const EVirException& e) {
      EXPECT_TRUE(leaf.inFamily(&e)) << leaf.name;
      EXPECT_EQ(e.Message(), leaf.message) << leaf.name;
      EXPECT_EQ(e.ErrorCode(), 0) << leaf.name;
      EXPECT_STREQ(static_cast<const rtl::Exception&>(e).what(), leaf.message) << leaf.name;
    }
  }
}

// The families are apart: a handler for one family does not catch another's leaf.
TEST(VirExceptionTree, FamiliesDoNotCatchEachOther) {
  EXPECT_THROW(
      {
        try {
          throw EInvalidPageIndex();
        } catch (const EEditorError&) {
          FAIL() << "a notebook error caught as an editor error";
        }
      },
      ENotebookError);
  ENoTimersAvailable timers;
  EXPECT_FALSE(IsA<EControllerError>(&timers));
}

TEST(VirExceptionTree, ErrorCodeOnlyFromTheMessageAndCodeConstructor) {
  EXPECT_EQ(EVirException("plain").ErrorCode(), 0);
  EEditorError withCode("Current operation will exceed the maximum paragraph size", 268);
  EXPECT_EQ(withCode.ErrorCode(), 268);
  EXPECT_EQ(withCode.Message(), "Current operation will exceed the maximum paragraph size");
  EXPECT_EQ(EEntryFieldError("Value is not valid for this field type").ErrorCode(), 0);
}

TEST(VirExceptionTree, RangeMessageFollowsTheDataType) {
  struct Case {
    int dataType;
    const char* mask;
    const char* message;
  };
  const Case cases[] = {
      {0, "", "Invalid range value"},  // String
      {3, "", "Invalid range value"},  // YesNo
      {4, "", "Invalid range. Enter a value between (-2147483648) and (2147483647)"},
      {5, "", "Invalid range. Enter a value between (0) and (65535)"},
      {6, "", "Invalid range. Enter a value between (-32768) and (32767)"},
      {7, "", "Invalid range. Enter a value between (0) and (255)"},
      {8, "", "Invalid range. Enter a value between (-128) and (127)"},
      {9, "", "Invalid range. Enter a value between (-1.7e+38) and (+1.7e+38)"},
      {10, "", "Invalid range. Enter a value between (-1.1e+4932) and (+1.1e+4932)"},
      {11, "", "Invalid range. Enter a value between (-1.7e+308) and (+1.7e+308)"},
      {12, "", "Invalid range. Enter a value between (-3.4e+38) and (+3.4e+38)"},
      {13, "", "Invalid range. Enter a value between (-9.2e+18) and (+9.2e+18)"},
      {14, "MM/dd/yy", "Invalid date range. Enter a value using 'MM/dd/yy' as the format"},
      {15, "hh:mm:ss", "Invalid time range. Enter a value using 'hh:mm:ss' as the format"},
      {16, "", "Invalid range value"},
      {-1, "", "Invalid range value"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EInvalidRangeValue(c.dataType, c.mask).Message(), c.message) << "type " << c.dataType;
  }
}

// With a catalogue that lacks their texts, the classes still raise, with an
// empty message.
TEST(VirExceptionTree, MissingCatalogueTextGivesAnEmptyMessage) {
  RegisterSampleStringTables();
  CatalogueSwap swap("SAMPLE_STRINGS");
  EXPECT_EQ(ENoControllerAssigned().Message(), "");
  EXPECT_EQ(EInvalidPictureMask("99").Message(), "");
  EXPECT_EQ(EInvalidRangeValue(4).Message(), "");
  EXPECT_EQ(EInvalidRangeValue(14, "MM/dd/yy").Message(), "");
  EXPECT_THROW(throw ETableNotFound(), EVirException);
}

}  // namespace

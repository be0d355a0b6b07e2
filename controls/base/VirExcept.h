#pragma once
// The component library's exceptions. Handlers that want every library error
// catch EVirException. Each leaf takes its message from the library catalogue
// when it is created (an empty message when the catalogue lacks the text), so
// a raise site names only the class.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "controls/base/StrRes.h"
#include "rtl/Exception.h"

class EVirException : public rtl::Exception {
 public:
  explicit EVirException(std::string message) : rtl::Exception(std::move(message)) {}
  EVirException(std::string message, std::int32_t errorCode)
      : rtl::Exception(std::move(message)), errorCode_(errorCode) {}

  // Set only by the (message, code) constructor; 0 otherwise.
  std::int32_t ErrorCode() const noexcept { return errorCode_; }

 private:
  std::int32_t errorCode_ = 0;
};

// A leaf whose message is catalogue text `Id`.
template <class Parent, std::uint16_t Id>
class EVirCatalogueError : public Parent {
 public:
  EVirCatalogueError() : Parent(GetLibraryString(Id)) {}
};

// The families; each takes a message (and a code) like EVirException.
class EControllerError : public EVirException {
 public:
  using EVirException::EVirException;
};
class ECmdProcessorError : public EVirException {
 public:
  using EVirException::EVirException;
};
class EEntryFieldError : public EVirException {
 public:
  using EVirException::EVirException;
};
class EEditorError : public EVirException {
 public:
  using EVirException::EVirException;
};
class ENotebookError : public EVirException {
 public:
  using EVirException::EVirException;
};
class ESparseArrayError : public EVirException {
 public:
  using EVirException::EVirException;
};
class EFixedFontError : public EVirException {
 public:
  using EVirException::EVirException;
};

class ENoTimersAvailable : public EVirCatalogueError<EVirException, 34189> {};
class ENoControllerAssigned : public EVirCatalogueError<EControllerError, 34172> {};
class EDuplicateCommand : public EVirCatalogueError<ECmdProcessorError, 34169> {};
class ETableNotFound : public EVirCatalogueError<ECmdProcessorError, 34170> {};
class EInvalidDataType : public EVirCatalogueError<EEntryFieldError, 34194> {};
class EInvalidDateForMask : public EVirCatalogueError<EEntryFieldError, 34227> {};
class EInvalidLineOrCol : public EVirCatalogueError<EEditorError, 34216> {};
class EInvalidLineOrPara : public EVirCatalogueError<EEditorError, 34213> {};
class EInvalidPageIndex : public EVirCatalogueError<ENotebookError, 34193> {};
class EInvalidTabFont : public EVirCatalogueError<ENotebookError, 34195> {};
class ESAEAtMaxSize : public EVirCatalogueError<ESparseArrayError, 34218> {};
class ESAEOutOfBounds : public EVirCatalogueError<ESparseArrayError, 34219> {};
class EInvalidFixedFont : public EVirCatalogueError<EFixedFontError, 34214> {};
class EInvalidFontParam : public EVirCatalogueError<EFixedFontError, 34215> {};

// "Invalid picture mask: <mask>".
class EInvalidPictureMask : public EEntryFieldError {
 public:
  explicit EInvalidPictureMask(std::string_view mask);
};

// A range limit that does not convert for the field's data type, numbered as
// the entry fields' picture data types (4 LongInt, 5 Word, 6 Integer, 7 Byte,
// 8 ShortInt, 9 Real, 10 Extended, 11 Double, 12 Single, 13 Comp, 14 Date,
// 15 Time). The message names the type's bounds; for Date and Time it names
// `dateTimeMask`, the international date or time mask the field shows.
class EInvalidRangeValue : public EEntryFieldError {
 public:
  explicit EInvalidRangeValue(int dataType, std::string_view dateTimeMask = {});
};

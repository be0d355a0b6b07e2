#pragma once
// Errors of the utility containers and the record sorter. Their texts come by
// number from the utility library's message table.

#include <cstdint>
#include <initializer_list>
#include <string>

#include "rtl/Exception.h"
#include "rtl/Format.h"

// Message numbers of the utility library's table.
enum TUtMessage : std::uint32_t {
  utCompareNotSet = 51,
  utBadSize = 53,
  utIndexOutOfRange = 55,
  utCannotAssignCompare = 63,
  utMatrixToArray = 64,
  utTooManyMergeFiles = 71,
  utCreateFile = 72,
  utOpenFile = 73,
  utWriteFile = 74,
  utReadFile = 75,
  utSorterState = 76,
};

// The text of a message of the utility library's table.
std::string UtMessageText(std::uint32_t id);

class EUtException : public rtl::Exception {
 public:
  // The text of message id; the second form formats it with the arguments.
  explicit EUtException(std::uint32_t id) : rtl::Exception(UtMessageText(id)) {}
  EUtException(std::uint32_t id, std::initializer_list<rtl::FormatArg> args)
      : rtl::Exception(rtl::FormatList(UtMessageText(id), args)) {}
};

class EUtContainerError : public EUtException {
 public:
  using EUtException::EUtException;
};

class EUtSortError : public EUtException {
 public:
  using EUtException::EUtException;
};

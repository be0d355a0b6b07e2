#pragma once
// The error of the spreadsheet link and of its table decoder.

#include "rtl/Exception.h"

class ExcelError : public rtl::Exception {
 public:
  using Exception::Exception;
};

#pragma once
// One record of a matrix body written as the general modules write them:
// each value as a blank and the value in the file format, a line end after
// every perLine-th value unless it is the record's last, and after the last.

#include <cstdint>
#include <span>
#include <string>

#include "rtl/TextFile.h"

// With row above 0, the values are row's columns 1, 2, ...: one that is not
// finite is refused naming them (WritableValue).
void WriteRecordLines(rtl::TextWriter& f, std::span<const double> values, const std::string& format,
                      std::size_t perLine, std::int32_t row = 0);

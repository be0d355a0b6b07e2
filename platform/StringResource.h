#pragma once
// String-table resources: texts fetched by number from a named "STR0"
// resource of the program.
//
// Resource layout, little-endian: "STR0", u32 count, count index entries
// (u32 id, u32 byte offset of the text from the resource start, u32 length in
// UTF-16 units) sorted by id, then the texts as UTF-16LE. Texts come back in
// the single-byte Windows-1252 code page; characters outside it become '?'.
// The tables are embedded by the build (tools/mkstrtab) and made findable by
// the generated registration function of the code that reads them.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "rtl/Exception.h"

// Every failure of a string-table reader: a resource that is missing or
// damaged, a reader with no resource, a missing id when RaiseOnMissing is set.
class ETpsStringResourceError : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

class TpsStringResource {
 public:
  // Opens the named resource when a name is given.
  explicit TpsStringResource(std::string_view resourceName = {});

  // Finds the resource (names compare without regard to case) and checks its
  // whole layout, so that no later look-up can read outside it. A missing
  // resource raises "String resource not found: <name>", a damaged one
  // "Invalid TPString resource"; either way the reader keeps what it had.
  void Open(std::string_view resourceName);

  // The text of the id, or empty when the table has no such id (with
  // RaiseOnMissing: "String not found: <id>"). A reader that never opened a
  // resource raises "Cannot lock resource".
  std::string GetStringById(std::uint32_t id) const;

  bool RaiseOnMissing = false;

 private:
  std::span<const std::uint8_t> resource_;  // the checked resource; empty until opened
};

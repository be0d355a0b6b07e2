// What the fuzz targets' builds (tests/fuzz/run) take in place of the code
// that CMake generates: the container errors' texts come from the program's
// string tables, and a number is enough here. The tests that replay the
// corpora link the real tables instead.

#include <cstdint>
#include <string>

#include "matrix/util/UtExcept.h"

std::string UtMessageText(std::uint32_t id) { return "utility library message " + std::to_string(id); }

// The string tables of the component library and of the string-table reader:
// none are registered, so a lookup finds no text.
void RegisterLibraryStringTables() {}
void RegisterReaderStringTables() {}

#pragma once
// Text as this system keeps it and as Linux users have it: the bytes read from
// files (or typed) are kept as they are, and shown as UTF-8 when they are valid
// UTF-8, else as Windows-1252. This is the one rule every conversion to the
// screen, the printer and metafiles goes through.

#include <cstddef>
#include <string>
#include <string_view>

#include "rtl/TextChars.h"

namespace plat {

using rtl::IsUtf8;
using rtl::CharacterPrefixLength;

// The text as shown, in UTF-8 and in UTF-16.
std::string DisplayUtf8(std::string_view bytes);
std::u16string DisplayUtf16(std::string_view bytes);

// A message as shown to the user: printable characters and line breaks (LF or
// CR LF) as they are, every byte of any other character (control characters, a byte-order mark, bytes the code
// page leaves unassigned) as \xHH, so nothing unexpected reaches the screen raw.
std::string EscapeUnexpected(std::string_view message);

}  // namespace plat

#pragma once
// The component library's message catalogue, read through the platform's
// string-table reader, and the character set of its picture masks.

#include <bitset>
#include <cstdint>
#include <string>

#include "platform/StringResource.h"

// Makes the catalogue "VIREO_STRINGS_ENGLISH" findable (generated from
// resources/; calling it again does nothing). GetLibraryString calls it.
void RegisterLibraryStringTables();

// A text of the component library's catalogue ("VIREO_STRINGS_ENGLISH"), or
// empty when the catalogue has no such id.
std::string GetLibraryString(std::uint16_t id);

// The reader that GetLibraryString serves from. Re-opening it on another
// resource changes every library text; tests do so to check a missing entry.
TpsStringResource& LibraryStringResource();

// The characters the picture masks treat as alphabetic: blank, ',', '-', '.',
// 'A'..'Z', 'a'..'z' and the letters of the Windows-1252 code page among
// 128..255.
const std::bitset<256>& AlphaCharSet();

#pragma once
// The program's version text, taken from its version literal.

#include <string>
#include <string_view>

// The characters after "Version *" up to the next "*": "2.02c".
std::string VersionOf(std::string_view literal);
// The version of this program.
const std::string& VersionText();

#pragma once
// A file name too long for the width a window gives it, shown whole on
// several lines rather than cut.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// The name broken into lines no wider than `width` as `widthOf` measures a
// text. A line ends after the last '/' that fits on it (a name is read
// most easily by its folders); a part without one that fits is cut between
// two characters, and a line holds at least one character. The lines joined
// give the name back.
std::vector<std::string> FileNameLines(std::string_view name, int width,
                                       const std::function<int(std::string_view)>& widthOf);

}  // namespace plat

#include "platform/FileNameLines.h"

#include "rtl/TextChars.h"

namespace plat {

namespace {

// Length in bytes of the longest start of `text` that fits, at least one character.
std::size_t FittingLength(std::string_view text, int width, const std::function<int(std::string_view)>& widthOf) {
  std::size_t fits = rtl::NextCharacter(text, 0);
  for (std::size_t next = rtl::NextCharacter(text, fits); fits < text.size() && widthOf(text.substr(0, next)) <= width;
       next = rtl::NextCharacter(text, next)) {
    fits = next;
  }
  return fits;
}

}  // namespace

std::vector<std::string> FileNameLines(std::string_view name, int width,
                                       const std::function<int(std::string_view)>& widthOf) {
  std::vector<std::string> lines;
  std::string_view rest = name;
  while (widthOf(rest) > width) {
    std::size_t cut = FittingLength(rest, width, widthOf);
    // A break after a folder's '/' (not after a leading one, which would stand alone).
    const std::size_t slash = rest.substr(0, cut).find_last_of('/');
    if (slash != std::string_view::npos && slash > 0) cut = slash + 1;
    if (cut >= rest.size()) break;
    lines.emplace_back(rest.substr(0, cut));
    rest.remove_prefix(cut);
  }
  lines.emplace_back(rest);
  return lines;
}

}  // namespace plat

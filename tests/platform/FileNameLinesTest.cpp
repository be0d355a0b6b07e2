// A file name too long for its window's width, broken into lines that show it whole.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FileNameLines.h"
#include "rtl/TextChars.h"

namespace {

using plat::FileNameLines;
using Lines = std::vector<std::string>;

// One unit of width per character, however many bytes it takes.
int CharacterWidth(std::string_view text) { return static_cast<int>(rtl::CharacterCount(text)); }

TEST(FileNameLinesTest, BreaksAfterTheFoldersThatFitAndCutsOnlyWhatHasNone) {
  const struct {
    const char* name;
    std::string file;
    int width;
    Lines lines;
  } cases[] = {
      {"fits", "/data/out.qmx", 13, {"/data/out.qmx"}},
      {"empty", "", 5, {""}},
      {"after the last folder that fits", "/data/site/b/out.qmx", 12, {"/data/site/", "b/out.qmx"}},
      {"a folder per line", "/alpha/beta/gamma.qmx", 9, {"/alpha/", "beta/", "gamma.qmx"}},
      {"a name longer than a line is cut", "/d/abcdefghij.qmx", 6, {"/d/", "abcdef", "ghij.q", "mx"}},
      {"a leading slash does not stand alone", "/abcdefgh", 4, {"/abc", "defg", "h"}},
      {"no folder at all", "abcdefg", 3, {"abc", "def", "g"}},
      {"a UTF-8 letter is never split", "/d/\xC5\x82\xC5\x82\xC5\x82\xC5\x82", 5,
       {"/d/", "\xC5\x82\xC5\x82\xC5\x82\xC5\x82"}},
      {"a UTF-8 letter is never split when cut", "\xC5\x82\xC5\x82\xC5\x82", 2, {"\xC5\x82\xC5\x82", "\xC5\x82"}},
      {"a width below one character still moves on", "abc", 0, {"a", "b", "c"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FileNameLines(c.file, c.width, CharacterWidth), c.lines);
  }
}

}  // namespace

// Text kept as bytes and shown as UTF-8 when it is valid UTF-8, else as
// Windows-1252; messages that show nothing unexpected raw.

#include <gtest/gtest.h>

#include <string>

#include "platform/DisplayText.h"
#include "platform/MessageBox.h"
#include "platform/record/ScriptedUi.h"

namespace {

using namespace plat;

TEST(DisplayTextTest, ValidUtf8ShowsAsItIsAnythingElseAsWindows1252) {
  const struct {
    const char* name;
    std::string bytes;
    bool utf8;
    std::string shown;  // in UTF-8
  } cases[] = {
      {"ASCII", "OTU 12", true, "OTU 12"},
      {"UTF-8 letters", "Z\xC3\xBCrich \xE2\x82\xAC", true, "Z\xC3\xBCrich \xE2\x82\xAC"},
      {"a four-byte character", "\xF0\x9F\x8C\xBF", true, "\xF0\x9F\x8C\xBF"},
      {"Windows-1252 letters", "Z\xFCrich \x80", false, "Z\xC3\xBCrich \xE2\x82\xAC"},
      {"an overlong slash", "a\xC0\xAF", false, "a\xC3\x80\xC2\xAF"},
      {"a surrogate", "\xED\xA0\x80", false, "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
      {"a character cut short", "Caf\xC3", false, "Caf\xC3\x83"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", false, "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsUtf8(c.bytes), c.utf8);
    EXPECT_EQ(DisplayUtf8(c.bytes), c.shown);
  }
  EXPECT_EQ(DisplayUtf16("Z\xC3\xBC\xF0\x9F\x8C\xBF"), (std::u16string{u'Z', 0xFC, 0xD83C, 0xDF3F}));
  EXPECT_EQ(DisplayUtf16("Z\xFC"), (std::u16string{u'Z', 0xFC}));
}

TEST(DisplayTextTest, MessagesShowUnexpectedCharactersEscaped) {
  const struct {
    const char* name;
    std::string message;
    std::string shown;
  } cases[] = {
      {"plain with a line break", "Number of rows and columns\n must be equal",
       "Number of rows and columns\n must be equal"},
      {"CR LF kept, a lone CR escaped", "a\r\nb\rc", "a\r\nb\\x0Dc"},
      {"control characters", "Bad value for number of rows: 3\x1B[2J\x01",
       "Bad value for number of rows: 3\\x1B[2J\\x01"},
      {"a tab and DEL", "x\ty\x7F", "x\\x09y\\x7F"},
      {"UTF-8 letters stay", "Bad label: Z\xC3\xBCrich", "Bad label: Z\xC3\xBCrich"},
      {"a byte-order mark inside",
       "word \xEF\xBB\xBF"
       "5",
       "word \\xEF\\xBB\\xBF5"},
      {"a C1 control in UTF-8",
       "a\xC2\x85"
       "b",
       "a\\xC2\\x85b"},
      {"Windows-1252 letters stay, unassigned bytes do not", "M\xFCnchen\x81", "M\xFCnchen\\x81"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EscapeUnexpected(c.message), c.shown);
  }
}

TEST(DisplayTextTest, MessageBoxesGetTheEscapedText) {
  ScriptedMessageBox boxes;
  ScopedService<MessageBoxes> installed{boxes};
  ShowErrorMessage("Bad value for matrix type code: 1\x07");
  EXPECT_EQ(boxes.LastText(), "Bad value for matrix type code: 1\\x07");
}

}  // namespace

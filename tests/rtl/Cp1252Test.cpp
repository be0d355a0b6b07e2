#include "rtl/Cp1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, RoundTripsThroughUnicode) {
  struct {
    const char* cp1252;
    const char* utf8;
  } cases[] = {
      {"abc", "abc"},
      {"\x80", "\xE2\x82\xAC"},  // euro sign
      {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},
      {"\x9F", "\xC5\xB8"},  // Y with diaeresis
      {"\x81", "\xC2\x81"},  // unassigned byte stands for itself
  };
  for (const auto& c : cases) {
    EXPECT_EQ(rtl::Cp1252ToUtf8(c.cp1252), c.utf8) << c.utf8;
    EXPECT_EQ(rtl::Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
  }
  EXPECT_EQ(rtl::Cp1252ToUtf16("\x80"
                               "a"),
            u"\u20ACa");
}

TEST(Cp1252, OutsideTheCodePageBecomesAQuestionMark) {
  EXPECT_EQ(rtl::Utf8ToCp1252("\xE4\xB8\xAD"), "?");  // a CJK character
  EXPECT_EQ(rtl::Utf8ToCp1252("a\xC3"), "a?");        // cut sequence
  EXPECT_EQ(rtl::Utf8ToCp1252("\xFF"
                              "b"),
            "?b");  // not UTF-8
  EXPECT_EQ(rtl::CodePointToCp1252(0x2603), '?');
  EXPECT_EQ(rtl::CodePointToCp1252(0x20AC), '\x80');
}

}  // namespace

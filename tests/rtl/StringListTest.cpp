#include "rtl/StringList.h"

#include <gtest/gtest.h>

#include "rtl/Exception.h"

namespace {

TEST(StringList, EditsAndLineEnds) {
  rtl::StringList l;
  l.SetText("one\r\ntwo\nthree\rfour");
  ASSERT_EQ(l.Count(), 4);
  EXPECT_EQ(l[3], "four");
  l.Insert(0, "zero");
  l.Delete(2);
  EXPECT_EQ(l.Text(), "zero\r\none\r\nthree\r\nfour\r\n");
  EXPECT_EQ(l.IndexOf("THREE"), 2);
  EXPECT_EQ(l.IndexOf("two"), -1);
  EXPECT_THROW(l[4], rtl::Exception);
  EXPECT_THROW(l.Insert(6, "x"), rtl::Exception);
  EXPECT_THROW(l.Delete(-1), rtl::Exception);
}

TEST(StringList, TextHelpers) {
  EXPECT_TRUE(rtl::SameText("Config", "CONFIG"));
  EXPECT_FALSE(rtl::SameText("Config", "Configs"));
  EXPECT_EQ(rtl::UpperCase("sahn.qmx"), "SAHN.QMX");
  EXPECT_EQ(rtl::Trim("\t a b \r"), "a b");
}

}  // namespace

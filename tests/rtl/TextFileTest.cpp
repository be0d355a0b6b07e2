#include "rtl/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "rtl/Exception.h"

namespace {

TEST(TextReader, AcceptsEveryLineEnd) {
  for (const char* text : {"a b\r\n\r\nc\r\n", "a b\n\nc\n", "a b\r\rc\r", "a b\n\r\nc"}) {
    auto r = rtl::TextReader::FromText(text);
    std::string line;
    ASSERT_TRUE(r.ReadLine(line));
    EXPECT_EQ(line, "a b");
    ASSERT_TRUE(r.ReadLine(line));
    EXPECT_EQ(line, "");
    ASSERT_TRUE(r.ReadLine(line));
    EXPECT_EQ(line, "c");
    EXPECT_FALSE(r.ReadLine(line)) << text;
    EXPECT_TRUE(r.Eof());
    EXPECT_EQ(r.LineNumber(), 3);
  }
}

TEST(TextReader, WordsAndSeekEof) {
  auto r = rtl::TextReader::FromText("  12\t-3.5\r\n\r\n x  \r\n  \r\n");
  std::string w;
  ASSERT_TRUE(r.ReadWord(w));
  EXPECT_EQ(w, "12");
  EXPECT_FALSE(r.SeekEoln());
  ASSERT_TRUE(r.ReadWord(w));
  EXPECT_EQ(w, "-3.5");
  EXPECT_TRUE(r.SeekEoln());
  EXPECT_FALSE(r.SeekEof());
  ASSERT_TRUE(r.ReadWord(w));
  EXPECT_EQ(w, "x");
  EXPECT_EQ(r.LineNumber(), 3);
  EXPECT_TRUE(r.SeekEof());
  EXPECT_FALSE(r.ReadWord(w));
}

TEST(TextFile, WriterWritesCrLfAndReportsFailure) {
  std::filesystem::path dir = std::filesystem::path(MORVA_ARTEFACTS) / "rtl";
  std::filesystem::create_directories(dir);
  std::string name = (dir / "lines.txt").string();
  {
    rtl::TextWriter w(name);
    w.WriteLine("first");
    w.Write("second");
    w.WriteLine();
    w.Close();
  }
  EXPECT_EQ(rtl::ReadWholeFile(name), "first\r\nsecond\r\n");
  {
    rtl::TextWriter w(name, rtl::TextWriter::Mode::Append);
    w.WriteLine("third");
    w.Close();
  }
  rtl::TextReader r(name);
  std::string line;
  int n = 0;
  while (r.ReadLine(line)) ++n;
  EXPECT_EQ(n, 3);

  EXPECT_THROW(rtl::TextReader((dir / "missing.txt").string()), rtl::EInOutError);
  EXPECT_THROW(rtl::TextWriter((dir / "no-such-dir" / "x.txt").string()), rtl::EInOutError);
  if (std::filesystem::exists("/dev/full")) {
    rtl::TextWriter full("/dev/full");
    full.WriteLine("does not fit");
    EXPECT_THROW(full.Close(), rtl::EInOutError);
  }
}

}  // namespace

#include "rtl/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "rtl/Exception.h"
#include "rtl/StringList.h"

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

// A line longer than the limit is cut after limit + 1 bytes, so the caller
// sees it was longer, and the rest stays to be read; lines are counted alike.
TEST(TextReader, ReadLineStopsAtItsLimit) {
  rtl::TextReader r = rtl::TextReader::FromText("abc\r\nabcdefgh\nxy");
  std::string line;
  ASSERT_TRUE(r.ReadLine(line, 3));
  EXPECT_EQ(line, "abc");
  ASSERT_TRUE(r.ReadLine(line, 3));
  EXPECT_EQ(line, "abcd");
  EXPECT_EQ(r.LineNumber(), 2);
  ASSERT_TRUE(r.ReadLine(line));
  EXPECT_EQ(line, "efgh");
  ASSERT_TRUE(r.ReadLine(line, 3));
  EXPECT_EQ(line, "xy");
  EXPECT_EQ(r.LineNumber(), 3);
  EXPECT_FALSE(r.ReadLine(line, 3));
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

// Every line a reader gives, and the line number it ends on.
std::pair<std::vector<std::string>, long> LinesOf(rtl::TextReader r) {
  std::vector<std::string> lines;
  for (std::string line; r.ReadLine(line);) lines.push_back(line);
  return {lines, r.LineNumber()};
}

TEST(TextReader, PassesOverAByteOrderMarkAtTheStartOfAFileOnly) {
  const std::string bom = "\xEF\xBB\xBF";
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"mark before the first line", bom + "a\r\nb\r\n", {"a", "b"}},
      {"mark alone", bom, {}},
      {"mark before an empty line", bom + "\r\nb", {"", "b"}},
      {"mark on a later line kept", "a\r\n" + bom + "b", {"a", bom + "b"}},
      {"two marks: the second kept", bom + bom + "a", {bom + "a"}},
      {"part of a mark kept",
       "\xEF\xBB"
       "a",
       {"\xEF\xBB"
        "a"}},
  };
  const std::filesystem::path dir = std::filesystem::path(MORVA_ARTEFACTS) / "rtl";
  std::filesystem::create_directories(dir);
  const std::string name = (dir / "marked.txt").string();
  for (const Case& c : cases) {
    const long lineCount = static_cast<long>(c.lines.size());
    std::ofstream(name, std::ios::binary) << c.bytes;
    EXPECT_EQ(LinesOf(rtl::TextReader(name)), std::make_pair(c.lines, lineCount)) << c.name;
    rtl::StringList list;
    list.LoadFromFile(name);
    EXPECT_EQ(std::vector<std::string>(list.begin(), list.end()), c.lines) << c.name << " (list)";
  }
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

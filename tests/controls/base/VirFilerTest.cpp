#include "controls/base/VirFiler.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(Filer, ValuesComeBackAsWritten) {
  const std::int64_t integers[] = {
      0, 1, -1, 63, -64, 64, 300, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()};
  const std::string text("a\0\xFF z", 5);
  const std::vector<std::uint8_t> block = {0xFF, 0x67, 0x3C, 0x9E, 0xC9, 0x7F, 0, 0, 0, 1};
  TVirWriter writer;
  writer.WriteListBegin();
  for (std::int64_t v : integers) writer.WriteInteger(v);
  writer.WriteListEnd();
  writer.WriteString(text);
  writer.WriteString("");
  writer.WriteBoolean(true);
  writer.WriteBoolean(false);
  writer.WriteBinary(block);
  TVirReader reader(writer.Bytes());
  reader.ReadListBegin();
  for (std::int64_t v : integers) EXPECT_EQ(reader.ReadInteger(), v);
  EXPECT_TRUE(reader.EndOfList());
  reader.ReadListEnd();
  EXPECT_EQ(reader.ReadString(), text);
  EXPECT_EQ(reader.ReadString(), "");
  EXPECT_TRUE(reader.ReadBoolean());
  EXPECT_FALSE(reader.ReadBoolean());
  EXPECT_EQ(reader.ReadBinary(), block);
  EXPECT_TRUE(reader.AtEnd());
}

TEST(Filer, BadStreamsAreRefused) {
  TVirWriter writer;
  writer.WriteString("abc");
  std::vector<std::uint8_t> bytes = writer.Bytes();
  {
    TVirReader reader(bytes);
    EXPECT_THROW(reader.ReadInteger(), EFilerError);  // another type
  }
  bytes.pop_back();
  {
    TVirReader reader(bytes);
    EXPECT_THROW(reader.ReadString(), EFilerError);  // cut short
  }
  std::vector<std::uint8_t> endless = {2, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  TVirReader reader(endless);
  EXPECT_THROW(reader.ReadInteger(), EFilerError);
  std::vector<std::uint8_t> none;
  TVirReader empty(none);
  EXPECT_THROW(empty.ReadBoolean(), EFilerError);
}

// An object with two stored properties, one of them only when it is set.
struct Sample : TVirPersistent {
  std::int64_t limit = 0;
  std::string label;
  bool seenLoading = false;
  void DefineProperties(TVirFiler& filer) override {
    filer.DefineProperty(
        "Limit",
        [this](TVirReader& r) {
          limit = r.ReadInteger();
          seenLoading = Loading();
        },
        [this](TVirWriter& w) { w.WriteInteger(limit); }, true);
    filer.DefineProperty(
        "Label", [this](TVirReader& r) { label = r.ReadString(); }, [this](TVirWriter& w) { w.WriteString(label); },
        !label.empty());
  }
};

TEST(Filer, PropertiesRoundTripAndUnknownNamesAreRefused) {
  Sample original;
  original.limit = -7;
  std::vector<std::uint8_t> withoutLabel = WriteProperties(original);
  original.label = "x";
  Sample copy;
  ReadProperties(copy, WriteProperties(original));
  EXPECT_EQ(copy.limit, -7);
  EXPECT_EQ(copy.label, "x");
  EXPECT_TRUE(copy.seenLoading);
  EXPECT_FALSE(copy.Loading());
  EXPECT_LT(withoutLabel.size(), WriteProperties(original).size());
  TVirWriter foreign;
  foreign.WriteString("Colour");
  foreign.WriteInteger(3);
  try {
    ReadProperties(copy, foreign.Bytes());
    FAIL() << "no error";
  } catch (const EFilerError& e) {
    EXPECT_STREQ(e.what(), "Property Colour does not exist");
  }
  EXPECT_FALSE(copy.Loading());
}

}  // namespace

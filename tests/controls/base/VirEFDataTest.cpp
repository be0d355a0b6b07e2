#include "controls/base/VirEFData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Hex(std::istream& in) {
  Bytes b;
  std::string byte;
  while (in >> byte) b.push_back(static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16)));
  return b;
}

template <std::size_t N>
std::span<const std::uint8_t, N> View(const Bytes& b) {
  return std::span<const std::uint8_t, N>(b.data(), N);
}

struct Sample {
  std::string kind;
  std::string text;
  Bytes bytes;
};

// Values made by make_efvalues.py with struct, NumPy's longdouble and exact
// rational arithmetic for the 6-byte real.
std::vector<Sample> ReadSamples() {
  std::ifstream in(std::string(MORVA_FIXTURES) + "/controls/base/efvalues.txt");
  std::vector<Sample> samples;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    Sample s;
    fields >> s.kind >> s.text;
    s.bytes = Hex(fields);
    samples.push_back(s);
  }
  return samples;
}

// Stores the sample's value, expects its bytes, and reads them back.
template <std::size_t N, class T, class Store, class Load>
void ExpectRoundTrip(const Sample& s, T value, Store store, Load load) {
  ASSERT_EQ(s.bytes.size(), N);
  std::array<std::uint8_t, N> out{};
  store(value, std::span<std::uint8_t, N>(out));
  EXPECT_EQ(Bytes(out.begin(), out.end()), s.bytes);
  EXPECT_EQ(load(View<N>(s.bytes)), value);
}

TEST(EntryFieldCodecs, AgreeWithTheReferenceBytes) {
  auto samples = ReadSamples();
  ASSERT_GE(samples.size(), 40u);
  for (const Sample& s : samples) {
    SCOPED_TRACE(s.kind + " " + s.text);
    const char* text = s.text.c_str();
    if (s.kind == "single") {
      ExpectRoundTrip<4>(s, std::strtof(text, nullptr), StoreSingle, LoadSingle);
    } else if (s.kind == "double") {
      ExpectRoundTrip<8>(s, std::strtod(text, nullptr), StoreDouble, LoadDouble);
    } else if (s.kind == "extended") {
      ExpectRoundTrip<10>(s, std::strtold(text, nullptr), StoreExtended, LoadExtended);
    } else if (s.kind == "comp") {
      ExpectRoundTrip<8>(s, std::int64_t{std::strtoll(text, nullptr, 10)}, StoreLE<std::int64_t>, LoadLE<std::int64_t>);
    } else if (s.kind == "real48") {
      ASSERT_EQ(s.bytes.size(), 6u);
      long double v = std::strtold(text, nullptr);
      std::array<std::uint8_t, 6> out{};
      ASSERT_TRUE(StoreReal48(v, out));
      EXPECT_EQ(Bytes(out.begin(), out.end()), s.bytes);
      // The nearest 6-byte real: within half a unit of its 39-bit fraction.
      long double back = LoadReal48(View<6>(s.bytes));
      EXPECT_LE(std::fabs(back - v), std::fabs(v) * std::ldexp(1.0L, -40));
    } else {
      ADD_FAILURE() << "unknown kind";
    }
  }
}

TEST(EntryFieldCodecs, SixByteRealHandVectors) {
  struct {
    Bytes bytes;
    long double value;
  } const cases[] = {
      {{0x81, 0, 0, 0, 0, 0}, 1.0L},     {{0x81, 0, 0, 0, 0, 0x80}, -1.0L}, {{0x80, 0, 0, 0, 0, 0}, 0.5L},
      {{0x84, 0, 0, 0, 0, 0x20}, 10.0L}, {{0x82, 0, 0, 0, 0, 0x40}, 3.0L},  {{0, 0, 0, 0, 0, 0}, 0.0L},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LoadReal48(View<6>(c.bytes)), c.value) << static_cast<double>(c.value);
    std::array<std::uint8_t, 6> out{};
    ASSERT_TRUE(StoreReal48(c.value, out));
    EXPECT_TRUE(std::equal(out.begin(), out.end(), c.bytes.begin())) << static_cast<double>(c.value);
  }
  // A zero exponent is zero whatever the other bytes hold.
  EXPECT_EQ(LoadReal48(View<6>(Bytes{0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})), 0.0L);
  // The default range limits of the 6-byte real.
  EXPECT_EQ(static_cast<double>(LoadReal48(View<6>(Bytes{0xFF, 0x67, 0x3C, 0x9E, 0xC9, 0x7F}))), 1.7000000000000157e38);
  EXPECT_EQ(static_cast<double>(LoadReal48(View<6>(Bytes{0xFF, 0x67, 0x3C, 0x9E, 0xC9, 0xFF}))),
            -1.7000000000000157e38);
}

TEST(EntryFieldCodecs, SixByteRealRefusesWhatItCannotHold) {
  const Bytes untouched{1, 2, 3, 4, 5, 6};
  for (long double v : {1e39L, -1e39L, MaxReal48() * (1 + std::ldexp(1.0L, -39)),
                        std::numeric_limits<long double>::infinity(), std::numeric_limits<long double>::quiet_NaN()}) {
    Bytes out = untouched;
    EXPECT_FALSE(StoreReal48(v, std::span<std::uint8_t, 6>(out.data(), 6))) << static_cast<double>(v);
    EXPECT_EQ(out, untouched);
  }
  std::array<std::uint8_t, 6> out{};
  ASSERT_TRUE(StoreReal48(MaxReal48(), out));
  EXPECT_EQ(LoadReal48(out), MaxReal48());
  EXPECT_EQ(out[0], 0xFF);
  // Too small for the 6-byte real: zero.
  ASSERT_TRUE(StoreReal48(1e-40L, out));
  EXPECT_EQ(out, (std::array<std::uint8_t, 6>{}));
}

TEST(EntryFieldDataSize, ByTypeAndMask) {
  struct {
    const char* what;
    std::uint8_t typeByte;
    int maxLength;
    bool stripLiterals;
    const char* mask;
    std::uint16_t size;
  } const cases[] = {
      {"string", pftString, 15, false, "X", 16},
      {"simple string ignores StripLiterals", pftString, 15, true, "X", 16},
      {"picture string", kPictureFieldFlag, 14, false, "(999) 999-9999", 15},
      {"picture string, literals stripped", kPictureFieldFlag, 14, true, "(999) 999-9999", 11},
      {"picture string, floating positions count", kPictureFieldFlag, 8, true, "$$#,##.#", 8},
      {"picture string longer than its mask", kPictureFieldFlag, 20, true, "99-99", 20},
      {"char", pftChar, 15, false, "X", 1},
      {"boolean", pftBoolean, 15, false, "X", 1},
      {"yes/no", pftYesNo, 15, false, "X", 1},
      {"longint", pftLongInt, 15, false, "X", 4},
      {"word", pftWord, 15, false, "X", 2},
      {"integer", pftInteger, 15, false, "X", 2},
      {"byte", pftByte, 15, false, "X", 1},
      {"shortint", pftShortInt, 15, false, "X", 1},
      {"real", pftReal, 15, false, "X", 6},
      {"extended", pftExtended, 15, false, "X", 10},
      {"double", pftDouble, 15, false, "X", 8},
      {"single", pftSingle, 15, false, "X", 4},
      {"comp", pftComp, 15, false, "X", 8},
      {"date", pftDate, 15, false, "X", 4},
      {"time", pftTime, 15, false, "X", 4},
      {"numeric field longint", kNumericFieldFlag | pftLongInt, 15, false, "X", 4},
      {"picture field double", kPictureFieldFlag | pftDouble, 15, true, "##.##", 8},
      {"unknown type", 16, 15, false, "X", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(DataSizeOf(c.typeByte, c.maxLength, c.stripLiterals, c.mask), c.size) << c.what;
}

}  // namespace

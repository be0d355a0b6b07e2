#include "controls/base/VirEFData.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64 && sizeof(long double) >= 10,
              "the extended type needs the 80-bit long double");

bool IsPictureChar(char c) {
  static constexpr std::string_view kPictureChars = "!#123456789ABDEHKLMNOSXYabdhilmnstxy";
  return c != 0 && kPictureChars.find(c) != std::string_view::npos;
}

std::uint16_t DataSizeOf(std::uint8_t typeByte, int maxLength, bool stripLiterals, std::string_view mask) {
  switch (typeByte & kDataTypeBits) {
    case pftString: {
      if (typeByte == kPictureFieldFlag && stripLiterals) {
        auto dataPositions =
            std::count_if(mask.begin(), mask.end(), [](char c) { return IsPictureChar(c) || c == '$' || c == ','; });
        auto size = maxLength - static_cast<long>(mask.size()) + dataPositions + 1;
        return static_cast<std::uint16_t>(std::max<long>(size, 1));
      }
      return static_cast<std::uint16_t>(maxLength + 1);
    }
    case pftChar:
    case pftBoolean:
    case pftYesNo:
    case pftByte:
    case pftShortInt: return 1;
    case pftWord:
    case pftInteger: return 2;
    case pftLongInt:
    case pftSingle:
    case pftDate:
    case pftTime: return 4;
    case pftReal: return 6;
    case pftDouble:
    case pftComp: return 8;
    case pftExtended: return 10;
    default: return 0;
  }
}

// The long double of this machine is the 80-bit extended in its first 10
// bytes, little-endian; the rest is padding.
long double LoadExtended(std::span<const std::uint8_t, 10> bytes) {
  long double v = 0;
  std::memcpy(&v, bytes.data(), 10);
  return v;
}

void StoreExtended(long double value, std::span<std::uint8_t, 10> bytes) { std::memcpy(bytes.data(), &value, 10); }

namespace {
constexpr int kReal48Bias = 129;
constexpr int kReal48FractionBits = 39;
constexpr std::uint64_t kReal48HiddenBit = std::uint64_t{1} << kReal48FractionBits;
}  // namespace

long double LoadReal48(std::span<const std::uint8_t, 6> bytes) {
  if (bytes[0] == 0) return 0;
  std::uint64_t fraction = 0;
  for (int i = 5; i >= 1; --i) fraction = (fraction << 8) | bytes[i];
  bool negative = (fraction & (std::uint64_t{1} << 39)) != 0;
  fraction &= kReal48HiddenBit - 1;
  long double v =
      std::ldexp(static_cast<long double>(fraction | kReal48HiddenBit), bytes[0] - kReal48Bias - kReal48FractionBits);
  return negative ? -v : v;
}

bool StoreReal48(long double value, std::span<std::uint8_t, 6> bytes) {
  if (!std::isfinite(value)) return false;
  std::array<std::uint8_t, 6> out{};
  if (value != 0) {
    int exponent = 0;
    long double m = std::frexp(std::fabs(value), &exponent);  // |value| = m * 2^exponent, m in [0.5, 1)
    // 40 bits with the hidden one; nearbyint rounds ties to even.
    auto q = static_cast<std::uint64_t>(std::nearbyint(std::ldexp(m, kReal48FractionBits + 1)));
    int biased = exponent - 1 + kReal48Bias;
    if (q == kReal48HiddenBit << 1) {
      q >>= 1;
      ++biased;
    }
    if (biased > 255) return false;
    if (biased > 0) {
      std::uint64_t fraction = q & (kReal48HiddenBit - 1);
      if (std::signbit(value)) fraction |= kReal48HiddenBit;  // the sign takes the hidden bit's place
      out[0] = static_cast<std::uint8_t>(biased);
      for (int i = 1; i <= 5; ++i, fraction >>= 8) out[i] = static_cast<std::uint8_t>(fraction & 0xFF);
    }
  }
  std::copy(out.begin(), out.end(), bytes.begin());
  return true;
}

long double MaxReal48() { return std::ldexp(2.0L - std::ldexp(1.0L, -kReal48FractionBits), 126); }

// ---- Values of the field types ------------------------------------------------------

namespace {

template <std::size_t N>
std::span<std::uint8_t, N> Head(std::span<std::uint8_t> data) {
  return data.first<N>();
}
template <std::size_t N>
std::span<const std::uint8_t, N> Head(std::span<const std::uint8_t> data) {
  return data.first<N>();
}

}  // namespace

TFieldValue LoadFieldValue(TPictureDataType type, std::span<const std::uint8_t> data) {
  TFieldValue value;
  switch (type) {
    case pftLongInt:
    case pftDate:
    case pftTime: value.integer = LoadLE<std::int32_t>(Head<4>(data)); break;
    case pftWord: value.integer = LoadLE<std::uint16_t>(Head<2>(data)); break;
    case pftInteger: value.integer = LoadLE<std::int16_t>(Head<2>(data)); break;
    case pftShortInt: value.integer = static_cast<std::int8_t>(data[0]); break;
    case pftReal: value.real = LoadReal48(Head<6>(data)); break;
    case pftExtended: value.real = LoadExtended(Head<10>(data)); break;
    case pftDouble: value.real = LoadDouble(Head<8>(data)); break;
    case pftSingle: value.real = LoadSingle(Head<4>(data)); break;
    case pftComp: value.real = static_cast<long double>(LoadLE<std::int64_t>(Head<8>(data))); break;
    default: value.integer = data[0]; break;
  }
  return value;
}

void StoreFieldValue(TPictureDataType type, const TFieldValue& value, std::span<std::uint8_t> data) {
  switch (type) {
    case pftLongInt:
    case pftDate:
    case pftTime: StoreLE(static_cast<std::int32_t>(value.integer), Head<4>(data)); break;
    case pftWord:
    case pftInteger: StoreLE(static_cast<std::uint16_t>(value.integer), Head<2>(data)); break;
    case pftReal:
      if (!StoreReal48(value.real, Head<6>(data))) StoreReal48(0, Head<6>(data));
      break;
    case pftExtended: StoreExtended(value.real, Head<10>(data)); break;
    case pftDouble: StoreDouble(static_cast<double>(value.real), Head<8>(data)); break;
    case pftSingle: StoreSingle(static_cast<float>(value.real), Head<4>(data)); break;
    case pftComp: {
      // Within the 64-bit range (a value beyond it takes the nearest bound; NaN gives 0).
      const long double r = std::isnan(value.real) ? 0.0L : std::nearbyint(value.real);
      const long double bounded = std::clamp(r, -9223372036854775808.0L, 9223372036854775807.0L);
      StoreLE(static_cast<std::int64_t>(bounded), Head<8>(data));
      break;
    }
    default: data[0] = static_cast<std::uint8_t>(value.integer); break;
  }
}

std::vector<std::uint8_t> FieldValueBytes(TPictureDataType type, const TFieldValue& value) {
  std::vector<std::uint8_t> data(std::max<std::size_t>(DataSizeOf(type, 0, false, {}), 1));
  StoreFieldValue(type, value, data);
  return data;
}

long double InTypeWidth(TPictureDataType type, long double real) {
  return LoadFieldValue(type, FieldValueBytes(type, {0, real})).real;
}

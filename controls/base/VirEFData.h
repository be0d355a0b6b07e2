#pragma once
// The entry fields' data types and the bytes their values travel in.
//
// A field keeps one type byte: the low six bits are the data type, bit 6 marks
// a picture field and bit 7 a numeric field. Values move between a field and
// its users (cells, spinner, prompts) as a byte view laid out as the platform
// lays out the type: little-endian integers, the 6-byte real, the 80-bit
// extended in 10 bytes, a 64-bit comp; dates are 32-bit day numbers from
// 1600-01-01, times 32-bit seconds since midnight; a string is its characters
// zero-terminated in MaxLength + 1 bytes.

#include <array>
#include <bit>
#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

enum TPictureDataType : std::uint8_t {
  pftString,
  pftChar,
  pftBoolean,
  pftYesNo,
  pftLongInt,
  pftWord,
  pftInteger,
  pftByte,
  pftShortInt,
  pftReal,
  pftExtended,
  pftDouble,
  pftSingle,
  pftComp,
  pftDate,
  pftTime,
};

inline constexpr int kDataTypeCount = 16;
inline constexpr std::uint8_t kDataTypeBits = 63;
inline constexpr std::uint8_t kPictureFieldFlag = 64;
inline constexpr std::uint8_t kNumericFieldFlag = 128;

// Which family owns a field; options, painting and the caret branch on it.
enum class TFieldKind : std::uint8_t { Simple = 0, Picture = 1, Numeric = 2 };

constexpr bool IsIntegerDataType(int t) { return t >= pftLongInt && t <= pftShortInt; }
constexpr bool IsRealDataType(int t) { return t >= pftReal && t <= pftComp; }
constexpr bool IsNumericDataType(int t) { return t >= pftLongInt && t <= pftComp; }

// The picture characters of masks: each stands for one editable position.
bool IsPictureChar(char c);

// Bytes of a value of the field. A string takes MaxLength + 1; a picture
// string field (type byte exactly 64) with StripLiterals keeps only the
// positions that hold data: MaxLength - mask length + the mask's picture,
// '$' and ',' positions + 1. Unknown types take 0.
std::uint16_t DataSizeOf(std::uint8_t typeByte, int maxLength, bool stripLiterals, std::string_view mask);

// Little-endian integers of any width.
template <class T>
T LoadLE(std::span<const std::uint8_t, sizeof(T)> bytes) {
  static_assert(std::is_integral_v<T>);
  std::make_unsigned_t<T> u = 0;
  for (std::size_t i = sizeof(T); i-- > 0;) u = static_cast<decltype(u)>((u << 8) | bytes[i]);
  return static_cast<T>(u);
}

template <class T>
void StoreLE(T value, std::span<std::uint8_t, sizeof(T)> bytes) {
  static_assert(std::is_integral_v<T>);
  auto u = static_cast<std::make_unsigned_t<T>>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    bytes[i] = static_cast<std::uint8_t>(u & 0xFF);
    u = static_cast<decltype(u)>(u >> 8);
  }
}

// IEEE single and double in their little-endian bytes.
inline float LoadSingle(std::span<const std::uint8_t, 4> bytes) {
  return std::bit_cast<float>(LoadLE<std::uint32_t>(bytes));
}
inline void StoreSingle(float value, std::span<std::uint8_t, 4> bytes) {
  StoreLE(std::bit_cast<std::uint32_t>(value), bytes);
}
inline double LoadDouble(std::span<const std::uint8_t, 8> bytes) {
  return std::bit_cast<double>(LoadLE<std::uint64_t>(bytes));
}
inline void StoreDouble(double value, std::span<std::uint8_t, 8> bytes) {
  StoreLE(std::bit_cast<std::uint64_t>(value), bytes);
}

// The 80-bit extended: 64-bit mantissa with its integer bit, then the sign
// and 15-bit exponent, little-endian.
long double LoadExtended(std::span<const std::uint8_t, 10> bytes);
void StoreExtended(long double value, std::span<std::uint8_t, 10> bytes);

// The 6-byte real: byte 0 the exponent biased by 129 (0 means zero), bytes 1
// to 5 a 39-bit fraction with a hidden leading 1, the sign in the top bit of
// byte 5. 81 00 00 00 00 00 is 1.0.
long double LoadReal48(std::span<const std::uint8_t, 6> bytes);
// Rounds to the nearest 6-byte real (ties to even); values too small for it
// become 0. False, with the bytes untouched, for a value beyond its range or
// one that is not finite.
bool StoreReal48(long double value, std::span<std::uint8_t, 6> bytes);

// The largest 6-byte real, (2 - 2^-39) * 2^126, about 1.7014e38.
long double MaxReal48();

// A value of a field on its way between the text and the bytes: the integer
// types, Char, Boolean, YesNo, dates and times in `integer`; the real types
// and comp in `real` (the extended holds every comp exactly).
struct TFieldValue {
  std::int64_t integer = 0;
  long double real = 0;
};
// `data` holds at least the type's size; strings travel as text, not here. A
// 6-byte real beyond its range is stored as 0.
TFieldValue LoadFieldValue(TPictureDataType type, std::span<const std::uint8_t> data);
void StoreFieldValue(TPictureDataType type, const TFieldValue& value, std::span<std::uint8_t> data);
// The value's bytes in a buffer of the type's size.
std::vector<std::uint8_t> FieldValueBytes(TPictureDataType type, const TFieldValue& value);
// A real as its type keeps it (a double, single or 6-byte real loses digits).
long double InTypeWidth(TPictureDataType type, long double real);

#pragma once
// Picture masks: what each position of a mask-driven field may hold, and the
// conversions between the edit text and a plain value text.
//
// A mask character is a picture character (one editable position with its
// set of accepted characters and its case rule) or a literal shown as it is.
// '$' and ',' are floating positions (the floating currency symbol and the
// thousands separator of numeric masks), '.' the decimal point shown as the
// international decimal character, runs of 'c' and 'C' hold the left and right
// currency strings, and the characters 0xF1 to 0xF8 are substitution literals
// shown as the user data's characters. The edit text is always as long as the
// field's MaxLength; a mask shorter than that repeats its last character.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "controls/base/VirEFRange.h"

class EntryFieldIntl;
class TVirUserData;

// What a mask position holds.
enum TMaskPosition : std::uint8_t { mpLiteral = 0, mpPicture = 1, mpFloating = 2 };

// The characters 0xF1 to 0xF8.
bool IsSubstitutionLiteral(char c);

// The settings that the mask rules read: the international characters and
// currency strings, and the user's mask characters and substitutions.
struct TMaskContext {
  const EntryFieldIntl& intl;
  const TVirUserData& userData;
};

// The case rule of a picture character applied to c. `previous` is the
// character before the position, for 'x' (a letter after a blank or '-' is
// upper-cased); 0 stands for no previous character, which forces nothing.
char ForceCase(char pictureChar, char c, char previous, const TMaskContext& context);
// Whether a position under the picture character accepts c, after the case
// rule when forceCaseFirst (c then holds the cased character). Code 0 is
// always refused.
bool CharIsOK(char pictureChar, char& c, bool forceCaseFirst, char previous, const TMaskContext& context);

// Whether a position under the picture character takes every character as it
// is ('X'), letters that Windows-1252 lacks among them.
inline bool TakesEveryCharacter(char pictureChar) { return pictureChar == 'X'; }

// A mask laid over MaxLength positions, with its position flags.
class TPictureMask {
 public:
  TPictureMask() : TPictureMask("X", 1) {}
  TPictureMask(std::string_view mask, int maxLength);

  int Length() const { return static_cast<int>(edit_.size()); }
  // The mask as the editor applies it: MaxLength characters.
  const std::string& EditMask() const { return edit_; }
  const std::string& Mask() const { return mask_; }
  char At(int pos) const { return edit_[static_cast<std::size_t>(pos)]; }
  TMaskPosition Flag(int pos) const { return flags_[static_cast<std::size_t>(pos)]; }
  bool IsLiteral(int pos) const { return Flag(pos) == mpLiteral; }
  bool Holds(char c) const { return mask_.find(c) != std::string::npos; }

  int FloatCount() const { return floatCount_; }
  // The first non-literal position plus FloatCount (the last position when
  // every one before it is a literal).
  int FirstEditPosition() const { return firstEdit_; }
  // The last non-literal position (0 when there is none).
  int LastPicturePosition() const { return lastPicture_; }
  // The decimal point's position, or -1.
  int DecimalPos() const { return decimalPos_; }
  // The last position of the first run of '$', or -1.
  int LastDollarPos() const { return lastDollar_; }
  int DollarCount() const { return dollarCount_; }
  TDigitBase Digits() const { return digits_; }
  // The merge lays the value out as a number (right-aligned on the decimal
  // point, with currency and separators) for masks with floating positions,
  // '.', 'c', 'C', or hexadecimal, octal or binary digits.
  bool NumericStyle() const;
  // The picture character that rules a position: at a floating position the
  // last picture position's character.
  char RulingChar(int pos) const;

 private:
  std::string mask_;
  std::string edit_;
  std::vector<TMaskPosition> flags_;
  int floatCount_ = 0;
  int firstEdit_ = 0;
  int lastPicture_ = 0;
  int decimalPos_ = -1;
  int lastDollar_ = -1;
  int dollarCount_ = 0;
  TDigitBase digits_ = TDigitBase::Decimal;
};

// Edit text to a plain value text: literals dropped (the decimal point kept),
// the floating currency and thousands separators removed, the decimal
// character made '.'. A text that is not MaxLength long is returned as it is.
std::string StripText(std::string_view text, const TPictureMask& mask, const TMaskContext& context);

struct TMergeOptions {
  bool numericField = false;  // the numeric field: always the numeric layout
  bool realType = false;      // the field's data type is one of the reals
  bool rightJustify = false;  // the plain layout fills from the right
};

struct TMergeResult {
  std::string text;
  // Some of the value found no position: the text shows a different value.
  bool lostCharacters = false;
};

// A value text laid into the mask (the inverse of StripText).
TMergeResult MergeValueWithMask(std::string_view value, const TPictureMask& mask, const TMergeOptions& options,
                                const TMaskContext& context);

// Decimal alignment of a text under a mask that holds '.': the integer part
// (from the first edit position to the point) closed up to the right with a
// blank unit position made '0', and the fraction closed up to the left with
// '0' at its end.
void AlignIntegerPart(std::string& text, const TPictureMask& mask);
void AlignFraction(std::string& text, const TPictureMask& mask);

// The text of a mask without a value: literals in place (the decimal point as
// the decimal character, substitution literals as their characters, the
// currency runs filled), picture positions blank.
std::string BlankText(const TPictureMask& mask, const TMaskContext& context);

#pragma once
// Small text routines of the component library (single-byte texts; positions
// are 0-based), the Boyer-Moore search of the editor, and the key state.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Canvas.h"

// 4 upper-case hexadecimal digits; 8 for a 32-bit value; 12 octal digits.
std::string HexWord(std::uint16_t value);
std::string HexLong(std::uint32_t value);
std::string OctalLong(std::uint32_t value);

// Edits that never reach past the text: a position beyond it deletes nothing,
// copies nothing, and inserts at the end.
void DeleteChar(std::string& text, std::size_t pos);
void InsertChar(std::string& text, char ch, std::size_t pos);
void InsertRun(std::string& text, char ch, std::size_t count, std::size_t pos);
void InsertText(std::string& text, std::string_view insert, std::size_t pos);
// Removes count characters (to the end when the run passes it).
void DeleteRun(std::string& text, std::size_t pos, std::size_t count);
std::string CopyPart(std::string_view text, std::size_t pos, std::size_t count);
// True and the position of the first occurrence.
bool FindChar(std::string_view text, char ch, std::size_t& pos);
bool FindText(std::string_view text, std::string_view what, std::size_t& pos);

// A text of at most 256 characters, decimal with an optional sign or
// hexadecimal after "0x", as a 32-bit integer. False when it is not one, with
// `errorPos` the 1-based position of the first character that does not fit
// (257 for a longer text).
bool TextToNumber(std::string_view text, std::int32_t& value, int& errorPos);

// Blanks removed at both ends; characters below 33 removed at the end.
std::string TrimBlanks(std::string_view text);
std::string TrimEnd(std::string_view text);

// "1.2300E+005" → "1.23E+5", "12.500" → "12.5", "12." → "12": trailing zeros of
// the mantissa and a point left alone go, and leading zeros of the exponent.
std::string TidyRealText(std::string_view text);
// A real number as text made readable by the converter: the decimal character
// becomes '.', a point without a digit before it gets a '0', and an exponent
// without digits gets '0'.
std::string RepairRealText(std::string_view text, char decimalChar);

// count copies of ch.
std::string FillWithCharZ(std::size_t count, char ch);
// Tabs expanded with blanks to the next multiple of tabSize (tabSize < 1 counts as 1).
std::string DetabText(std::string_view text, int tabSize);

// Boyer-Moore search: the shift of each character is its distance from the
// pattern's end (the last character excluded), at most 255; characters not in
// the pattern shift by its length, at most 255.
using TBMTable = std::array<std::uint8_t, 256>;
TBMTable BoyerMooreShiftTable(std::string_view pattern);
// The position of the first occurrence, or npos; an empty pattern is found at 0.
std::size_t BoyerMooreFind(std::string_view text, std::string_view pattern, const TBMTable& table);
// The same without regard to case (ASCII and Windows-1252 letters); the table
// is made from the upper-cased pattern, BoyerMooreShiftTable(UpCaseText(pattern)).
std::size_t BoyerMooreFindNoCase(std::string_view text, std::string_view pattern, const TBMTable& table);
// Windows-1252 upper and lower case.
char UpCaseChar(char ch);
char LoCaseChar(char ch);
std::string UpCaseText(std::string_view text);

// The modifier keys held now, as the command tables count them (Shift 2, Ctrl 4, Alt 8).
std::uint8_t GetShiftFlags();
// The mouse button that acts as the primary one: 1 (the toolkit already swaps the buttons for the user).
int PrimaryMouseButtonKey();
// The font at an angle in degrees (counter-clockwise), otherwise as it is.
plat::Font CreateRotatedFontHandle(const plat::Font& font, int angle);

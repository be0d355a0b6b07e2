#pragma once
// The rules of the editing cells that need no window: how the string and
// combo-box cells read and write their owner's data, how long a text may be
// typed, when Left and Right leave an edit for the neighbouring cell, which
// text a combo-box cell shows, and how a glyph editor steps through its glyphs.
//
// Every rule works on the owner's data as a byte view and never reads or
// writes past its end.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "controls/table/VirTblDef.h"

// The most characters a length-prefixed string holds.
constexpr int kShortStringMax = 255;

// How many characters a text cell lets the user type: what will be saved.
// `maxLength` (0 lets nothing be typed), at most 255 for length-prefixed data;
// zero-terminated data also keeps room for its terminator within the data.
int TextTypingLimit(int maxLength, bool zeroTerminated, const TVirCellData& data);

// Writes a text into a cell's data, cut to `limit` characters and to the data:
// a length byte and the characters, or the characters and a terminating zero.
void StoreCellText(TVirCellData data, std::string_view text, int limit, bool zeroTerminated);

// Enter, Tab and Esc: characters an edit of the table never takes, as the table decides what they do.
constexpr bool TableCharacter(char32_t ch) { return ch == '\r' || ch == '\t' || ch == 0x1B; }

// Whether Left or Right at this place of an edit's text leaves it for the
// neighbouring cell: Left with the caret at 0 and nothing selected; Right with
// the selection's end at the end of the text, unless a selection starts past 0.
bool LeavesAtTextEnd(int key, int selStart, int selEnd, int textLength);

// The data of a combo-box cell, in this order: the chosen item (32-bit, -1 for
// none); with run-time items the address of the owner's list of items (null
// counts as empty); then a length-prefixed text.
using TVirComboItems = std::vector<std::string>;
struct TVirComboLayout {
  bool runTimeItems = false;
  static constexpr std::size_t kIndexOffset = 0;
  static constexpr std::size_t kItemsOffset = sizeof(std::int32_t);
  std::size_t TextOffset() const { return kItemsOffset + (runTimeItems ? sizeof(const TVirComboItems*) : 0); }
  // The bytes of a record whose text holds up to 255 characters.
  std::size_t Size() const { return TextOffset() + 1 + kShortStringMax; }
};
// -1 when the data is too short to hold an index.
std::int32_t ComboDataIndex(const TVirCellData& data);
void SetComboDataIndex(TVirCellData data, std::int32_t index);
// The owner's list of items; null when the data holds none.
const TVirComboItems* ComboDataItems(const TVirCellData& data, const TVirComboLayout& layout);
void SetComboDataItems(TVirCellData data, const TVirComboLayout& layout, const TVirComboItems* items);
std::string ComboDataText(const TVirCellData& data, const TVirComboLayout& layout);
void SetComboDataText(TVirCellData data, const TVirComboLayout& layout, std::string_view text, int limit);

// The text a combo-box cell paints: the chosen item when the index lies in
// the list; else, for the styles with an edit part, the data's text; else none.
std::string ComboPaintText(std::int32_t index, const TVirComboItems& items, bool hasEditPart,
                           const std::string& dataText);

// The glyph editor's index rule: a negative index becomes 0, one at or above
// the active count the last active glyph.
int ClampGlyphIndex(int index, int activeCount);
// Space steps forward and Backspace back, wrapping within the active glyphs.
int NextGlyphIndex(int index, int activeCount);
int PreviousGlyphIndex(int index, int activeCount);

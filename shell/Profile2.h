#pragma once
// The settings store: one key of one section of an ini file at a time, read
// and written as text, boolean, integer, colour, pen style or real number, and
// window placements kept in section "WinPos".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class TProfile2 {
 public:
  // The ini file; a bare name lives in the program's settings folder.
  std::string FileName = "WIN.INI";
  std::string Section;
  std::string Entry;
  // Returned by Text() when the key is missing.
  std::string DefaultText;

  // The key's value (at most 255 characters), DefaultText when the key is
  // missing, and an empty text unless FileName, Section and Entry are all set.
  std::string Text();
  // Writes the key; an empty text removes it. Nothing happens unless FileName,
  // Section and Entry are all set.
  void SetText(std::string_view text);

  // True for "TRUE" or "YES" in any case, or "1"; written as "True" or "False".
  bool State();
  void SetState(bool state);
  // The text as an integer; a text that is no integer raises rtl::EConvertError.
  std::int32_t Value();
  void SetValue(std::int32_t value);
  // As Value, but 0 for an empty text.
  std::uint32_t Color();
  void SetColor(std::uint32_t color);
  std::int32_t PenStyle();
  void SetPenStyle(std::int32_t style);
  // 0 for an empty text; written with five decimals.
  double FPvalue();
  void SetFPvalue(double value);

  // The last text read or written.
  const std::string& LastText() const { return lastText_; }

 private:
  bool Addressed() const;
  std::string lastText_;
};

// A window's placement, as the ten numbers stored under the window's name.
struct TWindowPlacement {
  std::int32_t flags = 0;
  std::int32_t showCmd = 1;
  std::int32_t minX = 0, minY = 0;
  std::int32_t maxX = 0, maxY = 0;
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The placement stored under the window's name in section "WinPos". A missing
// or malformed number takes its default (1 for the show state, 0 otherwise);
// nothing comes back unless the normal rectangle's right lies right of its left.
std::optional<TWindowPlacement> ReadWindowPlacement(TProfile2& profile, std::string_view windowName);
// Stores the ten numbers, each followed by one blank.
void WriteWindowPlacement(TProfile2& profile, std::string_view windowName, const TWindowPlacement& placement);

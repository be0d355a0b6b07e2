#pragma once
// The axis dialog's rules without its window: what each of its controls
// changes on one axis and that axis's title, the backups that Cancel puts
// back, the texts of the range edits and which controls an axis with interval
// labels leaves usable.
//
// Every change takes effect at once and runs the apply callback (the plot
// window's Replot). Cancel restores the axis's ticks, pens, scale font and
// format, range and rectangle and the title's text, font and size; the
// autoscale, show-scale and interval-labels flags and the scale font size
// stay as they are.

#include <functional>
#include <string>
#include <string_view>

#include "plot/bmParts.h"

// Which of the axis dialog's controls can be used. An axis with interval
// labels has no scale numbers to format, no tick counts, no reference lines
// and no range of its own; a Y axis with them has no tick length or side either.
struct TbmAxisControlsEnabled {
  bool ScaleAndTickCounts = true;  // field width, decimals, major and minor tick counts
  bool MajorLengthAndInside = true;
  bool MinorLengthRefLinesRange = true;  // minor tick length, reference lines, range and autoscale
};
TbmAxisControlsEnabled AxisControlsEnabled(const TbmAxisClass& axis);

class TbmAxisOptions {
 public:
  static constexpr int kMaxScaleWidth = 16;
  static constexpr int kMaxScaleDecimals = 8;
  static constexpr int kMaxTicks = 32;
  static constexpr int kMaxRefLines = 16;
  static constexpr int kMinPenWidth = 1;
  static constexpr int kMaxPenWidth = 8;

  // Keeps the backups of both parts.
  TbmAxisOptions(TbmLabelClass& title, TbmAxisClass& axis, std::function<void()> apply);

  TbmAxisClass& Axis() { return axis_; }
  TbmLabelClass& Title() { return title_; }

  // The text of a range edit: the value written with the axis's scale width and decimals.
  std::string RangeText(double value) const;
  std::string MinText() const { return RangeText(axis_.Min); }
  std::string MaxText() const { return RangeText(axis_.Max); }

  // Each sets its value and applies. The title applies only when the text differs.
  void SetTitleText(const std::string& text);
  void SetScaleWidth(int width);
  void SetScaleDecimals(int decimals);
  void SetMajorCount(int count);
  void SetMinorCount(int count);
  void SetTicksInside(bool inside);
  void SetRefLineCount(int count);
  // Widths outside 1 .. 8 are not taken; style codes: 1 dotted, 2 dashed, else solid.
  void SetAxisPenWidth(int width);
  void SetAxisPenStyle(int code);
  void SetAxisPenColor(plat::Color color);
  void SetRefLinePenWidth(int width);
  void SetRefLinePenStyle(int code);
  void SetRefLinePenColor(plat::Color color);
  // A font and its size in hundredths of an inch, as the font dialog took them.
  void SetTitleFont(const plat::Font& font, int size);
  void SetScaleFont(const plat::Font& font, int size);
  // Runs the apply callback, after a change made on the axis itself (a measured tick length).
  void Apply();

  // Typing in a range edit: the axis no longer autoscales (nothing is redrawn).
  void StopAutoscale() { axis_.Autoscale = false; }
  // Reads both range edits as "axis minimum" and "axis maximum" and sets the
  // two bounds together, the smaller as the minimum; applies when the range
  // changed. An edit still showing the text written for its bound keeps that
  // bound exactly. Text that is no number, or a minimum equal to the maximum,
  // raises E_Morvapc and leaves the range as it was.
  void SetRange(std::string_view minText, std::string_view maxText);
  // The autoscale box: when unchecked, the range is read from the edits as by SetRange; applies.
  void SetAutoscale(bool checked, std::string_view minText, std::string_view maxText);

  // The dialog closes: without OK the axis and title are put back from their backups; applies in both cases.
  void Close(bool ok);

 private:
  double ReadBound(std::string_view text, double current, std::string_view fieldName) const;
  // SetRange without applying; true when the range changed.
  bool StoreRange(std::string_view minText, std::string_view maxText);
  // Sets one field of a part and applies.
  template <class T, class V>
  void Set(T& field, V value) {
    field = value;
    Apply();
  }

  TbmLabelClass& title_;
  TbmAxisClass& axis_;
  std::function<void()> apply_;
  const TbmLabelClass titleBackup_;
  const TbmAxisClass axisBackup_;
};

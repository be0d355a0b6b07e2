#include "plot/bmAxisOptions.h"

#include <algorithm>
#include <utility>

#include "matrix/Constu.h"
#include "rtl/Format.h"

TbmAxisControlsEnabled AxisControlsEnabled(const TbmAxisClass& axis) {
  if (!axis.IntervalLabels) return {};
  return {false, axis.IsXAxis, false};
}

TbmAxisOptions::TbmAxisOptions(TbmLabelClass& title, TbmAxisClass& axis, std::function<void()> apply)
    : title_(title), axis_(axis), apply_(std::move(apply)), titleBackup_(title), axisBackup_(axis) {}

void TbmAxisOptions::Apply() {
  if (apply_) apply_();
}

std::string TbmAxisOptions::RangeText(double value) const {
  const int width = std::clamp(axis_.ScaleWidth, 0, kMaxScaleWidth);
  const int decimals = std::clamp(axis_.ScaleDecimals, 0, kMaxScaleDecimals);
  return rtl::Format("%*.*f", width, decimals, value);
}

void TbmAxisOptions::SetTitleText(const std::string& text) {
  if (text == title_.Text) return;
  title_.Text = text;
  Apply();
}

void TbmAxisOptions::SetScaleWidth(int width) { Set(axis_.ScaleWidth, width); }

void TbmAxisOptions::SetScaleDecimals(int decimals) { Set(axis_.ScaleDecimals, decimals); }

void TbmAxisOptions::SetMajorCount(int count) { Set(axis_.MajorCount, count); }

void TbmAxisOptions::SetMinorCount(int count) { Set(axis_.MinorCount, count); }

void TbmAxisOptions::SetTicksInside(bool inside) { Set(axis_.TicksInside, inside); }

void TbmAxisOptions::SetRefLineCount(int count) { Set(axis_.RefLineCount, count); }

namespace {

bool TakePenWidth(plat::Pen& pen, int width) {
  if (width < TbmAxisOptions::kMinPenWidth || width > TbmAxisOptions::kMaxPenWidth) return false;
  pen.width = width;
  return true;
}

}  // namespace

void TbmAxisOptions::SetAxisPenWidth(int width) {
  if (TakePenWidth(axis_.AxisPen, width)) Apply();
}

void TbmAxisOptions::SetAxisPenStyle(int code) { Set(axis_.AxisPen.style, LineStyleOfCode(code)); }

void TbmAxisOptions::SetAxisPenColor(plat::Color color) { Set(axis_.AxisPen.color, color); }

void TbmAxisOptions::SetRefLinePenWidth(int width) {
  if (TakePenWidth(axis_.RefLinePen, width)) Apply();
}

void TbmAxisOptions::SetRefLinePenStyle(int code) { Set(axis_.RefLinePen.style, LineStyleOfCode(code)); }

void TbmAxisOptions::SetRefLinePenColor(plat::Color color) { Set(axis_.RefLinePen.color, color); }

void TbmAxisOptions::SetTitleFont(const plat::Font& font, int size) {
  title_.Font = font;
  Set(title_.Size, size);
}

void TbmAxisOptions::SetScaleFont(const plat::Font& font, int size) {
  axis_.ScaleFont = font;
  Set(axis_.ScaleFontSize, size);
}

// The text the dialog wrote for a bound stands for the bound itself, so that
// an edit left alone never rounds the bound to the decimals shown.
double TbmAxisOptions::ReadBound(std::string_view text, double current, std::string_view fieldName) const {
  if (text == RangeText(current)) return current;
  double value = 0;
  EditToReal(text, fieldName, value);
  return value;
}

bool TbmAxisOptions::StoreRange(std::string_view minText, std::string_view maxText) {
  double lo = ReadBound(minText, axis_.Min, "axis minimum");
  double hi = ReadBound(maxText, axis_.Max, "axis maximum");
  if (lo == axis_.Min && hi == axis_.Max) return false;
  if (lo == hi) throw E_Morvapc("The axis minimum must differ from the axis maximum");
  if (lo > hi) std::swap(lo, hi);
  axis_.Min = lo;
  axis_.Max = hi;
  axis_.Range = hi - lo;
  return true;
}

void TbmAxisOptions::SetRange(std::string_view minText, std::string_view maxText) {
  if (StoreRange(minText, maxText)) Apply();
}

void TbmAxisOptions::SetAutoscale(bool checked, std::string_view minText, std::string_view maxText) {
  axis_.Autoscale = checked;
  if (!checked) StoreRange(minText, maxText);
  Apply();
}

void TbmAxisOptions::Close(bool ok) {
  if (!ok) {
    title_.Text = titleBackup_.Text;
    title_.Font = titleBackup_.Font;
    title_.Size = titleBackup_.Size;
    title_.Rect = titleBackup_.Rect;

    const TbmAxisClass& b = axisBackup_;
    axis_.IsXAxis = b.IsXAxis;
    axis_.ScaleWidth = b.ScaleWidth;
    axis_.ScaleDecimals = b.ScaleDecimals;
    axis_.ScaleFont = b.ScaleFont;
    axis_.TicksInside = b.TicksInside;
    axis_.MajorCount = b.MajorCount;
    axis_.MajorLength = b.MajorLength;
    axis_.MajorPixels = b.MajorPixels;
    axis_.MinorCount = b.MinorCount;
    axis_.MinorLength = b.MinorLength;
    axis_.MinorPixels = b.MinorPixels;
    axis_.RefLineCount = b.RefLineCount;
    axis_.AxisPen = b.AxisPen;
    axis_.RefLinePen = b.RefLinePen;
    axis_.Min = b.Min;
    axis_.Max = b.Max;
    axis_.Range = b.Max - b.Min;
    axis_.Rect = b.Rect;
  }
  Apply();
}

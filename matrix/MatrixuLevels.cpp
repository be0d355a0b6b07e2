#include "matrix/MatrixuLevels.h"

#include <array>
#include <cmath>
#include <string>

#include "matrix/Constu.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"

namespace {

// The drawing area: W columns, a scale label every 10 columns.
constexpr std::int32_t kWidth = 61;
constexpr std::int32_t kScaleLabels = 7;

// The round interval lengths NiceScale chooses from (per power of ten).
constexpr std::array<double, 12> kIntervals = {1, 1.2, 1.6, 2, 2.5, 3, 4, 5, 6, 8, 10, 15};

// The scale line: high at the left, falling by one step every 10 columns.
std::string ScaleLine(double low, double high, double perCol) {
  double inc = 10 * perCol;
  if (low < high) inc = -inc;
  double label = high;
  std::string line = rtl::Format("%6.3f", label);
  for (std::int32_t k = 2; k <= kScaleLabels; ++k) {
    label += inc;
    line += rtl::Format("%10.3f", label);
  }
  return line;
}

std::string RulerLine() {
  std::string line = " ";
  for (std::int32_t col = 1; col <= kWidth; ++col) line += (col % 10 == 1) ? '|' : '-';
  return line + "       Level";
}

// The column (1 .. W, counted from the left) where the stroke of level v ends.
std::int32_t StrokeEnd(double v, double low, double perCol) {
  std::int64_t pos = rtl::Round(std::fabs(low - v) / perCol + 1.5);
  if (pos < 1) pos = 1;
  if (pos > kWidth) pos = kWidth;
  return kWidth - static_cast<std::int32_t>(pos) + 1;
}

void RefuseLevel(std::int32_t node, double v) {
  throw E_Morvapc(rtl::Format("The level of tree node %d is not a finite number (%s);\nthe levels cannot be listed.",
                              node, rtl::FloatToStrGeneral(v, 15)));
}

}  // namespace

void NiceScale(std::int32_t count, double xmin, double xmax, double& low, double& high, double& step, bool& failed) {
  failed = xmax < xmin || count < 2 || !std::isfinite(xmin) || !std::isfinite(xmax);
  if (failed) return;
  const double fn = count - 1;
  const double t = xmax == 0 ? 1.0 : std::fabs(xmax);
  if ((xmax - xmin) / t <= 5e-7) {
    if (xmax < 0) {
      xmax = 0;
    } else if (xmax == 0) {
      xmax = 1;
    } else {
      xmin = 0;
    }
  }
  const double a = (xmax - xmin) / fn;
  double al = a;
  while (al < 1) al *= 10;
  while (al >= 10) al *= 0.1;
  std::size_t i = 0;
  while (i + 1 < kIntervals.size() && al - 1e-5 > kIntervals[i]) ++i;
  for (;;) {
    step = a * kIntervals[i] / al;
    const double span = step * fn;
    const double mid = ((xmin + xmax - span) / step + 1) * 0.5;
    std::int64_t m = rtl::Trunc(mid - 1e-5);
    if (mid < 0) --m;
    low = static_cast<double>(m) * step;
    high = low + span;
    if (!(high < xmax || low > xmin) || i + 1 >= kIntervals.size()) return;
    ++i;
  }
}

void ListLevels(std::int32_t n, const Tree_mx& tree, const Label_mx& labels) {
  double xmin = tree.GetValue(1);
  double xmax = xmin;
  for (std::int32_t i = 1; i < n; ++i) {
    const double v = tree.GetValue(i);
    if (!std::isfinite(v)) RefuseLevel(i, v);
    if (v < xmin) xmin = v;
    if (v > xmax) xmax = v;
  }
  double low = 0;
  double high = 1;
  double step = 1;
  bool failed = false;
  NiceScale(kScaleLabels, xmin, xmax, low, high, step, failed);
  const double perCol = (kScaleLabels - 1) * step / (kWidth - 1);
  const std::int32_t width = labels.GetWidth();

  ListingWriteLine("");
  ListingWriteLine(ScaleLine(low, high, perCol));
  ListingWriteLine(RulerLine());
  // bar[c - 1] is column c of the drawing.
  std::string bar(kWidth, ' ');
  for (std::int32_t i = 1; i < n; ++i) {
    const double v = tree.GetValue(i);
    const std::int32_t c0 = StrokeEnd(v, low, perCol);
    bar[c0 - 1] = '.';
    for (std::int32_t c = c0 + 1; c <= kWidth; ++c) bar[c - 1] = bar[c - 1] == ' ' ? '-' : 'L';
    ListingWriteLine(" " + bar + labels.GetFixedWidthLabel(tree.GetPointer(i), width) + " " + rtl::Format("%6.3f", v));
    for (std::int32_t c = c0 + 1; c <= kWidth; ++c) bar[c - 1] = ' ';
    bar[c0 - 1] = '|';
  }
  for (char& ch : bar) ch = ch == '|' ? 'L' : '-';
  ListingWriteLine(" " + bar + labels.GetFixedWidthLabel(tree.GetPointer(n), width) + " -----");
  ListingWriteLine("");
}

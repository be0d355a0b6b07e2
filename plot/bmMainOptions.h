#pragma once
// The rules of the main plot options dialog: every change goes into the plot
// parts at once and the plot is redrawn through the apply callback; Cancel
// (or the close box) puts back what the backup holds and redraws.
//
// The backup holds the three background colours, the frame pen, the centre
// and show-frame flags, the four margins, text, font and size of the four
// titles, of each axis the scale (shown, width, decimals, font and size),
// ticks (inside, counts and lengths), reference-line count and both pens, of
// the legend the show flag, font, size, placement, entry count and
// background flag, and the print preview with its page. Preserve aspect, the
// axis ranges and autoscale flags stay as changed.

#include <functional>

#include "plot/bmParts.h"

// Puts the backed-up fields of `from` into `to`.
void RestoreMainOptionsBackup(const TbmPlot2DPlotPartsClass& from, TbmPlot2DPlotPartsClass& to);

enum class TbmMarginSide { Top, Left, Bottom, Right };
enum class TbmPlotColor { Margin, PlotArea, InnerMargin, Frame };

class TbmMainPlotOptions {
 public:
  static constexpr int kMinFrameWidth = 1;
  static constexpr int kMaxFrameWidth = 8;

  // Backs up `parts`, which must outlive the options.
  TbmMainPlotOptions(TbmPlot2DPlotPartsClass& parts, std::function<void()> apply);

  const TbmPlot2DPlotPartsClass& Parts() const { return parts_; }

  // How the controls start: the legend's controls only when the last legend
  // layout counted entries; the frame style's item (0 solid, 1 dotted, 2 dashed).
  bool LegendEnabled() const { return parts_.Legend.EntryCount != 0; }
  int FrameStyleIndex() const;

  // While true (the controls being loaded), the changes below do nothing.
  bool Loading = false;

  void SetCenter(bool center);
  void SetShowFrame(bool show);
  void SetPreserveAspect(bool preserve);
  // Taken only within kMinFrameWidth .. kMaxFrameWidth.
  void SetFrameWidth(int width);
  // 1 dotted, 2 dashed, anything else solid.
  void SetFrameStyle(int index);
  void SetLegendShow(bool show);
  // Redraws only when the placement changes.
  void SetLegendPlacement(int placement);
  plat::Color ColorOf(TbmPlotColor which) const;
  void SetColor(TbmPlotColor which, plat::Color color);
  // The legend font and its size in hundredths of an inch.
  void SetLegendFont(const plat::Font& font, int size);

  // The margin a length button measures; Apply redraws after it changed.
  int& MarginSize(TbmMarginSide side);
  void Apply();

  // OK keeps the changes; Close puts back the backup unless OK was pressed,
  // then redraws in either case.
  void PressOk() { okPressed_ = true; }
  void Close();

 private:
  // Runs `change` and redraws, unless the controls are loading.
  template <class F>
  void Change(F change);

  TbmPlot2DPlotPartsClass& parts_;
  TbmPlot2DPlotPartsClass backup_;
  std::function<void()> apply_;
  bool okPressed_ = false;
};

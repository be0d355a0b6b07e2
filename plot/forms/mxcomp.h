#pragma once
// Module 26, MXCOMP: compares two symmetric matrices over the same objects,
// data set by data set (plot/mxcompStats.h holds the statistics), then opens
// TMxCompPlt, the scatter of the matching entries of X and Y.

#include <cstdint>
#include <memory>
#include <span>

#include "plot/forms/bmPlt2BC.h"
#include "plot/mxcompStats.h"
#include "rtl/TextFile.h"
#include "shell/Modules.h"

class TMxCompPlt : public TbmPlt2BC {
 public:
  // The matrices stay the module's; the plot shares them while it lives.
  TMxCompPlt(std::shared_ptr<const TMxCompData> data, std::int32_t helpContext);

  void Show() override;
  // Opens the options window, modal.
  void Options() override;

  // The points and highlight symbol styles.
  void SetUpPlot(Tbm2DPlot& plot) override;
  // Draws the current data set.
  void DrawOn(Tbm2DPlot& plot) override;

  // What the options window changes. Highlight k picks every pair with
  // object k; 0 picks none.
  std::int32_t Highlight() const { return Highlight_; }
  void SetHighlight(std::int32_t object) { Highlight_ = object; }
  bool Diagonals() const { return Diagonals_; }
  void SetDiagonals(bool diagonals) { Diagonals_ = diagonals; }

  std::int32_t CurrentGroup() const { return Current; }
  // The labels and the object count of the X matrix drawn last.
  const Label_mx* Labels() const { return Labels_.get(); }
  std::int32_t ObjectCount() const { return ObjectCount_; }

  std::int32_t PointsStyle() const { return PointsStyle_; }
  std::int32_t HighlightStyle() const { return HighlightStyle_; }

 private:
  std::int32_t PointsStyle_ = 0;
  std::int32_t HighlightStyle_ = 0;
  std::int32_t Highlight_ = 0;
  bool Diagonals_ = false;
  std::shared_ptr<const TMxCompData> Data_;
  std::shared_ptr<const Label_mx> Labels_;
  std::int32_t ObjectCount_ = 0;
};

void MxCompDescribe(TModuleRec& module);
void MxCompRun(std::span<const TParamRec> params);
// Closes the plot, then lets go of the matrices.
void MxCompRelease();
void MxCompClosePlot();

// The module's plot, or null when none is open.
TMxCompPlt* MxCompPlot();
// The matrices of the last run; null before a run and after the release.
std::shared_ptr<const TMxCompData> MxCompKept();

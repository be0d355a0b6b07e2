#pragma once
// Module 27, TREE: reads every tree matrix of a file and draws them as
// dendrograms, one at a time, in a plot window. Its plot client, TTreePlt,
// also serves the "Plot tree" buttons of the clustering modules.

#include <functional>
#include <memory>
#include <span>
#include <string>

#include "matrix/Matrixob.h"
#include "rtl/TextFile.h"
#include "plot/forms/bmPlt2BC.h"
#include "plot/optionRules.h"
#include "shell/Modules.h"
#include "shell/PlotWindows.h"

// The band of rows one page shows, in world y (row 1 is at y = n).
struct TTreePage {
  double top = 0;     // world y of the band's top edge
  double bottom = 0;  // top minus the rows per page
};

class TTreePlt : public TbmPlt2BC {
 public:
  // The trees stay the caller's; the plot shares them while it lives.
  TTreePlt(std::shared_ptr<const TTreeMxList> trees, std::string windowName, std::int32_t helpContext);

  void Show() override { ShowNamed(WindowName_); }

  // The branch and label styles and the axes' looks.
  void SetUpPlot(Tbm2DPlot& plot) override;
  // Draws the current tree.
  void DrawOn(Tbm2DPlot& plot) override;

  // Opens the options window on this plot, modally; it is freed when it closes.
  void Options() override;

  // Paging, as the options window changes it.
  std::int32_t CurrentTree() const { return Current; }
  TTreePaging& Paging() { return Paging_; }
  std::int32_t CurrentPage() const { return Paging_.currentPage; }
  void SetCurrentPage(std::int32_t page) { Paging_.currentPage = page; }
  std::int32_t OtusPerPage() const { return Paging_.otusPerPage; }
  void SetOtusPerPage(std::int32_t count) { Paging_.otusPerPage = count; }
  std::int32_t PageCount() const { return Paging_.pageCount; }
  std::int32_t NodeCount() const { return Paging_.nodeCount; }
  // The pages the tree of a data group has when it is drawn next.
  std::int32_t PageCountOf(std::int32_t group) const;
  const std::string& WindowName() const { return WindowName_; }

  // The styles the options window edits.
  std::int32_t LineStyle() const { return LineStyle_; }
  std::int32_t TextStyle() const { return TextStyle_; }

  // Runs when a drawing moved the current page back within the pages (the
  // open options window shows the page then).
  std::function<void()> OnPageMoved;

 private:
  TTreePage SelectPage(const Tree_mx& tree, bool treeChanged);
  void DrawDendrogram(Tbm2DPlot& plot, const Tree_mx& tree, const TTreePage& page, double xmin, double xmax);

  std::int32_t LineStyle_ = 0;
  std::int32_t TextStyle_ = 0;
  TTreePaging Paging_;
  std::shared_ptr<const TTreeMxList> Trees_;
  double Direction_ = -1.0;
  std::string WindowName_;
};

// The opener of the clustering modules' tree plots: a TTreePlt, shown.
std::unique_ptr<TPlotObject> OpenTreePlotWindow(const TTreePlotRequest& request);

void TreeDescribe(TModuleRec& module);
void TreeRun(std::span<const TParamRec> params);
// Closes the plot and lets go of the trees.
void TreeRelease();
void TreeClosePlot();
// Appends every tree of the file to the list, listing each header.
void TreeReadTrees(rtl::TextReader& f, TTreeMxList& trees);

// The module's plot, or null when none is open (for tests and the options window).
TTreePlt* TreePlot();

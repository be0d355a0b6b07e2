#pragma once
// The base of every plot client: the object a module makes over its kept
// results, that opens one plot window, draws its data whenever the window
// paints and opens the plot's own options window.
//
// The client keeps a weak reference to its window: a window the user closed
// leaves no dangling pointer, so a module may always free its client, which
// it holds as the plot object of one of its plot buttons.

#include <cstdint>
#include <string>
#include <utility>

#include "platform/Lifetime.h"
#include "plot/forms/bm2DForm.h"
#include "shell/PlotWindows.h"

class TbmPlt2BC : public TPlotObject {
 public:
  ~TbmPlt2BC() override;

  // Opens the plot window with this client's Draw and Options and shows it.
  virtual void Show();
  // The window's paint callback: draws the current group on the window's plot.
  virtual void Draw();
  // The options callback: opens the plot's options window.
  virtual void Options() {}

  // What Show does to a newly opened window's plot: the client's styles and
  // the looks of the plot's parts.
  virtual void SetUpPlot(Tbm2DPlot&) {}
  // Draws the current group on a plot set up by SetUpPlot.
  virtual void DrawOn(Tbm2DPlot&) {}

  // The plot's title and subtitle, as the options window sets them; the
  // plot shows them from its next drawing on.
  void SetPlotTitle(std::string title) { TitleText = std::move(title); }
  void SetPlotSubTitle(std::string subTitle) { SubTitleText = std::move(subTitle); }
  const std::string& PlotTitle() const { return TitleText; }
  const std::string& PlotSubTitle() const { return SubTitleText; }

  // The plot window; null before Show and once it has been closed.
  Tbm2DForm* Window() const { return Window_.Get(); }

 protected:
  TbmPlt2BC() = default;
  // A client of groupCount data groups whose window has the help context and caption given.
  TbmPlt2BC(std::int32_t groupCount, std::int32_t helpContext, std::string caption)
      : GroupCount(groupCount), HelpContext(helpContext), Title(std::move(caption)) {}

  // A subclass's Show: opens and shows the window, names it, gives it the
  // caption and sets up its plot.
  void ShowNamed(const std::string& windowName);
  // The start of a subclass's Draw: sets the plot's title and subtitle and
  // takes the group the window shows as the current one; when that changed,
  // both axes autoscale again and the result is true.
  bool TakeGroup(Tbm2DPlot& plot);

  std::int32_t GroupCount = 1;
  std::int32_t Current = 0;  // the group drawn last
  std::int32_t HelpContext = 0;
  std::string TitleText;  // plot title and subtitle set by the options window
  std::string SubTitleText;
  std::string Title;  // the window caption

 private:
  plat::WeakRef<Tbm2DForm> Window_;
};

#pragma once
// The plot windows a module opens over the results it keeps. The windowed
// part of the program installs the openers at start-up, the way the shared
// services are installed; without them (a program built without windows, or a
// test) a plot button opens nothing.
//
// A module keeps its results by shared ownership: each plot it opens shares
// them, so a window never shows freed data, whatever the module's next run or
// release does to its own reference.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "matrix/Matrixob.h"

// An open plot. Freeing it closes its window, unless the user closed that
// already.
class TPlotObject {
 public:
  virtual ~TPlotObject() = default;
  TPlotObject(const TPlotObject&) = delete;
  TPlotObject& operator=(const TPlotObject&) = delete;

 protected:
  TPlotObject() = default;
};

// A dendrogram of each tree of the list, one at a time.
struct TTreePlotRequest {
  std::shared_ptr<const TTreeMxList> results{};
  std::string windowName{};  // unique per module and button, such as "SAHNTreeF"
  std::int32_t helpContext = 1;
};

// A 2-D scatter plot of the matrices of the list, one a data set: with
// pointsAreColumns each column is a point placed at rows x and y, else each
// row is a point placed at columns x and y.
struct TMatrixPlotRequest {
  std::shared_ptr<const TRectMxList> results{};
  bool pointsAreColumns = false;
  std::int32_t x = 1;
  std::int32_t y = 2;
  std::string windowName{};  // such as "ProjMxPlotF1"
  std::int32_t helpContext = 1;
};

// A 3-D perspective plot of the matrices of the list, seen from the view
// angles alpha and beta at the viewing distance.
struct TMatrix3DPlotRequest {
  std::shared_ptr<const TRectMxList> results{};
  bool pointsAreColumns = false;
  std::int32_t x = 1;
  std::int32_t y = 2;
  std::int32_t z = 3;
  double alpha = 30;
  double beta = 30;
  double distance = 999;
  std::string windowName{};  // such as "ProjMod3DF2"
  std::int32_t helpContext = 1;
};

// Each opener creates the plot object, shows its window and hands it over.
struct TPlotOpeners {
  std::function<std::unique_ptr<TPlotObject>(const TTreePlotRequest&)> tree{};
  std::function<std::unique_ptr<TPlotObject>(const TMatrixPlotRequest&)> matrix{};
  std::function<std::unique_ptr<TPlotObject>(const TMatrix3DPlotRequest&)> matrix3D{};
};

// Replaces the installed openers and returns the previous ones.
TPlotOpeners InstallPlotOpeners(TPlotOpeners openers);

// The plot, open and shown; null when no opener of its kind is installed.
std::unique_ptr<TPlotObject> OpenTreePlot(const TTreePlotRequest& request);
std::unique_ptr<TPlotObject> OpenMatrixPlot(const TMatrixPlotRequest& request);
std::unique_ptr<TPlotObject> OpenMatrix3DPlot(const TMatrix3DPlotRequest& request);

// The plot objects of a module's plot buttons (1 to 4), null where no plot
// is open: what the buttons' plot and close routines and the module's
// release routine work on.
class TModulePlots {
 public:
  // A plot routine: nothing when the request holds no results; otherwise
  // frees the button's plot (closing its window), then opens the new one.
  void Open(int button, const TTreePlotRequest& request);
  void Open(int button, const TMatrixPlotRequest& request);
  void Open(int button, const TMatrix3DPlotRequest& request);
  // A close routine: frees the button's plot, closing its window.
  void Close(int button);
  // The release routine's part: every button's close routine.
  void CloseAll();
  bool IsOpen(int button) const;

 private:
  template <class Request>
  void OpenWith(int button, const Request& request, std::unique_ptr<TPlotObject> (*open)(const Request&));
  std::unique_ptr<TPlotObject>& At(int button);
  const std::unique_ptr<TPlotObject>& At(int button) const;

  std::array<std::unique_ptr<TPlotObject>, 4> plots_;
};

#pragma once
// The plot-window openers, recorded while the object lives: every request a
// plot button makes, and no window. The openers installed before come back at
// the end.

#include <memory>
#include <utility>
#include <vector>

#include "shell/PlotWindows.h"

namespace testsupport {

class RecordingPlotOpeners {
 public:
  RecordingPlotOpeners() {
    TPlotOpeners openers;
    openers.tree = [this](const TTreePlotRequest& r) { return Record(trees, r); };
    openers.matrix = [this](const TMatrixPlotRequest& r) { return Record(plots, r); };
    openers.matrix3D = [this](const TMatrix3DPlotRequest& r) { return Record(plots3D, r); };
    old_ = InstallPlotOpeners(std::move(openers));
  }
  ~RecordingPlotOpeners() { InstallPlotOpeners(std::move(old_)); }
  RecordingPlotOpeners(const RecordingPlotOpeners&) = delete;
  RecordingPlotOpeners& operator=(const RecordingPlotOpeners&) = delete;

  std::vector<TTreePlotRequest> trees;
  std::vector<TMatrixPlotRequest> plots;
  std::vector<TMatrix3DPlotRequest> plots3D;

 private:
  template <class Request>
  static std::unique_ptr<TPlotObject> Record(std::vector<Request>& requests, const Request& request) {
    requests.push_back(request);
    return nullptr;
  }

  TPlotOpeners old_;
};

}  // namespace testsupport

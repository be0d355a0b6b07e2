#include "shell/PlotWindows.h"

#include <utility>

#include "matrix/Constu.h"
#include "rtl/Format.h"

namespace {

TPlotOpeners& Openers() {
  static TPlotOpeners openers;
  return openers;
}

template <class Request>
std::unique_ptr<TPlotObject> OpenedBy(const std::function<std::unique_ptr<TPlotObject>(const Request&)>& opener,
                                      const Request& request) {
  return opener ? opener(request) : nullptr;
}

}  // namespace

TPlotOpeners InstallPlotOpeners(TPlotOpeners openers) { return std::exchange(Openers(), std::move(openers)); }

std::unique_ptr<TPlotObject> OpenTreePlot(const TTreePlotRequest& request) { return OpenedBy(Openers().tree, request); }

std::unique_ptr<TPlotObject> OpenMatrixPlot(const TMatrixPlotRequest& request) {
  return OpenedBy(Openers().matrix, request);
}

std::unique_ptr<TPlotObject> OpenMatrix3DPlot(const TMatrix3DPlotRequest& request) {
  return OpenedBy(Openers().matrix3D, request);
}

template <class Request>
void TModulePlots::OpenWith(int button, const Request& request, std::unique_ptr<TPlotObject> (*open)(const Request&)) {
  if (!request.results) return;
  Close(button);
  At(button) = open(request);
}

void TModulePlots::Open(int button, const TTreePlotRequest& request) { OpenWith(button, request, OpenTreePlot); }

void TModulePlots::Open(int button, const TMatrixPlotRequest& request) { OpenWith(button, request, OpenMatrixPlot); }

void TModulePlots::Open(int button, const TMatrix3DPlotRequest& request) {
  OpenWith(button, request, OpenMatrix3DPlot);
}

void TModulePlots::Close(int button) { At(button).reset(); }

void TModulePlots::CloseAll() {
  for (auto& plot : plots_) plot.reset();
}

bool TModulePlots::IsOpen(int button) const { return At(button) != nullptr; }

std::unique_ptr<TPlotObject>& TModulePlots::At(int button) {
  return const_cast<std::unique_ptr<TPlotObject>&>(std::as_const(*this).At(button));
}

const std::unique_ptr<TPlotObject>& TModulePlots::At(int button) const {
  if (button < 1 || button > static_cast<int>(plots_.size())) {
    throw E_Morvapc_Internal(rtl::Format("Out of range button index: %d", button));
  }
  return plots_[static_cast<std::size_t>(button - 1)];
}

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/Form.h"
#include "plot/forms/GraphicsModules.h"
#include "plot/forms/bm2DForm.h"
#include "rtl/Exception.h"
#include "shell/PlotWindows.h"
#include "tools/qmbrun/WindowedPart.h"

namespace {

// The plot windows shown now (a closed one may wait to be freed).
std::vector<Tbm2DForm*> PlotWindows() {
  std::vector<Tbm2DForm*> windows;
  for (plat::Form* form : plat::Forms()) {
    if (auto* window = dynamic_cast<Tbm2DForm*>(form); window != nullptr && window->Visible()) {
      windows.push_back(window);
    }
  }
  return windows;
}

TbmPageFile PageFileOf(TPlotFileFormat format) {
  switch (format) {
    case TPlotFileFormat::Png: return TbmPageFile::Png;
    case TPlotFileFormat::Emf: return TbmPageFile::Emf;
    case TPlotFileFormat::Pdf: break;
  }
  return TbmPageFile::Pdf;
}

}  // namespace

const bool kWithWindows = true;

// Plot windows open offscreen unless the caller chose a platform: without a
// display the default one would end the program.
void AddWindowedPart() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform == nullptr || *platform == '\0') setenv("QT_QPA_PLATFORM", "offscreen", 1);
  plat::QuietToolkitDiagnostics();
  RegisterGraphicsModules();
  InstallPlotOpeners(PlotWindowOpeners());
}

int OpenPlotWindows() { return static_cast<int>(PlotWindows().size()); }

std::vector<std::string> SavePlotWindows(const std::string& folder, const std::string& stem, TPlotFileFormat format) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) throw rtl::EInOutError("Cannot make folder " + folder, ec.message());
  const std::vector<Tbm2DForm*> windows = PlotWindows();
  std::vector<std::string> files;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const std::string base =
        (std::filesystem::path(folder) / (stem + (i > 0 ? "-window" + std::to_string(i + 1) : std::string()))).string();
    for (std::string& file : windows[i]->SavePages(base, PageFileOf(format))) files.push_back(std::move(file));
  }
  return files;
}

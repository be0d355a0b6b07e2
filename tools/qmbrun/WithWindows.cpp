#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "platform/Form.h"
#include "plot/forms/GraphicsModules.h"
#include "plot/forms/bm2DForm.h"
#include "rtl/Exception.h"
#include "rtl/FileLock.h"
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

// Holds a folder (an advisory lock) while plots are saved there: two runs
// that share the folder take turns, so the second finds the first one's
// files and the overwrite rule decides about them.
class TFolderLock {
 public:
  explicit TFolderLock(const std::string& folder) {
    descriptor_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor_ >= 0 && !rtl::LockExclusive(descriptor_)) {
      const int error = errno;
      close(descriptor_);
      descriptor_ = -1;
      errno = error;
    }
    if (descriptor_ < 0) throw rtl::EInOutError("Cannot lock folder " + folder, std::strerror(errno));
  }
  ~TFolderLock() { close(descriptor_); }
  TFolderLock(const TFolderLock&) = delete;
  TFolderLock& operator=(const TFolderLock&) = delete;

 private:
  int descriptor_ = -1;
};

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

// The pages of all windows are written beside their files, then put in
// place together: a file that is refused or cannot be written leaves none.
std::vector<std::string> SavePlotWindows(const std::string& folder, const std::string& stem, TPlotFileFormat format) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) throw rtl::EInOutError("Cannot make folder " + folder, ec.message());
  const TFolderLock lock(folder);
  const std::vector<Tbm2DForm*> windows = PlotWindows();
  const auto base = [&](std::size_t i) {
    return (std::filesystem::path(folder) / (stem + (i > 0 ? "-window" + std::to_string(i + 1) : std::string())))
        .string();
  };
  for (std::size_t i = 0; i < windows.size(); ++i) {
    for (const std::string& file : windows[i]->PageFiles(base(i), PageFileOf(format))) {
      if (!MayWriteWholeOutputFile(file)) throw E_Morvapc("Plot not saved: " + file);
    }
  }
  std::vector<rtl::AtomicFile> pages;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    for (rtl::AtomicFile& page : windows[i]->SavePages(base(i), PageFileOf(format))) pages.push_back(std::move(page));
  }
  std::vector<std::string> files;
  for (rtl::AtomicFile& page : pages) {
    page.Commit();
    files.push_back(page.Target());
  }
  return files;
}

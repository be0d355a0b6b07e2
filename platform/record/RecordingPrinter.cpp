#include "platform/record/RecordingPrinter.h"

#include "rtl/Exception.h"

#include <cmath>

namespace plat {

RecordingPrinter::RecordingPrinter(int widthMM, int heightMM, int dpi)
    : widthMM_(widthMM), heightMM_(heightMM), dpi_(dpi) {}

int RecordingPrinter::PageWidthMM() { return Landscape() ? heightMM_ : widthMM_; }
int RecordingPrinter::PageHeightMM() { return Landscape() ? widthMM_ : heightMM_; }
int RecordingPrinter::PageWidth() { return static_cast<int>(std::lround(PageWidthMM() * dpi_ / 25.4)); }
int RecordingPrinter::PageHeight() { return static_cast<int>(std::lround(PageHeightMM() * dpi_ / 25.4)); }

bool RecordingPrinter::BeginDoc(const std::string& title) {
  if (!available_) throw rtl::EInOutError("No printer found.");
  if (cancelNext_) {
    cancelNext_ = false;
    log_.push_back("cancelled " + title);
    return false;
  }
  log_.push_back("begin " + title);
  pages_.clear();
  pages_.push_back(std::make_unique<RecordingCanvas>(dpi_, dpi_));
  printing_ = true;
  return true;
}

Canvas& RecordingPrinter::PageCanvas() {
  if (!printing_) throw rtl::Exception("Printer is not printing");
  return *pages_.back();
}

void RecordingPrinter::NewPage() {
  log_.push_back("new page");
  pages_.push_back(std::make_unique<RecordingCanvas>(dpi_, dpi_));
}

void RecordingPrinter::EndDoc() {
  log_.push_back("end");
  printing_ = false;
}

void RecordingPrinter::Abort() {
  log_.push_back("abort");
  printing_ = false;
}

}  // namespace plat

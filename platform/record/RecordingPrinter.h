#pragma once
// A printer for tests: a fixed page, a recording canvas per page and a log of
// the document calls ("begin <title>", "new page", "end", "abort").

#include "platform/Printer.h"
#include "platform/record/RecordingCanvas.h"

#include <memory>
#include <string>
#include <vector>

namespace plat {

class RecordingPrinter : public Printer {
 public:
  // An A4 page (210 x 297 mm) at 300 dots per inch, portrait.
  RecordingPrinter(int widthMM = 210, int heightMM = 297, int dpi = 300);

  // Without a printer nothing can be printed and Available is false.
  void SetAvailable(bool available) { available_ = available; }
  // The user cancels the next document (as when declining to name the PDF file).
  void CancelNextDocument() { cancelNext_ = true; }

  bool Available() override { return available_; }
  bool PrintsToFile() override { return false; }
  int PageWidthMM() override;
  int PageHeightMM() override;
  int PageWidth() override;
  int PageHeight() override;
  int DpiX() override { return dpi_; }
  int DpiY() override { return dpi_; }
  Orientation GetOrientation() override { return orientation_; }
  void SetOrientation(Orientation orientation) override { orientation_ = orientation; }
  bool BeginDoc(const std::string& title) override;
  Canvas& PageCanvas() override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;
  bool Printing() override { return printing_; }

  const std::vector<std::string>& Log() const { return log_; }
  // The pages of the last document, each with what was drawn on it.
  const std::vector<std::unique_ptr<RecordingCanvas>>& Pages() const { return pages_; }

 private:
  bool Landscape() const { return orientation_ == Orientation::Landscape; }
  int widthMM_;
  int heightMM_;
  int dpi_;
  Orientation orientation_ = Orientation::Portrait;
  bool available_ = true;
  bool cancelNext_ = false;
  bool printing_ = false;
  std::vector<std::string> log_;
  std::vector<std::unique_ptr<RecordingCanvas>> pages_;
};

}  // namespace plat

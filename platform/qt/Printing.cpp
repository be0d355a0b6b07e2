// The printer over the toolkit's printer; a machine without a printer prints
// to a PDF file that the user names.

#include "platform/qt/Peer.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtServices.h"
#include "rtl/Exception.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

namespace plat::qtbridge {

namespace {

QPrinter& ToolkitPrinter() {
  static QPrinter* printer = [] {
    auto* p = new QPrinter(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) p->setOutputFormat(QPrinter::PdfFormat);
    return p;
  }();
  return *printer;
}

class QtPrinter : public Printer {
 public:
  // The toolkit's printer, shared with the print dialogs.
  QtPrinter() : printer_(ToolkitPrinter()) {}
  // A printer of its own that writes the PDF file named.
  explicit QtPrinter(const std::string& pdfFile)
      : own_(std::make_unique<QPrinter>(QPrinter::HighResolution)), printer_(*own_), fileNamed_(true) {
    own_->setOutputFormat(QPrinter::PdfFormat);
    own_->setOutputFileName(QString::fromStdString(pdfFile));
  }

  bool Available() override { return true; }
  bool PrintsToFile() override { return printer_.outputFormat() == QPrinter::PdfFormat; }
  int PageWidthMM() override { return static_cast<int>(std::lround(PageMM().width())); }
  int PageHeightMM() override { return static_cast<int>(std::lround(PageMM().height())); }
  int PageWidth() override { return PagePixels().width(); }
  int PageHeight() override { return PagePixels().height(); }
  int DpiX() override { return printer_.logicalDpiX(); }
  int DpiY() override { return printer_.logicalDpiY(); }
  Orientation GetOrientation() override {
    return printer_.pageLayout().orientation() == QPageLayout::Landscape ? Orientation::Landscape
                                                                         : Orientation::Portrait;
  }
  void SetOrientation(Orientation orientation) override {
    printer_.setPageOrientation(orientation == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  }

  bool BeginDoc(const std::string& title) override {
    QPrinter& printer = printer_;
    if (PrintsToFile() && !fileNamed_) {
      FileDialogRequest request;
      request.title = "Print to PDF file";
      request.filter = "PDF files|*.PDF|All files|*.*";
      request.defaultExt = "pdf";
      request.options = ofOverwritePrompt | ofPathMustExist;
      if (!Service<Dialogs>::Get().SaveFile(request)) return false;
      printer.setOutputFileName(ToQt(request.fileName));
    }
    printer.setDocName(ToQt(title));
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&printer)) {
      painter_.reset();
      if (fileNamed_) throw rtl::EInOutError("Cannot create file " + printer.outputFileName().toStdString());
      throw rtl::EInOutError("No printer found.");
    }
    canvas_ = std::make_unique<QtCanvas>(*painter_, printer);
    return true;
  }

  Canvas& PageCanvas() override {
    if (!canvas_) throw rtl::Exception("Printer is not printing");
    return *canvas_;
  }

  void NewPage() override {
    if (!printer_.newPage()) throw rtl::EInOutError("Unable to start a new page");
  }

  void EndDoc() override {
    canvas_.reset();
    bool written = painter_ && painter_->end();
    painter_.reset();
    if (!written) throw rtl::EInOutError("Unable to finish printing");
  }

  void Abort() override {
    canvas_.reset();
    if (painter_) {
      printer_.abort();
      painter_->end();
      painter_.reset();
    }
  }

  bool Printing() override { return painter_ != nullptr; }

 private:
  QSizeF PageMM() const { return printer_.pageLayout().paintRect(QPageLayout::Millimeter).size(); }
  QSize PagePixels() const { return printer_.pageLayout().paintRectPixels(printer_.resolution()).size(); }

  std::unique_ptr<QPrinter> own_;
  QPrinter& printer_;
  bool fileNamed_ = false;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<Canvas> canvas_;
};

}  // namespace

std::unique_ptr<Printer> MakePrinter() { return std::make_unique<QtPrinter>(); }

bool RunPrintDialog(PrintRequest& request) {
  QPrintDialog dialog(&ToolkitPrinter());
  if (dialog.exec() != QDialog::Accepted) return false;
  request.copies = ToolkitPrinter().copyCount();
  return true;
}

bool RunPrinterSetupDialog() {
  QPageSetupDialog dialog(&ToolkitPrinter());
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace plat::qtbridge

namespace plat {

std::unique_ptr<Printer> MakePdfFilePrinter(const std::string& fileName) {
  return std::make_unique<qtbridge::QtPrinter>(fileName);
}

}  // namespace plat

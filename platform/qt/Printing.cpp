// The printer over the toolkit's printer; a machine without a printer prints
// to a PDF file that the user names.

#include "platform/qt/Peer.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtServices.h"
#include "rtl/Exception.h"
#include "rtl/TextFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QPageSetupDialog>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>
#include <string_view>
#include <utility>

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

// Set when the print dialog was confirmed with the name of the PDF file the
// document goes to: the next document asks for no name again.
bool& FileNamedByPrintDialog() {
  static bool named = false;
  return named;
}

// A PDF document made in memory, on the printer's page at its resolution, and
// written whole to its file when it ends: the toolkit writing a PDF file by
// itself does not report a full disk. The file is started first, so a file
// that cannot be written is known before anything is drawn.
class PdfDocument {
 public:
  PdfDocument(const QPrinter& settings, const std::string& fileName) : file_(fileName), writer_(&buffer_) {
    buffer_.open(QIODevice::WriteOnly);
    writer_.setResolution(settings.resolution());
    writer_.setPageLayout(settings.pageLayout());
    writer_.setTitle(settings.docName());
  }
  QPaintDevice& Device() { return writer_; }
  bool NewPage() { return writer_.newPage(); }
  // Once the painter has ended.
  void Write() {
    const QByteArray& bytes = buffer_.data();
    file_.Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    file_.Close();
  }

 private:
  rtl::TextWriter file_;
  QBuffer buffer_;
  QPdfWriter writer_;
};

class QtPrinter : public Printer {
 public:
  // The toolkit's printer, shared with the print dialogs.
  QtPrinter() : printer_(ToolkitPrinter()) {}
  // A printer of its own that writes the PDF file named.
  explicit QtPrinter(const std::string& pdfFile)
      : own_(std::make_unique<QPrinter>(QPrinter::HighResolution)), printer_(*own_), fileName_(pdfFile) {
    own_->setOutputFormat(QPrinter::PdfFormat);
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
    printer_.setDocName(ToQt(title));
    QPaintDevice* device = &printer_;
    if (PrintsToFile()) {
      std::string fileName;
      if (!PdfFileName(fileName)) return false;
      pdf_ = std::make_unique<PdfDocument>(printer_, fileName);
      device = &pdf_->Device();
    }
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(device)) {
      painter_.reset();
      pdf_.reset();
      throw rtl::EInOutError("No printer found.");
    }
    canvas_ = std::make_unique<QtCanvas>(*painter_, *device);
    return true;
  }

  Canvas& PageCanvas() override {
    if (!canvas_) throw rtl::Exception("Printer is not printing");
    return *canvas_;
  }

  void NewPage() override {
    if (!(pdf_ ? pdf_->NewPage() : printer_.newPage())) throw rtl::EInOutError("Unable to start a new page");
  }

  void EndDoc() override {
    canvas_.reset();
    const bool ended = painter_ && painter_->end();
    painter_.reset();
    const std::unique_ptr<PdfDocument> pdf = std::move(pdf_);
    if (!ended) throw rtl::EInOutError("Unable to finish printing");
    if (pdf) pdf->Write();
  }

  void Abort() override {
    canvas_.reset();
    if (painter_) {
      if (!pdf_) printer_.abort();
      painter_->end();
      painter_.reset();
    }
    pdf_.reset();
  }

  bool Printing() override { return painter_ != nullptr; }

 private:
  QSizeF PageMM() const { return printer_.pageLayout().paintRect(QPageLayout::Millimeter).size(); }
  QSize PagePixels() const { return printer_.pageLayout().paintRectPixels(printer_.resolution()).size(); }

  // The PDF file of the document: the one this printer was made for, the one
  // the print dialog named, or else the one the user names now.
  bool PdfFileName(std::string& fileName) {
    if (!fileName_.empty()) {
      fileName = fileName_;
      return true;
    }
    if (std::exchange(FileNamedByPrintDialog(), false) && !printer_.outputFileName().isEmpty()) {
      fileName = printer_.outputFileName().toStdString();
      return true;
    }
    FileDialogRequest request;
    request.title = "Print to PDF file";
    request.filter = "PDF files|*.PDF|All files|*.*";
    request.defaultExt = "pdf";
    request.options = ofOverwritePrompt | ofPathMustExist;
    if (!Service<Dialogs>::Get().SaveFile(request)) return false;
    printer_.setOutputFileName(ToQt(request.fileName));
    fileName = request.fileName;
    return true;
  }

  std::unique_ptr<QPrinter> own_;
  QPrinter& printer_;
  std::string fileName_;  // the file of a printer made for one
  std::unique_ptr<PdfDocument> pdf_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<Canvas> canvas_;
};

}  // namespace

std::unique_ptr<Printer> MakePrinter() { return std::make_unique<QtPrinter>(); }

// Printing to a PDF file, the dialog asks for the file's name (and whether
// to write over it): the document then goes there without asking again.
bool RunPrintDialog(PrintRequest& request) {
  QPrintDialog dialog(&ToolkitPrinter());
  FileNamedByPrintDialog() = false;
  if (dialog.exec() != QDialog::Accepted) return false;
  request.copies = ToolkitPrinter().copyCount();
  FileNamedByPrintDialog() = ToolkitPrinter().outputFormat() == QPrinter::PdfFormat;
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

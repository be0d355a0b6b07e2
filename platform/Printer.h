#pragma once
// The printer: page size and orientation, device resolution and a canvas for
// each page. Where the machine has no printer, the document goes to a PDF file
// that the user names when the document begins.

#include "platform/Canvas.h"
#include "platform/Service.h"

#include <memory>
#include <string>

namespace plat {

enum class Orientation { Portrait, Landscape };

class Printer {
 public:
  static constexpr const char* kServiceName = "printer";
  virtual ~Printer() = default;
  // False when no printer can be opened (nor a PDF file written).
  virtual bool Available() = 0;
  // True when documents go to a PDF file that the user names (the machine has no printer).
  virtual bool PrintsToFile() = 0;
  // The printable page in millimetres (the device capabilities HORZSIZE and VERTSIZE)
  // and in device pixels, for the current orientation.
  virtual int PageWidthMM() = 0;
  virtual int PageHeightMM() = 0;
  virtual int PageWidth() = 0;
  virtual int PageHeight() = 0;
  virtual int DpiX() = 0;
  virtual int DpiY() = 0;
  virtual Orientation GetOrientation() = 0;
  virtual void SetOrientation(Orientation orientation) = 0;
  // Starts a document; false when the user cancelled (naming the PDF file). Raises
  // rtl::EInOutError "No printer found." when nothing can be printed to.
  virtual bool BeginDoc(const std::string& title) = 0;
  // The canvas of the current page; valid between BeginDoc and EndDoc.
  virtual Canvas& PageCanvas() = 0;
  virtual void NewPage() = 0;
  // Finishes the document; a failed write raises rtl::EInOutError.
  virtual void EndDoc() = 0;
  // Drops the document begun; nothing is printed.
  virtual void Abort() = 0;
  virtual bool Printing() = 0;
};

inline Printer& ThePrinter() { return Service<Printer>::Get(); }

// A printer whose documents go to the PDF file named, without asking anyone:
// for saving plots where no one is there to name the file. Its page is the
// platform's default page.
std::unique_ptr<Printer> MakePdfFilePrinter(const std::string& fileName);

}  // namespace plat

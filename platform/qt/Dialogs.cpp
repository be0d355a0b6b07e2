// The common file, font and colour dialogs, and the clipboard, over the toolkit.

#include "platform/qt/Peer.h"
#include "platform/qt/QtServices.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QImage>
#include <QMimeData>

namespace plat::qtbridge {

// A pattern that matches without regard to case in any file dialog: "*.QMX" becomes "*.[qQ][mM][xX]".
namespace {

QString CaseFreePattern(const std::string& pattern) {
  QString out;
  for (QChar c : ToQt(pattern)) {
    if (c.isLetter() && c.toLower() != c.toUpper()) {
      out += QString("[%1%2]").arg(c.toLower()).arg(c.toUpper());
    } else {
      out += c;
    }
  }
  return out == "*.*" ? QString("*") : out;
}

// The platform's filter text as the toolkit's name filters.
QStringList NameFilters(const std::string& filter) {
  QStringList filters;
  for (const auto& entry : ParseFilter(filter)) {
    QStringList patterns;
    for (const auto& p : entry.patterns) patterns << CaseFreePattern(p);
    filters << ToQt(entry.description) + " (" + patterns.join(' ') + ")";
  }
  return filters;
}

class QtDialogs : public Dialogs {
 public:
  bool OpenFile(FileDialogRequest& request) override { return RunFileDialog(request, true); }
  bool SaveFile(FileDialogRequest& request) override { return RunFileDialog(request, false); }

  bool ChooseFont(Font& font, FontDialogOptions options) override {
    QFontDialog::FontDialogOptions shown;
    // The toolkit's own dialog: a desktop's native one may not keep to fixed-pitch fonts.
    if (options & fdFixedPitchOnly) shown |= QFontDialog::MonospacedFonts | QFontDialog::DontUseNativeDialog;
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, ToQFont(font), QApplication::activeWindow(), QString(), shown);
    if (ok) font = FromQFont(chosen, font.color);
    return ok;
  }

  bool ChooseColor(Color& color) override {
    QColor chosen = QColorDialog::getColor(ToQColor(color), QApplication::activeWindow());
    if (!chosen.isValid()) return false;
    color = FromQColor(chosen);
    return true;
  }

  bool Print(PrintRequest& request) override { return RunPrintDialog(request); }
  bool PrinterSetup() override { return RunPrinterSetupDialog(); }

 private:
  static bool RunFileDialog(FileDialogRequest& request, bool open) {
    QFileDialog dialog(QApplication::activeWindow(), ToQt(request.title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open && (request.options & ofFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!open && !(request.options & ofOverwritePrompt)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(NameFilters(request.filter));
    dialog.setDefaultSuffix(ToQt(request.defaultExt));
    QFileInfo preset(ToQt(request.fileName));
    QString dir = request.initialDir.empty() ? preset.absolutePath() : ToQt(request.initialDir);
    dialog.setDirectory(dir);
    if (!request.fileName.empty() && !request.fileName.starts_with('*')) dialog.selectFile(preset.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    request.fileName = FromQt(dialog.selectedFiles().front());
    return true;
  }
};

class QtClipboard : public Clipboard {
 public:
  void Set(const ClipboardContent& content) override {
    auto* data = new QMimeData();
    if (content.text) data->setText(ToQt(*content.text));
    if (content.bitmap) {
      const RasterImage& b = *content.bitmap;
      QImage image(b.width, b.height, QImage::Format_ARGB32);
      for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x) image.setPixel(x, y, b.pixels[static_cast<std::size_t>(y * b.width + x)]);
      }
      data->setImageData(image);
    }
    if (content.metafile) {
      QByteArray bytes(reinterpret_cast<const char*>(content.metafile->data()),
                       static_cast<qsizetype>(content.metafile->size()));
      data->setData("image/x-emf", bytes);
    }
    QApplication::clipboard()->setMimeData(data);
  }
  bool HasText() override { return QApplication::clipboard()->mimeData()->hasText(); }
  std::string GetText() override { return ToCp1252(QApplication::clipboard()->text()); }
};

}  // namespace

std::unique_ptr<Dialogs> MakeDialogs() { return std::make_unique<QtDialogs>(); }
std::unique_ptr<Clipboard> MakeClipboard() { return std::make_unique<QtClipboard>(); }

}  // namespace plat::qtbridge

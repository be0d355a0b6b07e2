#include "QtTestSupport.h"

#include "platform/Clipboard.h"
#include "platform/Desktop.h"
#include "platform/Printer.h"
#include "platform/qt/QtServices.h"
#include "rtl/ScopeGuard.h"
#include "rtl/TextFile.h"
#include "tests/support/GenerousWait.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

using namespace plat;
using platform_test::WindowTest;

class DesktopTest : public WindowTest {};

TEST_F(DesktopTest, ThePointerIsReadWhereItWasPut) {
  SetCursorPos({123, 45});
  EXPECT_EQ(CursorPos().x, 123);
  EXPECT_EQ(CursorPos().y, 45);
  EXPECT_GT(ScreenRect().Width(), 0);
  EXPECT_GT(ScreenRect().Height(), 0);
}

// Handles events until every opener the desktop started has ended.
void WaitForOpeners() {
  const auto running = [] {
    for (const QProcess* process : qApp->findChildren<QProcess*>()) {
      if (process->state() != QProcess::NotRunning) return true;
    }
    return false;
  };
  const auto deadline = std::chrono::steady_clock::now() + testsupport::kGenerousWait;
  while (running() && std::chrono::steady_clock::now() < deadline) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
}

TEST_F(DesktopTest, HelpSaysWhereItsPageIsWhenNoWebBrowserShowsIt) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(MORVA_ARTEFACTS) / "platform" / ("help-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder / "bin");
  std::ofstream(folder / "morva.html") << "<html></html>";
  const std::string oldPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  ::setenv("PATH", ((folder / "bin").string() + ":" + oldPath).c_str(), 1);
  const rtl::ScopeExit restorePath([&oldPath] { ::setenv("PATH", oldPath.c_str(), 1); });

  struct Case {
    const char* name;
    int openerExit;  // the desktop opener's result: 3 when no program opens the page
    bool told;
  };
  for (const Case& c : {Case{"NoWebBrowser", 3, true}, Case{"ABrowserShowsIt", 0, false}}) {
    SCOPED_TRACE(c.name);
    // A desktop opener of the test's own: notes what it was asked to open.
    const fs::path opener = folder / "bin" / "xdg-open";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << (folder / "opened").string() << "'\nexit "
                          << c.openerExit << "\n";
    fs::permissions(opener, fs::perms::owner_all);
    fs::remove(folder / "opened");
    boxes.Clear();

    ShowHelp((folder / "morva.hlp").string(), HelpCommand::Context, 12);
    WaitForOpeners();
    input::Flush();

    std::ifstream opened(folder / "opened");
    std::string asked;
    std::getline(opened, asked);
    EXPECT_EQ(asked, "file://" + (folder / "morva.html").string() + "#context-12");
    if (c.told) {
      ASSERT_EQ(boxes.Boxes().size(), 1u);
      EXPECT_EQ(boxes.LastText(), "Unable to show the help in a web browser.\nThe help page is " +
                                      (folder / "morva.html").string());
    } else {
      EXPECT_TRUE(boxes.Boxes().empty()) << boxes.LastText();
    }
  }
}

TEST_F(DesktopTest, ClipboardTextKeepsWindows1252Characters) {
  ClipboardContent content;
  content.text =
      "Gr\xF6\xDF"
      "e \x80 5\r\n";
  content.metafile = std::vector<std::uint8_t>{1, 0, 0, 0};
  TheClipboard().Set(content);
  EXPECT_TRUE(TheClipboard().HasText());
  EXPECT_EQ(TheClipboard().GetText(),
            "Gr\xF6\xDF"
            "e \x80 5\r\n");
}

TEST_F(DesktopTest, WithoutAPrinterTheDocumentGoesToThePdfFileTheUserNames) {
  Printer& printer = ThePrinter();
  if (!printer.PrintsToFile()) GTEST_SKIP() << "this machine has a printer";
  const std::string pdf = std::string(MORVA_ARTEFACTS) + "/platform/printed-" + std::to_string(::getpid()) + ".pdf";
  std::filesystem::create_directories(std::filesystem::path(pdf).parent_path());
  std::filesystem::remove(pdf);

  printer.SetOrientation(Orientation::Landscape);
  EXPECT_GT(printer.PageWidthMM(), printer.PageHeightMM());
  EXPECT_GT(printer.PageWidth(), printer.PageHeight());
  printer.SetOrientation(Orientation::Portrait);
  EXPECT_LT(printer.PageWidthMM(), printer.PageHeightMM());

  EXPECT_FALSE(printer.BeginDoc("saved plot"));  // the user declines to name the file
  EXPECT_FALSE(printer.Printing());
  EXPECT_FALSE(std::filesystem::exists(pdf));

  dialogs.AnswerFile(pdf);
  ASSERT_TRUE(printer.BeginDoc("saved plot"));
  Canvas& page = printer.PageCanvas();
  EXPECT_EQ(page.DpiX(), printer.DpiX());
  page.Line(0, 0, printer.PageWidth() / 2, printer.PageHeight() / 2);
  page.TextOut(100, 100, "Morvapc");
  printer.EndDoc();
  EXPECT_FALSE(printer.Printing());
  ASSERT_EQ(dialogs.FileRequests().size(), 2u);
  EXPECT_EQ(dialogs.FileRequests()[1].request.defaultExt, "pdf");
  std::ifstream in(pdf, std::ios::binary);
  std::string head(4, '\0');
  in.read(head.data(), 4);
  EXPECT_EQ(head, "%PDF");
  in.close();
  std::filesystem::remove(pdf);
}

// Printing to a PDF file: the file named in the print dialog is the one the
// document goes to, without a second file chooser.
TEST_F(DesktopTest, ThePrintDialogsFileIsTheOnlyOneAskedFor) {
  const std::unique_ptr<Printer> printer = qtbridge::MakePrinter();
  if (!printer->PrintsToFile()) GTEST_SKIP() << "this machine has a printer";
  const std::string pdf = std::string(MORVA_ARTEFACTS) + "/platform/dialog-" + std::to_string(::getpid()) + ".pdf";
  std::filesystem::create_directories(std::filesystem::path(pdf).parent_path());
  std::filesystem::remove(pdf);
  // The user types the file's name into the dialog and confirms it.
  QTimer::singleShot(0, [&pdf] {
    auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* name = dialog->findChild<QLineEdit*>("filename");
    ASSERT_NE(name, nullptr);
    name->setText(QString::fromStdString(pdf));
    dialog->accept();
  });
  PrintRequest request;
  ASSERT_TRUE(qtbridge::RunPrintDialog(request));
  ASSERT_TRUE(printer->BeginDoc("saved plot"));
  printer->PageCanvas().Line(0, 0, printer->PageWidth() / 2, printer->PageHeight() / 2);
  printer->EndDoc();
  EXPECT_TRUE(dialogs.FileRequests().empty()) << "a second file chooser";
  EXPECT_EQ(rtl::ReadWholeFile(pdf).substr(0, 4), "%PDF");

  // A document begun without the dialog asks for its file again.
  EXPECT_FALSE(printer->BeginDoc("saved plot"));
  EXPECT_EQ(dialogs.FileRequests().size(), 1u);
  std::filesystem::remove(pdf);
}

}  // namespace

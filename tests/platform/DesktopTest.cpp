#include "QtTestSupport.h"

#include "platform/Clipboard.h"
#include "platform/Desktop.h"
#include "platform/Printer.h"
#include "platform/StdControls.h"
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

// A help page in a folder of the test's own, and a desktop opener on the
// PATH that notes what it was asked to open and ends with `openerExit` (3 when
// no program opens the page).
class FakeOpener {
 public:
  explicit FakeOpener(const std::string& name)
      : folder_(std::filesystem::path(MORVA_ARTEFACTS) / "platform" / (name + "-" + std::to_string(::getpid()))),
        oldPath_(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "") {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ / "bin");
    std::ofstream(folder_ / "morva.html") << "<html></html>";
    ::setenv("PATH", ((folder_ / "bin").string() + ":" + oldPath_).c_str(), 1);
  }
  ~FakeOpener() { ::setenv("PATH", oldPath_.c_str(), 1); }
  FakeOpener(const FakeOpener&) = delete;
  FakeOpener& operator=(const FakeOpener&) = delete;

  std::string HelpFile() const { return (folder_ / "morva.hlp").string(); }
  std::string Page() const { return (folder_ / "morva.html").string(); }
  void ExitWith(int openerExit) {
    const std::filesystem::path opener = folder_ / "bin" / "xdg-open";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << (folder_ / "opened").string() << "'\nexit "
                          << openerExit << "\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    std::filesystem::remove(folder_ / "opened");
  }
  // What the opener was asked to open since ExitWith, once every opener ended.
  std::string Opened() const {
    WaitForOpeners();
    input::Flush();
    std::ifstream opened(folder_ / "opened");
    std::string asked;
    std::getline(opened, asked);
    return asked;
  }

 private:
  std::filesystem::path folder_;
  std::string oldPath_;
};

TEST_F(DesktopTest, HelpSaysWhereItsPageIsWhenNoWebBrowserShowsIt) {
  FakeOpener opener("help");
  struct Case {
    const char* name;
    int openerExit;
    bool told;
  };
  for (const Case& c : {Case{"NoWebBrowser", 3, true}, Case{"ABrowserShowsIt", 0, false}}) {
    SCOPED_TRACE(c.name);
    opener.ExitWith(c.openerExit);
    boxes.Clear();

    ShowHelp(opener.HelpFile(), HelpCommand::Context, 12);
    EXPECT_EQ(opener.Opened(), "file://" + opener.Page() + "#context-12");
    if (c.told) {
      ASSERT_EQ(boxes.Boxes().size(), 1u);
      EXPECT_EQ(boxes.LastText(), "Unable to show the help in a web browser.\nThe help page is " + opener.Page());
    } else {
      EXPECT_TRUE(boxes.Boxes().empty()) << boxes.LastText();
    }
  }
}

// F1 opens the application's help at the context of the focused control, or
// of the nearest of its parents that has one; without any, it opens nothing.
TEST_F(DesktopTest, F1OpensTheHelpOfTheFocusedControlOrOfTheWindowAroundIt) {
  FakeOpener opener("f1");
  const std::string oldHelpFile = ApplicationHelpFile();
  const rtl::ScopeExit restoreHelpFile([&oldHelpFile] { SetApplicationHelpFile(oldHelpFile); });
  SetApplicationHelpFile(opener.HelpFile());

  Form& form = CreateForm<Form>("HelpF");
  form.SetBounds(50, 50, 300, 200);
  Panel& panel = form.Add<Panel>();
  panel.SetBounds(0, 0, 300, 100);
  Edit& plain = panel.Add<Edit>();
  plain.SetBounds(10, 10, 100, 24);
  Edit& ownContext = panel.Add<Edit>();
  ownContext.SetBounds(120, 10, 100, 24);
  ownContext.SetHelpContext(507);
  form.ShowForm();

  struct Case {
    const char* name;
    int formContext;
    int panelContext;
    Edit* focused;
    std::string opened;  // the anchor, or nothing
  };
  const Case cases[] = {
      {"the control's own context", 139, 0, &ownContext, "#context-507"},
      {"the window's, through a parent without one", 139, 0, &plain, "#context-139"},
      {"the nearest parent's", 139, 22, &plain, "#context-22"},
      {"none: nothing opens", 0, 0, &plain, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    form.SetHelpContext(c.formContext);
    panel.SetHelpContext(c.panelContext);
    c.focused->SetFocus();
    input::Flush();
    opener.ExitWith(0);
    input::PressKey(*c.focused, vk::F1);
    EXPECT_EQ(opener.Opened(), c.opened.empty() ? "" : "file://" + opener.Page() + c.opened);
  }
  EXPECT_TRUE(boxes.Boxes().empty()) << boxes.LastText();
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

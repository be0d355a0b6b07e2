// The editor run as the program runs it, with real message boxes, until the
// user exits: each way runs in a process of its own, so that whatever is left
// to the end of the process (static objects, exit handlers) is torn down too.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>

#include "EditorTestSupport.h"
#include "dataeditor/forms/MveditF.h"
#include "platform/Form.h"

namespace {

using namespace dataeditor_test;
using namespace plat;

// Presses `answer` on the next message box as soon as it shows.
void AnswerNextBox(QMessageBox::StandardButton answer) {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || box->button(answer) == nullptr) return;
    timer->deleteLater();
    box->button(answer)->click();
  });
  timer->start(10);
}

void ClickMenu(TMveditF& form, const std::string& caption) { form.Menu().Find(caption)->Click(); }

// Starts the editor on `file`, lets `session` act once the event loop runs, and
// ends the process with the event loop's result, as the program does.
[[noreturn]] void RunEditorUntilExit(const std::string& file, std::function<void(TMveditF&)> session) {
  static int argc = 1;
  static char name[] = "mvedit";
  static char* argv[] = {name, nullptr};
  InitApplication(argc, argv);
  SetApplicationTitle("Mvedit");
  TMveditF& form = CreateForm<TMveditF>();
  form.Start({file});
  form.ShowForm();
  QTimer::singleShot(0, [&form, session] { session(form); });
  std::exit(RunApplication());
}

struct ExitCase {
  const char* name;
  std::function<void(TMveditF&)> session;
};

void PrintTo(const ExitCase& exitCase, std::ostream* os) { *os << exitCase.name; }

class EditorExit : public ::testing::TestWithParam<ExitCase> {
 protected:
  ScratchFolder folder;
};

TEST_P(EditorExit, EndsCleanlyAfterAMessageBox) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string path = folder.CopyFixture("all-types.qmx");
  EXPECT_EXIT(RunEditorUntilExit(path, GetParam().session), ::testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(Ways, EditorExit,
                         ::testing::Values(ExitCase{"ExitAnsweringNoToSaving",
                                                    [](TMveditF& form) {
                                                      form.Model().SetEditText(2, 2, "8");
                                                      AnswerNextBox(QMessageBox::No);
                                                      ClickMenu(form, "E&xit");
                                                    }},
                                           ExitCase{"ExitAfterHelp",
                                                    [](TMveditF& form) {
                                                      AnswerNextBox(QMessageBox::Ok);
                                                      ClickMenu(form, "&Contents");
                                                      ClickMenu(form, "E&xit");
                                                    }}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace

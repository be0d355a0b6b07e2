// The batch runner: the file grammar, parameter substitution, module lookup,
// argument parsing and the run loop, over fake modules.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "rtl/Exception.h"
#include "rtl/TextFile.h"
#include "shell/Batchu.h"
#include "shell/Listing.h"
#include "shell/Progress.h"
#include "tests/shell/FakeModules.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

using shelltest::FakeLog;
using shelltest::FakeModule;

constexpr std::int32_t SahnNumber = 18;
constexpr std::int32_t TreeNumber = 27;

rtl::StringList Lines(std::initializer_list<const char*> lines) {
  rtl::StringList list;
  for (const char* line : lines) list.Add(line);
  return list;
}

// A view that records what the window would show and answers the wait after
// a graphics module with a scripted button.
class ScriptedView : public TBatchView {
 public:
  void RunStarted() override { log.push_back("started"); }
  void ExecutingLine(int number, int /*fileLine*/, const std::string& line) override {
    log.push_back(std::to_string(number) + ": " + line);
  }
  void WaitStarted() override {
    log.push_back("wait");
    onWait();
  }
  void RunEnded() override { log.push_back("ended"); }

  std::vector<std::string> log;
  std::function<void()> onWait = [] {};
};

// One batch runner over a listing, with the fake module as SAHN and TREE.
class BatchTest : public ::testing::Test {
 protected:
  BatchTest() : runner(listing, view) {
    listing.InstallAsListingSink();
    view.onWait = [this] { runner.Next(); };
  }
  ~BatchTest() override {
    SetMessagePump(nullptr);
    ClearAbort();
    EndDialogRun();
  }

  // Loads the lines and runs them; an error while loading is the result.
  TBatchEnd Run(std::initializer_list<const char*> lines, std::string_view parameters = {}) {
    runner.LoadLines(Lines(lines));
    return runner.Run(parameters);
  }

  // The text of the error box that ends the batch, or the loading error.
  std::string ErrorOf(std::initializer_list<const char*> lines, std::string_view parameters = {}) {
    services.errors.clear();
    try {
      Run(lines, parameters);
    } catch (const E_Morvapc& error) {
      return error.Message();
    }
    return services.errors.empty() ? std::string("no error") : services.errors.back();
  }

  shelltest::TempSettings settings;
  shelltest::RecordedServices services;
  TListingModel listing{"2.02c"};
  ScriptedView view;
  TBatchRunner runner;
  FakeModule sahn{SahnNumber};
  FakeModule tree{TreeNumber};
};

TEST_F(BatchTest, EveryMessage) {
  const std::string longText(51, 'x');
  const std::string longName = "I=" + std::string(129, 'f');
  const std::string longLine = "*SAHN T=" + longText;
  const std::string longFileLine = "*SAHN " + longName;
  struct Case {
    const char* name;
    std::initializer_list<const char*> lines;
    std::string message;
  };
  const Case cases[] = {
      {"no lines", {}, "Batch file is empty."},
      {"comments only", {"\" comment", "' comment", "", "   "}, "Batch file contained only\ncomments or blank lines."},
      {"first line not a command",
       {"\" comment", "SAHN T=x"},
       "Batch command lines must begin\nwith * or quote character:\nSAHN T=x"},
      {"percent before a letter", {"*SAHN T=%a"}, "Bad parameter format"},
      {"percent at the end", {"*SAHN T=50%"}, "Bad parameter format"},
      {"percent zero", {"*SAHN T=%0"}, "Bad parameter format"},
      {"star alone", {"*"}, "Module name missing"},
      {"unknown module", {"*XYZ T=x"}, "Module name (XYZ)\n not found"},
      {"module not built", {"*STAND I=x"}, "Module not available: STAND"},
      {"module name alone", {"*SAHN"}, "No parameters provided."},
      {"blank instead of =", {"*SAHN T x"}, "Invalid parameter/argument pair:\nT"},
      {"two =", {"*SAHN T=a=b"}, "Invalid parameter/argument pair:\nT=a=b"},
      {"quote not closed", {"*SAHN T=\"a, b C=min"}, "Closing double quote missing in:\nT=\"a, b C=min"},
      {"text after the closing quote", {"*SAHN T=\"a b\"c C=min"}, "Invalid parameter/argument pair:\nT=\"a b\"c"},
      {"choice not in list", {"*SAHN C=avg"}, "Argument (AVG) not found in list"},
      {"unknown keyword", {"*SAHN T=x, q=1"}, "Parameter (Q) not recognized in:\n T=x, q=1"},
      {"integer above its limit", {"*SAHN N=21"}, "Argument (21) out of range for N:\nmust be between 1 and 20"},
      {"integer below its limit", {"*SAHN N=0"}, "Argument (0) out of range for N:\nmust be between 1 and 20"},
      {"real above its limit", {"*SAHN X=1e6"}, "Argument (1e6) out of range for X:\nmust be between -1e5 and 1e5"},
      {"text too long", {longLine.c_str()}, "Argument for T is longer than 50 characters:\n" + longText},
      {"file name too long",
       {longFileLine.c_str()},
       "Argument for I is longer than 128 characters:\n" + longName.substr(2)},
      {"module's own error", {"*SAHN T=FAIL"}, "fake failure"},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.lines), c.message) << c.name;
}

TEST_F(BatchTest, ArgumentsByType) {
  ASSERT_EQ(Run({"*sahn T=MixedCase,C=min R=Row I=Data/In.QMX", "   O=out.qmx X=-2.5 N=20"}), TBatchEnd::Completed);
  ASSERT_EQ(Run({"* SAHN C=max R=rows"}), TBatchEnd::Completed);
  const std::vector<std::string> expected = {
      "run T=MixedCase C=MIN R=true I=Data/In.QMX O=out.qmx X=-2.5 N=20 O2=out.qmx",
      "release",
      "run T=start C=Max R=false I=in.qmx O= X=1.5 N=2 O2=",
      "release",
  };
  EXPECT_EQ(FakeLog(), expected) << "texts and file names keep their case, both O records take the name";
}

TEST_F(BatchTest, ParametersReplacePercentDigits) {
  ASSERT_EQ(Run({"*SAHN T=%2 I=%9 O=%1%2"}, "first  second"), TBatchEnd::Completed);
  EXPECT_EQ(FakeLog().front(), "run T=second C=Max R=true I=%9 O=firstsecond X=1.5 N=2 O2=firstsecond");
  EXPECT_EQ(SubstituteParameters("%1", {"%2"}), "%2") << "replaced text is not searched again";
  EXPECT_EQ(BatchParameterWords("1 2 3 4 5 6 7 8 9").size(), 9u);
}

TEST_F(BatchTest, ATenthParameterEndsTheRunBeforeAnyCommand) {
  EXPECT_EQ(Run({"*SAHN T=%1"}, "1 2 3 4 5 6 7 8 9 \"ten th\""), TBatchEnd::Failed);
  EXPECT_TRUE(FakeLog().empty());
  EXPECT_EQ(services.errors, (std::vector<std::string>{"Too many batch parameters (10): at most 9 can be given"}));
}

TEST_F(BatchTest, QuotesAndParenthesesKeepAnArgumentWhole) {
  const std::string rest = " R=true I=in.qmx O= X=1.5 N=2 O2=";
  struct Case {
    const char* name;
    const char* line;
    const char* parameters;
    std::string run;  // what the module ran with
  };
  const Case cases[] = {
      {"a comma in parentheses", "*SAHN T=SHAPET(1,2)[1-2],C=min", "", "run T=SHAPET(1,2)[1-2] C=MIN" + rest},
      {"commas and blanks in quotes", "*SAHN T=\"3, 4\",C=min", "", "run T=3, 4 C=MIN" + rest},
      {"'=' in quotes", "*SAHN T=\"a=b\" C=min", "", "run T=a=b C=MIN" + rest},
      {"empty quotes", "*SAHN T=\"\" C=min", "", "run T= C=MIN" + rest},
      {"a file name with blanks", "*SAHN I=\"my data.qmx\" C=min", "",
       "run T=start C=MIN R=true I=my data.qmx O= X=1.5 N=2 O2="},
      // As before: quotes inside an argument are its own characters; a
      // blank ends an unclosed parenthesis; commas outside parentheses split.
      {"a quote inside", "*SAHN T=5\" C=min", "", "run T=5\" C=MIN" + rest},
      {"parenthesis left open", "*SAHN T=f(1,2 C=min", "", "run T=f(1,2 C=MIN" + rest},
      {"commas between pairs", "*SAHN T=f(1),C=min", "", "run T=f(1) C=MIN" + rest},
      {"a parameter with a blank", "*SAHN I=%1 T=%2 C=min", "\"my data.qmx\" two",
       "run T=two C=MIN R=true I=my data.qmx O= X=1.5 N=2 O2="},
      {"the same inside quotes", "*SAHN I=\"dir/%1\" C=min", "\"my data.qmx\"",
       "run T=start C=MIN R=true I=dir/my data.qmx O= X=1.5 N=2 O2="},
      {"pairs in one parameter", "*SAHN %1", "T=a,C=min", "run T=a C=MIN" + rest},
  };
  for (const Case& c : cases) {
    FakeLog().clear();
    ASSERT_EQ(Run({c.line}, c.parameters), TBatchEnd::Completed) << c.name << ": " << testing::PrintToString(services.errors);
    EXPECT_EQ(FakeLog().front(), c.run) << c.name;
  }
  EXPECT_EQ(BatchParameterWords("\"a  b\" c"), (std::vector<std::string>{"\"a  b\"", "c"}));
  EXPECT_EQ(QuoteBatchParameter("a b"), "\"a b\"");
  EXPECT_EQ(QuoteBatchParameter("a,b"), "a,b") << "a parameter with commas may hold pairs";
}

TEST_F(BatchTest, ASecondRunTakesTheNewParameters) {
  runner.LoadLines(Lines({"*SAHN T=%1"}));
  ASSERT_EQ(runner.Run("one"), TBatchEnd::Completed);
  ASSERT_EQ(runner.Run("two"), TBatchEnd::Completed);
  EXPECT_EQ(FakeLog()[0].substr(0, 9), "run T=one");
  EXPECT_EQ(FakeLog()[2].substr(0, 9), "run T=two");
  EXPECT_EQ(runner.Commands()[0], "*SAHN T=%1");
}

TEST_F(BatchTest, CommandsRunInOrderEachInItsSection) {
  ASSERT_EQ(Run({"\" two runs", "*SAHN T=a", "", "*SAHN", "  T=b"}), TBatchEnd::Completed);
  const std::vector<std::string> shown = {"started", "1: *SAHN T=a", "2: *SAHN   T=b", "ended"};
  EXPECT_EQ(view.log, shown);
  ASSERT_EQ(listing.PageCount(), 3);
  EXPECT_EQ(listing.Section(1)->Caption(), "Fake-1");
  EXPECT_EQ(listing.Section(2)->Caption(), "Fake-2");
  EXPECT_EQ(listing.Section(2)->Paragraph(4), "run T=b C=Max R=true I=in.qmx O= X=1.5 N=2 O2=");
  EXPECT_EQ(runner.State(), TBatchState::Loaded);
  EXPECT_FALSE(RunFlags().batchRunning);
}

TEST_F(BatchTest, TheFirstErrorEndsTheBatch) {
  EXPECT_EQ(Run({"*SAHN T=FAIL", "*SAHN T=never"}), TBatchEnd::Failed);
  EXPECT_EQ(FakeLog(), (std::vector<std::string>{"run T=FAIL C=Max R=true I=in.qmx O= X=1.5 N=2 O2=", "release"}))
      << "the failed module is released, the next command never runs";
  EXPECT_EQ(services.errors, std::vector<std::string>{"fake failure"});
  EXPECT_EQ(listing.PageCount(), 2);
}

// The parameters go into every command before the first runs; a command
// they cannot go into is the one shown as stopped at.
TEST_F(BatchTest, ABadParameterStopsTheBatchAtItsCommandBeforeAnyRuns) {
  EXPECT_EQ(Run({"*SAHN T=a", "\" a comment", "*SAHN T=%%"}), TBatchEnd::Failed);
  EXPECT_EQ(view.log, (std::vector<std::string>{"started", "2: *SAHN T=%%", "ended"}));
  EXPECT_EQ(services.errors, std::vector<std::string>{"Bad parameter format"});
  EXPECT_TRUE(FakeLog().empty());
}

TEST_F(BatchTest, OtherErrorsLeaveForTheDefaultErrorBox) {
  runner.LoadLines(Lines({"*SAHN N=two", "*SAHN T=never"}));
  EXPECT_THROW(runner.Run(""), rtl::EConvertError);
  EXPECT_TRUE(FakeLog().empty());
  EXPECT_EQ(runner.State(), TBatchState::Loaded);
  EXPECT_FALSE(RunFlags().batchRunning);
  EXPECT_TRUE(services.errors.empty());
}

// Whether the batch window's gauge shows.
class GaugeView : public TProgressView {
 public:
  GaugeView() { SetBatchProgressView(this); }
  ~GaugeView() override { SetBatchProgressView(nullptr); }
  void SetStatus(const std::string&) override {}
  void StartGauge() override { shown = true; }
  void SetGauge(std::int32_t) override {}
  void StopGauge() override { shown = false; }
  bool shown = false;
};

TEST_F(BatchTest, UserAbortEndsTheBatchWithAWarningAndSaysWhereInTheListing) {
  GaugeView gauge;
  EXPECT_EQ(Run({"\" first a comment", "*SAHN T=ABORT", "*SAHN T=never"}), TBatchEnd::Aborted);
  EXPECT_EQ(services.warnings, std::vector<std::string>{"User abort"});
  EXPECT_FALSE(RunFlags().abort);
  EXPECT_FALSE(gauge.shown) << "the gauge goes with the batch";
  EXPECT_EQ(FakeLog().size(), 2u);
  const TListingSection& section = *listing.Section(listing.PageCount() - 1);
  EXPECT_EQ(section.Paragraph(section.ParagraphCount() - 1), "Batch stopped by Cancel at line 2");
}

// Cancel while a graphics module computes: the batch ends without waiting
// for a "Next" that the pending abort would leave dead.
TEST_F(BatchTest, CancelDuringAGraphicsModuleEndsTheBatchWithoutAWait) {
  view.onWait = [this] { runner.Cancel(); };
  EXPECT_EQ(Run({"*TREE T=ABORT", "*SAHN T=never"}), TBatchEnd::Aborted);
  EXPECT_EQ(view.log, (std::vector<std::string>{"started", "1: *TREE T=ABORT", "ended"}));
  EXPECT_EQ(services.warnings, std::vector<std::string>{"User abort"});
  EXPECT_EQ(FakeLog().back(), "release");
}

TEST_F(BatchTest, AGraphicsModuleWaitsForNext) {
  ASSERT_EQ(Run({"*TREE T=plot", "*SAHN T=after"}), TBatchEnd::Completed);
  const std::vector<std::string> shown = {"started", "1: *TREE T=plot", "wait", "2: *SAHN T=after", "ended"};
  EXPECT_EQ(view.log, shown);
  EXPECT_EQ(FakeLog()[1], "release") << "released after the wait";
}

TEST_F(BatchTest, CancelDuringTheWaitEndsTheBatch) {
  view.onWait = [this] { EXPECT_TRUE(runner.Cancel()); };
  EXPECT_EQ(Run({"*TREE T=plot", "*SAHN T=never"}), TBatchEnd::Aborted);
  EXPECT_EQ(services.warnings, std::vector<std::string>{"User abort"});
  EXPECT_EQ(FakeLog().back(), "release");
  EXPECT_EQ(FakeLog().size(), 2u);
}

TEST_F(BatchTest, OneActivityAtATime) {
  runner.LoadLines(Lines({"*SAHN T=a"}));
  ASSERT_TRUE(BeginDialogRun());
  EXPECT_EQ(runner.Run(""), TBatchEnd::Refused) << "no batch while a dialog run is busy";
  EXPECT_TRUE(FakeLog().empty());
  EndDialogRun();

  std::vector<bool> dialogStarts;
  SetMessagePump([&] { dialogStarts.push_back(BeginDialogRun()); });
  EXPECT_EQ(runner.Run(""), TBatchEnd::Completed);
  EXPECT_FALSE(dialogStarts.empty());
  for (bool started : dialogStarts) EXPECT_FALSE(started) << "no dialog run while a batch runs";
  EXPECT_FALSE(RunFlags().busy);
}

TEST_F(BatchTest, LoadsFromAFileAndTakesItsFolder) {
  const std::filesystem::path file = settings.Folder() / "Batches" / "Two.QMB";
  std::filesystem::create_directories(file.parent_path());
  rtl::TextWriter writer(file.string());
  writer.WriteLine("' comment");
  writer.WriteLine("*SAHN T=%1");
  writer.Close();
  runner.Load(file.string());
  EXPECT_EQ(runner.State(), TBatchState::Loaded);
  EXPECT_EQ(Config().defaultDir, file.parent_path().string() + "/");
  EXPECT_THROW(runner.Load((settings.Folder() / "missing.qmb").string()), rtl::EInOutError);
  EXPECT_EQ(runner.State(), TBatchState::Empty);
  EXPECT_EQ(runner.Run(""), TBatchEnd::Refused);
}

TEST_F(BatchTest, FilesWithTabsOrAByteOrderMarkRunAsWithBlanks) {
  const std::string bom = "\xEF\xBB\xBF";
  const std::string ran = "run T=a C=MIN R=true I=in.qmx O= X=1.5 N=2 O2=";
  struct Case {
    const char* name;
    std::string bytes;
    std::string result;  // the first module run, or the loading error
  };
  const Case cases[] = {
      {"tabs between the name and the arguments", "*SAHN\tT=a\tC=min\r\n", ran},
      {"tabs mixed with blanks and commas", "*SAHN \t T=a,\tC=min \t\r\n", ran},
      {"tab-indented continuation line", "*SAHN T=a\r\n\tC=min\r\n", ran},
      {"mark before the first command", bom + "*SAHN T=a C=min\r\n", ran},
      {"mark before a comment", bom + "' comment\r\n*SAHN T=a C=min\r\n", ran},
      {"mark alone", bom, "Batch file is empty."},
  };
  const std::filesystem::path file = settings.Folder() / "batch.qmb";
  for (const Case& c : cases) {
    std::ofstream(file, std::ios::binary) << c.bytes;
    FakeLog().clear();
    std::string result;
    try {
      runner.Load(file.string());
      EXPECT_EQ(runner.Run(""), TBatchEnd::Completed) << c.name;
      result = FakeLog().empty() ? "nothing ran" : FakeLog().front();
    } catch (const E_Morvapc& error) {
      result = error.Message();
    }
    EXPECT_EQ(result, c.result) << c.name;
  }
}

}  // namespace

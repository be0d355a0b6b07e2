// The parameter dialog's logic without its window: its own descriptor and
// working copy, the required-field check, the run with its ends, and the
// busy rules, over the fake module.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "rtl/ScopeGuard.h"
#include "shell/Batchu.h"
#include "shell/Listing.h"
#include "shell/ParamDialog.h"
#include "shell/Progress.h"
#include "tests/shell/FakeModules.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

using shelltest::FakeLog;
using shelltest::FakeModule;

constexpr std::int32_t SahnNumber = 18;
constexpr std::int32_t TreeNumber = 27;

// A second module, for the batch that runs while the dialog is open.
void OtherRun(std::span<const TParamRec>) { FakeLog().push_back("other run"); }
void OtherRelease() { FakeLog().push_back("other release"); }
void OtherDescribe(TModuleRec& module) {
  static const std::vector<TParamRec> table = {{.keyword = "T", .prompt = "Text", .type = ptText}};
  module.name = "Other";
  module.run = OtherRun;
  module.params = table;
  module.release = OtherRelease;
}

// Records the view's calls and the busy flag it sees at each.
class RecordingView : public TDialogView {
 public:
  void ShowListing() override { log.push_back("listing"); }
  void RunStarted() override { log.push_back(RunFlags().busy ? "started busy" : "started idle"); }
  void RunEnded() override { log.push_back(RunFlags().busy ? "ended busy" : "ended idle"); }
  std::vector<std::string> log;
};

class ParamDialogTest : public ::testing::Test {
 protected:
  ~ParamDialogTest() override {
    ClearAbort();
    EndDialogRun();
    EndBatchRun();
  }
  TModuleRec Described(std::int32_t number) {
    TModuleRec module;
    module.number = number;
    DescribeModule(number, module);
    return module;
  }
  TParamRec& Param(TDialogModel& dialog, int row) { return dialog.Params().Params()[static_cast<size_t>(row - 1)]; }

  shelltest::TempSettings settings;
  shelltest::RecordedServices services;
  TListingModel listing{"2.02c"};
  RecordingView view;
  FakeModule sahn{SahnNumber};
};

TEST_F(ParamDialogTest, FieldChecksNameTheFirstFaultyRow) {
  static const std::vector<TParamRec> table = {
      {.prompt = "Title", .required = true, .type = ptText},
      {.prompt = "Input file", .required = true, .type = ptInFile},
      {.prompt = "Output file", .required = true, .type = ptOutFile},
      {.prompt = "Optional", .type = ptText},
      {.prompt = "Count", .required = true, .type = ptInteger},
  };
  TModuleRec module;
  module.name = "Req";
  module.params = table;
  struct Case {
    const char* name;
    std::vector<std::string> values;  // title, input, output
    int row;
    std::string message;
  };
  const Case cases[] = {
      {"empty text", {"", "in", "out"}, 1, " Field must not be blank in row 1"},
      {"empty input file", {"t", "", "out"}, 2, " Input field must not be blank for Input file"},
      {"empty output file", {"t", "in", ""}, 3, " Output field must not be blank for Output file"},
      {"one blank counts as filled", {" ", "in", "out"}, 0, ""},
      {"the longest path fits", {"t", std::string(MaxPathLength, 'i'), std::string(MaxPathLength, 'o')}, 0, ""},
      {"an output name longer than the system opens",
       {"t", "in", std::string(MaxPathLength + 1, 'o')},
       3,
       " File name too long for Output file: at most 4095 characters"},
  };
  for (const Case& c : cases) {
    TDialogModel dialog(module);
    Param(dialog, 1).text = c.values[0];
    Param(dialog, 2).fileName = c.values[1];
    Param(dialog, 3).fileName = c.values[2];
    const auto fault = dialog.CheckFields();
    if (c.row == 0) {
      EXPECT_FALSE(fault) << c.name;
      continue;
    }
    ASSERT_TRUE(fault) << c.name;
    EXPECT_EQ(fault->row, c.row) << c.name;
    EXPECT_EQ(fault->message, c.message) << c.name;
    EXPECT_EQ(dialog.Compute(listing, view), TComputeEnd::Refused) << c.name;
  }
  EXPECT_EQ(listing.PageCount(), 1) << "a refused run opens no section";
}

TEST_F(ParamDialogTest, ComputeEndsIdleOnEveryPath) {
  struct Case {
    const char* text;
    TComputeEnd end;
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
  };
  const Case cases[] = {
      {"ok", TComputeEnd::Completed, {}, {}},
      {"FAIL", TComputeEnd::Failed, {"fake failure"}, {}},
      {"ABORT", TComputeEnd::Aborted, {}, {"User abort"}},
  };
  for (const Case& c : cases) {
    services.errors.clear();
    services.warnings.clear();
    view.log.clear();
    TDialogModel dialog(Described(SahnNumber));
    Param(dialog, 1).text = c.text;
    EXPECT_EQ(dialog.Compute(listing, view), c.end) << c.text;
    EXPECT_EQ(services.errors, c.errors) << c.text;
    EXPECT_EQ(services.warnings, c.warnings) << c.text;
    EXPECT_EQ(view.log, (std::vector<std::string>{"listing", "started idle", "ended idle"})) << c.text;
    EXPECT_FALSE(RunFlags().busy) << c.text;
    EXPECT_FALSE(RunFlags().abort) << c.text;
    EXPECT_TRUE(dialog.CanClose()) << c.text;
  }
  EXPECT_EQ(listing.Section(1)->Caption(), "Fake-1");
  EXPECT_EQ(listing.Section(3)->Caption(), "Fake-3");
}

// Cancel pressed while the error box of a failed run shows: the end of the
// run cannot raise, so no run leaves the program busy or aborting.
TEST_F(ParamDialogTest, CancelAfterTheRunLeavesNothingBusy) {
  TSharedServices hooks = InstallSharedServices({});
  hooks.errorBox = [record = hooks.errorBox](std::string_view text) {
    record(text);
    RequestAbort();
  };
  InstallSharedServices(hooks);
  TDialogModel dialog(Described(SahnNumber));
  Param(dialog, 1).text = "FAIL";
  EXPECT_EQ(dialog.Compute(listing, view), TComputeEnd::Failed);
  EXPECT_EQ(services.errors, std::vector<std::string>{"fake failure"});
  EXPECT_FALSE(RunFlags().busy);
  EXPECT_FALSE(RunFlags().abort);
  EXPECT_EQ(view.log.back(), "ended idle");
  Param(dialog, 1).text = "again";
  EXPECT_EQ(dialog.Compute(listing, view), TComputeEnd::Completed);
}

TEST_F(ParamDialogTest, NoRunWhileAnotherRunsOrABatch) {
  TDialogModel dialog(Described(SahnNumber));
  ASSERT_TRUE(BeginBatchRun());
  EXPECT_EQ(dialog.Compute(listing, view), TComputeEnd::Refused);
  EndBatchRun();
  ASSERT_TRUE(BeginDialogRun());
  EXPECT_EQ(dialog.Compute(listing, view), TComputeEnd::Refused);
  EndDialogRun();
  EXPECT_TRUE(view.log.empty());
  EXPECT_EQ(listing.PageCount(), 1);
}

// The dialog's copy of the descriptor and of the parameters are its own: a
// batch that runs another module meanwhile changes neither, and closing the
// dialog releases the dialog's module.
TEST_F(ParamDialogTest, CloseReleasesItsOwnModuleAfterABatchRanAnother) {
  RegisterModule(TreeNumber, OtherDescribe);
  const rtl::ScopeExit unregister([] { UnregisterModule(TreeNumber); });
  TDialogModel dialog(Described(SahnNumber));
  Param(dialog, 1).text = "typed";

  class NextAtOnce : public TBatchView {
   public:
    TBatchRunner* runner = nullptr;
    void WaitStarted() override { runner->Next(); }
  } batchView;
  TBatchRunner runner(listing, batchView);
  batchView.runner = &runner;
  rtl::StringList lines;
  lines.Add("*TREE T=x");
  runner.LoadLines(lines);
  ASSERT_EQ(runner.Run({}), TBatchEnd::Completed);

  EXPECT_EQ(dialog.Module().name, "Fake");
  EXPECT_EQ(Param(dialog, 1).text, "typed");
  FakeLog().clear();
  dialog.Close();
  dialog.Close();
  EXPECT_EQ(FakeLog(), std::vector<std::string>{"release"});
  EXPECT_EQ(dialog.Params().Count(), 0);
}

TEST_F(ParamDialogTest, EveryOpeningStartsFromTheTable) {
  {
    TDialogModel dialog(Described(SahnNumber));
    Param(dialog, 1).text = "changed";
    Param(dialog, 2).index = 0;
  }
  TDialogModel again(Described(SahnNumber));
  EXPECT_EQ(Param(again, 1).text, "start");
  EXPECT_EQ(Param(again, 2).ChoiceText(), "Max");
  EXPECT_EQ(again.TableRecord(7).max, "20");
}

}  // namespace

// The run flags, the one activity state of dialog runs and batches, Progress,
// and the run conventions every module shares.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/Matrixu.h"
#include "rtl/TextFile.h"
#include "shell/Listing.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"
#include "shell/ShellServices.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/RecordingPlotBar.h"
#include "tests/support/ScopedHook.h"

namespace {

using shelltest::RecordedServices;

class RecordingView : public TProgressView {
 public:
  void SetStatus(const std::string& text) override { log.push_back("status '" + text + "'"); }
  void StartGauge() override { log.push_back("start"); }
  void SetGauge(std::int32_t percent) override { log.push_back("gauge " + std::to_string(percent)); }
  void StopGauge() override { log.push_back("stop"); }
  std::vector<std::string> log;
};

// Installs views and a message pump for one test and takes them away after.
class ProgressTest : public ::testing::Test {
 protected:
  ProgressTest() {
    SetDialogProgressView(&dialog);
    SetBatchProgressView(&batch);
    SetMessagePump([this] { ++pumped; });
  }
  ~ProgressTest() override {
    SetDialogProgressView(nullptr);
    SetBatchProgressView(nullptr);
    SetMessagePump(nullptr);
    EndDialogRun();
    EndBatchRun();
    ClearAbort();
  }
  RecordingView dialog;
  RecordingView batch;
  int pumped = 0;
};

TEST_F(ProgressTest, PercentChoosesTheGaugeState) {
  Progress("", 0);
  Progress("Computing", 40);
  Progress("", 100);
  Progress("", -1);
  Progress("ignored", -2);
  const std::vector<std::string> expected = {"status ' '", "start",     "status ' Computing'", "gauge 40",
                                             "status ' '", "gauge 100", "status ' '",          "stop"};
  EXPECT_EQ(dialog.log, expected);
  EXPECT_EQ(pumped, 5);
  EXPECT_TRUE(batch.log.empty());
}

TEST_F(ProgressTest, ShowsInTheBatchWindowWhileABatchRuns) {
  ASSERT_TRUE(BeginBatchRun());
  Progress("Reading", 10);
  EXPECT_TRUE(dialog.log.empty());
  EXPECT_EQ(batch.log, (std::vector<std::string>{"status ' Reading'", "gauge 10"}));
}

// A real decomposition under the scoped report moves the gauge within its
// span, and Cancel pressed meanwhile stops it; afterwards nothing reports.
TEST_F(ProgressTest, DecompositionMovesTheGaugeWithinItsSpanAndCancelStopsIt) {
  auto decompose = [] {
    Rect_mx a(70, 70);
    for (std::int32_t i = 1; i <= 70; ++i)
      for (std::int32_t j = 1; j <= 70; ++j) a.putxij(i, j, 1.0 / (i + j));
    vect_mx d(70);
    std::int32_t count = 0;
    EigenSymNoListing(70, a, d, 2, 1e-8, count, 3);
  };
  {
    const TDecompositionProgress span("Computing eigenvectors", 10, 90);
    decompose();
  }
  ASSERT_GT(dialog.log.size(), 10u);
  std::int32_t last = 10;
  for (const std::string& entry : dialog.log) {
    if (entry.rfind("gauge ", 0) != 0) {
      EXPECT_EQ(entry, "status ' Computing eigenvectors'");
      continue;
    }
    const std::int32_t percent = std::stoi(entry.substr(6));
    EXPECT_GE(percent, last);
    EXPECT_LE(percent, 90);
    last = percent;
  }
  dialog.log.clear();
  decompose();
  EXPECT_TRUE(dialog.log.empty());

  SetMessagePump([] { RequestAbort(); });
  const TDecompositionProgress span("Computing eigenvectors", 10, 90);
  EXPECT_THROW(decompose(), E_Morvapc_UserAbort);
}

TEST_F(ProgressTest, CancelRaisesUserAbortAndChangesNothingOnScreen) {
  SetMessagePump([] { RequestAbort(); });  // Cancel pressed while messages are processed
  try {
    Progress("Computing", -2);
    FAIL();
  } catch (const E_Morvapc_UserAbort& abort) {
    EXPECT_EQ(abort.Message(), "User abort");
  }
  EXPECT_TRUE(RunFlags().abort) << "the handler clears the flag";
  EXPECT_THROW(Progress("", 50), E_Morvapc_UserAbort);
  EXPECT_TRUE(dialog.log.empty());
  ProgressDone();  // the clean-up after a failed run does not raise again
  EXPECT_EQ(dialog.log, std::vector<std::string>{"stop"});
}

TEST_F(ProgressTest, OneActivityAtATime) {
  ASSERT_TRUE(BeginBatchRun());
  EXPECT_TRUE(ModuleActive());
  EXPECT_FALSE(BeginDialogRun()) << "no module starts from a dialog while a batch runs";
  EXPECT_FALSE(RunFlags().busy);
  EXPECT_FALSE(BeginBatchRun());
  EndBatchRun();

  RequestAbort();
  ASSERT_TRUE(BeginDialogRun());
  EXPECT_FALSE(RunFlags().abort) << "a dialog run starts with the abort flag clear";
  EXPECT_FALSE(BeginBatchRun()) << "no batch starts while a dialog run is busy";
  EXPECT_FALSE(RunFlags().batchRunning);
  EndDialogRun();
  EXPECT_FALSE(ModuleActive());
}

TEST_F(ProgressTest, PlotButtonsAreEnabledOnlyOutsideABatch) {
  testsupport::RecordingPlotBar bar;
  const testsupport::ScopedHook installed(SetPlotButtonBar, &bar);
  ASSERT_TRUE(BeginBatchRun());
  EnablePlotButtons({1, 2});
  EXPECT_TRUE(bar.enabled.empty());
  EXPECT_FALSE(bar.shown);
  EndBatchRun();
  EnablePlotButtons({1, 2});
  EXPECT_EQ(bar.enabled, (std::vector<int>{1, 2}));
  EXPECT_TRUE(bar.shown);
}

TEST_F(ProgressTest, ShellServicesMakeProgressTheNumericsCancellationPoint) {
  RecordedServices services;
  const testsupport::ScopedHook fileHooks(InstallMatrixFileHooks, {});
  const testsupport::ScopedHook abortCheck(InstallAbortCheck, nullptr);
  TListingModel listing("2.02c");
  InstallShellServices(listing, [](const std::string&) { return oafCancel; });
  AbortCheck();
  EXPECT_TRUE(dialog.log.empty()) << "the check changes nothing on screen";
  RequestAbort();
  EXPECT_THROW(AbortCheck(), E_Morvapc_UserAbort);
}

TEST(ModuleRun, DataSetsAreSeparatedAndTheLastEndsWithOneEmptyLine) {
  RecordedServices services;
  struct Case {
    const char* input;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"1\r\n", {"set 1", ""}},
      {"1\r\n\r\n  \r\n", {"set 1", ""}},
      {"1\r\n2\r\n3\r\n",
       {"set 1", "", "---- next dataset ----", "", "set 2", "", "---- next dataset ----", "", "set 3", ""}},
  };
  for (const Case& c : cases) {
    services.lines.clear();
    rtl::TextReader input = rtl::TextReader::FromText(c.input);
    ForEachDataSet(input, [&] {
      std::string word;
      input.ReadWord(word);
      ListingWriteLine("set " + word);
    });
    EXPECT_EQ(services.lines, c.lines) << c.input;
  }
}

TEST(ModuleRun, ParameterListingLines) {
  RecordedServices services;
  ListInputParameters("data.qmx");
  ListOutputFile("");
  ListOutputFile("out.qmx");
  ListOutputFile("tree.qmx", "Tree stored in file: ");
  ListingWriteLine(std::string("Standardize by: ") + std::string(DirectionWord(false)));
  const std::vector<std::string> expected = {"Input parameters", "Read input from file: data.qmx",
                                             "Save results in output file: out.qmx", "Tree stored in file: tree.qmx",
                                             "Standardize by: cols"};
  EXPECT_EQ(services.lines, expected);
}

}  // namespace

// The matrix files of one module run take their places together when the run
// ends well, from the dialog and from a batch; a failed or cancelled run
// leaves every previous file as it was, or none, and nothing in the way of a
// re-run.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "rtl/TextFile.h"
#include "shell/Batchu.h"
#include "shell/Listing.h"
#include "shell/ParamDialog.h"
#include "shell/Progress.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ScopedHook.h"

namespace {

namespace fs = std::filesystem;

constexpr std::int32_t WriterNumber = 18;

std::optional<std::string> Content(const fs::path& path) {
  if (!fs::exists(path)) return std::nullopt;
  return rtl::ReadWholeFile(path.string());
}

// What the first output held while the run went on, after it was closed.
std::optional<std::string>& FirstDuringTheRun() {
  static std::optional<std::string> content;
  return content;
}

// A module with two outputs: it writes and closes the first, writes the
// second and then, as its text says, fails before closing it ("FAIL"), is
// cancelled ("ABORT"), or closes it (and with "TAKEN" puts a folder where the
// second goes).
void WriterRun(std::span<const TParamRec> p) {
  const std::string& text = p[0].text;
  TOutputMatrixFile first, second;
  if (!OpenOutputMatrixFile(first, p[1].fileName, "first") || !OpenOutputMatrixFile(second, p[2].fileName, "second")) {
    return;
  }
  first->WriteLine("first " + text);
  CloseOutputMatrixFile(first);
  FirstDuringTheRun() = Content(p[1].fileName);
  second->WriteLine("second " + text);
  if (text == "FAIL") throw E_Morvapc("writer failure");
  if (text == "ABORT") {
    RequestAbort();
    Progress("", 50);
  }
  CloseOutputMatrixFile(second);
  // A folder where the second output goes: it cannot be put in place.
  if (text == "TAKEN") fs::create_directory(p[2].fileName);
}

void WriterDescribe(TModuleRec& module) {
  static const std::vector<TParamRec> table = {
      {.keyword = "T", .prompt = "Text", .type = ptText},
      {.keyword = "F", .prompt = "First output", .type = ptOutFile},
      {.keyword = "S", .prompt = "Second output", .type = ptOutFile},
  };
  module.name = "Writer";
  module.run = WriterRun;
  module.params = table;
}

class SilentBatchView : public TBatchView {
 public:
  void RunStarted() override {}
  void ExecutingLine(int, int, const std::string&) override {}
  void WaitStarted() override {}
  void RunEnded() override {}
};

class SilentDialogView : public TDialogView {
 public:
  void ShowListing() override {}
  void RunStarted() override {}
  void RunEnded() override {}
};

class RunOutputs : public ::testing::Test {
 protected:
  RunOutputs() {
    RegisterModule(WriterNumber, WriterDescribe);
    listing.InstallAsListingSink();
    fs::remove(first);
    fs::remove(second);
  }
  ~RunOutputs() override {
    UnregisterModule(WriterNumber);
    ClearAbort();
  }

  // Runs the writer from a batch command or from its dialog.
  void Run(bool batch, const std::string& text) {
    if (batch) {
      TBatchRunner runner(listing, batchView);
      rtl::StringList lines;
      lines.Add("*SAHN T=" + text + " F=" + first.string() + " S=" + second.string());
      runner.LoadLines(lines);
      runner.Run({});
      return;
    }
    TModuleRec module;
    DescribeModule(WriterNumber, module);
    TDialogModel dialog(module);
    dialog.Params().Params()[0].text = text;
    dialog.Params().Params()[1].fileName = first.string();
    dialog.Params().Params()[2].fileName = second.string();
    dialog.Compute(listing, dialogView);
    dialog.Close();
  }

  std::string LastSectionText() const { return listing.SectionFileText(listing.PageCount() - 1, "\n"); }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(settings.Folder())) {
      if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  shelltest::TempSettings settings;
  shelltest::RecordedServices services;
  TListingModel listing{"2.02c"};
  SilentBatchView batchView;
  SilentDialogView dialogView;
  fs::path first = settings.Folder() / "first.qmx";
  fs::path second = settings.Folder() / "second.qmx";
  char overWrite = 'O';
  testsupport::ScopedHook<TMatrixFileHooks> hooks{InstallMatrixFileHooks, [this] {
                                                    TMatrixFileHooks installed;
                                                    installed.overWrite = [this] { return overWrite; };
                                                    return installed;
                                                  }()};
};

// The listing of a run that stopped ends with the reason and the outputs it
// did not write; one that ended well names none.
TEST_F(RunOutputs, AppearTogetherWhenTheRunEndsWellAndNeverAfterAFailure) {
  struct Case {
    const char* text;
    char overWrite;
    const char* first;   // afterwards, over "old\r\n"
    const char* second;  // afterwards; nullptr: none
    const char* reason;  // why the listing says the run stopped; nullptr: it did not
  };
  const Case cases[] = {
      {"ok", 'O', "first ok\r\n", "second ok\r\n", nullptr},
      {"FAIL", 'O', "old\r\n", nullptr, "writer failure"},
      {"ABORT", 'O', "old\r\n", nullptr, "User abort"},
      {"ok", 'A', "old\r\nfirst ok\r\n", "second ok\r\n", nullptr},
      {"FAIL", 'A', "old\r\n", nullptr, "writer failure"},
      {"ABORT", 'A', "old\r\n", nullptr, "User abort"},
  };
  for (const bool batch : {true, false}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(batch ? "batch " : "dialog ") + c.text + " OverWrite " + c.overWrite);
      std::ofstream(first, std::ios::binary) << "old\r\n";
      fs::remove(second);
      overWrite = c.overWrite;
      FirstDuringTheRun().reset();
      Run(batch, c.text);
      EXPECT_EQ(FirstDuringTheRun(), "old\r\n") << "the first output waits for the end of the run";
      EXPECT_EQ(Content(first), c.first);
      EXPECT_EQ(Content(second), c.second ? std::optional<std::string>(c.second) : std::nullopt);
      const std::vector<std::string> files =
          c.second ? std::vector<std::string>{"first.qmx", "second.qmx"} : std::vector<std::string>{"first.qmx"};
      EXPECT_EQ(Entries(), files) << "no temporary file is left";
      EXPECT_FALSE(RunFlags().abort);
      const std::string text = LastSectionText();
      if (c.reason == nullptr) {
        EXPECT_EQ(text.find("Run stopped"), std::string::npos) << text;
        EXPECT_EQ(text.find("not written"), std::string::npos) << text;
      } else {
        EXPECT_NE(text.find("\n\nRun stopped: " + std::string(c.reason) + "\nOutput file not written: " +
                            first.string() + "\nOutput file not written: " + second.string() + "\n"),
                  std::string::npos)
            << text;
      }
    }
  }
}

// Outputs put in place before one that cannot be are written, and the
// listing names only those that are not.
TEST_F(RunOutputs, AFailedCommitNamesTheOutputsItDidNotPutInPlace) {
  for (const bool batch : {true, false}) {
    SCOPED_TRACE(batch ? "batch" : "dialog");
    fs::remove_all(second);
    Run(batch, "TAKEN");
    const bool firstWritten = Content(first) == "first TAKEN\r\n";
    EXPECT_TRUE(fs::is_directory(second));
    const std::string text = LastSectionText();
    EXPECT_NE(text.find("\nRun stopped: I/O error saving matrix - disk full? ("), std::string::npos) << text;
    EXPECT_EQ(text.find("Output file not written: " + first.string() + "\n") == std::string::npos, firstWritten)
        << text;
    EXPECT_NE(text.find("Output file not written: " + second.string() + "\n"), std::string::npos) << text;
  }
  fs::remove_all(second);
}

// With existing outputs refused ("F"), a re-run after a failed run finds
// nothing of it in its way.
TEST_F(RunOutputs, AFailedRunLeavesNothingInTheWayOfARerun) {
  overWrite = 'F';
  Run(true, "FAIL");
  EXPECT_EQ(services.errors, std::vector<std::string>{"writer failure"});
  EXPECT_EQ(Entries(), std::vector<std::string>{});
  Run(true, "again");
  EXPECT_EQ(Content(first), "first again\r\n");
  EXPECT_EQ(Content(second), "second again\r\n");
}

}  // namespace

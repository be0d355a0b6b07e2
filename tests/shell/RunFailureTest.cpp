// How a run fails, the same from the dialog and from a batch: an error box
// the run shows makes it a failed run (shown once; a batch stops at it), two
// outputs naming one file are refused before the run starts, and an existing
// output that is not written over stops a batch but only notes itself in a
// dialog run's listing.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "rtl/TextFile.h"
#include "shell/Ask_oaf.h"
#include "shell/Batchu.h"
#include "shell/Listing.h"
#include "shell/ParamDialog.h"
#include "shell/Progress.h"
#include "shell/ShellServices.h"
#include "tests/shell/FakeModules.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

namespace fs = std::filesystem;
using shelltest::FakeLog;
using shelltest::FakeModule;

constexpr std::int32_t SahnNumber = 18;

bool& FileRunRan() {
  static bool ran = false;
  return ran;
}

// Runs a module of the table, whose run only notes that it ran, with these
// file names in its records: the message that refused the run before it
// started, or empty when it ran.
std::string RefusalOf(std::span<const TParamRec> table, const std::vector<std::string>& names) {
  TModuleRec module;
  module.params = table;
  module.run = [](std::span<const TParamRec>) { FileRunRan() = true; };
  TWorkingParams params;
  params.LoadParameters(module);
  for (std::size_t i = 0; i < names.size(); ++i) params.Params()[i].fileName = names[i];
  FileRunRan() = false;
  try {
    CallRunRoutine(module, params.Params());
  } catch (const E_Morvapc& error) {
    EXPECT_FALSE(FileRunRan());
    return error.Message();
  }
  EXPECT_TRUE(FileRunRan());
  return {};
}

class RunFailure : public ::testing::Test {
 protected:
  RunFailure() {
    oldHooks_ = InstallMatrixFileHooks({});
    InstallShellServices(listing, [this](const std::string& fullName) {
      asked.push_back(fullName);
      return answer;
    });
    Config().defaultDir = settings.Folder().string();
  }
  ~RunFailure() override {
    SetMessagePump(nullptr);
    InstallMatrixFileHooks(std::move(oldHooks_));
    ClearAbort();
  }

  TBatchEnd RunBatch(std::initializer_list<const char*> commands) {
    rtl::StringList lines;
    for (const char* command : commands) lines.Add(command);
    TBatchView view;
    TBatchRunner runner(listing, view);
    runner.LoadLines(lines);
    return runner.Run("");
  }

  // The fake module from its dialog with the text T and the output O.
  TComputeEnd RunDialog(const std::string& text, const std::string& output = {}) {
    TModuleRec module;
    DescribeModule(SahnNumber, module);
    TDialogModel dialog(module);
    dialog.Params().Params()[0].text = text;
    dialog.Params().Params()[4].fileName = output;
    TDialogView view;
    const TComputeEnd end = dialog.Compute(listing, view);
    dialog.Close();
    return end;
  }

  std::string LastSectionText() const { return listing.SectionFileText(listing.PageCount() - 1, "\n"); }

  shelltest::TempSettings settings;
  shelltest::RecordedServices services;
  TListingModel listing{"2.02c"};
  FakeModule sahn{SahnNumber};
  std::vector<std::string> asked;
  plat::ModalResult answer = oafCancel;

 private:
  TMatrixFileHooks oldHooks_;
};

TEST_F(RunFailure, AnErrorBoxFailsTheRunAndShowsItsFirstTextOnce) {
  EXPECT_EQ(RunBatch({"*SAHN T=BOX", "*SAHN T=never"}), TBatchEnd::Failed);
  EXPECT_EQ(services.errors, std::vector<std::string>{"fake box"});
  EXPECT_EQ(FakeLog(), (std::vector<std::string>{"run T=BOX C=Max R=true I=in.qmx O= X=1.5 N=2 O2=", "release"}))
      << "the next command never runs";

  services.errors.clear();
  EXPECT_EQ(RunDialog("BOX"), TComputeEnd::Failed);
  EXPECT_EQ(services.errors, std::vector<std::string>{"fake box"});
  EXPECT_FALSE(RunFlags().busy);
}

// A window's own box while the run lets the windows work is not the run's.
TEST_F(RunFailure, BoxesShownWhileMessagesAreProcessedShowAtOnce) {
  bool shown = false;
  SetMessagePump([&] {
    if (std::exchange(shown, true)) return;
    ShowErrorMessage("window's box");
  });
  EXPECT_EQ(RunBatch({"*SAHN T=a"}), TBatchEnd::Completed);
  EXPECT_EQ(services.errors, std::vector<std::string>{"window's box"});
}

TEST_F(RunFailure, OutputsThatNameOneFileAreRefusedBeforeTheRun) {
  static const std::vector<TParamRec> table = {
      {.keyword = "A", .prompt = "First output", .type = ptOutFile},
      {.keyword = "B", .prompt = "Second output", .type = ptOutFile},
      {.keyword = "I", .prompt = "Input file", .type = ptInFile},
  };
  const std::string folder = settings.Folder().string();
  struct Case {
    std::string first, second;
    bool refused;
  };
  const Case cases[] = {
      {"a.qmx", "a.qmx", true},
      {"a.qmx", folder + "/a.qmx", true},         // the data directory written out
      {"a.qmx", folder + "/sub/../a.qmx", true},  // through a folder and back
      {"a.qmx", "A.qmx", false},                  // names keep their case
      {"a.qmx", "b.qmx", false},
      {"", "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RefusalOf(table, {c.first, c.second, "in.qmx"}),
              c.refused ? "Output files for First output and Second output are one file: " + c.second +
                              "\nChoose another output file name."
                        : "")
        << c.first << " / " << c.second;
  }
}

// An output that is one of the inputs, under any name that leads to it, is
// refused before the module opens anything, whatever the order in which it
// opens its files; the input stays as it was.
TEST_F(RunFailure, OutputsThatNameAnInputAreRefusedBeforeTheRun) {
  static const std::vector<TParamRec> table = {
      {.keyword = "I", .prompt = "Input file", .type = ptInFile},
      {.keyword = "O", .prompt = "Output file", .type = ptOutFile},
      {.keyword = "T", .prompt = "Test data", .type = ptInFile},
  };
  const fs::path folder = settings.Folder();
  const std::string data = "1 1 1 0\r\n5\r\n";
  for (const char* name : {"in.qmx", "test.qmx"}) {
    rtl::TextWriter writer((folder / name).string());
    writer.Write(data);
    writer.Close();
  }
  fs::create_directory(folder / "sub");
  fs::create_symlink("test.qmx", folder / "link.qmx");
  fs::create_hard_link(folder / "test.qmx", folder / "sub" / "hard.qmx");
  struct Case {
    std::string test;  // the second input, when given
    std::string output;
    bool refused;
  };
  const Case cases[] = {
      {"", "in.qmx", true},
      {"", (folder / "in.qmx").string(), true},  // the data directory written out
      {"", (folder / "sub" / ".." / "in.qmx").string(), true},
      {"test.qmx", "test.qmx", true},  // the input opened last
      {"test.qmx", "link.qmx", true},  // a link to it
      {"link.qmx", "test.qmx", true},
      {"test.qmx", (folder / "sub" / "hard.qmx").string(), true},  // another name of the file
      {"nothing.qmx", "nothing.qmx", true},                        // no such file: the same path
      {"test.qmx", "TEST.qmx", false},                             // names keep their case
      {"test.qmx", "out.qmx", false},
  };
  for (const Case& c : cases) {
    const std::string fullName = c.output.find('/') == std::string::npos ? (folder / c.output).string() : c.output;
    EXPECT_EQ(RefusalOf(table, {"in.qmx", c.output, c.test}),
              c.refused ? "Output file for Output file is a file open for input: " + fullName +
                              "\nChoose another output file name."
                        : "")
        << c.test << " / " << c.output;
  }
  for (const char* name : {"in.qmx", "test.qmx"}) EXPECT_EQ(rtl::ReadWholeFile((folder / name).string()), data);
}

// OverWrite=F, and Cancel on the question: a batch stops naming the file, a
// dialog's run ends quietly with a line in its listing. The file stays.
TEST_F(RunFailure, AnExistingOutputNotWrittenOverStopsABatchOnly) {
  const fs::path out = settings.Folder() / "out.qmx";
  struct Case {
    const char* name;
    char overWrite;
    bool asks;
  };
  const Case cases[] = {{"setting F", 'F', false}, {"Cancel on the question", '?', true}};
  for (const Case& c : cases) {
    rtl::TextWriter old(out.string());
    old.WriteLine("old");
    old.Close();
    Config().overWrite = c.overWrite;
    services.errors.clear();
    asked.clear();
    FakeLog().clear();

    EXPECT_EQ(RunBatch({"*SAHN T=WRITE O=out.qmx", "*SAHN T=never"}), TBatchEnd::Failed) << c.name;
    EXPECT_EQ(services.errors, std::vector<std::string>{"Output file exists and was not written: " + out.string()})
        << c.name;
    EXPECT_EQ(FakeLog().size(), 2u) << c.name << ": the second command never runs";

    services.errors.clear();
    EXPECT_EQ(RunDialog("WRITE", "out.qmx"), TComputeEnd::Completed) << c.name;
    EXPECT_TRUE(services.errors.empty()) << c.name;
    EXPECT_NE(LastSectionText().find("\nOutput file not written: " + out.string() + "\n"), std::string::npos)
        << c.name << ": " << LastSectionText();
    EXPECT_EQ(asked.size(), c.asks ? 2u : 0u) << c.name;
    EXPECT_EQ(rtl::ReadWholeFile(out.string()), "old\r\n") << c.name;
  }
}

}  // namespace

// Values that hold commas or blanks reach a module from a batch as the
// dialog gives them: each command runs through qmbrun, and its output must
// equal, byte for byte, the output of a run whose parameters are set as the
// dialog sets them.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "modules/clustering/njoin.h"
#include "modules/general/transf.h"
#include "modules/ordination/canpls.h"
#include "rtl/TextFile.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ModuleArgs.h"
#include "tests/support/Qmbrun.h"

namespace {

namespace fs = std::filesystem;

struct Case {
  const char* name;
  void (*describe)(TModuleRec&);
  std::string command;             // the batch command; {dir} stands for the folder
  testsupport::ModuleArgs dialog;  // the same values as the dialog holds them
  const char* batchOutput;
  const char* dialogOutput;
};

std::string InFolder(std::string text, const fs::path& folder) {
  const std::string mark = "{dir}";
  for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at)) {
    text.replace(at, mark.size(), folder.string());
    at += folder.string().size();
  }
  return text;
}

void WriteText(const fs::path& file, const std::string& text) {
  rtl::TextWriter f(file.string());
  f.Write(text);
  f.Close();
}

TEST(BatchValues, QuotedAndBracketedArgumentsGiveTheDialogsResults) {
  shelltest::TempSettings settings;
  shelltest::RecordedServices services;
  const fs::path folder = qmbtest::FreshFolder("batch-values");
  // A triangle of landmarks, one a row, in a file whose name has blanks.
  WriteText(folder / "my landmarks.qmx", "1 3 2 0\n0 0\n2 0\n1 1\n");
  // Six OTUs ((1, 2), (3, 4), (5, 6)).
  WriteText(folder / "six.qmx", "2 6 6 0\n0\n5 0\n9 10 0\n13 14 6 0\n10 11 7 11 0\n13 14 10 14 9 0\n");
  fs::copy_file(fs::path(MORVA_FIXTURES) / "canpls" / "seven.qmx", folder / "seven.qmx");

  const Case cases[] = {
      {"a TRANSF code with two parameters",
       TransfDescribe,
       "*TRANSF O=\"{dir}/my landmarks.qmx\" D=NO T=SHAPET(1,2)[1-2] R={dir}/shape-batch.qmx",
       {{"O", "my landmarks.qmx"}, {"D", "NO"}, {"T", "SHAPET(1,2)[1-2]"}, {"R", "shape-dialog.qmx"}},
       "shape-batch.qmx",
       "shape-dialog.qmx"},
      {"an outgroup of two OTUs",
       NjoinDescribe,
       "*NJOIN O={dir}/six.qmx RM=OUTGROUP OUT=\"3,4\" R1={dir}/out-batch.tre",
       {{"O", "six.qmx"}, {"RM", "OUTGROUP"}, {"OUT", "3,4"}, {"R1", "out-dialog.tre"}},
       "out-batch.tre",
       "out-dialog.tre"},
      {"a CANPLS set list",
       CanPlsDescribe,
       "*CANPLS O={dir}/seven.qmx S=\"1,3\" M=CanCor L={dir}/left-batch.qmx",
       {{"O", "seven.qmx"}, {"S", "1,3"}, {"M", "CanCor"}, {"L", "left-dialog.qmx"}},
       "left-batch.qmx",
       "left-dialog.qmx"},
      {"a batch parameter with a blank",
       TransfDescribe,
       "*TRANSF O=%1 D=NO T=SHAPET(1,2)[1-2] R={dir}/param-batch.qmx",
       {{"O", "my landmarks.qmx"}, {"D", "NO"}, {"T", "SHAPET(1,2)[1-2]"}, {"R", "param-dialog.qmx"}},
       "param-batch.qmx",
       "param-dialog.qmx"},
  };

  std::string batch;
  for (const Case& c : cases) batch += InFolder(c.command, folder) + "\r\n";
  WriteText(folder / "values.qmb", batch);
  const std::string parameter = "'" + (folder / "my landmarks.qmx").string() + "'";
  const qmbtest::Outcome outcome = qmbtest::Run(folder, "values.qmb " + parameter);
  ASSERT_EQ(outcome.status, 0) << outcome.err;

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::RunModule(c.describe, c.dialog, [&](const std::string& name) { return (folder / name).string(); });
    const std::string made = rtl::ReadWholeFile((folder / c.batchOutput).string());
    EXPECT_FALSE(made.empty());
    EXPECT_EQ(made, rtl::ReadWholeFile((folder / c.dialogOutput).string()));
  }
  EXPECT_TRUE(services.errors.empty());
}

}  // namespace

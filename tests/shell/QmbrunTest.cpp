// The headless batch driver, run as a program on the batch files of
// tests/fixtures/shell/.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "rtl/TextFile.h"
#include "tests/support/Qmbrun.h"

namespace {

const std::filesystem::path Fixtures = std::filesystem::path(MORVA_FIXTURES) / "shell";

// Runs qmbrun in a folder of the test's own.
qmbtest::Outcome RunQmbrun(const std::string& arguments) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return qmbtest::Run(qmbtest::FreshFolder(std::filesystem::path("shell") / "qmbrun" / info->name()), arguments);
}

std::string Fixture(const std::string& name) { return "'" + (Fixtures / name).string() + "'"; }

TEST(Qmbrun, RunsConfigAndPrintsItsListing) {
  const qmbtest::Outcome outcome = RunQmbrun(Fixture("config.qmb") + " Data/Sub");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, rtl::ReadWholeFile((Fixtures / "config.expected.txt").string()));
  EXPECT_EQ(outcome.err, "");
}

TEST(Qmbrun, AListingThatCannotBeWrittenFailsTheRun) {
  const std::filesystem::path folder = qmbtest::FreshFolder("shell/qmbrun/full");
  const std::string command = "cd '" + folder.string() + "' && env XDG_CONFIG_HOME='" + folder.string() + "' '" +
                              QMBRUN + "' " + Fixture("config.qmb") + " >/dev/full 2>'" +
                              (folder / "messages.txt").string() + "'";
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 1);
  EXPECT_EQ(rtl::ReadWholeFile((folder / "messages.txt").string()), "Error writing the listing to standard output\n");
}

TEST(Qmbrun, AnUnknownModuleEndsTheBatchAfterTheListingSoFar) {
  const qmbtest::Outcome outcome = RunQmbrun(Fixture("config-then-missing.qmb"));
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out.substr(0, 21), "Config: Morvapc 2.02c");
  EXPECT_NE(outcome.out.find("File overwrite code: O\r\n"), std::string::npos);
  EXPECT_EQ(outcome.out.find('\f'), std::string::npos) << "one section: the batch ended at NOSUCH";
  EXPECT_EQ(outcome.err, "Module name (NOSUCH)\n not found\n");
}

TEST(Qmbrun, FilesThatCannotRunFailWithTheirMessage) {
  const std::filesystem::path folder = std::filesystem::path(MORVA_ARTEFACTS) / "shell";
  std::filesystem::create_directories(folder);
  const std::filesystem::path commentsOnly = folder / "comments-only.qmb";
  rtl::TextWriter writer(commentsOnly.string());
  writer.WriteLine("\" nothing to do");
  writer.Close();

  qmbtest::Outcome outcome = RunQmbrun("'" + commentsOnly.string() + "'");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, "Batch file contained only\ncomments or blank lines.\n");

  outcome = RunQmbrun("'" + (folder / "missing.qmb").string() + "'");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("missing.qmb"), std::string::npos);

  outcome = RunQmbrun("");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "usage: qmbrun FILE.QMB [p1 ... p9]\n");
}

}  // namespace

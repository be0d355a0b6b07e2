// The headless batch driver, run as a program: its listing on standard
// output, its messages on standard error, its command line and the rule on
// existing output files.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "rtl/TextFile.h"
#include "tests/support/Qmbrun.h"

namespace {

namespace fs = std::filesystem;

const fs::path Fixtures = fs::path(MORVA_FIXTURES) / "shell";

// A fresh folder named after the running test.
fs::path TestFolder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return qmbtest::FreshFolder(fs::path("shell") / "qmbrun" / info->test_suite_name() / info->name());
}

// Runs qmbrun in a folder of the test's own.
qmbtest::Outcome RunQmbrun(const std::string& arguments) { return qmbtest::Run(TestFolder(), arguments); }

std::string Fixture(const std::string& name) { return "'" + (Fixtures / name).string() + "'"; }

void WriteFile(const fs::path& path, const std::string& text) {
  rtl::TextWriter writer(path.string());
  writer.Write(text);
  writer.Close();
}

TEST(Qmbrun, RunsConfigAndPrintsItsListingWithLineFeeds) {
  const fs::path folder = TestFolder();
  const qmbtest::Outcome outcome = qmbtest::Run(folder, Fixture("config.qmb") + " Data/Sub");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  qmbtest::ExpectSameAsGolden(folder / "listing.txt", Fixtures / "config.expected.txt");
  EXPECT_EQ(outcome.raw.find('\r'), std::string::npos) << "standard output ends its lines with LF alone";
  EXPECT_EQ(outcome.err, "");
}

TEST(Qmbrun, AListingThatCannotBeWrittenFailsTheRun) {
  const fs::path folder = TestFolder();
  const std::string command = "cd '" + folder.string() + "' && env XDG_CONFIG_HOME='" + folder.string() + "' '" +
                              QMBRUN + "' " + Fixture("config.qmb") + " >/dev/full 2>'" +
                              (folder / "messages.txt").string() + "'";
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 1);
  EXPECT_EQ(rtl::ReadWholeFile((folder / "messages.txt").string()), "Error writing the listing to standard output\n");
}

TEST(Qmbrun, TheErrorNamesTheBatchLineThatFailed) {
  const qmbtest::Outcome outcome = RunQmbrun(Fixture("config-then-missing.qmb"));
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out.substr(0, 21), "Config: Morvapc 2.02c");
  EXPECT_NE(outcome.out.find("File overwrite code: O\r\n"), std::string::npos);
  EXPECT_EQ(outcome.out.find('\f'), std::string::npos) << "one section: the batch ended at NOSUCH";
  EXPECT_EQ(outcome.err, "line 3 (*NOSUCH I=data.qmx O=tree.qmx): Module name (NOSUCH)\n not found\n");
}

// Each section is out as soon as its command ends: with both streams in one
// file, the first section comes before the second command's error.
TEST(Qmbrun, EachSectionIsWrittenWhenItsCommandEnds) {
  const fs::path folder = TestFolder();
  const std::string command = "cd '" + folder.string() + "' && env XDG_CONFIG_HOME='" + folder.string() + "' '" +
                              QMBRUN + "' " + Fixture("config-then-missing.qmb") + " >both.txt 2>&1";
  ASSERT_EQ(std::system(command.c_str()) != 0, true);
  const std::string both = rtl::ReadWholeFile((folder / "both.txt").string());
  const size_t first = both.find("File overwrite code: O\n");
  const size_t error = both.find("line 3 (*NOSUCH");
  ASSERT_NE(first, std::string::npos) << both;
  ASSERT_NE(error, std::string::npos) << both;
  EXPECT_LT(first, error) << both;
}

// A settings file that is a pipe or a link to a device without end once
// held the start for good, or filled the memory: qmbrun warns, leaves it as
// it is, and runs the batch with the defaults. (The system stops a run that
// does not end.)
TEST(Qmbrun, StartsWithASettingsFileItCannotReadWhole) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> make;
    fs::file_type type;  // what it stays
  };
  const Case cases[] = {
      {"pipe", [](const fs::path& ini) { mkfifo(ini.c_str(), 0600); }, fs::file_type::fifo},
      {"link-to-device", [](const fs::path& ini) { fs::create_symlink("/dev/zero", ini); }, fs::file_type::symlink},
  };
  for (const Case& c : cases) {
    const fs::path folder = TestFolder() / c.name;
    const fs::path ini = folder / "config" / "morva" / "morva.ini";
    fs::create_directories(ini.parent_path());
    c.make(ini);
    const std::string command = "cd '" + folder.string() + "' && env XDG_CONFIG_HOME='" + (folder / "config").string() +
                                "' timeout 20 '" + QMBRUN + "' " + Fixture("config.qmb") +
                                " Data >out.txt 2>err.txt </dev/null";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << c.name;
    EXPECT_EQ(WEXITSTATUS(raw), 0) << c.name << " (124: stopped by the system)";
    EXPECT_EQ(rtl::ReadWholeFile((folder / "err.txt").string()),
              "warning: Settings file is not a regular file: " + ini.string() +
                  "\nIt is neither read nor written; the defaults apply.\n")
        << c.name;
    EXPECT_NE(rtl::ReadWholeFile((folder / "out.txt").string()).find("File overwrite code: F\n"), std::string::npos)
        << c.name;
    EXPECT_EQ(fs::symlink_status(ini).type(), c.type) << c.name;
  }
}

TEST(Qmbrun, FilesThatCannotRunFailWithTheirMessage) {
  const fs::path folder = TestFolder();
  WriteFile(folder / "comments-only.qmb", "\" nothing to do\r\n");

  qmbtest::Outcome outcome = qmbtest::Run(folder, "comments-only.qmb");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, "Batch file contained only\ncomments or blank lines.\n");

  outcome = qmbtest::Run(folder, "missing.qmb");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("missing.qmb: No such file or directory"), std::string::npos) << outcome.err;
}

// The command line: what each mistake and each question gets.
TEST(Qmbrun, CommandLine) {
  struct Case {
    const char* arguments;
    int status;
    const char* out;  // the start of standard output
    const char* err;  // the start of standard error
  };
  const Case cases[] = {
      {"", 1, "", "qmbrun: no batch file given\nusage: qmbrun [--overwrite]"},
      {"--frobnicate x.qmb", 1, "", "qmbrun: unknown option --frobnicate\nusage: qmbrun"},
      {"--help", 0, "usage: qmbrun [--overwrite]", ""},
      {"--version", 0, "qmbrun 2.02c\n", ""},
  };
  for (const Case& c : cases) {
    const qmbtest::Outcome outcome = RunQmbrun(c.arguments);
    EXPECT_EQ(outcome.status, c.status) << c.arguments;
    EXPECT_TRUE(outcome.raw.starts_with(c.out)) << c.arguments << ": " << outcome.raw;
    EXPECT_TRUE(outcome.err.starts_with(c.err)) << c.arguments << ": " << outcome.err;
  }
}

// A re-run meets the output file of the first run: without permission the
// batch stops there, naming the file, and leaves it as it was; --overwrite
// or a CONFIG command gives the permission.
TEST(Qmbrun, AnExistingOutputFileNeedsPermission) {
  struct Case {
    const char* name;
    const char* options;
    const char* config;  // a CONFIG command before STAND, or none
    int status;
    bool replaced;
  };
  const Case cases[] = {
      {"NoPermission", "", "", 1, false},
      {"OverwriteOption", "--overwrite ", "", 0, true},
      {"ConfigOverwrite", "", "*CONFIG OW=O\r\n", 0, true},
  };
  for (const Case& c : cases) {
    const fs::path folder = TestFolder() / c.name;
    fs::create_directories(folder);
    WriteFile(folder / "in.qmx", "1 3 2 0\r\n1 2\r\n3 4\r\n5 6\r\n");
    WriteFile(folder / "out.qmx", "old\r\n");
    WriteFile(folder / "run.qmb", std::string(c.config) + "*STAND O=in.qmx R=out.qmx\r\n*OUTPUT O=out.qmx\r\n");
    const qmbtest::Outcome outcome = qmbtest::Run(folder, std::string(c.options) + "run.qmb");
    EXPECT_EQ(outcome.status, c.status) << c.name << ": " << outcome.err;
    EXPECT_EQ(rtl::ReadWholeFile((folder / "out.qmx").string()) != "old\r\n", c.replaced) << c.name;
    if (c.replaced) {
      EXPECT_EQ(outcome.err, "") << c.name;
      EXPECT_NE(outcome.out.find("Output: Morvapc"), std::string::npos) << c.name;
    } else {
      EXPECT_TRUE(outcome.err.starts_with("line 1 (*STAND O=in.qmx R=out.qmx): Output file exists: " +
                                          (folder / "out.qmx").string() + "\nRun qmbrun with --overwrite"))
          << outcome.err;
      EXPECT_EQ(outcome.out.find("Output: Morvapc"), std::string::npos) << "the batch stopped at STAND";
    }
  }
}

// A data matrix of `rows` x 40 values made from `seed`, a few MB of text.
std::string LargeMatrix(int rows, int seed) {
  std::string text = "1 " + std::to_string(rows) + " 40 0\r\n";
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= 40; ++j) text += std::to_string((i * 37 + j * seed) % 1000) + (j < 40 ? " " : "\r\n");
  }
  return text;
}

// Two runs writing one output at the same time: the file is the whole result
// of one of them, never a mix, and no temporary file is left. The second run
// reads more and writes less, so that it ends last with the shorter file.
TEST(Qmbrun, TwoRunsWritingOneOutputAtOnceLeaveOneWholeResult) {
  const fs::path folder = TestFolder();
  WriteFile(folder / "a.qmx", LargeMatrix(1200, 11));
  WriteFile(folder / "a.qmb", "*STAND O=a.qmx R=out.qmx\r\n");
  WriteFile(folder / "b.qmx", LargeMatrix(1800, 13));
  WriteFile(folder / "b.qmb", "*CONFIG FF=8.4f\r\n*STAND O=b.qmx R=out.qmx\r\n");
  std::vector<std::string> results;
  for (const char* batch : {"a.qmb", "b.qmb"}) {
    ASSERT_EQ(qmbtest::Run(folder, std::string("--overwrite ") + batch).status, 0);
    results.push_back(rtl::ReadWholeFile((folder / "out.qmx").string()));
  }
  ASSERT_NE(results[0], results[1]);
  ASSERT_GT(results[0].size(), 1000000u) << "large enough for the writes to overlap";

  for (int round = 0; round < 2; ++round) {
    const std::string command = "cd '" + folder.string() + "' && export XDG_CONFIG_HOME='" + folder.string() +
                                "' && { '" + QMBRUN + "' --overwrite a.qmb >a.txt & '" + QMBRUN +
                                "' --overwrite b.qmb >b.txt & wait; }";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string out = rtl::ReadWholeFile((folder / "out.qmx").string());
    EXPECT_TRUE(out == results[0] || out == results[1]) << "round " << round << ": " << out.size() << " bytes";
  }
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << "left behind: " << entry.path();
  }
}

// Appending (OW=A): each run that ends well adds its whole matrix; a run that
// fails adds nothing, not even its first lines.
TEST(Qmbrun, AppendingAddsWholeMatricesOnly) {
  const fs::path folder = TestFolder();
  WriteFile(folder / "in.qmx", "1 3 2 0\r\n1 2\r\n3 4\r\n5 6\r\n");
  WriteFile(folder / "bad.qmx", "1 3 2 0\r\n1 2\r\n3 x\r\n5 6\r\n");
  WriteFile(folder / "one.qmb", "*STAND O=in.qmx R=one.qmx\r\n");
  ASSERT_EQ(qmbtest::Run(folder, "one.qmb").status, 0);
  const std::string one = rtl::ReadWholeFile((folder / "one.qmx").string());

  WriteFile(folder / "run.qmb",
            "*CONFIG OW=A\r\n*STAND O=in.qmx R=out.qmx\r\n*STAND O=in.qmx R=out.qmx\r\n*STAND O=bad.qmx R=out.qmx\r\n");
  const qmbtest::Outcome outcome = qmbtest::Run(folder, "run.qmb");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_TRUE(outcome.err.starts_with("line 4 (*STAND O=bad.qmx R=out.qmx): Problem in reading value: x"))
      << outcome.err;
  EXPECT_EQ(rtl::ReadWholeFile((folder / "out.qmx").string()), one + one);
}

// On a terminal, standard error shows the progress of a running module; the
// line is cleared once the module ends. Elsewhere it shows nothing (every
// golden run checks that).
TEST(Qmbrun, ProgressShowsOnATerminal) {
  const fs::path folder = TestFolder();
  WriteFile(folder / "dis.qmx", "2 4 4 0\r\n0\r\n1 0\r\n4 3 0\r\n5 4 2 0\r\n");
  WriteFile(folder / "run.qmb", "*SAHN O=dis.qmx R=dis.tre\r\n");
  const std::string command = "cd '" + folder.string() + "' && env XDG_CONFIG_HOME='" + folder.string() +
                              "' script -qec \"'" + QMBRUN + "' run.qmb >listing.txt\" /dev/null >terminal.txt";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string terminal = rtl::ReadWholeFile((folder / "terminal.txt").string());
  EXPECT_NE(terminal.find("line 1: Clustering"), std::string::npos) << terminal;
  EXPECT_NE(terminal.find('%'), std::string::npos) << terminal;
  EXPECT_NE(rtl::ReadWholeFile((folder / "listing.txt").string()).find("SAHN: Morvapc"), std::string::npos);
}

}  // namespace

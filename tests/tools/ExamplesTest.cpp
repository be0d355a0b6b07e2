// The examples folder and docs/USAGE.md are what a new user starts from: the
// example batch and the guide's batch examples must run through, and both must
// keep up with the modules.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "modules/BuiltModules.h"
#include "rtl/TextFile.h"
#include "shell/Modules.h"
#include "tests/support/Qmbrun.h"
#ifdef MORVA_WITH_WINDOWS
#include "plot/forms/GraphicsModules.h"
#endif

namespace {

namespace fs = std::filesystem;

const fs::path kSource = fs::path(MORVA_FIXTURES).parent_path().parent_path();

// Modules whose data (gene frequencies, outlines, landmarks) the example data
// sets do not hold.
const std::set<std::string> kNotInTheExamples = {"SIMGEND", "FOURIER", "TPSWTS"};

void RegisterEveryBuiltModule() {
  RegisterBuiltModules();
#ifdef MORVA_WITH_WINDOWS
  RegisterGraphicsModules();
#endif
}

// The batch names of the commands of a batch file, in order.
std::vector<std::string> BatchCommands(const std::string& batch) {
  std::vector<std::string> names;
  std::istringstream lines(batch);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] != '*') continue;
    names.push_back(line.substr(1, line.find_first_of(" \r", 1) - 1));
  }
  return names;
}

std::size_t CountOf(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

bool BuiltHere(const std::string& batchName) {
  const auto* name = std::find(ModuleBatchNames.begin(), ModuleBatchNames.end(), batchName);
  return name != ModuleBatchNames.end() && ModuleAvailable(static_cast<std::int32_t>(name - ModuleBatchNames.begin()));
}

// The example batch without the commands of modules this build lacks (the
// graphics modules in a build without windows).
std::string BatchOfBuiltModules(const std::string& batch) {
  std::string kept;
  std::istringstream lines(batch);
  for (std::string line; std::getline(lines, line);) {
    const bool command = !line.empty() && line[0] == '*';
    if (!command || BuiltHere(line.substr(1, line.find_first_of(" \r", 1) - 1))) kept += line + "\n";
  }
  return kept;
}

// A fresh folder holding the example data sets and all.qmb.
fs::path FolderWithTheExamples(const std::string& name) {
  const fs::path folder = qmbtest::FreshFolder(name);
  for (const fs::directory_entry& entry : fs::directory_iterator(kSource / "examples")) {
    fs::copy_file(entry.path(), folder / entry.path().filename());
  }
  return folder;
}

// Runs the batch's commands of built modules in the folder, `runs` times: each
// run must succeed with a section per command and no error message.
void ExpectBatchRunsThrough(const fs::path& folder, const std::string& text, int runs) {
  const std::string built = BatchOfBuiltModules(text);
  rtl::TextWriter batch((folder / "built.qmb").string());
  batch.Write(built);
  batch.Close();
  const std::vector<std::string> commands = BatchCommands(built);
  for (int run = 1; run <= runs; ++run) {
    const qmbtest::Outcome outcome = qmbtest::Run(folder, "built.qmb");
    ASSERT_EQ(outcome.status, 0) << "run " << run << " of\n" << built << outcome.err;
    EXPECT_EQ(CountOf(outcome.out, ": Morvapc "), commands.size()) << "a section per command of\n" << built;
    EXPECT_EQ(outcome.err.find("rror"), std::string::npos) << outcome.err;
  }
}

// The batch examples of the guide: the blocks fenced with ```qmb.
std::vector<std::string> GuideBatchExamples(const std::string& guide) {
  std::vector<std::string> examples;
  const std::string open = "\n```qmb\n";
  for (std::size_t at = guide.find(open); at != std::string::npos; at = guide.find(open, at)) {
    const std::size_t start = at + open.size();
    const std::size_t end = guide.find("\n```\n", start - 1);
    if (end == std::string::npos) {
      ADD_FAILURE() << "a batch example that is not closed at " << guide.substr(start, 60);
      break;
    }
    examples.push_back(guide.substr(start, end + 1 - start));
    at = end + 1;
  }
  return examples;
}

TEST(Examples, TheExampleBatchRunsEveryCommandAndCoversTheBuiltModules) {
  RegisterEveryBuiltModule();
  const fs::path folder = FolderWithTheExamples("tools/examples");
  const std::string all = rtl::ReadWholeFile((folder / "all.qmb").string());
  // Twice: the second run replaces the first one's results.
  ExpectBatchRunsThrough(folder, all, 2);

  const std::vector<std::string> inExamples = BatchCommands(all);
  for (std::int32_t number = 0; number < ModuleCount; ++number) {
    const std::string name(ModuleBatchNames[number]);
    if (!ModuleAvailable(number) || kNotInTheExamples.contains(name)) continue;
    EXPECT_NE(std::find(inExamples.begin(), inExamples.end(), name), inExamples.end()) << name << " is not in all.qmb";
  }
}

TEST(Examples, TheUsersGuideBatchExamplesRunOnTheExampleData) {
  RegisterEveryBuiltModule();
  const std::string guide = rtl::ReadWholeFile((kSource / "docs" / "USAGE.md").string());
  const std::vector<std::string> examples = GuideBatchExamples(guide);
  ASSERT_GE(examples.size(), 6u) << "the guide's batch examples are fenced with ```qmb";
  for (std::size_t k = 0; k < examples.size(); ++k) {
    SCOPED_TRACE(examples[k]);
    EXPECT_FALSE(BatchCommands(examples[k]).empty()) << "an example without a command";
    ExpectBatchRunsThrough(FolderWithTheExamples("tools/guide-" + std::to_string(k + 1)), examples[k], 1);
  }
}

TEST(Examples, TheUsersGuideDocumentsEveryBuiltModuleAndItsKeywords) {
  const std::string guide = rtl::ReadWholeFile((kSource / "docs" / "USAGE.md").string());
  RegisterEveryBuiltModule();
  for (std::int32_t number = 0; number < ModuleCount; ++number) {
    if (!ModuleAvailable(number)) continue;
    const std::string heading = "### " + std::string(ModuleBatchNames[number]) + ":";
    const std::size_t start = guide.find(heading);
    ASSERT_NE(start, std::string::npos) << heading << " is missing";
    const std::string section = guide.substr(start, guide.find("\n### ", start) - start);
    TModuleRec module;
    DescribeModule(number, module);
    for (const TParamRec& param : module.params) {
      EXPECT_NE(section.find("| `" + param.keyword + "` |"), std::string::npos) << heading << " " << param.keyword;
    }
  }
}

}  // namespace

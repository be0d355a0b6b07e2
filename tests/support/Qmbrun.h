#pragma once
// Runs the headless batch driver as a program, the way the golden tests use
// it: in a folder of the test's own, with a private settings folder and a
// fixed date (SOURCE_DATE_EPOCH=0), the listing and the message boxes
// captured in files of that folder.
//
// Golden files: a test compares what a run made with a stored copy through
// ExpectSameAsGolden. To store what the runs make now in place of the copies
// (after a change of the listing or the messages that is meant), run
//
//   MORVA_UPDATE_GOLDEN=1 ctest --test-dir BUILD-FOLDER -L golden
//
// and review the changes with git diff before committing them.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "rtl/TextFile.h"

namespace qmbtest {

struct Outcome {
  int status;       // the exit status; -1 when the program did not exit
  std::string out;  // the listing as a listing file holds it (CR LF line ends)
  std::string err;  // the message boxes
  std::string raw;  // standard output as the program wrote it (LF line ends)
};

// The text with each LF line end made CR LF, as listing files end their lines.
inline std::string WithCrLf(const std::string& text) {
  std::string result;
  result.reserve(text.size() + text.size() / 16);
  for (const char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

// True when the tests store what they made as the golden copies.
inline bool UpdatingGoldenFiles() {
  const char* update = std::getenv("MORVA_UPDATE_GOLDEN");
  return update != nullptr && *update != '\0' && std::string(update) != "0";
}

// The file made must equal the golden copy byte for byte, and a file the run
// did not make must have no golden copy; with MORVA_UPDATE_GOLDEN set, the
// copy is replaced by the file made, or removed, instead.
inline void ExpectSameAsGolden(const std::filesystem::path& made, const std::filesystem::path& golden) {
  const bool exists = std::filesystem::exists(made);
  if (UpdatingGoldenFiles()) {
    if (!exists) {
      std::filesystem::remove(golden);
      return;
    }
    std::filesystem::create_directories(golden.parent_path());
    std::filesystem::copy_file(made, golden, std::filesystem::copy_options::overwrite_existing);
    return;
  }
  if (!exists || !std::filesystem::exists(golden)) {
    EXPECT_EQ(exists, std::filesystem::exists(golden))
        << (exists ? "no golden copy " : "the run made no ") << made << " of " << golden;
    return;
  }
  EXPECT_EQ(rtl::ReadWholeFile(made.string()), rtl::ReadWholeFile(golden.string()))
      << "compare " << made << " with " << golden;
}

// The names of the files in a folder.
inline std::set<std::string> FileNames(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// Every file a run made in the folder (its names are those there now but not
// in `before`; standard output aside) must have its golden copy in `golden`.
inline void ExpectOnlyGoldenFilesMade(const std::filesystem::path& folder, const std::set<std::string>& before,
                                      const std::filesystem::path& golden) {
  if (UpdatingGoldenFiles()) return;
  for (const std::string& name : FileNames(folder)) {
    if (!before.contains(name) && name != "stdout.txt") {
      EXPECT_TRUE(std::filesystem::exists(golden / name)) << "made without a golden copy: " << folder / name;
    }
  }
}

// Runs `qmbrun <arguments>` in `folder`; `environment` adds "NAME='value'"
// words before the program. Settings come from folder/config/morva/morva.ini.
// The program runs as a user would start it, without XDG_RUNTIME_DIR and
// without rules that quieten the toolkit, so its noise would show. Standard
// output goes to stdout.txt, the listing with CR LF line ends to listing.txt
// and standard error to messages.txt.
inline Outcome Run(const std::filesystem::path& folder, const std::string& arguments,
                   const std::string& environment = {}) {
  const std::string out = (folder / "stdout.txt").string();
  const std::string err = (folder / "messages.txt").string();
  const std::string command = "cd '" + folder.string() +
                              "' && env -u XDG_RUNTIME_DIR -u QT_LOGGING_RULES XDG_CONFIG_HOME='" +
                              (folder / "config").string() + "' SOURCE_DATE_EPOCH=0 " + environment + " '" + QMBRUN +
                              "' " + arguments + " >'" + out + "' 2>'" + err + "' </dev/null";
  const int status = std::system(command.c_str());
  Outcome outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, {}, rtl::ReadWholeFile(err), rtl::ReadWholeFile(out)};
  outcome.out = WithCrLf(outcome.raw);
  rtl::TextWriter listing((folder / "listing.txt").string());
  listing.Write(outcome.out);
  listing.Close();
  return outcome;
}

// A new empty folder for one test's run under the test artefacts.
inline std::filesystem::path FreshFolder(const std::filesystem::path& relative) {
  const std::filesystem::path folder = std::filesystem::path(MORVA_ARTEFACTS) / relative;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

// Writes folder/config/morva/morva.ini with the given lines.
inline void WriteSettings(const std::filesystem::path& folder, std::initializer_list<const char*> lines) {
  std::filesystem::create_directories(folder / "config" / "morva");
  rtl::TextWriter settings((folder / "config" / "morva" / "morva.ini").string());
  for (const char* line : lines) settings.WriteLine(line);
  settings.Close();
}

// Runs <stem>.qmb of the golden folder in a fresh folder (relative to the
// test artefacts), with every file of the source folders but the expected
// ones copied there and each output appended to (OverWrite=A). The listing,
// the message boxes and each output <stem>.<extension> must match
// <stem>.expected.txt, <stem>.expected.err and <stem>.expected.<extension>
// of the golden folder byte for byte.
inline void ExpectGoldenBatch(const std::filesystem::path& golden, const std::vector<std::filesystem::path>& sources,
                              const std::filesystem::path& relative, const std::string& stem,
                              const std::vector<std::string>& outputs) {
  namespace fs = std::filesystem;
  const fs::path folder = FreshFolder(relative);
  for (const fs::path& source : sources) {
    for (const fs::directory_entry& entry : fs::directory_iterator(source)) {
      if (entry.is_regular_file() && entry.path().filename().string().find(".expected.") == std::string::npos) {
        fs::copy_file(entry.path(), folder / entry.path().filename(), fs::copy_options::overwrite_existing);
      }
    }
  }
  WriteSettings(folder, {"[Config]", "OverWrite=A"});

  Run(folder, stem + ".qmb");
  const auto expect = [&](const std::string& made, const std::string& stored) {
    ExpectSameAsGolden(folder / made, golden / stored);
  };
  expect("listing.txt", stem + ".expected.txt");
  expect("messages.txt", stem + ".expected.err");
  for (const std::string& extension : outputs) expect(stem + "." + extension, stem + ".expected." + extension);
}

}  // namespace qmbtest

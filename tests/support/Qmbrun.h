#pragma once
// Runs the headless batch driver as a program, the way the golden tests use
// it: in a folder of the test's own, with a private settings folder and a
// fixed date (SOURCE_DATE_EPOCH=0), the listing and the message boxes
// captured in files of that folder.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "rtl/TextFile.h"

namespace qmbtest {

struct Outcome {
  int status;       // the exit status; -1 when the program did not exit
  std::string out;  // the listing
  std::string err;  // the message boxes
};

// Runs `qmbrun <arguments>` in `folder`; `environment` adds "NAME='value'"
// words before the program. Settings come from folder/config/morva/morva.ini.
inline Outcome Run(const std::filesystem::path& folder, const std::string& arguments,
                   const std::string& environment = {}) {
  const std::string out = (folder / "listing.txt").string();
  const std::string err = (folder / "messages.txt").string();
  const std::string command = "cd '" + folder.string() + "' && env XDG_CONFIG_HOME='" + (folder / "config").string() +
                              "' XDG_RUNTIME_DIR='" + folder.string() +
                              "' QT_LOGGING_RULES='*.warning=false' SOURCE_DATE_EPOCH=0 " + environment + " '" +
                              QMBRUN + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, rtl::ReadWholeFile(out), rtl::ReadWholeFile(err)};
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
    EXPECT_EQ(rtl::ReadWholeFile((folder / made).string()), rtl::ReadWholeFile((golden / stored).string()))
        << "compare " << (folder / made) << " with " << (golden / stored);
  };
  expect("listing.txt", stem + ".expected.txt");
  expect("messages.txt", stem + ".expected.err");
  for (const std::string& extension : outputs) expect(stem + "." + extension, stem + ".expected." + extension);
}

}  // namespace qmbtest

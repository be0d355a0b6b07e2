#pragma once
// Runs the headless batch driver as a program, the way the golden tests use
// it: in a folder of the test's own, with a private settings folder and a
// fixed date (SOURCE_DATE_EPOCH=0), the listing and the message boxes
// captured in files of that folder.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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

}  // namespace qmbtest

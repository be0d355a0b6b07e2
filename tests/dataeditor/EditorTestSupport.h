#pragma once
// Shared set-up of the data editor tests: a scratch folder that also holds the
// settings file, scripted message boxes and dialogs, and recording doubles of
// the desktop and the process launcher.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/record/ScriptedUi.h"
#include "rtl/TextFile.h"

namespace dataeditor_test {

namespace fs = std::filesystem;

inline std::string FixturePath(const std::string& name) { return std::string(MORVA_FIXTURES) + "/dataeditor/" + name; }

inline std::string ReadBytes(const std::string& path) { return rtl::ReadWholeFile(path); }

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  rtl::TextWriter f(path);
  f.Write(bytes);
  f.Close();
}

// A folder of its own for each test, removed afterwards; the settings file
// "morva.ini" lives in its "config" subfolder.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device seed;
    path_ = fs::temp_directory_path() / ("mvedit-test-" + std::to_string(seed()) + std::to_string(seed()));
    fs::create_directories(path_ / "config");
    setenv("XDG_CONFIG_HOME", (path_ / "config").c_str(), 1);
  }
  ~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // Copies a fixture into the folder and returns the copy's name.
  std::string CopyFixture(const std::string& name) const {
    fs::copy_file(FixturePath(name), path_ / name, fs::copy_options::overwrite_existing);
    return File(name);
  }
  // The names of the files in the folder (the settings folder left out).
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
      if (entry.path().filename() != "config") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string SettingsText() const {
    std::error_code ec;
    fs::path ini = path_ / "config" / "morva" / "morva.ini";
    return fs::exists(ini, ec) ? ReadBytes(ini.string()) : std::string();
  }

 private:
  fs::path path_;
};

class EditorTest : public ::testing::Test {
 protected:
  ScratchFolder folder;
  plat::ScriptedMessageBox boxes;
  plat::ScriptedDialogs dialogs;
  plat::RecordingLauncher launcher;
  plat::RecordingDesktop desktop;
  plat::ScopedService<plat::MessageBoxes> boxesInstalled{boxes};
  plat::ScopedService<plat::Dialogs> dialogsInstalled{dialogs};
  plat::ScopedService<plat::ProcessLauncher> launcherInstalled{launcher};
  plat::ScopedService<plat::Desktop> desktopInstalled{desktop};

  // The texts of the boxes shown so far.
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : boxes.Boxes()) texts.push_back(box.text);
    return texts;
  }
};

}  // namespace dataeditor_test

#pragma once
// Doubles shared by the shell's tests: a private settings folder, and the
// shared services recorded instead of shown.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "matrix/Constu.h"
#include "tests/support/RecordedServices.h"
#include "shell/Config.h"

namespace shelltest {

// Points XDG_CONFIG_HOME at a fresh folder under the test artefacts for the
// test's life, and starts from the default configuration.
class TempSettings {
 public:
  TempSettings() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ =
        std::filesystem::path(MORVA_ARTEFACTS) / "shell" / (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) old_ = old;
    setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
    RestoreDefaults();
  }
  ~TempSettings() {
    if (old_) {
      setenv("XDG_CONFIG_HOME", old_->c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
    RestoreDefaults();
  }
  TempSettings(const TempSettings&) = delete;
  TempSettings& operator=(const TempSettings&) = delete;

  const std::filesystem::path& Folder() const { return folder_; }
  std::filesystem::path IniPath() const { return folder_ / "morva" / "morva.ini"; }

 private:
  std::filesystem::path folder_;
  std::optional<std::string> old_;
};

// Records message boxes (and, unless a listing is installed over it, listing
// lines) for the test's life.
using testsupport::RecordedServices;

}  // namespace shelltest

// Fuzz target over the settings file "morva.ini": the input is the file. The
// configuration is read from it as at start-up, with the main window's page
// and a window placement, then written back and read again; its key editor
// sets and removes a key in the same text.
//
// Reading never refuses: a value that cannot be used keeps its default. So
// any exception, a configuration that does not read back as it was written,
// a number format that the checker refuses or that formats a number wrongly,
// a key that does not read back as it was set, a crash, a hang or a
// sanitizer report is a finding.

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "FuzzInput.h"
#include "platform/IniFile.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "rtl/StringList.h"
#include "rtl/TextFile.h"
#include "shell/Config.h"
#include "shell/Profile2.h"

namespace {

std::filesystem::path& SettingsFolder() {
  static std::filesystem::path folder;
  return folder;
}

// The settings file of this process, in a folder of its own that goes at exit:
// in memory where the system offers a folder there, as every input writes it
// several times.
const std::string& SettingsPath() {
  static const std::string path = [] {
    std::error_code error;
    const std::filesystem::path memory = "/dev/shm";
    const std::filesystem::path base =
        std::filesystem::is_directory(memory, error) ? memory : std::filesystem::temp_directory_path();
    SettingsFolder() = base / ("morva-settings-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(SettingsFolder());
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(SettingsFolder(), ignored);
    });
    return (SettingsFolder() / "morva.ini").string();
  }();
  return path;
}

TProfile2 Profile(const char* section) {
  TProfile2 profile;
  profile.FileName = SettingsPath();
  profile.Section = section;
  return profile;
}

void CheckFormats(const TConfigRecord& config) {
  for (const std::string* text : {&config.fileFormatText, &config.listingFormatText}) ConfigCheckFormat(*text);
  // Even the shortest format keeps one significant digit: -12.34 shows as -1E+001 at worst.
  for (const std::string* format : {&config.fileFormat, &config.listingFormat}) {
    const std::optional<double> shown = rtl::TryStrToFloat(rtl::Trim(rtl::Format("%" + *format, -12.34)));
    if (!shown || std::fabs(*shown + 12.34) > 2.5) fuzz::Finding("a format that does not show -12.34");
  }
}

// The key editor on the text in memory: a key set reads back, a key removed is gone.
void EditKeys(const std::string& text) {
  plat::IniFile ini = plat::IniFile::FromText(text);
  ini.Write("Config", "OverWrite", "A");
  if (ini.Read("config", "overwrite") != "A") fuzz::Finding("a key set does not read back");
  ini.Write("WinPos", "NewWindow", "1 2 3");
  if (ini.Read("Config", "OverWrite") != "A") fuzz::Finding("setting a key changed another");
  ini.Remove("Config", "OverWrite");
  if (ini.Read("Config", "OverWrite")) fuzz::Finding("a key removed still reads");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  // Reading refuses nothing: every exception is a finding.
  return fuzz::TakeInput<>([&] {
    {
      rtl::TextWriter f(SettingsPath());
      f.Write(text);
      f.Close();
    }
    TProfile2 config = Profile("Config");
    ReadConfig(config);
    const TConfigRecord read = Config();
    CheckFormats(read);
    TProfile2 mainWindow = Profile("MainWindow");
    ReadMainWindowPage(mainWindow);
    TProfile2 winPos = Profile("WinPos");
    ReadWindowPlacement(winPos, "ListingF");

    WriteConfig(config);
    ReadConfig(config);
    if (!(Config() == read)) fuzz::Finding("the configuration does not read back as it was written");

    EditKeys(text);
  });
}

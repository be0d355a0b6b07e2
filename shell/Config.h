#pragma once
// The configuration record that every module depends on, its place in the
// settings file (section "Config" of "morva.ini"), and module 0, CONFIG, which
// edits it through the ordinary parameter dialog or a batch command.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "shell/Profile2.h"

struct TModuleRec;
struct TParamRec;

struct TConfigRecord {
  // The number formats of matrix files and of the listing, as the patterns
  // take them after "%" (a leading letter moved to the end: "12.5e").
  std::string fileFormat = "e";
  std::string listingFormat = "8.4f";
  std::int32_t listingIndent = 8;  // blanks before each printed listing line
  std::string defaultDir;          // folder of bare file names, kept normalised
  char overWrite = '?';            // '?' ask, 'O' overwrite, 'A' append, 'F' refuse
  std::string editor = "MVEDIT";   // command that starts the data editor
  // The two formats as the user typed them ("e12.5"): what the settings file
  // keeps and CONFIG shows.
  std::string fileFormatText = "e";
  std::string listingFormatText = "8.4f";

  bool operator==(const TConfigRecord&) const = default;
};

// The compiled-in defaults.
extern const TConfigRecord ConfigDefaults;

// The program's configuration.
TConfigRecord& Config();

constexpr std::size_t MaxFormatLength = 12;
// The widest field of a number format: a number itself takes at most 25
// characters in E format; beyond this a width only pads lines with blanks.
constexpr std::int32_t MaxFormatWidth = 99;
// The most decimals a number format can give: the digits a number keeps.
constexpr std::int32_t MaxFormatDecimals = 18;
// The listing indent every way of setting it accepts (CONFIG, the listing's
// Options > Indent, the settings file): 0 prints without an indent.
constexpr std::int32_t MinListingIndent = 0;
constexpr std::int32_t MaxListingIndent = 20;
constexpr std::string_view SettingsFileName = "morva.ini";

// Fills the configuration from the defaults, then from section "Config" of the
// profile's file. A value that cannot be used keeps its default: a number
// format that ConfigCheckFormat refuses, a "ListingIndent" that is no integer
// in MinListingIndent .. MaxListingIndent, an "OverWrite" other than ?, O, A or F
// (in any case), an empty "Editor".
void ReadConfig(TProfile2& profile);
// Writes the six keys of section "Config"; an empty text removes its key.
void WriteConfig(TProfile2& profile);
// Puts the compiled-in defaults back; the file is written only at exit.
void RestoreDefaults();

// Makes the folder of a file the user picked the data directory.
void TakeDataDirectoryOf(const std::string& fileName);

// Makes the configuration the source of "DefaultDir" and "OverWrite" when
// matrix files are opened (the data directory is stored back there too).
void InstallConfigHooks();

// The saved page of the main window's module notebook ("Page" of section
// "MainWindow"); 0 when it is missing or no integer.
std::int32_t ReadMainWindowPage(TProfile2& profile);
void WriteMainWindowPage(TProfile2& profile, std::int32_t page);

// Checks a number format of the "FileFormat" or "ListingFormat" kind: "E" or
// "F" alone, or a width, optionally a point and decimals, and the letter "E" or
// "F" at either end ("8.4f", "e12.5"), the width greater than the decimals + 1,
// at most MaxFormatWidth, and the decimals at most MaxFormatDecimals.
// A refused format raises E_Morvapc "Bad format" with the reason on a second
// line, or rtl::EConvertError for a width or decimals that are not numbers.
void ConfigCheckFormat(std::string_view format);

// Module 0.
void ConfigDescribe(TModuleRec& module);
// Takes the working values, lists them and checks both formats; the new values
// take effect only when both formats pass.
void ConfigRun(std::span<const TParamRec> params);
void ConfigRelease();

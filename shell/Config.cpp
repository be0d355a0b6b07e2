#include "shell/Config.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <utility>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "rtl/StringList.h"
#include "shell/ModuleRun.h"
#include "shell/Modules.h"

const TConfigRecord ConfigDefaults{};

TConfigRecord& Config() {
  static TConfigRecord config;
  return config;
}

namespace {

constexpr std::string_view ConfigSection = "Config";
constexpr std::string_view OverWriteCodes = "?OAF";

enum ConfigParam { cpFileFormat, cpListingFormat, cpListingIndent, cpDataDir, cpOverWrite, cpEditor, cpCount };

std::array<TParamRec, cpCount>& ConfigTable() {
  static std::array<TParamRec, cpCount> table = {
      TextParam("FF", "File format", "File output format string"),
      TextParam("LF", "Listing format", "Listing format string"),
      IntegerParam("LI", "Listing indent", "Blank spaces in output listing", 0, rtl::IntToStr(MinListingIndent),
                   rtl::IntToStr(MaxListingIndent), "##"),
      TextParam("DD", "Data directory", "Path to data directory"),
      ChoiceParam("OW", "File overwrite", "Ask, Overwrite, Append, Fail", {"?", "O", "A", "F"}),
      TextParam("ED", "Editor", "Program to use as editor"),
  };
  return table;
}

[[noreturn]] void BadFormat(std::string_view reason) { throw E_Morvapc("Bad format\n" + std::string(reason)); }

[[noreturn]] void NotAnInteger(std::string_view text) {
  throw rtl::EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

// A width or a number of decimals: decimal digits only, at most `limit`
// (what names it in the refusal).
std::int32_t FormatNumber(std::string_view digits, std::string_view what, std::int32_t limit) {
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    NotAnInteger(digits);
  }
  const std::string_view significant = digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
  const std::int32_t value = significant.size() > 9 ? limit + 1 : rtl::StrToInt("0" + std::string(significant));
  if (value > limit) {
    BadFormat(rtl::Format("%s (%s) \nmust be at most %d.", what, digits, limit));
  }
  return value;
}

std::int32_t FormatWidth(std::string_view digits) { return FormatNumber(digits, "Field width", MaxFormatWidth); }

bool IsFormatLetter(char c) { return c == 'E' || c == 'F'; }

// The overwrite code in upper case when it is one of ?, O, A, F; otherwise '?'.
char OverWriteCode(std::string_view text) {
  if (text.empty()) return ConfigDefaults.overWrite;
  const char code = rtl::UpperCase(text.substr(0, 1))[0];
  return OverWriteCodes.find(code) == std::string_view::npos ? ConfigDefaults.overWrite : code;
}

std::string CutFormat(std::string_view format) { return std::string(format.substr(0, MaxFormatLength)); }

// A format that ConfigCheckFormat accepted, in the form a pattern takes after
// "%": without blanks around it and with a leading letter moved to the end
// (e12.5 becomes 12.5e), since "%e12.5" would print "12.5" after every number.
std::string UsableFormat(std::string_view format) {
  std::string text(rtl::Trim(format));
  if (text.size() > 1 && IsFormatLetter(rtl::UpperCase(text.substr(0, 1))[0])) {
    std::rotate(text.begin(), text.begin() + 1, text.end());
  }
  return text;
}

// The format read from the file as typed, or the default when
// ConfigCheckFormat refuses it.
std::string CheckedFormat(const std::string& format, const std::string& fallback) {
  try {
    ConfigCheckFormat(format);
    return format;
  } catch (const rtl::Exception&) {
    return fallback;
  }
}

// Sets a format as typed (without blanks around it) and the pattern form the
// modules use.
void SetFormat(std::string& pattern, std::string& typed, const std::string& format) {
  typed = rtl::Trim(format);
  pattern = UsableFormat(format);
}

std::string ReadKey(TProfile2& profile, std::string_view key, std::string_view current) {
  profile.Section = ConfigSection;
  profile.Entry = key;
  profile.DefaultText = current;
  return profile.Text();
}

void WriteKey(TProfile2& profile, std::string_view key, std::string_view value) {
  profile.Section = ConfigSection;
  profile.Entry = key;
  profile.SetText(value);
}

// The indent read from the file, or the default when it is no number or lies
// outside the indent's range (a huge indent would print gigabytes of blanks).
std::int32_t CheckedIndent(const std::string& text) {
  const auto indent = rtl::TryStrToInt(text);
  if (!indent || *indent < MinListingIndent || *indent > MaxListingIndent) return ConfigDefaults.listingIndent;
  return *indent;
}

// The editor command read from the file, or the default for an empty one: it
// would start nothing, and the file, which drops an empty key when written,
// would give the default at the next start anyway.
std::string CheckedEditor(const std::string& text) { return text.empty() ? ConfigDefaults.editor : text; }

}  // namespace

void ReadConfig(TProfile2& profile) {
  TConfigRecord& config = Config();
  config = ConfigDefaults;
  SetFormat(
      config.fileFormat, config.fileFormatText,
      CheckedFormat(CutFormat(ReadKey(profile, "FileFormat", config.fileFormatText)), ConfigDefaults.fileFormatText));
  SetFormat(config.listingFormat, config.listingFormatText,
            CheckedFormat(CutFormat(ReadKey(profile, "ListingFormat", config.listingFormatText)),
                          ConfigDefaults.listingFormatText));
  config.listingIndent = CheckedIndent(ReadKey(profile, "ListingIndent", rtl::IntToStr(config.listingIndent)));
  config.defaultDir = ReadKey(profile, "DefaultDir", config.defaultDir);
  NormalizeDirectory(config.defaultDir);
  config.overWrite = OverWriteCode(ReadKey(profile, "OverWrite", std::string(1, config.overWrite)));
  config.editor = CheckedEditor(ReadKey(profile, "Editor", config.editor));
}

void WriteConfig(TProfile2& profile) {
  const TConfigRecord& config = Config();
  WriteKey(profile, "FileFormat", config.fileFormatText);
  WriteKey(profile, "ListingFormat", config.listingFormatText);
  WriteKey(profile, "ListingIndent", rtl::IntToStr(config.listingIndent));
  WriteKey(profile, "DefaultDir", config.defaultDir);
  WriteKey(profile, "OverWrite", std::string(1, config.overWrite));
  WriteKey(profile, "Editor", config.editor);
}

void RestoreDefaults() { Config() = ConfigDefaults; }

void TakeDataDirectoryOf(const std::string& fileName) {
  Config().defaultDir = std::filesystem::absolute(fileName).parent_path().string();
  NormalizeDirectory(Config().defaultDir);
}

void InstallConfigHooks() {
  TMatrixFileHooks hooks = InstallMatrixFileHooks({});
  hooks.defaultDir = [] { return Config().defaultDir; };
  hooks.setDefaultDir = [](const std::string& directory) { Config().defaultDir = directory; };
  hooks.overWrite = [] { return Config().overWrite; };
  InstallMatrixFileHooks(std::move(hooks));
}

std::int32_t ReadMainWindowPage(TProfile2& profile) {
  profile.Section = "MainWindow";
  profile.Entry = "Page";
  profile.DefaultText = "0";
  return rtl::TryStrToInt(profile.Text()).value_or(0);
}

void WriteMainWindowPage(TProfile2& profile, std::int32_t page) {
  profile.Section = "MainWindow";
  profile.Entry = "Page";
  profile.SetValue(page);
}

void ConfigCheckFormat(std::string_view format) {
  std::string text = rtl::UpperCase(rtl::Trim(format));
  if (text.size() <= 1) {
    if (text.size() == 1 && IsFormatLetter(text[0])) return;
    BadFormat("Only E of F formats are valid here.");
  }
  if (IsFormatLetter(text.front())) std::rotate(text.begin(), text.begin() + 1, text.end());
  if (!IsFormatLetter(text.back())) BadFormat("Only E of F formats are valid here.");

  const std::string_view number = std::string_view(text).substr(0, text.size() - 1);
  const size_t point = number.find('.');
  if (point == std::string_view::npos) {
    FormatWidth(number);
    return;
  }
  if (point == 0 || point + 1 == number.size()) {
    BadFormat("Decimal point in wrong position, format = " + text);
  }
  const std::int32_t width = FormatWidth(number.substr(0, point));
  const std::int32_t decimals = FormatNumber(number.substr(point + 1), "Decimal places", MaxFormatDecimals);
  if (width <= decimals + 1) {
    BadFormat(rtl::Format("Field width (%d) \nmust be > decimal places (%d) +1.", width, decimals));
  }
}

void ConfigDescribe(TModuleRec& module) {
  const TConfigRecord& config = Config();
  auto& table = ConfigTable();
  table[cpFileFormat].text = config.fileFormatText;
  table[cpListingFormat].text = config.listingFormatText;
  table[cpListingIndent].integer = config.listingIndent;
  table[cpDataDir].text = config.defaultDir;
  table[cpOverWrite].index = static_cast<std::int32_t>(OverWriteCodes.find(OverWriteCode({&config.overWrite, 1})));
  table[cpEditor].text = config.editor;

  DescribeAs(module, "Config", "Comfiguration parms.", 12, ConfigRun, table, ConfigRelease);
}

void ConfigRun(std::span<const TParamRec> params) {
  if (params.size() != cpCount) throw E_Morvapc_Internal("Configuration needs its six parameters");
  TConfigRecord config = Config();
  config.fileFormatText = CutFormat(params[cpFileFormat].text);
  config.listingFormatText = CutFormat(params[cpListingFormat].text);
  config.listingIndent = params[cpListingIndent].integer;
  config.defaultDir = params[cpDataDir].text;
  NormalizeDirectory(config.defaultDir);
  config.overWrite = OverWriteCode(params[cpOverWrite].ChoiceText());
  config.editor = params[cpEditor].text;

  ListingWriteLine("Configuration parameters");
  ListingWriteLine("File format: " + config.fileFormatText);
  ConfigCheckFormat(config.fileFormatText);
  ListingWriteLine("Listing format: " + config.listingFormatText);
  ConfigCheckFormat(config.listingFormatText);
  ListingWriteLine(rtl::Format("ListingIndent: %d", config.listingIndent));
  ListingWriteLine("Data directory: " + config.defaultDir);
  ListingWriteLine("File overwrite code: " + std::string(1, config.overWrite));
  ListingWriteLine("Editor: " + config.editor);
  ListingWriteLine("");
  SetFormat(config.fileFormat, config.fileFormatText, config.fileFormatText);
  SetFormat(config.listingFormat, config.listingFormatText, config.listingFormatText);
  Config() = config;
}

void ConfigRelease() {}

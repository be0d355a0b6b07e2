#include "platform/IniFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

#include "platform/MessageBox.h"
#include "rtl/Exception.h"
#include "rtl/StringList.h"
#include "rtl/TextFile.h"

namespace plat {

namespace {

// The name of a "[Section]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = rtl::Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return rtl::Trim(line.substr(1, close - 1));
}

// The key of a "Key=Value" line, or nothing for comments and other lines.
std::optional<std::string_view> KeyName(std::string_view line) {
  const std::string_view trimmed = rtl::Trim(line);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return rtl::Trim(line.substr(0, equals));
}

std::string ValueOf(std::string_view line) {
  std::string_view value = rtl::Trim(line.substr(line.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

std::string KeyLine(std::string_view key, std::string_view value) {
  return std::string(key) + "=" + std::string(value);
}

// Says once per file, for the life of the program, why it is left alone: in a
// warning box, or on standard error where no boxes are installed.
void WarnLeftAlone(const std::string& path, const std::string& why) {
  static std::set<std::string> warned;
  if (!warned.insert(path).second) return;
  const std::string text = "Settings file " + why + ": " + path + "\nIt is neither read nor written; the defaults apply.";
  if (!ShowMessageIfPossible(text, MsgKind::Warning)) std::fprintf(stderr, "warning: %s\n", text.c_str());
}

// The file's lines; nothing when it is left alone (WarnLeftAlone). Reading a
// device or a pipe could block the program's start or never end, so only a
// regular file (a link to one included) is read, with the line limit of the
// system's other readers.
std::optional<IniFile> LoadIfUsable(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) return IniFile::FromText({});
  if (!std::filesystem::is_regular_file(status)) {
    WarnLeftAlone(path, "is not a regular file");
    return std::nullopt;
  }
  rtl::TextReader reader(path);
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line, rtl::kTextLineLimit)) {
    if (line.size() > rtl::kTextLineLimit) {
      WarnLeftAlone(path, "has a line of more than " + std::to_string(rtl::kTextLineLimit) + " characters");
      return std::nullopt;
    }
    lines.push_back(line);
  }
  return IniFile::FromLines(std::move(lines));
}

// The file is replaced whole: a reader or a crash never sees half of it.
void Save(const IniFile& ini, const std::string& path) {
  const std::filesystem::path target(path);
  if (target.has_parent_path()) {
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
  }
  rtl::TextWriter writer(path);
  for (const std::string& line : ini.Lines()) writer.WriteLine(line);
  writer.Close();
}

}  // namespace

std::string ProfilePath(const std::string& fileName) {
  if (std::filesystem::path(fileName).has_parent_path()) return fileName;
  std::filesystem::path folder;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != '\0') {
    folder = config;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    folder = std::filesystem::path(home) / ".config";
  } else {
    folder = ".config";
  }
  return (folder / "morva" / fileName).string();
}

IniFile IniFile::FromText(std::string_view text) {
  rtl::StringList list;
  list.SetText(text);
  return FromLines({list.begin(), list.end()});
}

IniFile IniFile::FromLines(std::vector<std::string> lines) {
  IniFile ini;
  ini.lines_ = std::move(lines);
  return ini;
}

IniFile ReadProfileFile(const std::string& fileName) {
  return LoadIfUsable(ProfilePath(fileName)).value_or(IniFile::FromText({}));
}

std::optional<IniFile::Range> IniFile::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i]);
    if (!name || !rtl::SameText(*name, section)) continue;
    size_t end = i + 1;
    while (end < lines_.size() && !SectionName(lines_[end])) ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> IniFile::FindKey(const Range& range, std::string_view key) const {
  for (size_t i = range.header + 1; i < range.end; ++i) {
    const auto name = KeyName(lines_[i]);
    if (name && rtl::SameText(*name, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) const {
  const auto range = FindSection(section);
  if (!range) return std::nullopt;
  const auto line = FindKey(*range, key);
  if (!line) return std::nullopt;
  return ValueOf(lines_[*line]);
}

void IniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  const auto range = FindSection(section);
  if (!range) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(KeyLine(key, value));
    return;
  }
  if (const auto line = FindKey(*range, key)) {
    lines_[*line] = KeyLine(key, value);
    return;
  }
  // After the section's last non-blank line, so a blank line before the next section stays.
  size_t at = range->end;
  while (at > range->header + 1 && rtl::Trim(lines_[at - 1]).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), KeyLine(key, value));
}

void IniFile::Remove(std::string_view section, std::string_view key) {
  // Every line of the key goes: a file edited by hand may hold it twice, and
  // the second would read once the first was gone.
  for (auto range = FindSection(section); range; range = FindSection(section)) {
    const auto line = FindKey(*range, key);
    if (!line) return;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
  }
}

std::optional<std::string> ReadProfileString(const std::string& fileName, std::string_view section,
                                             std::string_view key) {
  return ReadProfileFile(fileName).Read(section, key);
}

void WriteProfileString(const std::string& fileName, std::string_view section, std::string_view key,
                        std::optional<std::string_view> value) {
  const std::string path = ProfilePath(fileName);
  std::optional<IniFile> loaded = LoadIfUsable(path);
  if (!loaded) return;
  IniFile& ini = *loaded;
  if (value) {
    ini.Write(section, key, *value);
  } else {
    if (!ini.Read(section, key)) return;
    ini.Remove(section, key);
  }
  Save(ini, path);
}

}  // namespace plat

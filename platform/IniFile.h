#pragma once
// Private profile files: "[Section]" headers and "Key=Value" lines, read and
// written one key at a time. Section and key names compare without regard to
// case; every other line of the file (other programs' sections, comments) is
// kept as it stands when a key is written.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Where a profile file lives: a bare name in the settings folder
// ($XDG_CONFIG_HOME/morva/, by default ~/.config/morva/); a name with a folder
// part as it is.
std::string ProfilePath(const std::string& fileName);

// The text of a profile file held in memory.
class IniFile {
 public:
  // Takes the lines of a file's text (CR LF, LF or CR end lines).
  static IniFile FromText(std::string_view text);
  static IniFile FromLines(std::vector<std::string> lines);

  // The value of a key with the blanks around it removed (and one pair of
  // enclosing quotes); nothing when the section or the key is missing.
  std::optional<std::string> Read(std::string_view section, std::string_view key) const;
  // Sets a key: replaces its line, or adds it at the end of its section, or
  // adds the section at the end of the file.
  void Write(std::string_view section, std::string_view key, std::string_view value);
  // Removes every line of a key in its section; nothing when it is missing.
  void Remove(std::string_view section, std::string_view key);

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  struct Range {
    size_t header;  // index of the "[Section]" line
    size_t end;     // one past the section's last line
  };
  std::optional<Range> FindSection(std::string_view section) const;
  std::optional<size_t> FindKey(const Range& range, std::string_view key) const;

  std::vector<std::string> lines_;
};

// A profile file (named as ProfilePath takes it), empty when it is missing. A
// file that is no regular file (a device, a pipe) or that holds a line longer
// than rtl::kTextLineLimit is left alone: read as empty, never written, and
// named in a warning once (a warning box, or standard error without one).
IniFile ReadProfileFile(const std::string& fileName);

// One key of a profile file (named as ProfilePath takes it); nothing when the
// file, section or key is missing.
std::optional<std::string> ReadProfileString(const std::string& fileName, std::string_view section,
                                             std::string_view key);

// Writes one key, creating the folder, the file and the section as needed;
// nothing as the value removes the key. A file left alone (ReadProfileFile)
// stays as it is. The file is replaced as a whole only
// once its new text is written, so a failed write (rtl::EInOutError) leaves the
// old file as it was.
void WriteProfileString(const std::string& fileName, std::string_view section, std::string_view key,
                        std::optional<std::string_view> value);

}  // namespace plat

#pragma once
// The common dialogs: open and save a file, pick a font or a colour, print and
// printer set-up. Each returns true when the user confirmed it.

#include "platform/Canvas.h"
#include "platform/Service.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace plat {

// Options of the open and save dialogs.
using FileDialogOptions = std::uint8_t;
constexpr FileDialogOptions ofFileMustExist = 1, ofPathMustExist = 2, ofOverwritePrompt = 4, ofHideReadOnly = 8,
                            ofShowHelp = 16;

struct FileDialogRequest {
  std::string title;
  // The platform's filter text: description and pattern pairs joined by '|',
  // patterns separated by ';' ("QMX files|*.QMX|All files|*.*").
  std::string filter;
  std::string defaultExt;  // without the dot; added to a name typed without one
  std::string initialDir;
  std::string fileName;  // preset name in; chosen full name out
  FileDialogOptions options = 0;
};

struct FilterEntry {
  std::string description;
  std::vector<std::string> patterns;
  friend bool operator==(const FilterEntry&, const FilterEntry&) = default;
};
// Splits a filter text into its entries; a trailing description without a pattern is dropped.
std::vector<FilterEntry> ParseFilter(const std::string& filter);
// Whether a file name matches a pattern such as "*.QMX": '*' and '?' wildcards,
// letters compared without case, "*.*" matching every name.
bool MatchesPattern(const std::string& fileName, const std::string& pattern);
// The name with `defaultExt` appended when it has no extension of its own.
std::string WithDefaultExtension(const std::string& fileName, const std::string& defaultExt);

// Options of the font dialog.
using FontDialogOptions = std::uint8_t;
constexpr FontDialogOptions fdFixedPitchOnly = 1;  // only fonts whose characters are all as wide

struct PrintRequest {
  int copies = 1;
};

class Dialogs {
 public:
  static constexpr const char* kServiceName = "common dialogs";
  virtual ~Dialogs() = default;
  virtual bool OpenFile(FileDialogRequest& request) = 0;
  virtual bool SaveFile(FileDialogRequest& request) = 0;
  virtual bool ChooseFont(Font& font, FontDialogOptions options = 0) = 0;
  virtual bool ChooseColor(Color& color) = 0;
  virtual bool Print(PrintRequest& request) = 0;
  virtual bool PrinterSetup() = 0;
};

inline Dialogs& CommonDialogs() { return Service<Dialogs>::Get(); }

}  // namespace plat

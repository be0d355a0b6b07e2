#include "tools/qmbrun/QmbrunOptions.h"

#include <optional>
#include <string_view>

#include "shell/Batchu.h"

namespace {

std::optional<TPlotFileFormat> PlotFormatNamed(std::string_view name) {
  if (name == "pdf") return TPlotFileFormat::Pdf;
  if (name == "png") return TPlotFileFormat::Png;
  if (name == "emf") return TPlotFileFormat::Emf;
  return std::nullopt;
}

// The value of an option given as "--name=value" or as "--name value"; moves
// past the value's word. Nothing when the option has no value.
std::optional<std::string> OptionValue(const std::vector<std::string>& words, std::size_t& i, std::string_view name) {
  const std::string& word = words[i];
  if (word.size() > name.size() && word.compare(0, name.size(), name) == 0 && word[name.size()] == '=') {
    return word.substr(name.size() + 1);
  }
  if (i + 1 >= words.size()) return std::nullopt;
  return words[++i];
}

bool IsOption(std::string_view word, std::string_view name) {
  return word == name || (word.size() > name.size() && word.substr(0, name.size()) == name && word[name.size()] == '=');
}

// Reads the option at words[i]; false with the error set when it is wrong.
bool ReadOption(const std::vector<std::string>& words, std::size_t& i, bool withWindows, TQmbrunOptions& options) {
  const std::string& word = words[i];
  if (word == "--help") {
    options.help = true;
  } else if (word == "--version") {
    options.version = true;
  } else if (word == "--overwrite") {
    options.overwrite = true;
  } else if (withWindows && IsOption(word, "--plots")) {
    const auto folder = OptionValue(words, i, "--plots");
    if (!folder || folder->empty()) {
      options.error = "--plots needs the folder to save the plots in";
      return false;
    }
    options.plotsFolder = *folder;
  } else if (withWindows && IsOption(word, "--plot-format")) {
    const auto name = OptionValue(words, i, "--plot-format");
    const auto format = name ? PlotFormatNamed(*name) : std::nullopt;
    if (!format) {
      options.error = "--plot-format takes pdf, png or emf";
      return false;
    }
    options.plotFormat = *format;
  } else if (!withWindows && (IsOption(word, "--plots") || IsOption(word, "--plot-format"))) {
    options.error = word.substr(0, word.find('=')) + " is not available: this qmbrun was built without windows";
    return false;
  } else {
    options.error = "unknown option " + word;
    return false;
  }
  return true;
}

}  // namespace

TQmbrunOptions ParseQmbrunArguments(const std::vector<std::string>& words, bool withWindows) {
  TQmbrunOptions options;
  std::size_t i = 0;
  for (; i < words.size() && words[i].starts_with("--"); ++i) {
    if (words[i] == "--") {
      ++i;
      break;
    }
    if (!ReadOption(words, i, withWindows, options)) return options;
  }
  if (options.help || options.version) return options;
  if (i >= words.size()) {
    options.error = "no batch file given";
    return options;
  }
  options.batchFile = words[i];
  for (++i; i < words.size(); ++i) {
    if (!options.parameters.empty()) options.parameters += ' ';
    options.parameters += QuoteBatchParameter(words[i]);
  }
  return options;
}

std::string QmbrunUsage(bool withWindows) {
  return withWindows ? "usage: qmbrun [--overwrite] [--plots DIR [--plot-format pdf|png|emf]] FILE.QMB [p1 ... p9]"
                     : "usage: qmbrun [--overwrite] FILE.QMB [p1 ... p9]";
}

std::string QmbrunHelp(bool withWindows) {
  std::string text = QmbrunUsage(withWindows) +
                     "\n"
                     "\n"
                     "Runs the commands of a batch file one after another, without windows.\n"
                     "p1 to p9 stand for %1 to %9 in the batch file.\n"
                     "\n"
                     "The listing goes to standard output, each command's section as soon as\n"
                     "the command ends. Messages go to standard error, each naming the batch\n"
                     "line it came from; while a module runs, its progress shows there when\n"
                     "standard error is a terminal.\n"
                     "\n"
                     "Options:\n"
                     "  --overwrite        write over output files that exist. Without it the\n"
                     "                     batch stops at an existing output file, unless the\n"
                     "                     setting OverWrite, or OW=O (overwrite) or OW=A (append)\n"
                     "                     in a *CONFIG command of the batch, says what to do.\n";
  if (withWindows) {
    text +=
        "  --plots DIR        save the pages of every plot window a graphics module\n"
        "                     opens in the folder DIR, named after the listing's\n"
        "                     section (Tree-2.pdf), and list the files' names.\n"
        "                     Without it the listing says that the plot was not saved.\n"
        "                     Existing files follow the rule of output files; a\n"
        "                     picture is never appended to.\n"
        "  --plot-format FMT  pdf (one document, a page for each page the window can\n"
        "                     show: each matrix, each page of a tall tree; the\n"
        "                     default), png (150 dpi) or emf: a file for each page\n"
        "                     (Tree-2-p2.png), as large as a printed page\n";
  } else {
    text +=
        "  (--plots and --plot-format are not available: this qmbrun was built without\n"
        "  windows, so it has no graphics modules and saves no plots.)\n";
  }
  text +=
      "  --help             show this help and exit\n"
      "  --version          show the version and exit\n"
      "\n"
      "Settings come from morva.ini (in $XDG_CONFIG_HOME/morva/); nothing is written\n"
      "back. With SOURCE_DATE_EPOCH set, the listing's dates and the random seed\n"
      "come from that moment, so runs can be compared.\n"
      "\n"
      "Exit status: 0 when every command ran, 1 otherwise.\n";
  return text;
}

#pragma once
// The command line of qmbrun:
//
//   qmbrun [--overwrite] [--plots DIR [--plot-format pdf|png|emf]] FILE.QMB [p1 ... p9]
//   qmbrun --help | --version
//
// Options come before the batch file; the words after it are the batch
// parameters. The plot options exist only in a qmbrun built with windows.

#include <string>
#include <vector>

enum class TPlotFileFormat { Pdf, Png, Emf };

struct TQmbrunOptions {
  bool help = false;
  bool version = false;
  bool overwrite = false;   // write over existing output files
  std::string plotsFolder;  // where plot windows are saved; empty: not saved
  TPlotFileFormat plotFormat = TPlotFileFormat::Pdf;
  std::string batchFile;
  std::string parameters;  // the batch parameters, one blank between two, each with a blank quoted
  std::string error;       // what is wrong with the command line; empty when nothing
};

// The options of the words after the program's name.
TQmbrunOptions ParseQmbrunArguments(const std::vector<std::string>& words, bool withWindows);

// The one-line usage and the whole help text, for a qmbrun with or without windows.
std::string QmbrunUsage(bool withWindows);
std::string QmbrunHelp(bool withWindows);

// Opening matrix files: names completed with the default directory, the
// "OverWrite" rule for existing output files, the guard that keeps a module
// from writing over a file it is reading, and the outputs of a run put in
// place together.

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "rtl/Exception.h"

namespace {

namespace fs = std::filesystem;

TMatrixFileHooks& Hooks() {
  static TMatrixFileHooks hooks;
  return hooks;
}

// The outputs of the module run going on, if any.
TRunOutputs*& CurrentRun() {
  static TRunOutputs* run = nullptr;
  return run;
}

// Names of the files open for input, one entry per open file.
std::vector<std::string>& OpenInputs() {
  static std::vector<std::string> names;
  return names;
}

// Modal results of the overwrite/append prompt.
constexpr int kPromptOverwrite = 1;
constexpr int kPromptAppend = 6;

bool HasDirectoryPart(const std::string& name) { return name.find('/') != std::string::npos; }

// The name, in the default directory when it has no directory part. The input
// opener stores the normalised directory back into the setting; the output
// opener leaves the setting as it is.
std::string FullName(const std::string& name, bool storeDirectory) {
  if (HasDirectoryPart(name)) return name;
  std::string directory = Hooks().defaultDir ? Hooks().defaultDir() : std::string();
  NormalizeDirectory(directory);
  if (storeDirectory && Hooks().setDefaultDir) Hooks().setDefaultDir(directory);
  return directory + name;
}

// "OverWrite" as one of '?', 'O', 'A', 'F', in either case; anything else asks.
char OverWriteMode() {
  const char mode =
      Hooks().overWrite ? static_cast<char>(std::toupper(static_cast<unsigned char>(Hooks().overWrite()))) : '?';
  return mode == 'O' || mode == 'A' || mode == 'F' ? mode : '?';
}

bool Exists(const std::string& name) {
  std::error_code ec;
  return fs::exists(name, ec);
}

// Whether a name is taken, a link counting whatever it leads to.
bool Taken(const std::string& name) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(name, ec));
}

// The "OverWrite" rule for an output file: 'O' write it (new or over the old
// one), 'A' append to it, 'F' refused, after telling the hook outputRefused.
// A file written whole only (a picture) is never appended to, and a name that
// a link takes is taken for it, wherever the link leads.
char OutputMode(const std::string& fullName, bool wholeOnly) {
  char mode = OverWriteMode();
  if (mode == 'O' || !(wholeOnly ? Taken(fullName) : Exists(fullName))) return 'O';
  if (mode == '?') mode = AskOverwriteAppend(fullName);
  if (wholeOnly && mode == 'A') mode = 'F';
  if (mode == 'F' && Hooks().outputRefused) Hooks().outputRefused(fullName);
  return mode;
}

bool IsOpenForInput(const std::string& name) {
  return std::any_of(OpenInputs().begin(), OpenInputs().end(),
                     [&](const std::string& input) { return SameMatrixFile(input, name); });
}

// The path with "." and ".." and the links of its existing part resolved.
fs::path NormalPath(const std::string& name) {
  std::error_code ec;
  const fs::path resolved = fs::weakly_canonical(name, ec);
  return ec ? fs::path(name).lexically_normal() : resolved;
}

}  // namespace

std::string MatrixFileFullName(const std::string& name) { return FullName(name, false); }

bool SameMatrixFile(const std::string& first, const std::string& second) {
  std::error_code ec;
  const bool same = fs::equivalent(first, second, ec);
  if (!ec) return same;
  return NormalPath(first) == NormalPath(second);
}

std::string OutputOverInputMessage(std::string_view role, const std::string& fullName) {
  return "Output file for " + std::string(role) + " is a file open for input: " + fullName +
         "\nChoose another output file name.";
}

TMatrixFileHooks InstallMatrixFileHooks(TMatrixFileHooks hooks) { return std::exchange(Hooks(), std::move(hooks)); }

void TInputFileCloser::operator()(rtl::TextReader* f) const {
  std::vector<std::string>& inputs = OpenInputs();
  const auto it = std::find(inputs.begin(), inputs.end(), f->FileName());
  if (it != inputs.end()) inputs.erase(it);
  delete f;
}

char AskOverwriteAppend(const std::string& fullName) {
  const int result = Hooks().overwritePrompt ? Hooks().overwritePrompt(fullName) : 0;
  if (result == kPromptOverwrite) return 'O';
  if (result == kPromptAppend) return 'A';
  return 'F';
}

bool OpenInputMatrixFile(TInputMatrixFile& f, const std::string& name, std::string_view role) {
  f.reset();
  const std::string roleText(role);
  if (name.empty()) throw E_Morvapc("Input file name is blank for " + roleText);
  const std::string fullName = FullName(name, true);
  if (!Exists(fullName)) throw E_Morvapc("Input file (" + fullName + ") does not exist for " + roleText);

  const std::string problem = "Problem in opening input file: " + fullName + " for " + roleText;
  std::error_code ec;
  if (fs::is_directory(fullName, ec)) {
    throw E_Morvapc(WithSystemReason(problem, std::strerror(EISDIR)));
  }
  try {
    auto reader = std::make_unique<rtl::TextReader>(fullName);
    OpenInputs().push_back(fullName);
    f.reset(reader.release());
  } catch (const rtl::EInOutError& error) {
    throw E_Morvapc(WithSystemReason(problem, error.Reason()));
  }
  return true;
}

bool OpenOutputMatrixFile(TOutputMatrixFile& f, const std::string& name, std::string_view role) {
  f.reset();
  const std::string roleText(role);
  if (name.empty()) throw E_Morvapc("Output file name is blank for " + roleText);
  // The setting is kept normalised; normalising a copy all the same keeps a
  // directory without its final separator from merging with the name.
  const std::string fullName = FullName(name, false);
  if (IsOpenForInput(fullName)) throw E_Morvapc(OutputOverInputMessage(roleText, fullName));

  const char mode = OutputMode(fullName, false);
  if (mode == 'F') return false;

  const bool append = mode == 'A';
  try {
    f = std::make_unique<rtl::TextWriter>(fullName,
                                          append ? rtl::TextWriter::Mode::Append : rtl::TextWriter::Mode::Create);
  } catch (const rtl::EInOutError& error) {
    throw E_Morvapc(WithSystemReason(
        (append ? "Cannot append to output file for " : "Cannot open output file for ") + roleText + ": " + fullName,
        error.Reason()));
  }
  if (CurrentRun() != nullptr) CurrentRun()->Opened(name, fullName);
  return true;
}

bool MayWriteWholeOutputFile(const std::string& fullName) { return OutputMode(fullName, true) == 'O'; }

void CloseOutputMatrixFile(TOutputMatrixFile& f) {
  if (!f) return;
  TOutputMatrixFile closing = std::move(f);
  GuardMatrixWrite([&] {
    if (CurrentRun() != nullptr) {
      CurrentRun()->Add(closing->Complete());
    } else {
      closing->Close();
    }
  });
}

TRunOutputs::TRunOutputs() : previous_(std::exchange(CurrentRun(), this)) {}

TRunOutputs::~TRunOutputs() { CurrentRun() = previous_; }

void TRunOutputs::Opened(std::string name, std::string fullName) {
  opened_.push_back({std::move(name), std::move(fullName)});
}

void TRunOutputs::Add(rtl::AtomicFile file) { pending_.push_back(std::move(file)); }

void TRunOutputs::Commit() {
  std::vector<rtl::AtomicFile> pending = std::move(pending_);
  pending_.clear();
  GuardMatrixWrite([&] {
    for (rtl::AtomicFile& file : pending) {
      file.Commit();
      written_.push_back(file.Target());
    }
  });
}

std::vector<std::string> TRunOutputs::Unwritten() const {
  std::vector<std::string> unwritten;
  for (const TOpened& output : opened_) {
    if (std::find(written_.begin(), written_.end(), output.fullName) == written_.end()) unwritten.push_back(output.name);
  }
  return unwritten;
}

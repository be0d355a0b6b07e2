#include "platform/Desktop.h"

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/MessageQueue.h"
#include "rtl/StringList.h"

#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <system_error>
#include <thread>

extern char** environ;

namespace plat {

namespace fs = std::filesystem;

void SetScreenCursor(CursorShape shape) {
  if (Service<Desktop>::Installed()) Service<Desktop>::Get().SetScreenCursor(shape);
}

void SetCursorPos(Point screen) {
  if (Service<Desktop>::Installed()) Service<Desktop>::Get().SetCursorPos(screen);
}

Point CursorPos() { return Service<Desktop>::Installed() ? Service<Desktop>::Get().CursorPos() : Point{0, 0}; }

Rect ScreenRect() {
  return Service<Desktop>::Installed() ? Service<Desktop>::Get().ScreenRect() : Rect{0, 0, 640, 480};
}

void Beep() {
  if (Service<Desktop>::Installed()) Service<Desktop>::Get().Beep();
}

ShiftState CurrentShiftState() {
  return Service<Desktop>::Installed() ? Service<Desktop>::Get().CurrentShiftState() : 0;
}

void ProcessMessages() {
  if (Service<Desktop>::Installed()) {
    Service<Desktop>::Get().ProcessMessages();
  } else {
    MessageQueue::DeliverPosted();
  }
}

void Desktop::WaitMessages(std::uint32_t maxMs) {
  ProcessMessages();
  plat::Sleep(maxMs);
}

void WaitMessages(std::uint32_t maxMs) {
  if (Service<Desktop>::Installed()) {
    Service<Desktop>::Get().WaitMessages(maxMs);
  } else {
    MessageQueue::DeliverPosted();
    plat::Sleep(maxMs);
  }
}

std::string HelpDocumentFor(const std::string& helpFile) {
  fs::path document = fs::path(helpFile).replace_extension(".html");
  if (document.is_relative() && !helpFile.empty()) document = fs::path(ProgramDirectory()) / document;
  return document.string();
}

void ShowHelp(const std::string& helpFile, HelpCommand command, int context) {
  std::string document = HelpDocumentFor(helpFile);
  std::error_code ec;
  if (helpFile.empty() || !fs::is_regular_file(document, ec)) {
    ShowInformationMessage("Help is not installed (" + fs::path(helpFile).filename().string() + ").");
    return;
  }
  const std::string page = fs::absolute(document, ec).string();
  std::string url = page;
  if (command == HelpCommand::Context) url += "#context-" + std::to_string(context);
  Service<Desktop>::Get().OpenDocument(url, [page] {
    ShowErrorMessage("Unable to show the help in a web browser.\nThe help page is " + page);
  });
}

namespace {

std::string& HelpFile() {
  static std::string helpFile;
  return helpFile;
}

}  // namespace

void SetApplicationHelpFile(std::string helpFile) { HelpFile() = std::move(helpFile); }

const std::string& ApplicationHelpFile() { return HelpFile(); }

namespace {

std::string FindIgnoringCase(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  if (dir.empty() || !fs::is_directory(dir, ec)) return {};
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    if (rtl::SameText(entry.path().filename().string(), name) && entry.is_regular_file(ec))
      return entry.path().string();
  }
  return {};
}

bool IsExecutableFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec) && (fs::status(p, ec).permissions() & fs::perms::owner_exec) != fs::perms::none;
}

std::vector<std::string> SplitWords(const std::string& command) {
  std::vector<std::string> words;
  std::istringstream in(command);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

class PosixLauncher : public ProcessLauncher {
 public:
  bool Launch(const std::string& program, const std::vector<std::string>& args) override {
    std::vector<char*> argv;
    std::string arg0 = program;
    argv.push_back(arg0.data());
    std::vector<std::string> copies = args;
    for (auto& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
    // The program is not waited for; its exit is collected so it leaves no zombie behind.
    std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
    return true;
  }
};

}  // namespace

std::string ResolveProgram(const std::string& word, const std::string& besideDir, const std::string& searchPath) {
  if (word.empty()) return {};
  if (word.find('/') == std::string::npos) {
    if (auto beside = FindIgnoringCase(besideDir, word); !beside.empty()) return beside;
    std::istringstream dirs(searchPath);
    for (std::string dir; std::getline(dirs, dir, ':');) {
      if (dir.empty()) continue;
      for (const auto& candidate : {word, rtl::LowerCase(word)}) {
        fs::path p = fs::path(dir) / candidate;
        if (IsExecutableFile(p)) return p.string();
      }
    }
    return {};
  }
  return IsExecutableFile(word) ? word : std::string();
}

std::string ProgramDirectory() {
  std::error_code ec;
  auto self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.parent_path().string();
}

bool StartProgram(const std::string& command, const std::string& fileArgument) {
  const char* path = std::getenv("PATH");
  std::string searchPath = path ? path : "";
  // A program path with blanks in it is taken whole when it names a program.
  std::string program = ResolveProgram(command, ProgramDirectory(), searchPath);
  std::vector<std::string> args;
  if (program.empty()) {
    auto words = SplitWords(command);
    if (words.empty()) return false;
    program = ResolveProgram(words.front(), ProgramDirectory(), searchPath);
    args.assign(words.begin() + 1, words.end());
  }
  if (program.empty()) return false;
  if (!fileArgument.empty()) args.push_back(fileArgument);
  static PosixLauncher posix;
  ProcessLauncher& launcher = Service<ProcessLauncher>::Installed() ? Service<ProcessLauncher>::Get() : posix;
  return launcher.Launch(program, args);
}

}  // namespace plat

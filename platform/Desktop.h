#pragma once
// What the programs ask of the desktop besides windows: the mouse cursor,
// pending-message processing for long computations, help and starting another
// program beside the running one.

#include "platform/Canvas.h"
#include "platform/Service.h"
#include "platform/Types.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace plat {

class Control;

// RowMove and ColMove show where a row (column) can be dragged to a new place.
enum class CursorShape { Default, HourGlass, Arrow, IBeam, SizeWE, SizeNS, HandPoint, RowMove, ColMove };

class Desktop {
 public:
  static constexpr const char* kServiceName = "desktop";
  virtual ~Desktop() = default;
  // The cursor shown over every window of the program; Default gives each window its own again.
  virtual void SetScreenCursor(CursorShape shape) = 0;
  // Handles the window messages waiting now (painting, input, posted messages), then returns.
  virtual void ProcessMessages() = 0;
  // Sleeps until a message arrives or `maxMs` milliseconds have passed, then
  // handles the messages waiting.
  virtual void WaitMessages(std::uint32_t maxMs);
  // Moves the mouse pointer to a point of the screen (where the platform lets a program do so).
  virtual void SetCursorPos(Point screen) = 0;
  // Where the mouse pointer is, in screen coordinates.
  virtual Point CursorPos() = 0;
  // The primary screen's rectangle.
  virtual Rect ScreenRect() = 0;
  // The platform's default beep.
  virtual void Beep() = 0;
  // The modifier keys and mouse buttons held down now.
  virtual ShiftState CurrentShiftState() = 0;
  // Opens a document (a local file, with an optional "#fragment") in the
  // desktop's viewer. Runs `failed`, at once or later from the event loop, when
  // no viewer shows it (none is installed).
  virtual void OpenDocument(const std::string& url, std::function<void()> failed) = 0;
};

void SetScreenCursor(CursorShape shape);
void ProcessMessages();
void WaitMessages(std::uint32_t maxMs);
void SetCursorPos(Point screen);
// The pointer's position ((0, 0) without a desktop) and the screen (640 x 480 without one).
Point CursorPos();
Rect ScreenRect();
void Beep();
ShiftState CurrentShiftState();

// Help. A help file "name.hlp" is served by the document "name.html" beside it, a bare
// name beside the program (contexts are anchors "context-N"); without it the user is
// told that help is not installed, and when no web browser shows it, where it is.
enum class HelpCommand { Context, Contents, Search };
std::string HelpDocumentFor(const std::string& helpFile);
void ShowHelp(const std::string& helpFile, HelpCommand command, int context = 0);
// The application's help file, which F1 opens at the help context of the
// focused control: its own, else that of the nearest of its parents that has
// one (the window's last). F1 opens nothing where none of them has one.
void SetApplicationHelpFile(std::string helpFile);
const std::string& ApplicationHelpFile();
// The help context F1 opens on `control` (0 when none).
int HelpContextFor(const Control& control);
// What F1 does on the focused control: false when it has no help context.
bool ShowHelpFor(const Control& control);

// Starting programs.
class ProcessLauncher {
 public:
  static constexpr const char* kServiceName = "process launcher";
  virtual ~ProcessLauncher() = default;
  // Starts `program` (a full path) with `args`, without a shell, and does not wait.
  virtual bool Launch(const std::string& program, const std::vector<std::string>& args) = 0;
};

// The program a command's first word names: a file of that name, compared without
// case, in `besideDir`, else the name on `searchPath` (':'-separated), else a path
// as written when it exists. Empty when none is found.
std::string ResolveProgram(const std::string& word, const std::string& besideDir, const std::string& searchPath);
// Runs `command` (a program, possibly followed by arguments) with `fileArgument`
// as one more argument, looking the program up beside the running one first.
// False when the program cannot be found or started.
bool StartProgram(const std::string& command, const std::string& fileArgument);
// The folder of the running program.
std::string ProgramDirectory();

}  // namespace plat

#pragma once
// The batch runner: a batch file names modules by their batch names and sets
// their parameters by keyword, one command a line:
//
//   " a comment (so is a line starting with an apostrophe, and a blank line)
//   *SAHN I=data.qmx O=tree.qmx
//       M=UPGMA            <- a line without '*' continues the command above
//   *TREE I=%1             <- %1 to %9 stand for the batch parameters
//   *TRANSF O="my data.qmx" T=SHAPET(1,2)   <- quotes and parentheses keep commas and blanks
//
// The model loads and prepares the file, substitutes the parameters, and runs
// the commands one after another without the parameter dialog. The batch
// window only shows its state and forwards its buttons (Run, Next, Cancel).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/StringList.h"
#include "shell/Modules.h"

class TListingModel;

// What the batch window shows of a run.
class TBatchView {
 public:
  virtual ~TBatchView() = default;
  // The execution panel appears; Cancel now stops the computation.
  virtual void RunStarted() {}
  // Command `number` (counted from 1) starts; it began on line `fileLine` of
  // the batch file (counted from the file's first line).
  virtual void ExecutingLine(int /*number*/, int /*fileLine*/, const std::string& /*line*/) {}
  // The command ran to its end (its listing section is complete).
  virtual void CommandEnded(int /*number*/) {}
  // After a graphics module: Run reads "Next" until Next or Cancel is pressed.
  // An error raised here ends the batch; the module is released all the same.
  virtual void WaitStarted() {}
  virtual void WaitEnded() {}
  // The panel goes; Run is enabled again and Cancel closes the window.
  virtual void RunEnded() {}
  // The message that ended the batch, after RunEnded: an error box, or a
  // warning box for a user abort. The batch window names the command's line.
  virtual void ShowError(const std::string& text);
  virtual void ShowWarning(const std::string& text);
};

enum class TBatchState { Empty, Loaded, Running, Waiting };

// How a run ended. Errors of any other kind than the system's (a malformed
// number, an internal error) leave Run as exceptions, for the application's
// default error box.
enum class TBatchEnd {
  Completed,  // every command ran
  Failed,     // an E_Morvapc ended it; its text was shown in an error box
  Aborted,    // Cancel ended it; "User abort" was shown in a warning box, and the
              // listing's last line says where the batch stopped
  Refused,    // nothing ran: no file loaded, or a module or batch is running
};

class TBatchRunner {
 public:
  TBatchRunner(TListingModel& listing, TBatchView& view);

  // Reads and prepares a batch file. Errors (E_Morvapc with the grammar's
  // messages, rtl::EInOutError) leave no file loaded.
  void Load(const std::string& fileName);
  // The same for lines held in memory.
  void LoadLines(const rtl::StringList& lines);

  TBatchState State() const { return state_; }
  const std::string& FileName() const { return fileName_; }
  // The prepared command lines, as loaded (before %1 to %9 are replaced).
  const rtl::StringList& Commands() const { return commands_; }
  // The line of the batch file on which each command begins.
  const std::vector<int>& CommandFileLines() const { return fileLines_; }

  // Runs the loaded commands with the batch parameters (up to nine words).
  TBatchEnd Run(std::string_view parameters);
  // Next: ends the wait after a graphics module.
  void Next();
  // Cancel: while a batch runs, stops it and returns true; otherwise returns
  // false (the window then closes).
  bool Cancel();
  // The window may close only when no batch runs.
  bool CanClose() const { return !Running(); }

 private:
  bool Running() const;
  TBatchState IdleState() const;
  rtl::StringList SubstitutedCommands(const std::vector<std::string>& words) const;
  void RunCommands(const rtl::StringList& commands);
  void ListStop() const;
  void RunCommand(const std::string& line);
  void AfterModule(std::int32_t number);
  void WaitForPlot();

  TListingModel& listing_;
  TBatchView& view_;
  TBatchState state_ = TBatchState::Empty;
  std::string fileName_;
  rtl::StringList commands_;
  std::vector<int> fileLines_;
  TModuleRec module_;
  TWorkingParams params_;
  bool stop_ = false;
  int current_ = -1;  // the command that runs, counted from 0; -1 before the first
};

// Drops comments and blank lines and joins continuation lines to their
// command. Raises E_Morvapc "Batch file is empty." for no lines, "Batch file
// contained only\ncomments or blank lines." and, when the first line left
// does not start with '*', "Batch command lines must begin\nwith * or quote
// character:\n" and that line. When fileLines is given, it receives the line
// of the file (counted from 1) on which each command begins.
rtl::StringList PrepareBatchLines(const rtl::StringList& lines, std::vector<int>* fileLines = nullptr);

// The command with %1 to %9 replaced by the words of the parameters (replaced
// text is not searched again); a %n beyond the words stays as written, and a
// '%' before anything but 1 to 9 raises E_Morvapc "Bad parameter format". A
// word in double quotes keeps them, so that it stays one argument, except
// inside double quotes of the command (O="%1.qmx"), where its text goes in.
std::string SubstituteParameters(std::string_view command, const std::vector<std::string>& words);

// The words of the batch parameters field (up to nine), separated by blanks;
// a word in double quotes ("my data.qmx") holds its blanks and keeps its quotes.
// More than nine raise E_Morvapc "Too many batch parameters (<count>): at most
// 9 can be given".
std::vector<std::string> BatchParameterWords(std::string_view parameters);

// A batch parameter as the parameters field gives it: in double quotes when it
// holds a blank or a tab (and no double quote), otherwise as it is.
std::string QuoteBatchParameter(std::string_view word);

// Finds the module named by the command's first word (in any case), removes
// that word from the command and returns the module's number. Raises
// E_Morvapc "Module name missing" or "Module name (NAME)\n not found".
std::int32_t LookupModule(std::string& command);

// Sets the working copy from the pairs KEYWORD=ARGUMENT of the command. Pairs
// are separated by blanks, tabs and commas, but a comma inside parentheses
// does not separate (T=SHAPET(1,2)), and an argument in double quotes is what
// stands between them, blanks, commas and '=' included (OUT="3,4"); a missing
// closing quote raises E_Morvapc "Closing double quote missing in:\n" and the
// rest of the command. Arguments are taken by the types of the module's table:
// texts and file names as written (at most 50 and 128 characters), a choice by
// its item (any case), a check box true for TRUE, ROW or YES, numbers within
// the table's limits. Keywords compare in any case, and every record with the
// keyword takes the argument.
void ParseArguments(std::string_view arguments, const TModuleRec& module, TWorkingParams& params);

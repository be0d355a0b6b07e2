#pragma once
// What qmbrun shows of a batch run in place of the batch window: the listing
// written out section by section as the commands end, the message boxes as
// lines of text that name the batch line they came from, and the progress of
// a running module on one line of a terminal.

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "shell/Batchu.h"
#include "shell/Progress.h"

class TListingModel;

// Writes a listing's sections to a stream in the listing-file format, but with
// LF line ends, each once it is complete.
class TListingStream {
 public:
  TListingStream(const TListingModel& listing, std::ostream& out) : listing_(listing), out_(out) {}

  // Writes the sections not written yet and flushes; false once the stream failed.
  bool WriteNewSections();

 private:
  const TListingModel& listing_;
  std::ostream& out_;
  int written_ = 0;  // sections written
};

// The message boxes and the progress of a batch run, on standard error.
// Messages shown while a command runs (or by the error that ended it) start
// with "line N (COMMAND): ", N being the command's first line in the batch
// file; warnings then say "warning: ". Progress shows only on a terminal,
// on a line of its own that a message or the end of the module clears.
class TBatchReport : public TProgressView {
 public:
  TBatchReport(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}

  // The command that runs now; messages are named after it.
  void SetCommand(int fileLine, std::string_view command);
  // Messages from now on belong to no command.
  void ClearCommand();

  void Error(std::string_view text);
  void Warning(std::string_view text);

  void SetStatus(const std::string& text) override;
  void StartGauge() override;
  void SetGauge(std::int32_t percent) override;
  void StopGauge() override;

 private:
  void Message(std::string_view kind, std::string_view text);
  void ShowProgress();
  void ClearProgress();

  std::ostream& out_;
  bool terminal_;
  int fileLine_ = 0;
  std::string command_;
  std::string status_;
  std::int32_t percent_ = -1;  // -1: no gauge
  std::size_t shown_ = 0;      // length of the progress line on the terminal
};

// The batch window of qmbrun: shows the running command to the report,
// writes each command's section when it ends, and presses "Next" at once
// when a graphics module waits, after `onPlotWait` has done with its plots.
class THeadlessBatchView : public TBatchView {
 public:
  THeadlessBatchView(TBatchReport& report, TListingStream& listing, std::function<void()> onPlotWait)
      : report_(report), listing_(listing), onPlotWait_(std::move(onPlotWait)) {}

  void Attach(TBatchRunner& runner) { runner_ = &runner; }

  void ExecutingLine(int number, int fileLine, const std::string& line) override;
  void CommandEnded(int number) override;
  void WaitStarted() override;

 private:
  TBatchReport& report_;
  TListingStream& listing_;
  std::function<void()> onPlotWait_;
  TBatchRunner* runner_ = nullptr;
};

#pragma once
// The program-wide run state and Progress, the one progress and cancellation
// point of long computations.
//
// Three flags live on the one user-interface thread: busy (a module runs from
// the parameter dialog), abort (Cancel was pressed) and batch running. Busy and
// batch running are one activity state: while either is set, no other run may
// start, from the dialog or from a batch.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct TRunFlags {
  bool busy = false;
  bool abort = false;
  bool batchRunning = false;
};

// The flags as they stand (read-only; the calls below change them).
const TRunFlags& RunFlags();

// True while a module runs from the dialog or a batch runs.
bool ModuleActive();

// A dialog run starts only when nothing runs; it sets busy and clears abort.
// Returns false, changing nothing, when a run or a batch is in progress.
bool BeginDialogRun();
void EndDialogRun();
// A batch starts only when nothing runs; it sets the batch-running flag.
bool BeginBatchRun();
void EndBatchRun();

// The Cancel buttons: the running module stops at its next Progress call.
void RequestAbort();
void ClearAbort();

// Where a run shows its progress: the parameter dialog or the batch window.
class TProgressView {
 public:
  virtual ~TProgressView() = default;
  virtual void SetStatus(const std::string& text) = 0;
  // The gauge at 0, shown, with the hourglass cursor.
  virtual void StartGauge() = 0;
  virtual void SetGauge(std::int32_t percent) = 0;
  // The gauge hidden and the default cursor back.
  virtual void StopGauge() = 0;
};

// The views the windows supply (nothing when none is shown).
void SetDialogProgressView(TProgressView* view);
void SetBatchProgressView(TProgressView* view);

// Processes the application's pending window messages (installed by the
// windows; tests install a script).
void SetMessagePump(std::function<void()> pump);
void ProcessMessages();

// Waits a while for messages and handles them: what a wait for the user (the
// batch's "Next") does in a loop, so that it sleeps instead of spinning. The
// windows install one that sleeps in the event loop; without one it processes
// the pending messages.
void SetMessageWait(std::function<void()> wait);
void WaitForMessages();

// True while ProcessMessages or WaitForMessages handles messages: what runs
// then belongs to the windows, not to the running module.
bool ProcessingMessages();

// Processes pending messages; raises E_Morvapc_UserAbort once Cancel was
// pressed (the flag stays set for the handler to clear). Percent -2 only tests
// for cancellation; otherwise the status shows " " + text in the batch window
// while a batch runs, else in the dialog, and 0 starts the gauge, 1 to 100
// moves it, any other value ends it.
void Progress(std::string_view text, std::int32_t percent);

// Ends the gauge without testing for cancellation: the clean-up of a run that
// already failed.
void ProgressDone();

#include "shell/Progress.h"

#include <utility>

#include "matrix/Constu.h"
#include "rtl/Format.h"
#include "rtl/ScopeGuard.h"

namespace {

TRunFlags& Flags() {
  static TRunFlags flags;
  return flags;
}

struct TViews {
  TProgressView* dialog = nullptr;
  TProgressView* batch = nullptr;
  std::function<void()> pump;
  std::function<void()> wait;
  int processing = 0;  // ProcessMessages and WaitForMessages under way
};

TViews& Views() {
  static TViews views;
  return views;
}

TProgressView* CurrentView() { return Flags().batchRunning ? Views().batch : Views().dialog; }

// Runs a pump or a wait, counted as message processing. Windows drawing
// meanwhile are not the run's: the run's refusal of numbers that are not
// finite does not hold for them.
void HandleMessages(const std::function<void()>& handle) {
  const rtl::NonFiniteRule windowsDraw(rtl::NonFinite::Written);
  ++Views().processing;
  const rtl::ScopeExit done([] { --Views().processing; });
  handle();
}

}  // namespace

const TRunFlags& RunFlags() { return Flags(); }

bool ModuleActive() { return Flags().busy || Flags().batchRunning; }

bool BeginDialogRun() {
  if (ModuleActive()) return false;
  Flags().busy = true;
  Flags().abort = false;
  return true;
}

void EndDialogRun() { Flags().busy = false; }

bool BeginBatchRun() {
  if (ModuleActive()) return false;
  Flags().batchRunning = true;
  return true;
}

void EndBatchRun() { Flags().batchRunning = false; }

void RequestAbort() { Flags().abort = true; }

void ClearAbort() { Flags().abort = false; }

void SetDialogProgressView(TProgressView* view) { Views().dialog = view; }

void SetBatchProgressView(TProgressView* view) { Views().batch = view; }

void SetMessagePump(std::function<void()> pump) { Views().pump = std::move(pump); }

void ProcessMessages() {
  if (Views().pump) HandleMessages(Views().pump);
}

bool ProcessingMessages() { return Views().processing > 0; }

void SetMessageWait(std::function<void()> wait) { Views().wait = std::move(wait); }

void WaitForMessages() {
  if (Views().wait) {
    HandleMessages(Views().wait);
  } else {
    ProcessMessages();
  }
}

void Progress(std::string_view text, std::int32_t percent) {
  ProcessMessages();
  if (Flags().abort) throw E_Morvapc_UserAbort();
  if (percent == -2) return;
  TProgressView* view = CurrentView();
  if (view == nullptr) return;
  view->SetStatus(" " + std::string(text));
  if (percent == 0) {
    view->StartGauge();
  } else if (percent >= 1 && percent <= 100) {
    view->SetGauge(percent);
  } else {
    view->StopGauge();
  }
}

void ProgressDone() {
  if (TProgressView* view = CurrentView()) view->StopGauge();
}

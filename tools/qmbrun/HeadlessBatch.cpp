#include "tools/qmbrun/HeadlessBatch.h"

#include <algorithm>
#include <ostream>

#include "platform/DisplayText.h"
#include "shell/Listing.h"

namespace {

// A command is named by its first characters at most.
constexpr std::size_t kCommandShown = 60;

std::string ShortCommand(std::string_view command) {
  if (command.size() <= kCommandShown) return std::string(command);
  return std::string(command.substr(0, plat::CharacterPrefixLength(command, kCommandShown - 3))) + "...";
}

}  // namespace

bool TListingStream::WriteNewSections() {
  for (; written_ + 1 < listing_.PageCount(); ++written_) out_ << listing_.SectionFileText(written_ + 1, "\n");
  out_.flush();
  return static_cast<bool>(out_);
}

void TBatchReport::SetCommand(int fileLine, std::string_view command) {
  fileLine_ = fileLine;
  command_ = ShortCommand(command);
}

void TBatchReport::ClearCommand() {
  fileLine_ = 0;
  command_.clear();
}

void TBatchReport::Error(std::string_view text) { Message({}, text); }

void TBatchReport::Warning(std::string_view text) { Message("warning: ", text); }

void TBatchReport::Message(std::string_view kind, std::string_view text) {
  ClearProgress();
  // Commands, labels and file names may be UTF-8 or Windows-1252, each on its
  // own, or hold characters a terminal must not get raw.
  const auto shown = [](std::string_view raw) { return plat::DisplayUtf8(plat::EscapeUnexpected(raw)); };
  if (fileLine_ > 0) out_ << "line " << fileLine_ << " (" << shown(command_) << "): ";
  out_ << kind << shown(text) << '\n' << std::flush;
  ShowProgress();
}

void TBatchReport::SetStatus(const std::string& text) {
  if (text == status_) return;
  status_ = text;
  ShowProgress();
}

void TBatchReport::StartGauge() { SetGauge(0); }

void TBatchReport::SetGauge(std::int32_t percent) {
  if (percent == percent_) return;
  percent_ = percent;
  ShowProgress();
}

void TBatchReport::StopGauge() {
  ClearProgress();
  percent_ = -1;
  status_.clear();
}

// "line 5: Clustering 40%", over what the line showed before.
void TBatchReport::ShowProgress() {
  if (!terminal_ || percent_ < 0) return;
  std::string line = "line " + std::to_string(fileLine_) + ":" + status_ + " " + std::to_string(percent_) + "%";
  const std::size_t length = line.size();
  line.append(shown_ > length ? shown_ - length : 0, ' ');
  out_ << '\r' << line << std::flush;
  shown_ = length;
}

void TBatchReport::ClearProgress() {
  if (shown_ == 0) return;
  out_ << '\r' << std::string(shown_, ' ') << '\r' << std::flush;
  shown_ = 0;
}

void THeadlessBatchView::ExecutingLine(int, int fileLine, const std::string& line) {
  report_.SetCommand(fileLine, line);
}

void THeadlessBatchView::CommandEnded(int) {
  listing_.WriteNewSections();
  report_.ClearCommand();
}

void THeadlessBatchView::WaitStarted() {
  if (onPlotWait_) onPlotWait_();
  if (runner_ != nullptr) runner_->Next();
}

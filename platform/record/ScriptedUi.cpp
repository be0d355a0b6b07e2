#include "platform/record/ScriptedUi.h"

#include "platform/MessageQueue.h"

namespace plat {

namespace {
template <class T>
std::optional<T> Next(std::deque<T>& queue) {
  if (queue.empty()) return std::nullopt;
  T value = std::move(queue.front());
  queue.pop_front();
  return value;
}
}  // namespace

ModalResult ScriptedMessageBox::Show(const std::string& text, MsgKind kind, MsgButtons buttons) {
  shown_.push_back({text, kind, buttons});
  return Next(answers_).value_or(defaultAnswer_);
}

bool ScriptedDialogs::AnswerFileDialog(const char* kind, FileDialogRequest& request) {
  fileRequests_.push_back({kind, request});
  auto answer = Next(files_);
  if (!answer) return false;
  request.fileName = WithDefaultExtension(*answer, request.defaultExt);
  return true;
}

bool ScriptedDialogs::OpenFile(FileDialogRequest& request) { return AnswerFileDialog("open", request); }
bool ScriptedDialogs::SaveFile(FileDialogRequest& request) { return AnswerFileDialog("save", request); }

bool ScriptedDialogs::ChooseFont(Font& font, FontDialogOptions) {
  auto answer = Next(fonts_);
  if (answer) font = *answer;
  return answer.has_value();
}

bool ScriptedDialogs::ChooseColor(Color& color) {
  auto answer = Next(colors_);
  if (answer) color = *answer;
  return answer.has_value();
}

bool ScriptedDialogs::Print(PrintRequest&) { return Next(prints_).value_or(false); }

bool ScriptedDialogs::PrinterSetup() {
  ++printerSetups_;
  return true;
}

void RecordingDesktop::ProcessMessages() {
  ++processCalls_;
  MessageQueue::DeliverPosted();
}

}  // namespace plat

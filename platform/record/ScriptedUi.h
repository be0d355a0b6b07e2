#pragma once
// Doubles of the interactive services: message boxes and common dialogs that
// answer from a script and record what they were asked, a clipboard, a desktop
// and a process launcher that record what they were given.

#include "platform/Clipboard.h"
#include "platform/CommonDialogs.h"
#include "platform/Desktop.h"
#include "platform/MessageBox.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace plat {

class ScriptedMessageBox : public MessageBoxes {
 public:
  struct Shown {
    std::string text;
    MsgKind kind;
    MsgButtons buttons;
  };
  // The next box is answered with `result`; boxes beyond the script get the default answer.
  void Answer(ModalResult result) { answers_.push_back(result); }
  void SetDefaultAnswer(ModalResult result) { defaultAnswer_ = result; }
  ModalResult Show(const std::string& text, MsgKind kind, MsgButtons buttons) override;

  const std::vector<Shown>& Boxes() const { return shown_; }
  // The text of the last box; empty when none was shown.
  std::string LastText() const { return shown_.empty() ? std::string() : shown_.back().text; }
  void Clear() { shown_.clear(); }

 private:
  std::deque<ModalResult> answers_;
  ModalResult defaultAnswer_ = mrOk;
  std::vector<Shown> shown_;
};

// Each dialog takes the next scripted answer of its kind; with none it is cancelled.
class ScriptedDialogs : public Dialogs {
 public:
  void AnswerFile(std::string fileName) { files_.push_back(std::move(fileName)); }
  void AnswerFont(Font font) { fonts_.push_back(std::move(font)); }
  void AnswerColor(Color color) { colors_.push_back(color); }
  void AnswerPrint(bool confirm) { prints_.push_back(confirm); }

  bool OpenFile(FileDialogRequest& request) override;
  bool SaveFile(FileDialogRequest& request) override;
  bool ChooseFont(Font& font, FontDialogOptions options) override;
  bool ChooseColor(Color& color) override;
  bool Print(PrintRequest& request) override;
  bool PrinterSetup() override;

  // The requests of the file dialogs, in order ("open" or "save" in `kind`).
  struct FileAsked {
    std::string kind;
    FileDialogRequest request;
  };
  const std::vector<FileAsked>& FileRequests() const { return fileRequests_; }
  int PrinterSetups() const { return printerSetups_; }

 private:
  bool AnswerFileDialog(const char* kind, FileDialogRequest& request);
  std::deque<std::string> files_;
  std::deque<Font> fonts_;
  std::deque<Color> colors_;
  std::deque<bool> prints_;
  std::vector<FileAsked> fileRequests_;
  int printerSetups_ = 0;
};

class RecordingClipboard : public Clipboard {
 public:
  void Set(const ClipboardContent& content) override { content_ = content; }
  bool HasText() override { return content_.text.has_value(); }
  std::string GetText() override { return content_.text.value_or(std::string()); }
  const ClipboardContent& Content() const { return content_; }

 private:
  ClipboardContent content_;
};

class RecordingDesktop : public Desktop {
 public:
  void SetScreenCursor(CursorShape shape) override { cursors_.push_back(shape); }
  void SetCursorPos(Point screen) override { cursorPositions_.push_back(screen); }
  // The last position set, (0, 0) before any.
  Point CursorPos() override { return cursorPositions_.empty() ? Point{0, 0} : cursorPositions_.back(); }
  Rect ScreenRect() override { return screen_; }
  void SetScreenRect(Rect screen) { screen_ = screen; }
  void Beep() override { ++beeps_; }
  ShiftState CurrentShiftState() override { return shiftState_; }
  void SetShiftState(ShiftState state) { shiftState_ = state; }
  int Beeps() const { return beeps_; }
  void ProcessMessages() override;
  // Records the document; with SetNoViewer, no viewer shows it.
  void OpenDocument(const std::string& url, std::function<void()> failed) override {
    documents_.push_back(url);
    if (noViewer_) failed();
  }
  void SetNoViewer(bool none) { noViewer_ = none; }
  const std::vector<CursorShape>& Cursors() const { return cursors_; }
  const std::vector<Point>& CursorPositions() const { return cursorPositions_; }
  const std::vector<std::string>& Documents() const { return documents_; }
  int ProcessCalls() const { return processCalls_; }

 private:
  std::vector<CursorShape> cursors_;
  std::vector<Point> cursorPositions_;
  std::vector<std::string> documents_;
  int processCalls_ = 0;
  int beeps_ = 0;
  bool noViewer_ = false;
  ShiftState shiftState_ = 0;
  Rect screen_{0, 0, 1024, 768};
};

class RecordingLauncher : public ProcessLauncher {
 public:
  struct Launched {
    std::string program;
    std::vector<std::string> args;
  };
  bool Launch(const std::string& program, const std::vector<std::string>& args) override {
    launched_.push_back({program, args});
    return succeed_;
  }
  void SetSucceed(bool succeed) { succeed_ = succeed; }
  const std::vector<Launched>& Launches() const { return launched_; }

 private:
  bool succeed_ = true;
  std::vector<Launched> launched_;
};

}  // namespace plat

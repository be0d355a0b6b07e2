#include "shell/forms/Batchf.h"

#include <stdexcept>

#include "platform/CommonDialogs.h"
#include "platform/Desktop.h"
#include "platform/Guard.h"
#include "shell/Config.h"
#include "shell/forms/Dialogu.h"
#include "shell/forms/WinPos.h"

namespace {
constexpr int kHeight = 232;
constexpr int kExecHeight = 96;
constexpr std::uint32_t kWaitMs = 200;
const std::string kRunHint = "Run batch file";
const std::string kCloseHint = "Close this window";
}  // namespace

TbatchF::TbatchF(TListingModel& listing) : plat::Form("BatchF"), runner_(listing, *this) {
  SetCaption("Batch mode");
  SetFont(plat::Font{"Liberation Sans", 9, plat::clBlack, 0});
  SetClientSize(460, kHeight);
  RestoreWindowPos(*this, Name());
  if (TDialogF* dialog = DialogForm()) dialog->Close();

  load_ = &Add<plat::Button>("Load");
  load_->SetHint("Load batch file");
  load_->SetBounds(10, 10, 80, 28);
  load_->OnClick = [this] { LoadFile(); };
  fileLabel_ = &Add<plat::Label>("<-- Select batch file");
  fileLabel_->SetBounds(100, 16, 350, 18);
  Add<plat::Label>("Parameters:").SetBounds(10, 52, 80, 18);
  params_ = &Add<plat::Edit>();
  params_->SetHint("Enter up to 9 parameters for batch file");
  params_->SetBounds(100, 48, 350, 24);
  params_->SetEnabled(false);
  run_ = &Add<plat::Button>("Run");
  run_->SetHint(kRunHint);
  run_->SetBounds(10, 86, 80, 28);
  run_->SetEnabled(false);
  run_->OnClick = [this] { RunOrNext(); };
  cancel_ = &Add<plat::Button>();
  cancel_->SetKind(plat::ButtonKind::Cancel);
  cancel_->SetModalResult(plat::mrNone);
  cancel_->SetHint(kCloseHint);
  cancel_->SetBounds(100, 86, 80, 28);
  cancel_->OnClick = [this] { CancelOrClose(); };
  for (plat::Control* control : {static_cast<plat::Control*>(load_), static_cast<plat::Control*>(params_),
                                 static_cast<plat::Control*>(run_), static_cast<plat::Control*>(cancel_)}) {
    control->SetShowHint(true);
  }

  execPanel_ = &Add<plat::Panel>();
  execPanel_->SetBevels(plat::Bevel::Lowered, plat::Bevel::None);
  execPanel_->SetBounds(0, 124, 460, kExecHeight);
  execPanel_->Add<plat::Label>("Executing line:").SetBounds(8, 8, 90, 18);
  lineNumber_ = &execPanel_->Add<plat::Label>();
  lineNumber_->SetBounds(100, 8, 40, 18);
  lineText_ = &execPanel_->Add<plat::Label>();
  lineText_->SetBounds(8, 30, 444, 18);
  gauge_ = &AddRunGauge(*execPanel_, {8, 52, 452, 66});
  status_ = &AddStatusPanel(*execPanel_, {8, 70, 452, 92});
  execPanel_->Hide();
  progress_ = std::make_unique<TPanelProgress>(*gauge_, *status_);
  SetBatchProgressView(progress_.get());
  SetMessageWait([] { plat::WaitMessages(kWaitMs); });

  OnShow = [this] {
    SetClientSize(ClientWidth(), kHeight - kExecHeight);
    if (runner_.State() == TBatchState::Empty) fileLabel_->SetCaption("<-- Select batch file");
  };
  OnCloseQuery = [this](bool& canClose) { canClose = runner_.CanClose(); };
  OnClose = [this](plat::CloseAction& action) {
    SaveWindowPos(*this, Name());
    action = plat::CloseAction::Free;
  };
}

TbatchF::~TbatchF() {
  SetBatchProgressView(nullptr);
  SetMessageWait({});
}

void TbatchF::LoadFile() {
  plat::FileDialogRequest request =
      DataFileRequest("Open Morvapc batch file", "QMB", "Batch files|*.QMB|All files|*.*", plat::ofFileMustExist);
  if (!plat::CommonDialogs().OpenFile(request)) return;
  TakeDataDirectoryOf(request.fileName);
  Load(request.fileName);
}

void TbatchF::Load(const std::string& fileName) {
  fileLabel_->SetCaption(fileName);
  SetCaption("Batch mode: " + fileName);
  run_->SetEnabled(false);
  params_->SetEnabled(false);
  runner_.Load(fileName);
  run_->SetEnabled(true);
  params_->SetEnabled(true);
}

void TbatchF::RunOrNext() {
  if (RunFlags().abort) return;
  if (runner_.State() == TBatchState::Waiting) {
    runner_.Next();
    return;
  }
  if (runner_.State() != TBatchState::Loaded) return;
  if (TDialogF* dialog = DialogForm()) dialog->Close();
  try {
    runner_.Run(params_->Text());
  } catch (const std::exception& error) {
    // Any other error than the system's (a malformed number, say) goes to the
    // default error box, which names the line as well.
    plat::ShowException(std::runtime_error(NamedAfterLine(error.what())));
  }
}

void TbatchF::CancelOrClose() {
  if (!runner_.Cancel()) Close();
}

void TbatchF::RunStarted() {
  fileLine_ = 0;
  command_.clear();
  SetClientSize(ClientWidth(), kHeight);
  execPanel_->Show();
  cancel_->SetHint("Try to stop computations");
  run_->SetEnabled(false);
}

void TbatchF::ExecutingLine(int number, int fileLine, const std::string& line) {
  fileLine_ = fileLine;
  command_ = line;
  lineNumber_->SetCaption(std::to_string(number));
  lineText_->SetCaption(line);
  execPanel_->Repaint();
}

void TbatchF::WaitStarted() {
  runHint_ = run_->Hint();
  run_->SetEnabled(true);
  run_->SetCaption("Next");
  run_->SetHint("Click to continue batch processing");
  plat::SetScreenCursor(plat::CursorShape::Default);
}

void TbatchF::WaitEnded() {
  plat::SetScreenCursor(plat::CursorShape::HourGlass);
  run_->SetCaption("Run");
  run_->SetHint(runHint_);
  run_->SetEnabled(false);
}

void TbatchF::RunEnded() {
  run_->SetEnabled(true);
  execPanel_->Hide();
  SetClientSize(ClientWidth(), kHeight - kExecHeight);
  cancel_->SetHint(kCloseHint);
}

// "line 3 (*STAND O=in.qmx R=out.qmx):" above the message, as the batch
// runner without windows names it.
std::string TbatchF::NamedAfterLine(const std::string& text) const {
  if (fileLine_ == 0) return text;
  return "line " + std::to_string(fileLine_) + " (" + command_ + "):\n" + text;
}

void TbatchF::ShowError(const std::string& text) { TBatchView::ShowError(NamedAfterLine(text)); }

void TbatchF::ShowWarning(const std::string& text) { TBatchView::ShowWarning(NamedAfterLine(text)); }

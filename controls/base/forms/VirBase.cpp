#include "controls/base/forms/VirBase.h"

#include "controls/base/VirExcept.h"
#include "platform/MessageBox.h"

namespace {

// Every library control under `control` that has no controller yet takes `controller`.
void OfferController(plat::Control& control, TVirController& controller) {
  for (plat::Control* child : control.Children()) {
    if (auto* base = dynamic_cast<TVirBase*>(child); base != nullptr && base->Controller() == nullptr) {
      base->SetController(&controller);
    }
    OfferController(*child, controller);
  }
}

}  // namespace

// ---- controller ----

TVirController::TVirController(plat::Control& owner) : plat::Component(owner) {
  timers_.OnAllTriggers = [this](TVirTimerPool& pool, std::int32_t handle, std::uint16_t interval,
                                 std::uint32_t elapsed) {
    if (OnTimerTrigger) OnTimerTrigger(pool, handle, interval, elapsed);
  };
  OfferController(owner, *this);
}

TVirController::~TVirController() = default;

void TVirController::SetEpoch(int epoch) {
  if (epoch >= 1600 && epoch <= 3999) epoch_ = epoch;
}

bool TVirController::IsSpecialControl(plat::Control* control) {
  if (control == nullptr) return false;
  if (control == BtnCancel() || control == BtnHelp() || control == BtnRestore()) return true;
  bool special = false;
  if (OnIsSpecialControl) OnIsSpecialControl(control, special);
  return special;
}

void TVirController::DoOnError(plat::Control* sender, int errorCode, const std::string& errorMsg) {
  if (OnError) {
    OnError(sender, errorCode, errorMsg);
  } else {
    plat::MessageDlg(errorMsg, plat::MsgKind::Error, plat::mbOK);
  }
}

void TVirController::Post(std::uint32_t msg, std::uintptr_t wParam, plat::Control& subject, plat::Control* other) {
  // Notices whose subject died before delivery were dropped unseen: forget them.
  std::erase_if(notices_, [](const auto& entry) { return entry.second.subject.Get() == nullptr; });
  std::intptr_t id = ++lastNotice_;
  notices_[id] = Notice{&subject, other};
  plat::MessageQueue::Post(*this, plat::Message{msg, wParam, id}, subject.LifetimeToken());
}

void TVirController::PostFocus(plat::Control& control) { Post(kVirMsgFocusLater, 0, control, nullptr); }
void TVirController::PostPreEdit(plat::Control& field, plat::Control* losing) {
  Post(kVirMsgPreEdit, 0, field, losing);
}
void TVirController::PostPostEdit(plat::Control& field, plat::Control* gaining) {
  Post(kVirMsgPostEdit, 0, field, gaining);
}
void TVirController::PostDelayNotify(plat::Control& sender, std::uint16_t notifyCode) {
  Post(kVirMsgDelayNotify, notifyCode, sender, nullptr);
}

void TVirController::HandleMessage(const plat::Message& message) {
  auto it = notices_.find(message.lParam);
  if (it == notices_.end()) return;
  Notice notice = it->second;
  notices_.erase(it);
  plat::Control* subject = notice.subject.Get();
  if (subject == nullptr) return;
  switch (message.msg) {
    case kVirMsgFocusLater:
      if (subject->CanFocus()) subject->SetFocus();
      break;
    case kVirMsgPostEdit:
      if (OnPostEdit) OnPostEdit(subject, notice.other.Get());
      break;
    case kVirMsgPreEdit:
      if (OnPreEdit) OnPreEdit(subject, notice.other.Get());
      break;
    case kVirMsgDelayNotify:
      if (OnDelayNotify) OnDelayNotify(subject, static_cast<std::uint16_t>(message.wParam & 0xFFFF));
      break;
    default: break;
  }
}

TVirController* FindFormController(plat::Control* form) {
  if (form == nullptr) return nullptr;
  for (plat::Component* component : form->Components()) {
    if (auto* controller = dynamic_cast<TVirController*>(component)) return controller;
  }
  return nullptr;
}

// ---- control base ----

TVirBase::TVirBase(plat::Control& parent) : plat::CustomControl(parent) {}

TVirController& TVirBase::RequireController() const {
  TVirController* controller = Controller();
  if (controller == nullptr) throw ENoControllerAssigned();
  return *controller;
}

void TVirBase::SetCtl3D(bool ctl3D) {
  if (ctl3D == ctl3D_) return;
  ctl3D_ = ctl3D;
  if (HandleAllocated()) RecreateWnd();
}

void TVirBase::CreateWnd() {
  SetFrame(FrameOf(WindowBorder(), ctl3D_));
  if (Controller() != nullptr || Loading()) return;
  controller_ = FindFormController(ParentForm());
  if (Controller() == nullptr) throw ENoControllerAssigned();
}

void TVirBase::FocusGained(plat::Control*) { PostMessage(kVirMsgAfterEnter); }
void TVirBase::FocusLost(plat::Control*) { PostMessage(kVirMsgAfterExit); }

void TVirBase::HandleMessage(const plat::Message& message) {
  if (message.msg == kVirMsgAfterEnter && AfterEnter) AfterEnter();
  if (message.msg == kVirMsgAfterExit && AfterExit) AfterExit();
}

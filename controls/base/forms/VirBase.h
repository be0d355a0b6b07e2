#pragma once
// The controller of a form and the base of the library's windowed controls.
//
// Every form that holds library controls holds one TVirController, a
// non-visual component of the form (form.AddComponent<TVirController>()). It
// owns the key-command processor (EntryCommands) and a timer pool, keeps the
// form-wide settings (insert mode, Epoch), reports entry errors, and delivers
// the library's delayed notices after the current event has been handled.
//
// Every windowed control of the library derives from TVirBase. When its window
// is made (first shown, or HandleNeeded) it takes the form's first controller
// unless it has one; none raises ENoControllerAssigned. On focus changes it
// posts after-enter and after-exit notices to itself, so AfterEnter and
// AfterExit run once the focus change has settled.

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "controls/base/VirBorder.h"
#include "controls/base/VirCmd.h"
#include "controls/base/VirFiler.h"
#include "controls/base/VirTimer.h"
#include "platform/Component.h"
#include "platform/CustomControl.h"
#include "platform/Form.h"
#include "platform/MessageQueue.h"

// The library's private messages.
constexpr std::uint32_t kVirMsgReportError = 0x7F00;  // to an entry field: report error wParam
constexpr std::uint32_t kVirMsgFocusLater = 0x7F01;   // to the controller: focus the control
constexpr std::uint32_t kVirMsgPostEdit = 0x7F06;     // to the controller: fire OnPostEdit
constexpr std::uint32_t kVirMsgPreEdit = 0x7F07;      // to the controller: fire OnPreEdit
constexpr std::uint32_t kVirMsgAfterEnter = 0x7F08;   // to a control, from itself
constexpr std::uint32_t kVirMsgAfterExit = 0x7F09;    // to a control, from itself
constexpr std::uint32_t kVirMsgDelayNotify = 0x7F0A;  // to the controller: fire OnDelayNotify

class TVirController : public plat::Component, public plat::MessageReceiver {
 public:
  // Made on a form (its owner); the form's library controls without a
  // controller take this one.
  explicit TVirController(plat::Control& owner);
  ~TVirController() override;

  TVirCommandProcessor& EntryCommands() { return commands_; }
  TVirTimerPool& TimerPool() { return timers_; }

  // The year that widens two-digit years; only 1600 .. 3999 are taken.
  int Epoch() const { return epoch_; }
  void SetEpoch(int epoch);
  // Shared by the form's fields; true at creation.
  bool InsertMode() const { return insertMode_; }
  void SetInsertMode(bool insert) { insertMode_ = insert; }
  // The pending entry-error report and its text, kept by the entry fields.
  bool ErrorPending() const { return errorPending_; }
  void SetErrorPending(bool pending) { errorPending_ = pending; }
  const std::string& ErrorText() const { return errorText_; }
  void SetErrorText(const std::string& text) { errorText_ = text; }
  static std::string Version() { return "2.15.00"; }

  // Controls of the form whose focus does not trigger validation.
  void SetBtnCancel(plat::Control* button) { btnCancel_ = button; }
  void SetBtnHelp(plat::Control* button) { btnHelp_ = button; }
  void SetBtnRestore(plat::Control* button) { btnRestore_ = button; }
  plat::Control* BtnCancel() const { return btnCancel_.Get(); }
  plat::Control* BtnHelp() const { return btnHelp_.Get(); }
  plat::Control* BtnRestore() const { return btnRestore_.Get(); }

  // True for the three buttons above; for another control OnIsSpecialControl decides (false without it).
  bool IsSpecialControl(plat::Control* control);
  // OnError when assigned, otherwise an error box with the message.
  void DoOnError(plat::Control* sender, int errorCode, const std::string& errorMsg);

  // Deferred work, run after the current event: each is dropped when `field`
  // (or `control`, `sender`) is destroyed first; `other` may die meanwhile and
  // then arrives as null.
  void PostFocus(plat::Control& control);
  void PostPreEdit(plat::Control& field, plat::Control* losing);
  void PostPostEdit(plat::Control& field, plat::Control* gaining);
  void PostDelayNotify(plat::Control& sender, std::uint16_t notifyCode);

  std::function<void(plat::Control* sender, int errorCode, const std::string& errorMsg)> OnError;
  std::function<void(plat::Control* sender, std::uint16_t notifyCode)> OnDelayNotify;
  std::function<void(plat::Control* control, bool& special)> OnIsSpecialControl;
  std::function<void(plat::Control* sender, plat::Control* gaining)> OnPostEdit;
  std::function<void(plat::Control* sender, plat::Control* losing)> OnPreEdit;
  // Every trigger of the timer pool that fires.
  TTriggerEvent OnTimerTrigger;

  void HandleMessage(const plat::Message& message) override;
  std::weak_ptr<const void> LifetimeToken() const override { return Component::LifetimeToken(); }

 private:
  struct Notice {
    plat::WeakRef<plat::Control> subject;
    plat::WeakRef<plat::Control> other;
  };
  void Post(std::uint32_t msg, std::uintptr_t wParam, plat::Control& subject, plat::Control* other);

  TVirCommandProcessor commands_;
  TVirTimerPool timers_;
  int epoch_ = 1900;
  bool insertMode_ = true;
  bool errorPending_ = false;
  std::string errorText_;
  plat::WeakRef<plat::Control> btnCancel_, btnHelp_, btnRestore_;
  std::map<std::intptr_t, Notice> notices_;
  std::intptr_t lastNotice_ = 0;
};

// The first controller among the form's components; null when it has none.
TVirController* FindFormController(plat::Control* form);

class TVirBase;
// The controls' user-command event: a translated command of ccUserFirst or more.
using TUserCommandEvent = std::function<void(TVirBase& sender, std::uint16_t command)>;

class TVirBase : public plat::CustomControl, public TVirPersistent {
 public:
  explicit TVirBase(plat::Control& parent);

  // The controller; null until the window is made or after the controller died.
  TVirController* Controller() const { return controller_.Get(); }
  void SetController(TVirController* controller) { controller_ = controller; }
  // The controller, or ENoControllerAssigned.
  TVirController& RequireController() const;
  // The controller's command processor, or ENoControllerAssigned.
  TVirCommandProcessor& EntryCommands() const { return RequireController().EntryCommands(); }

  // The 3-D look (on when made): the single border of a control that has one
  // shows as the sunken edge. A change makes a made window again.
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool ctl3D);

  // Run after the focus came to the control, and after it left.
  std::function<void()> AfterEnter;
  std::function<void()> AfterExit;

  static std::string Version() { return TVirController::Version(); }

  void DefineProperties(TVirFiler&) override {}
  void HandleMessage(const plat::Message& message) override;

 protected:
  // Frames the window for its border style and finds the controller
  // (CreateWindowChecked); subclasses that override it call it first.
  void CreateWnd() override;
  // The border style of the control's window; none for the controls without one.
  virtual TBorderStyle WindowBorder() const { return TBorderStyle::bsNone; }
  // Post the after-enter and after-exit notices; subclasses that override them call them.
  void FocusGained(plat::Control* losing) override;
  void FocusLost(plat::Control* gaining) override;

 private:
  plat::WeakRef<TVirController> controller_;
  bool ctl3D_ = true;
};

#pragma once
// Forms (top-level windows and modal dialogs), their menus, the list of the
// application's forms, and the application itself. Implemented in platform/qt/.

#include "platform/Control.h"
#include "platform/Guard.h"
#include "platform/Types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// Keyboard short cuts as the platform encodes them: a virtual key plus modifier bits.
using ShortCut = std::uint16_t;
constexpr ShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;

struct MenuItemPeer;

// A menu item; items with sub-items open a sub-menu. A caption "-" is a separator.
class MenuItem {
 public:
  explicit MenuItem(MenuItem* parent, std::string caption = {});
  ~MenuItem();
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  MenuItem& Add(const std::string& caption, const std::string& hint = {}, std::function<void()> onClick = {},
                ShortCut shortCut = 0);
  int Count() const { return static_cast<int>(items_.size()); }
  MenuItem& Item(int index) { return *items_.at(static_cast<std::size_t>(index)); }
  // The item at any depth whose caption, without '&', is `caption`; null when none.
  MenuItem* Find(const std::string& caption);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  ShortCut GetShortCut() const { return shortCut_; }
  void SetShortCut(ShortCut shortCut);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  bool Checked() const;
  void SetChecked(bool checked);
  void SetVisible(bool visible);
  // Runs the item's action as a choice by the user would (only when enabled).
  void Click();

  std::function<void()> OnClick;
  MenuItemPeer& Peer() const { return *peer_; }

 private:
  MenuItem* parent_;
  std::string caption_;
  std::string hint_;
  ShortCut shortCut_ = 0;
  std::unique_ptr<MenuItemPeer> peer_;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

// Shows the items of `menu` (a root item made without a parent) as a pop-up
// menu at a point of the screen, and returns once it has closed; a chosen
// item's action has run by then.
void PopupMenuAt(MenuItem& menu, Point screen);

enum class CloseAction { None, Hide, Free, Minimize };
enum class BorderStyle { Sizeable, Dialog, Single, None };
enum class FormPosition { Designed, ScreenCenter };

// A window's placement as the "WinPos" settings keep it: flags, show command,
// minimised and maximised positions and the normal rectangle (screen coordinates).
struct WindowPlacement {
  int flags = 0;
  int showCmd = 1;  // 1 normal, 2 minimised, 3 maximised
  Point minPosition{-1, -1};
  Point maxPosition{-1, -1};
  Rect normal;
  friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

class Form : public Control {
 public:
  explicit Form(const std::string& name = {});
  ~Form() override;

  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  int ClientWidth() const override;
  int ClientHeight() const override;
  void SetClientSize(int width, int height);
  void SetBorderStyle(BorderStyle style);
  void SetPosition(FormPosition position);
  void SetStayOnTop(bool onTop);

  // The menu bar, made on first use.
  MenuItem& Menu();

  // Modeless show; the form comes to the front.
  void ShowForm();
  // Shows the form modally and returns once ModalResult is set or the form closes.
  ModalResult ShowModal();
  bool IsModal() const { return modal_; }
  ModalResult GetModalResult() const { return modalResult_; }
  // Setting a result other than mrNone ends a modal show.
  void SetModalResult(ModalResult result);
  // Closes as the user's close box does: the close query, then OnClose's action.
  void Close();
  // Destroys a form that the application owns after the current event is handled.
  void Release();

  WindowPlacement GetPlacement() const;
  void SetPlacement(const WindowPlacement& placement);

  Control* ActiveControl() const;
  // Moves the focus from the focused control to the next control of the
  // form's tab order that can take it, or to the previous one, wrapping round.
  void SelectNextControl(bool forward);

  std::function<void(bool& canClose)> OnCloseQuery;
  // Runs once the close query agreed; the action starts as Hide.
  std::function<void(CloseAction& action)> OnClose;
  std::function<void()> OnShow;
  std::function<void()> OnActivate;
  std::function<void()> OnResize;

  // Called by the toolkit layer.
  bool QueryClose();
  void NotifyClosed();
  void NotifyResized();

 private:
  std::unique_ptr<MenuItem> menu_;
  bool modal_ = false;
  ModalResult modalResult_ = mrNone;
};

// Forms made and owned by the application: freed on Release or at the end of the
// program. The first one made is the main form; closing it ends the program.
template <class T, class... Args>
T& CreateForm(Args&&... args);
void AdoptForm(std::unique_ptr<Form> form);

template <class T, class... Args>
T& CreateForm(Args&&... args) {
  auto form = std::make_unique<T>(std::forward<Args>(args)...);
  T& ref = *form;
  AdoptForm(std::move(form));
  return ref;
}

// The application's forms, in order of creation.
std::vector<Form*> Forms();
// The form of that name, compared without regard to case; null when none.
Form* FindForm(const std::string& name);
bool FormExists(const std::string& name);
Form* ActiveForm();
Form* MainForm();
// The size of the screen the forms are shown on, in pixels.
int ScreenWidth();
int ScreenHeight();
// True while the application is minimised (its main form is).
bool ApplicationMinimized();

// The application: made once, before the first form.
void InitApplication(int& argc, char** argv);
// Keeps the toolkit's own diagnostics (its debug, information and warning
// messages, such as those of a start without a display) off standard error,
// for a program whose standard error is its user's; errors still go there.
void QuietToolkitDiagnostics();
// Runs the event loop until the main form closes or Terminate is called, then
// frees the application's forms.
int RunApplication();
void TerminateApplication();
// Frees every application-owned form (the end of a program or a test).
void DestroyForms();

// The long hint of the control or menu item under the mouse; OnHint runs on every change.
const std::string& ApplicationHint();
void SetApplicationHint(const std::string& hint);
void SetOnHint(std::function<void()> onHint);

}  // namespace plat

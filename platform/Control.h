#pragma once
// The base of every window and control: bounds, alignment, visibility, focus,
// hints and the children it owns. Implemented over the toolkit in platform/qt/.

#include "platform/Canvas.h"
#include "platform/Component.h"
#include "platform/ControlEvents.h"
#include "platform/Layout.h"
#include "platform/Lifetime.h"
#include "platform/MessageQueue.h"
#include "platform/Types.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace plat {

struct ControlPeer;  // the toolkit's side of a control
class Form;

class Control : public MessageReceiver {
 public:
  ~Control() override;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // Makes a child control owned by this one; it lives until this one dies or RemoveChild.
  template <class T, class... Args>
  T& Add(Args&&... args) {
    auto child = std::make_unique<T>(*this, std::forward<Args>(args)...);
    T& ref = *child;
    owned_.push_back(std::move(child));
    return ref;
  }
  // Destroys an owned child at once.
  void RemoveChild(Control& child);

  // Makes a non-visual component owned by this control, constructed as T(*this, args...).
  template <class T, class... Args>
  T& AddComponent(Args&&... args) {
    auto component = std::make_unique<T>(*this, std::forward<Args>(args)...);
    T& ref = *component;
    components_.push_back(std::move(component));
    return ref;
  }
  // The owned components, in order of creation.
  std::vector<Component*> Components() const;
  // Destroys an owned component at once.
  void RemoveComponent(Component& component);

  Control* Parent() const { return parent_; }
  Form* ParentForm();
  const std::vector<Control*>& Children() const { return children_; }

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int context) { helpContext_ = context; }

  // Caption or text, for the controls that show one.
  virtual std::string Caption() const;
  virtual void SetCaption(const std::string& caption);

  // Bounds in the parent's client coordinates; controls with rules of their
  // own for their size or place override it.
  virtual void SetBounds(int left, int top, int width, int height);
  Rect Bounds() const;
  int Left() const { return Bounds().left; }
  int Top() const { return Bounds().top; }
  int Width() const { return Bounds().Width(); }
  int Height() const { return Bounds().Height(); }
  // A point of the client area in screen coordinates.
  Point ClientToScreen(Point p) const;
  virtual int ClientWidth() const;
  virtual int ClientHeight() const;
  void SetAlign(Align align);
  Align GetAlign() const { return align_; }

  bool Visible() const;
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const;
  void SetEnabled(bool enabled);

  // "short|long": the short part shows as a tooltip, the long part goes to the
  // application's hint when the mouse is over the control.
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  void SetShowHint(bool show);
  // Shows `hint` as a tooltip just below `area` (client coordinates), kept
  // while the mouse stays within the area: the hint of one part of a control.
  void ShowHintBelow(const std::string& hint, const Rect& area);

  void SetFont(const Font& font);
  Font GetFont() const;
  void SetColor(Color color);
  // The background colour: the one set, else the desktop's for this kind of control.
  Color GetColor() const;

  // Whether Tab brings the focus to the control (a click always can).
  void SetTabStop(bool tabStop);
  bool CanFocus() const;
  bool Focused() const;
  void SetFocus();
  void Invalidate();
  void Repaint();

  // Focus events: OnEnter when the control gains the focus, OnExit when it loses it.
  std::function<void()> OnEnter;
  std::function<void()> OnExit;
  // Click, key, mouse and drag events (ControlEvents.h).
  ControlEvents Events;

  // Drags: with DragMode Automatic a left press starts one; BeginDrag starts
  // one now (`immediate`) or once the held mouse has moved 5 pixels.
  void SetDragMode(DragMode mode) { dragMode_ = mode; }
  DragMode GetDragMode() const { return dragMode_; }
  void BeginDrag(bool immediate);
  // The source of the drag in progress; null when none.
  static Control* DragSource();

  // A key pressed on the control (the part of it that takes keys), with the
  // text it types, as the user's would arrive.
  void DeliverKey(int key, ShiftState shift, const std::string& text);
  // A press of the left mouse button at a point of the client area.
  void DeliverMouseDown(int x, int y, ShiftState shift);

  // The focus came to this control from `losing`, or went from it to
  // `gaining` (either may be null); after the control's own handling.
  virtual void FocusArrived(Control* /*losing*/) {}
  virtual void FocusDeparted(Control* /*gaining*/) {}

  // Posted messages to this control, delivered later by the event loop.
  void PostMessage(std::uint32_t msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
  void HandleMessage(const Message& message) override;
  std::weak_ptr<const void> LifetimeToken() const override { return lifetime_.Watch(); }

  // Lays out the aligned children again; runs when the client area changes size.
  void Realign();

  ControlPeer& Peer() const { return *peer_; }
  // The control that owns a toolkit peer, or null.
  static Control* FromPeer(const ControlPeer* peer);

 protected:
  // A top-level control (a form) when `parent` is null.
  Control(Control* parent, std::unique_ptr<ControlPeer> peer);

 private:
  friend struct ControlPeer;
  Control* parent_;
  std::unique_ptr<ControlPeer> peer_;
  std::vector<Control*> children_;
  std::vector<std::unique_ptr<Control>> owned_;
  std::vector<std::unique_ptr<Component>> components_;
  std::string name_;
  std::string hint_;
  int tag_ = 0;
  int helpContext_ = 0;
  Align align_ = Align::None;
  DragMode dragMode_ = DragMode::Manual;
  Lifetime lifetime_;
};

// The text of the tooltip shown now; empty when none shows.
std::string ShownHint();

}  // namespace plat

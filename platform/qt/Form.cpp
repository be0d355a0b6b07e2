#include "platform/Form.h"

#include "platform/Desktop.h"
#include "platform/Guard.h"
#include "platform/Modality.h"
#include "platform/StdControls.h"
#include "platform/qt/Peer.h"
#include "rtl/StringList.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>

namespace plat {

struct MenuItemPeer {
  QPointer<QMenuBar> bar;    // the root item's menu bar
  QPointer<QAction> action;  // every other item's entry
  QPointer<QMenu> menu;      // the sub-menu, once the item has items
};

namespace {

// The top-level widget of a form: a menu bar over the client area.
class FormWidget : public QWidget {
 public:
  FormWidget() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    client = new QWidget(this);
    layout->addWidget(client);
  }
  Form* TheForm() const { return static_cast<Form*>(qtbridge::ControlOf(this)); }
  void FocusNextOrPrevious(bool forward) { focusNextPrevChild(forward); }

  QWidget* client;
  QPointer<QEventLoop> modalLoop;
  bool centre = false;

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (Form* form = TheForm()) RunGuarded([form] { form->Close(); });
  }
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (Form* form = TheForm()) RunGuarded([form] { form->NotifyResized(); });
  }
  void showEvent(QShowEvent* event) override {
    QWidget::showEvent(event);
    if (Form* form = TheForm(); form && form->OnShow) RunGuarded(form->OnShow);
  }
  void changeEvent(QEvent* event) override {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
      if (Form* form = TheForm(); form && form->OnActivate) RunGuarded(form->OnActivate);
    }
  }
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
      if (Button* cancel = FindCancelButton(TheForm())) {
        RunGuarded([cancel] { cancel->Click(); });
        return;
      }
    }
    QWidget::keyPressEvent(event);
  }

 private:
  static Button* FindCancelButton(Control* control) {
    if (control == nullptr) return nullptr;
    for (Control* child : control->Children()) {
      if (auto* button = dynamic_cast<Button*>(child); button && button->IsCancel() && button->Enabled()) return button;
      if (Button* found = FindCancelButton(child)) return found;
    }
    return nullptr;
  }
};

FormWidget* WidgetOf(const Form& form) { return static_cast<FormWidget*>(form.Peer().widget.data()); }

std::unique_ptr<ControlPeer> MakeFormPeer() {
  qtbridge::EnsureApplication();
  auto* widget = new FormWidget();
  return qtbridge::MakePeer(widget, widget->client);
}

struct Registry {
  std::vector<Form*> forms;
  std::vector<std::unique_ptr<Form>> owned;
  Form* main = nullptr;
  std::string hint;
  std::function<void()> onHint;
};

// Never torn down by exit handlers: a form destroyed then would find the toolkit gone.
Registry& TheRegistry() {
  static auto* registry = new Registry;
  return *registry;
}

QString WithoutAmpersands(const std::string& caption) { return qtbridge::ToQt(caption).remove('&'); }

}  // namespace

// ---- menus ----

MenuItem::MenuItem(MenuItem* parent, std::string caption)
    : parent_(parent), caption_(std::move(caption)), peer_(std::make_unique<MenuItemPeer>()) {}

MenuItem::~MenuItem() {
  items_.clear();
  delete peer_->menu.data();
  delete peer_->action.data();
}

MenuItem& MenuItem::Add(const std::string& caption, const std::string& hint, std::function<void()> onClick,
                        ShortCut shortCut) {
  auto item = std::make_unique<MenuItem>(this, caption);
  item->hint_ = hint;
  item->OnClick = std::move(onClick);
  // A separator carries no text: the toolkit would show it as a section title.
  const bool separator = caption == "-";
  auto* action = new QAction(separator ? QString() : qtbridge::ToQt(caption));
  item->peer_->action = action;
  action->setSeparator(separator);
  MenuItem* raw = item.get();
  QObject::connect(action, &QAction::triggered, [raw] {
    if (raw->OnClick) RunGuarded(raw->OnClick);
  });
  QObject::connect(action, &QAction::hovered, [raw] { SetApplicationHint(GetLongHint(raw->Hint())); });
  if (peer_->bar) {
    peer_->bar->addAction(action);
    action->setParent(peer_->bar);
  } else {
    if (!peer_->menu) {
      peer_->menu = new QMenu();
      if (peer_->action) peer_->action->setMenu(peer_->menu);
    }
    peer_->menu->addAction(action);
    action->setParent(peer_->menu);
  }
  item->SetShortCut(shortCut);
  items_.push_back(std::move(item));
  return *raw;
}

MenuItem* MenuItem::Find(const std::string& caption) {
  for (auto& item : items_) {
    if (WithoutAmpersands(item->caption_) == WithoutAmpersands(caption)) return item.get();
    if (MenuItem* found = item->Find(caption)) return found;
  }
  return nullptr;
}

void MenuItem::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (peer_->action) peer_->action->setText(qtbridge::ToQt(caption));
}

void MenuItem::SetShortCut(ShortCut shortCut) {
  shortCut_ = shortCut;
  if (!peer_->action) return;
  int key = qtbridge::QtKeyOf(shortCut & 0xFF);
  Qt::KeyboardModifiers mods;
  if (shortCut & scShift) mods |= Qt::ShiftModifier;
  if (shortCut & scCtrl) mods |= Qt::ControlModifier;
  if (shortCut & scAlt) mods |= Qt::AltModifier;
  peer_->action->setShortcut(key == 0 ? QKeySequence() : QKeySequence(QKeyCombination(mods, Qt::Key(key))));
}

bool MenuItem::Enabled() const { return !peer_->action || peer_->action->isEnabled(); }
void MenuItem::SetEnabled(bool enabled) {
  if (peer_->action) peer_->action->setEnabled(enabled);
}
bool MenuItem::Checked() const { return peer_->action && peer_->action->isChecked(); }
void MenuItem::SetChecked(bool checked) {
  if (!peer_->action) return;
  peer_->action->setCheckable(true);
  peer_->action->setChecked(checked);
}
void MenuItem::SetVisible(bool visible) {
  if (peer_->action) peer_->action->setVisible(visible);
}

void MenuItem::Click() {
  if (Enabled() && OnClick) OnClick();
}

void PopupMenuAt(MenuItem& menu, Point screen) {
  QMenu* popup = menu.Peer().menu;
  if (popup == nullptr) return;
  QPointer<QWidget> hadFocus = QApplication::focusWidget();
  popup->exec(QPoint(screen.x, screen.y));
  // The focus goes back where it was, unless the chosen item put it elsewhere.
  if (hadFocus && QApplication::focusWidget() == nullptr) {
    QApplication::setActiveWindow(hadFocus->window());
    hadFocus->setFocus(Qt::PopupFocusReason);
  }
}

// ---- forms ----

Form::Form(const std::string& name) : Control(nullptr, MakeFormPeer()) {
  SetName(name);
  SetFont(Font{"Arial", 8, clBlack, 0});
  TheRegistry().forms.push_back(this);
}

Form::~Form() {
  auto& registry = TheRegistry();
  std::erase(registry.forms, this);
  if (registry.main == this) registry.main = nullptr;
  if (WidgetOf(*this)->modalLoop) WidgetOf(*this)->modalLoop->quit();
}

std::string Form::Caption() const { return qtbridge::FromQt(Peer().widget->windowTitle()); }
void Form::SetCaption(const std::string& caption) { Peer().widget->setWindowTitle(qtbridge::ToQt(caption)); }
int Form::ClientWidth() const { return WidgetOf(*this)->client->width(); }
int Form::ClientHeight() const { return WidgetOf(*this)->client->height(); }

void Form::SetClientSize(int width, int height) {
  int menuHeight = menu_ ? menu_->Peer().bar->sizeHint().height() : 0;
  Peer().widget->resize(width, height + menuHeight);
  // The client area takes its size now, not when the window first shows, so
  // that controls aligned in it meanwhile are laid out at their real size.
  if (QLayout* layout = Peer().widget->layout()) layout->activate();
}

void Form::SetBorderStyle(BorderStyle style) {
  QWidget* w = Peer().widget;
  Qt::WindowFlags keep = w->windowFlags() & Qt::WindowStaysOnTopHint;
  switch (style) {
    case BorderStyle::Dialog:
      w->setWindowFlags(keep | Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
      break;
    case BorderStyle::None: w->setWindowFlags(keep | Qt::Window | Qt::FramelessWindowHint); break;
    default: w->setWindowFlags(keep | Qt::Window); break;
  }
}

void Form::SetPosition(FormPosition position) { WidgetOf(*this)->centre = position == FormPosition::ScreenCenter; }

void Form::SetStayOnTop(bool onTop) { Peer().widget->setWindowFlag(Qt::WindowStaysOnTopHint, onTop); }

void Form::SelectNextControl(bool forward) { WidgetOf(*this)->FocusNextOrPrevious(forward); }

MenuItem& Form::Menu() {
  if (!menu_) {
    menu_ = std::make_unique<MenuItem>(nullptr);
    auto* bar = new QMenuBar(Peer().widget);
    menu_->Peer().bar = bar;
    static_cast<QVBoxLayout*>(Peer().widget->layout())->setMenuBar(bar);
  }
  return *menu_;
}

void Form::ShowForm() {
  FormWidget* w = WidgetOf(*this);
  if (w->centre && !w->isVisible()) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect area = screen->availableGeometry();
      w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
    }
  }
  w->show();
  if (QGuiApplication::platformName() != "offscreen") w->raise();
  w->activateWindow();
  QApplication::setActiveWindow(w);
}

ModalResult Form::ShowModal() {
  FormWidget* w = WidgetOf(*this);
  WeakRef<Form> self(this);
  w->setWindowModality(Qt::ApplicationModal);
  modal_ = true;
  modalResult_ = mrNone;
  ShowForm();
  for (;;) {
    if (modalResult_ == mrNone) {
      QEventLoop loop;
      w->modalLoop = &loop;
      loop.exec();
      if (!self) return mrCancel;
      w->modalLoop = nullptr;
    }
    if (modalResult_ == mrNone) continue;
    // The platform's modal loop asks the close query, then the close action.
    if (!QueryClose()) {
      modalResult_ = mrNone;
      continue;
    }
    CloseAction action = CloseAction::Hide;
    if (OnClose) OnClose(action);
    if (action == CloseAction::None) {
      modalResult_ = mrNone;
      continue;
    }
    break;
  }
  modal_ = false;
  w->hide();
  w->setWindowModality(Qt::NonModal);
  return modalResult_;
}

void Form::SetModalResult(ModalResult result) {
  modalResult_ = result;
  if (modal_ && result != mrNone && WidgetOf(*this)->modalLoop) WidgetOf(*this)->modalLoop->quit();
}

bool Form::QueryClose() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(canClose);
  return canClose;
}

void Form::Close() {
  if (modal_) {
    SetModalResult(mrCancel);
    return;
  }
  if (!QueryClose()) return;
  CloseAction action = CloseAction::Hide;
  if (OnClose) OnClose(action);
  switch (action) {
    case CloseAction::None: return;
    case CloseAction::Minimize: Peer().widget->showMinimized(); return;
    case CloseAction::Free:
      Peer().widget->hide();
      NotifyClosed();
      Release();
      return;
    case CloseAction::Hide:
      Peer().widget->hide();
      NotifyClosed();
      return;
  }
}

void Form::NotifyClosed() {
  if (TheRegistry().main == this) TerminateApplication();
}

void Form::NotifyResized() {
  Realign();
  if (OnResize) OnResize();
}

void Form::Release() {
  Peer().widget->hide();
  WeakRef<Form> self(this);
  QMetaObject::invokeMethod(
      qApp,
      [self] {
        Form* form = self.Get();
        if (form == nullptr) return;
        auto& owned = TheRegistry().owned;
        std::erase_if(owned, [form](const auto& p) { return p.get() == form; });
      },
      Qt::QueuedConnection);
}

WindowPlacement Form::GetPlacement() const {
  const QWidget* w = Peer().widget;
  WindowPlacement p;
  p.showCmd = w->isMinimized() ? 2 : w->isMaximized() ? 3 : 1;
  QRect g = w->normalGeometry().isValid() ? w->normalGeometry() : w->geometry();
  p.normal = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
  return p;
}

void Form::SetPlacement(const WindowPlacement& placement) {
  QWidget* w = Peer().widget;
  const Rect& r = placement.normal;
  if (r.right > r.left && r.bottom > r.top) w->setGeometry(r.left, r.top, r.Width(), r.Height());
  if (placement.showCmd == 3) w->setWindowState(Qt::WindowMaximized);
  if (placement.showCmd == 2) w->setWindowState(Qt::WindowMinimized);
}

Control* Form::ActiveControl() const {
  QWidget* focus = Peer().widget->focusWidget();
  return focus ? qtbridge::ControlOf(focus) : nullptr;
}

// ---- the application's forms ----

void AdoptForm(std::unique_ptr<Form> form) {
  auto& registry = TheRegistry();
  if (registry.main == nullptr) registry.main = form.get();
  registry.owned.push_back(std::move(form));
}

std::vector<Form*> Forms() { return TheRegistry().forms; }

Form* FindForm(const std::string& name) {
  for (Form* form : TheRegistry().forms) {
    if (rtl::SameText(form->Name(), name)) return form;
  }
  return nullptr;
}

bool FormExists(const std::string& name) { return FindForm(name) != nullptr; }

Form* ActiveForm() {
  QWidget* active = QApplication::activeWindow();
  return active ? dynamic_cast<Form*>(qtbridge::ControlOf(active)) : nullptr;
}

Form* MainForm() { return TheRegistry().main; }

int ScreenWidth() { return ScreenRect().Width(); }
int ScreenHeight() { return ScreenRect().Height(); }

bool ApplicationMinimized() {
  const Form* main = MainForm();
  return main != nullptr && main->Peer().widget->isMinimized();
}

void DestroyForms() {
  auto& owned = TheRegistry().owned;
  while (!owned.empty()) owned.pop_back();
  TheRegistry().main = nullptr;
}

const std::string& ApplicationHint() { return TheRegistry().hint; }

void SetApplicationHint(const std::string& hint) {
  auto& registry = TheRegistry();
  if (registry.hint == hint) return;
  registry.hint = hint;
  if (registry.onHint) RunGuarded(registry.onHint);
}

void SetOnHint(std::function<void()> onHint) { TheRegistry().onHint = std::move(onHint); }

}  // namespace plat

namespace plat {

void ShowBlocking(Form& form) {
  form.Peer().widget->setWindowModality(Qt::ApplicationModal);
  form.ShowForm();
}

bool InputBlocked(const Form& form) {
  const QWidget* modal = QApplication::activeModalWidget();
  return modal != nullptr && modal->window() != form.Peer().widget->window();
}

}  // namespace plat

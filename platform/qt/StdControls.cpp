#include "platform/StdControls.h"

#include "platform/Form.h"
#include "platform/Guard.h"
#include "platform/Resources.h"
#include "platform/qt/Peer.h"
#include "platform/qt/QtCanvas.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QPointer>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QIcon>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace plat {

using namespace qtbridge;

namespace {

template <class W>
W* As(const Control& control) {
  return static_cast<W*>(control.Peer().widget.data());
}

// Makes a widget of type W inside `parent` and the peer that holds it.
template <class W, class... Args>
std::unique_ptr<ControlPeer> Make(Control& parent, Args&&... args) {
  return MakePeer(new W(std::forward<Args>(args)..., ContainerOf(parent)));
}

// Runs a control's event from the event loop.
void Fire(const std::function<void()>& event) {
  if (event) RunGuarded(event);
}

QPixmap PixmapOf(const RasterImage& image) {
  QImage q(image.width, image.height, QImage::Format_ARGB32);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) q.setPixel(x, y, image.pixels[static_cast<std::size_t>(y * image.width + x)]);
  }
  return QPixmap::fromImage(q);
}

// A named bitmap resource as a pixmap; an empty or unknown name gives a null pixmap.
QPixmap ResourcePixmap(const std::string& name) {
  if (name.empty()) return {};
  auto bytes = FindResource(name);
  QPixmap pixmap;
  if (bytes) pixmap.loadFromData(bytes->data(), static_cast<uint>(bytes->size()));
  return pixmap;
}

// A button's face from a named bitmap resource: its bottom-left pixel's colour
// is transparent, so the face stands on the button's own colour.
QIcon GlyphIcon(const std::string& name) {
  QImage image = ResourcePixmap(name).toImage().convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) return {};
  const QRgb transparent = image.pixel(0, image.height() - 1);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (line[x] == transparent) line[x] = qRgba(0, 0, 0, 0);
    }
  }
  return QIcon(QPixmap::fromImage(image));
}

Qt::Alignment AlignmentOf(TextAlign align) {
  switch (align) {
    case TextAlign::Right: return Qt::AlignRight | Qt::AlignVCenter;
    case TextAlign::Center: return Qt::AlignCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

// A panel: a frame with bevels and a caption drawn in it.
class PanelWidget : public QFrame {
 public:
  explicit PanelWidget(QWidget* parent) : QFrame(parent) {}
  QString caption;
  Qt::Alignment alignment = Qt::AlignCenter;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QFrame::paintEvent(event);
    if (caption.isEmpty()) return;
    QPainter painter(this);
    painter.drawText(contentsRect().adjusted(2, 0, -2, 0), alignment, caption);
  }
};

QFrame::Shadow ShadowOf(Bevel bevel) { return bevel == Bevel::Lowered ? QFrame::Sunken : QFrame::Raised; }

// Offers the key presses of an edit or a combo box to the control's key events
// and key hooks before the widget takes them (unless `keys` is false), and
// reports its mouse events (with clicks unless `clicks` is false) after the
// widget took them.
class KeyHookFilter : public QObject {
 public:
  KeyHookFilter(QWidget* widget, Control& control, KeyHooks& hooks, std::function<void()>& onDblClick,
                bool keys = true, bool clicks = true)
      : QObject(widget), control_(control), hooks_(hooks), onDblClick_(onDblClick), keys_(keys), clicks_(clicks) {
    widget->installEventFilter(this);
  }

  bool eventFilter(QObject* object, QEvent* event) override {
    if (passing_) return false;
    switch (event->type()) {
      case QEvent::MouseButtonPress: return Mouse(object, *event, MouseAction::Down);
      case QEvent::MouseButtonDblClick: return Mouse(object, *event, MouseAction::DoubleClick);
      case QEvent::MouseMove: return Mouse(object, *event, MouseAction::Move);
      case QEvent::MouseButtonRelease: return Mouse(object, *event, MouseAction::Up);
      case QEvent::KeyRelease: {
        if (!keys_) return false;
        auto& e = static_cast<QKeyEvent&>(*event);
        int key = VirtualKeyOf(e);
        return !FireKeyUp(control_, key, ShiftStateOf(e.modifiers(), QApplication::mouseButtons()));
      }
      case QEvent::KeyPress: return keys_ && Key(object, static_cast<QKeyEvent&>(*event));
      default: return false;
    }
  }

 private:
  // The control's events hear of a mouse event before the widget takes it.
  bool Mouse(QObject* object, QEvent& event, MouseAction action) {
    auto& e = static_cast<QMouseEvent&>(event);
    auto* widget = static_cast<QWidget*>(object);
    const QPoint p = widget->mapTo(control_.Peer().widget, e.position().toPoint());
    const MouseButton button = e.button() == Qt::RightButton    ? MouseButton::Right
                               : e.button() == Qt::MiddleButton ? MouseButton::Middle
                                                                : MouseButton::Left;
    const ShiftState shift = ShiftStateOf(e.modifiers(), e.buttons() | e.button());
    WeakRef<Control> alive(&control_);
    FireMouse(control_, action, button, shift, p, clicks_);
    if (action == MouseAction::DoubleClick && alive.Get() != nullptr) {
      FireMouse(control_, MouseAction::Down, button, shift | ssDouble, p, clicks_);
      if (alive.Get() != nullptr) Fire(onDblClick_);
    }
    return alive.Get() == nullptr;
  }

  bool Key(QObject* object, QKeyEvent& e) {
    int key = VirtualKeyOf(e);
    const ShiftState shift = ShiftStateOf(e.modifiers(), QApplication::mouseButtons());
    QPointer<QObject> alive(object);
    if (key != 0) {
      if (!FireKeyDown(control_, key, shift)) return true;
      if (!alive) return true;
      RunGuarded([&] { hooks_.KeyDown(key, shift); });
      if (!alive) return true;
      if (key == 0) return true;
    }
    const std::u32string text = e.text().toStdU32String();
    std::u32string kept;
    bool droppedControl = false;
    for (char32_t ch : text) {
      char32_t c = ch;
      if (FireKeyPress(control_, c) && alive) RunGuarded([&] { hooks_.KeyPress(c); });
      if (!alive) return true;
      if (c != 0)
        kept += c;
      else
        droppedControl = droppedControl || ch < 0x20;
    }
    if (kept == text) {
      if (text.empty()) return false;
      Pass(object, e, text);
      return true;
    }
    // A dropped control character still acts as its key (focus order, default and cancel buttons).
    if (kept.empty() && !droppedControl) return true;
    QKeyEvent changed(QEvent::KeyPress, kept.empty() ? e.key() : 0, e.modifiers(), QString::fromStdU32String(kept));
    if (kept.empty()) {
      passing_ = true;
      QCoreApplication::sendEvent(object, &changed);
      passing_ = false;
      e.setAccepted(changed.isAccepted());
      return true;
    }
    Pass(object, changed, kept);
    return true;
  }

  // The widget takes the event now; then the hooks hear of each character it typed.
  void Pass(QObject* object, QKeyEvent& e, const std::u32string& text) {
    QPointer<QObject> alive(object);
    passing_ = true;
    QCoreApplication::sendEvent(object, &e);
    passing_ = false;
    for (char32_t ch : text) {
      if (!alive) break;
      RunGuarded([&] { hooks_.KeyTyped(ch); });
    }
  }

  Control& control_;
  KeyHooks& hooks_;
  std::function<void()>& onDblClick_;
  bool keys_;
  bool clicks_;
  bool passing_ = false;
};

// A frame for an edit or a combo box: none, a plain line, or the toolkit's sunken frame.
void ApplyBorder(QWidget* widget, EditBorder border, bool hasFrame) {
  widget->setStyleSheet(border == EditBorder::Single ? QStringLiteral("border: 1px solid black;") : QString());
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->setFrame(hasFrame && border != EditBorder::None);
  if (auto* combo = qobject_cast<QComboBox*>(widget)) combo->setFrame(hasFrame && border != EditBorder::None);
}

int SelectionStart(const QLineEdit* edit) {
  if (edit == nullptr) return 0;
  return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

int SelectionEnd(const QLineEdit* edit) {
  if (edit == nullptr) return 0;
  return edit->hasSelectedText() ? edit->selectionEnd() : edit->cursorPosition();
}

// Fills an owner-drawn item's background, gives the canvas the control's font
// in the item's text colour, and lets the program draw the item.
void DrawOwnerItem(ComboBox& box, QPainter& painter, QPaintDevice& device, const QRect& r, int index,
                   DrawItemState state) {
  const QPalette& palette = box.Peer().widget->palette();
  painter.save();
  painter.fillRect(r, palette.color(state.selected ? QPalette::Highlight : QPalette::Base));
  {
    QtCanvas canvas(painter, device);
    canvas.SetFont(FromQFont(box.Peer().widget->font(),
                             FromQColor(palette.color(state.selected ? QPalette::HighlightedText : QPalette::Text))));
    const Rect rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    RunGuarded([&] { box.OnDrawItem(box, canvas, index, rect, state); });
  }
  painter.restore();
}

// The items of an owner-drawn combo box's list: drawn, and with
// OwnerDrawVariable measured, by the program.
class OwnerDrawDelegate : public QStyledItemDelegate {
 public:
  OwnerDrawDelegate(ComboBox& box, QObject* parent) : QStyledItemDelegate(parent), box_(box) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (!box_.OnDrawItem) return QStyledItemDelegate::paint(painter, option, index);
    DrawItemState state;
    state.selected = (option.state & QStyle::State_Selected) != 0;
    state.focused = (option.state & QStyle::State_HasFocus) != 0;
    DrawOwnerItem(box_, *painter, *painter->device(), option.rect, index.row(), state);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (box_.Style() != ComboStyle::OwnerDrawVariable || !box_.OnMeasureItem) return size;
    int height = size.height();
    RunGuarded([&] { box_.OnMeasureItem(box_, index.row(), height); });
    size.setHeight(std::max(height, 0));
    return size;
  }

 private:
  ComboBox& box_;
};

// A combo box that tells when its list drops down, and lets the program draw
// the chosen item of an owner-drawn box.
class ComboWidget : public QComboBox {
 public:
  ComboWidget(std::function<void()>& onDropDown, QWidget* parent) : QComboBox(parent), onDropDown_(onDropDown) {}
  ComboBox* owner = nullptr;  // set once the control is made
  void showPopup() override {
    QPointer<QComboBox> alive(this);
    Fire(onDropDown_);
    if (alive) QComboBox::showPopup();
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    if (owner == nullptr || !owner->OwnerDrawn() || !owner->OnDrawItem) return QComboBox::paintEvent(event);
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0) return;
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    DrawItemState state;
    state.focused = hasFocus();
    state.selected = hasFocus();
    state.comboBoxEdit = true;
    DrawOwnerItem(*owner, painter, *this, field, currentIndex(), state);
  }

 private:
  std::function<void()>& onDropDown_;
};

}  // namespace

// ---- Button ----

Button::Button(Control& parent, const std::string& caption)
    : Control(&parent, Make<QPushButton>(parent, ToQt(caption))) {
  auto* button = As<QPushButton>(*this);
  button->setAutoDefault(false);
  QObject::connect(button, &QPushButton::clicked, [this] { RunGuarded([this] { Click(); }); });
}

std::string Button::Caption() const { return FromQt(As<QPushButton>(*this)->text()); }
void Button::SetCaption(const std::string& caption) { As<QPushButton>(*this)->setText(ToQt(caption)); }

void Button::SetKind(ButtonKind kind) {
  struct Stock {
    ButtonKind kind;
    const char* caption;
    ModalResult result;
    QStyle::StandardPixmap glyph;
  };
  static constexpr Stock kStock[] = {
      {ButtonKind::OK, "OK", mrOk, QStyle::SP_DialogOkButton},
      {ButtonKind::Cancel, "Cancel", mrCancel, QStyle::SP_DialogCancelButton},
      {ButtonKind::Help, "&Help", mrNone, QStyle::SP_DialogHelpButton},
      {ButtonKind::Close, "&Close", mrNone, QStyle::SP_DialogCloseButton},
      {ButtonKind::Yes, "&Yes", mrYes, QStyle::SP_DialogYesButton},
      {ButtonKind::No, "&No", mrNo, QStyle::SP_DialogNoButton},
      {ButtonKind::Ignore, "&Ignore", mrIgnore, QStyle::SP_DialogDiscardButton},
      {ButtonKind::Abort, "Abort", mrAbort, QStyle::SP_DialogAbortButton},
      {ButtonKind::Retry, "&Retry", mrRetry, QStyle::SP_BrowserReload},
  };
  kind_ = kind;
  for (const auto& stock : kStock) {
    if (stock.kind != kind) continue;
    auto* button = As<QPushButton>(*this);
    button->setText(stock.caption);
    button->setIcon(button->style()->standardIcon(stock.glyph));
    modalResult_ = stock.result;
    if (kind == ButtonKind::OK || kind == ButtonKind::Yes) SetDefault(true);
    if (kind == ButtonKind::Cancel || kind == ButtonKind::No) SetCancel(true);
  }
}

void Button::SetGlyphResource(const std::string& resourceName) {
  auto* button = As<QPushButton>(*this);
  const QIcon icon = GlyphIcon(resourceName);
  button->setIcon(icon);
  if (!icon.isNull()) button->setIconSize(icon.availableSizes().value(0));
}

void Button::SetDefault(bool isDefault) { As<QPushButton>(*this)->setDefault(isDefault); }
void Button::SetCancel(bool isCancel) { cancel_ = isCancel; }

void Button::Click() {
  Form* form = ParentForm();
  if (form != nullptr && modalResult_ != mrNone) form->SetModalResult(modalResult_);
  if (OnClick) {
    OnClick();
  } else if (kind_ == ButtonKind::Close && form != nullptr) {
    form->Close();
  }
}

// ---- SpeedButton ----

SpeedButton::SpeedButton(Control& parent) : Control(&parent, Make<QToolButton>(parent)) {
  auto* button = As<QToolButton>(*this);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  QObject::connect(button, &QToolButton::clicked, [this, button] {
    // The toolkit flips a checkable button by itself; the group's rule decides instead.
    if (button->isCheckable()) button->setChecked(!button->isChecked());
    RunGuarded([this] { Click(); });
  });
}

std::string SpeedButton::Caption() const { return FromQt(As<QToolButton>(*this)->text()); }
void SpeedButton::SetCaption(const std::string& caption) {
  As<QToolButton>(*this)->setText(ToQt(caption));
  As<QToolButton>(*this)->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

void SpeedButton::SetGlyphResource(const std::string& resourceName) {
  const QIcon icon = GlyphIcon(resourceName);
  As<QToolButton>(*this)->setIcon(icon);
  if (!icon.isNull()) As<QToolButton>(*this)->setIconSize(icon.availableSizes().value(0));
}

void SpeedButton::SetGlyph(const RasterImage& image) {
  As<QToolButton>(*this)->setIcon(QIcon(PixmapOf(image)));
  As<QToolButton>(*this)->setIconSize(QSize(image.width, image.height));
}

void SpeedButton::SetGroupIndex(int group) {
  group_ = group;
  As<QToolButton>(*this)->setCheckable(group != 0);
}

void SpeedButton::SetAllowAllUp(bool allow) { allowAllUp_ = allow; }
bool SpeedButton::Down() const { return As<QToolButton>(*this)->isChecked(); }

void SpeedButton::SetDown(bool down) {
  auto* button = As<QToolButton>(*this);
  button->setCheckable(true);
  button->setChecked(down);
  if (!down || group_ == 0 || Parent() == nullptr) return;
  for (Control* sibling : Parent()->Children()) {
    auto* other = dynamic_cast<SpeedButton*>(sibling);
    if (other != nullptr && other != this && other->group_ == group_) As<QToolButton>(*other)->setChecked(false);
  }
}

void SpeedButton::Click() {
  if (group_ != 0) SetDown(Down() ? !allowAllUp_ : true);
  if (OnClick) OnClick();
}

// ---- Label ----

// A caption is text as it is, never markup: a file name such as "<b>1</b>.qmx" shows whole.
Label::Label(Control& parent, const std::string& caption) : Control(&parent, Make<QLabel>(parent, ToQt(caption))) {
  As<QLabel>(*this)->setTextFormat(Qt::PlainText);
}
std::string Label::Caption() const { return FromQt(As<QLabel>(*this)->text()); }
void Label::SetCaption(const std::string& caption) { As<QLabel>(*this)->setText(ToQt(caption)); }
void Label::SetAlignment(TextAlign align) { As<QLabel>(*this)->setAlignment(AlignmentOf(align)); }
void Label::SetWordWrap(bool wrap) { As<QLabel>(*this)->setWordWrap(wrap); }
void Label::SetFocusControl(Control& control) { As<QLabel>(*this)->setBuddy(control.Peer().widget); }

// ---- Edit ----

Edit::Edit(Control& parent) : Control(&parent, Make<QLineEdit>(parent)) {
  QObject::connect(As<QLineEdit>(*this), &QLineEdit::textChanged, [this] { Fire(OnChange); });
  new KeyHookFilter(As<QLineEdit>(*this), *this, *this, OnDblClick);
}
std::string Edit::Text() const { return FromQt(As<QLineEdit>(*this)->text()); }
void Edit::SetText(const std::string& text) { As<QLineEdit>(*this)->setText(ToQt(text)); }
void Edit::SetMaxLength(int length) { As<QLineEdit>(*this)->setMaxLength(std::max(length, 0)); }
void Edit::SetReadOnly(bool readOnly) { As<QLineEdit>(*this)->setReadOnly(readOnly); }
void Edit::SelectAll() { As<QLineEdit>(*this)->selectAll(); }
int Edit::SelStart() const { return SelectionStart(As<QLineEdit>(*this)); }
int Edit::SelEnd() const { return SelectionEnd(As<QLineEdit>(*this)); }
void Edit::SetSelection(int start, int end) {
  auto* edit = As<QLineEdit>(*this);
  edit->setCursorPosition(start);
  edit->cursorForward(true, end - start);
}
void Edit::SetBorder(EditBorder border) {
  border_ = border;
  ApplyBorder(As<QLineEdit>(*this), border, true);
}

// ---- Memo ----

Memo::Memo(Control& parent) : Control(&parent, Make<QPlainTextEdit>(parent)) {
  QObject::connect(As<QPlainTextEdit>(*this), &QPlainTextEdit::textChanged, [this] { Fire(OnChange); });
}

std::vector<std::string> Memo::Lines() const {
  std::vector<std::string> lines;
  QString text = As<QPlainTextEdit>(*this)->toPlainText();
  if (text.isEmpty()) return lines;
  for (const QString& line : text.split('\n')) lines.push_back(FromQt(line));
  return lines;
}

void Memo::SetLines(const std::vector<std::string>& lines) {
  QStringList list;
  for (const auto& line : lines) list << ToQt(line);
  As<QPlainTextEdit>(*this)->setPlainText(list.join('\n'));
}

std::string Memo::Text() const {
  std::string text;
  for (const auto& line : Lines()) text += line + "\r\n";
  return text;
}

void Memo::SetText(const std::string& text) {
  QString q = ToQt(text);
  q.replace("\r\n", "\n").replace('\r', '\n');
  As<QPlainTextEdit>(*this)->setPlainText(q);
}

void Memo::SetReadOnly(bool readOnly) { As<QPlainTextEdit>(*this)->setReadOnly(readOnly); }
void Memo::SetWordWrap(bool wrap) {
  As<QPlainTextEdit>(*this)->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

// ---- CheckBox ----

CheckBox::CheckBox(Control& parent, const std::string& caption)
    : Control(&parent, Make<QCheckBox>(parent, ToQt(caption))) {
  QObject::connect(As<QCheckBox>(*this), &QCheckBox::toggled, [this] { Fire(OnClick); });
}
std::string CheckBox::Caption() const { return FromQt(As<QCheckBox>(*this)->text()); }
void CheckBox::SetCaption(const std::string& caption) { As<QCheckBox>(*this)->setText(ToQt(caption)); }
bool CheckBox::Checked() const { return As<QCheckBox>(*this)->isChecked(); }
void CheckBox::SetChecked(bool checked) { As<QCheckBox>(*this)->setChecked(checked); }

// ---- RadioGroup ----

RadioGroup::RadioGroup(Control& parent, const std::string& caption)
    : Control(&parent, Make<QGroupBox>(parent, ToQt(caption))) {
  auto* box = As<QGroupBox>(*this);
  new QGridLayout(box);
  auto* group = new QButtonGroup(box);
  // The focus goes to the checked button, as the platform's radio group gives it.
  QObject::connect(group, &QButtonGroup::idToggled, [this, box, group](int, bool checked) {
    if (!checked) return;
    box->setFocusProxy(group->checkedButton());
    Fire(OnClick);
  });
}

std::string RadioGroup::Caption() const { return FromQt(As<QGroupBox>(*this)->title()); }
void RadioGroup::SetCaption(const std::string& caption) { As<QGroupBox>(*this)->setTitle(ToQt(caption)); }

void RadioGroup::SetItems(const std::vector<std::string>& items) {
  items_ = items;
  Rebuild();
}

void RadioGroup::SetColumns(int columns) {
  columns_ = std::max(1, columns);
  Rebuild();
}

void RadioGroup::Rebuild() {
  auto* box = As<QGroupBox>(*this);
  auto* group = box->findChild<QButtonGroup*>();
  auto* layout = static_cast<QGridLayout*>(box->layout());
  box->setFocusProxy(nullptr);
  for (QAbstractButton* old : group->buttons()) {
    group->removeButton(old);
    delete old;
  }
  int rows = (static_cast<int>(items_.size()) + columns_ - 1) / columns_;
  for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
    auto* radio = new QRadioButton(ToQt(items_[static_cast<std::size_t>(i)]), box);
    group->addButton(radio, i);
    layout->addWidget(radio, rows == 0 ? 0 : i % rows, rows == 0 ? 0 : i / rows);
    if (i == 0) box->setFocusProxy(radio);
  }
}

int RadioGroup::ItemIndex() const { return As<QGroupBox>(*this)->findChild<QButtonGroup*>()->checkedId(); }

void RadioGroup::SetItemIndex(int index) {
  auto* group = As<QGroupBox>(*this)->findChild<QButtonGroup*>();
  if (QAbstractButton* button = group->button(index)) {
    button->setChecked(true);
  } else if (QAbstractButton* checked = group->checkedButton()) {
    group->setExclusive(false);
    checked->setChecked(false);
    group->setExclusive(true);
  }
}

// ---- ComboBox ----

ComboBox::ComboBox(Control& parent, ComboStyle style)
    : Control(&parent, MakePeer(new ComboWidget(OnDropDown, ContainerOf(parent)))), style_(style) {
  auto* combo = As<QComboBox>(*this);
  static_cast<ComboWidget*>(combo)->owner = this;
  if (OwnerDrawn()) combo->setItemDelegate(new OwnerDrawDelegate(*this, combo));
  combo->setEditable(HasEditPart());
  combo->setInsertPolicy(QComboBox::NoInsert);
  // Picking an item is a click, then a change.
  QObject::connect(combo, &QComboBox::activated, [this] {
    WeakRef<Control> alive(this);
    if (Events.OnClick) RunGuarded([this] { Events.OnClick(*this); });
    if (alive.Get() != nullptr) Fire(OnChange);
  });
  // The combo box has the focus and hands its edit part the keys it does not take itself.
  new KeyHookFilter(combo, *this, *this, OnDblClick, true, false);
  if (combo->lineEdit() != nullptr) {
    QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, [this] { Fire(OnChange); });
    new KeyHookFilter(combo->lineEdit(), *this, *this, OnDblClick, false, false);
  }
}

void ComboBox::SetItems(const std::vector<std::string>& items) {
  auto* combo = As<QComboBox>(*this);
  QSignalBlocker block(combo);
  QString text = combo->currentText();
  combo->clear();
  for (const auto& item : items) combo->addItem(ToQt(item));
  combo->setCurrentIndex(-1);
  if (combo->isEditable()) combo->setEditText(text);
}

std::vector<std::string> ComboBox::Items() const {
  std::vector<std::string> items;
  auto* combo = As<QComboBox>(*this);
  for (int i = 0; i < combo->count(); ++i) items.push_back(FromQt(combo->itemText(i)));
  return items;
}

int ComboBox::ItemIndex() const { return As<QComboBox>(*this)->currentIndex(); }
void ComboBox::SetItemIndex(int index) {
  QSignalBlocker block(As<QComboBox>(*this));
  As<QComboBox>(*this)->setCurrentIndex(index);
}
std::string ComboBox::Text() const { return FromQt(As<QComboBox>(*this)->currentText()); }
void ComboBox::SetText(const std::string& text) {
  auto* combo = As<QComboBox>(*this);
  QSignalBlocker block(combo);
  if (combo->isEditable()) {
    combo->setEditText(ToQt(text));
  } else {
    combo->setCurrentIndex(combo->findText(ToQt(text)));
  }
}
void ComboBox::SetMaxLength(int length) {
  if (auto* edit = As<QComboBox>(*this)->lineEdit()) edit->setMaxLength(std::max(length, 0));
}
int ComboBox::SelStart() const { return SelectionStart(As<QComboBox>(*this)->lineEdit()); }
int ComboBox::SelEnd() const { return SelectionEnd(As<QComboBox>(*this)->lineEdit()); }
void ComboBox::SetDropDownCount(int count) { As<QComboBox>(*this)->setMaxVisibleItems(std::max(1, count)); }
void ComboBox::SetBorder(EditBorder border) {
  border_ = border;
  ApplyBorder(As<QComboBox>(*this), border, true);
}
bool ComboBox::DroppedDown() const {
  const QAbstractItemView* view = As<QComboBox>(*this)->view();
  return view != nullptr && view->isVisible();
}
void ComboBox::SetDroppedDown(bool down) {
  if (down == DroppedDown()) return;
  if (down)
    As<QComboBox>(*this)->showPopup();
  else
    As<QComboBox>(*this)->hidePopup();
}

// ---- ListBox ----

ListBox::ListBox(Control& parent) : Control(&parent, Make<QListWidget>(parent)) {
  auto* list = As<QListWidget>(*this);
  QObject::connect(list, &QListWidget::currentRowChanged, [this] { Fire(OnClick); });
  QObject::connect(list, &QListWidget::itemDoubleClicked, [this] { Fire(OnDblClick); });
}

void ListBox::SetItems(const std::vector<std::string>& items) {
  auto* list = As<QListWidget>(*this);
  QSignalBlocker block(list);
  list->clear();
  for (const auto& item : items) list->addItem(ToQt(item));
  list->setCurrentRow(-1);
}

std::vector<std::string> ListBox::Items() const {
  std::vector<std::string> items;
  auto* list = As<QListWidget>(*this);
  for (int i = 0; i < list->count(); ++i) items.push_back(FromQt(list->item(i)->text()));
  return items;
}

int ListBox::ItemIndex() const { return As<QListWidget>(*this)->currentRow(); }
void ListBox::SetItemIndex(int index) {
  QSignalBlocker block(As<QListWidget>(*this));
  As<QListWidget>(*this)->setCurrentRow(index);
}

// ---- SpinButton ----

namespace {

QToolButton* AddArrow(QWidget* box, QVBoxLayout* layout, Qt::ArrowType arrow, const std::function<void()>& onClick) {
  auto* button = new QToolButton(box);
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  button->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(button);
  QObject::connect(button, &QToolButton::clicked, [&onClick] { Fire(onClick); });
  return button;
}

}  // namespace

SpinButton::SpinButton(Control& parent) : Control(&parent, Make<QWidget>(parent)) {
  auto* box = As<QWidget>(*this);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  AddArrow(box, layout, Qt::UpArrow, OnUpClick)->setObjectName("up");
  AddArrow(box, layout, Qt::DownArrow, OnDownClick)->setObjectName("down");
}

// A disabled arrow ignores the click.
void SpinButton::ClickUp() { As<QWidget>(*this)->findChild<QToolButton*>("up")->click(); }
void SpinButton::ClickDown() { As<QWidget>(*this)->findChild<QToolButton*>("down")->click(); }

// ---- RadioButton ----

RadioButton::RadioButton(Control& parent, const std::string& caption)
    : Control(&parent, Make<QRadioButton>(parent, ToQt(caption))) {
  QObject::connect(As<QRadioButton>(*this), &QRadioButton::toggled, [this](bool checked) {
    if (checked && !settingCheck_) Fire(OnClick);
  });
}
std::string RadioButton::Caption() const { return FromQt(As<QRadioButton>(*this)->text()); }
void RadioButton::SetCaption(const std::string& caption) { As<QRadioButton>(*this)->setText(ToQt(caption)); }
bool RadioButton::Checked() const { return As<QRadioButton>(*this)->isChecked(); }
void RadioButton::SetChecked(bool checked) {
  settingCheck_ = true;
  As<QRadioButton>(*this)->setChecked(checked);
  settingCheck_ = false;
}
void RadioButton::Click() { As<QRadioButton>(*this)->click(); }

// ---- SpinEdit ----

SpinEdit::SpinEdit(Control& parent) : Control(&parent, Make<QSpinBox>(parent)) {
  auto* spin = As<QSpinBox>(*this);
  spin->setRange(0, 100);
  QObject::connect(spin, &QSpinBox::valueChanged, [this] { Fire(OnChange); });
}
int SpinEdit::Value() const { return As<QSpinBox>(*this)->value(); }
void SpinEdit::SetValue(int value) { As<QSpinBox>(*this)->setValue(value); }
void SpinEdit::SetRange(int minValue, int maxValue) { As<QSpinBox>(*this)->setRange(minValue, maxValue); }
int SpinEdit::MinValue() const { return As<QSpinBox>(*this)->minimum(); }
int SpinEdit::MaxValue() const { return As<QSpinBox>(*this)->maximum(); }
void SpinEdit::SetIncrement(int increment) { As<QSpinBox>(*this)->setSingleStep(increment); }
void SpinEdit::SetEditorEnabled(bool enabled) {
  if (auto* edit = As<QSpinBox>(*this)->findChild<QLineEdit*>()) edit->setReadOnly(!enabled);
}

// ---- ProgressGauge ----

ProgressGauge::ProgressGauge(Control& parent) : Control(&parent, Make<QProgressBar>(parent)) {
  As<QProgressBar>(*this)->setRange(0, 100);
  As<QProgressBar>(*this)->setValue(0);
}
void ProgressGauge::SetRange(int minValue, int maxValue) { As<QProgressBar>(*this)->setRange(minValue, maxValue); }
int ProgressGauge::Progress() const { return As<QProgressBar>(*this)->value(); }
void ProgressGauge::SetProgress(int value) { As<QProgressBar>(*this)->setValue(value); }
void ProgressGauge::SetForeColor(Color color) {
  QPalette p = As<QProgressBar>(*this)->palette();
  p.setColor(QPalette::Highlight, ToQColor(color));
  As<QProgressBar>(*this)->setPalette(p);
}

// ---- containers ----

Panel::Panel(Control& parent, const std::string& caption) : Control(&parent, Make<PanelWidget>(parent)) {
  As<PanelWidget>(*this)->caption = ToQt(caption);
  SetBevels(Bevel::Raised, Bevel::None);
}
std::string Panel::Caption() const { return FromQt(As<PanelWidget>(*this)->caption); }
void Panel::SetCaption(const std::string& caption) {
  As<PanelWidget>(*this)->caption = ToQt(caption);
  Invalidate();
}
void Panel::SetBevels(Bevel outer, Bevel inner) {
  auto* panel = As<PanelWidget>(*this);
  Bevel shown = outer != Bevel::None ? outer : inner;
  panel->setFrameStyle(shown == Bevel::None ? QFrame::NoFrame : (QFrame::Panel | ShadowOf(shown)));
  panel->setLineWidth(outer != Bevel::None && inner != Bevel::None ? 2 : 1);
}
void Panel::SetAlignment(TextAlign align) {
  As<PanelWidget>(*this)->alignment = AlignmentOf(align);
  Invalidate();
}

GroupBox::GroupBox(Control& parent, const std::string& caption)
    : Control(&parent, Make<QGroupBox>(parent, ToQt(caption))) {}
std::string GroupBox::Caption() const { return FromQt(As<QGroupBox>(*this)->title()); }
void GroupBox::SetCaption(const std::string& caption) { As<QGroupBox>(*this)->setTitle(ToQt(caption)); }

TabSheet::TabSheet(Control& pageControl, const std::string& caption) : Control(&pageControl, MakePeer(new QWidget())) {
  auto* tabs = As<QTabWidget>(pageControl);
  QSignalBlocker block(tabs);
  tabs->addTab(Peer().widget, ToQt(caption));
}
std::string TabSheet::Caption() const {
  auto* tabs = As<QTabWidget>(*Parent());
  return FromQt(tabs->tabText(tabs->indexOf(Peer().widget)));
}
void TabSheet::SetCaption(const std::string& caption) {
  auto* tabs = As<QTabWidget>(*Parent());
  tabs->setTabText(tabs->indexOf(Peer().widget), ToQt(caption));
}

PageControl::PageControl(Control& parent) : Control(&parent, Make<QTabWidget>(parent)) {
  QObject::connect(As<QTabWidget>(*this), &QTabWidget::currentChanged, [this] { Fire(OnChange); });
}
TabSheet& PageControl::AddPage(const std::string& caption) { return Add<TabSheet>(caption); }
int PageControl::PageCount() const { return As<QTabWidget>(*this)->count(); }
int PageControl::ActivePageIndex() const { return As<QTabWidget>(*this)->currentIndex(); }
void PageControl::SetActivePageIndex(int index) {
  QSignalBlocker block(As<QTabWidget>(*this));
  As<QTabWidget>(*this)->setCurrentIndex(index);
}

// ---- StatusBar ----

namespace {
// The status bar's labels: one for the simple text, then one per panel.
QList<QLabel*> StatusLabels(const Control& bar) { return As<QFrame>(bar)->findChildren<QLabel*>(); }
}  // namespace

StatusBar::StatusBar(Control& parent) : Control(&parent, Make<QFrame>(parent)) {
  auto* frame = As<QFrame>(*this);
  auto* layout = new QHBoxLayout(frame);
  layout->setContentsMargins(2, 1, 2, 1);
  layout->setSpacing(2);
  auto* simple = new QLabel(frame);
  simple->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  layout->addWidget(simple, 1);
  frame->resize(frame->width(), 19);
  SetAlign(Align::Bottom);
}

std::string StatusBar::SimpleText() const { return FromQt(StatusLabels(*this).front()->text()); }
void StatusBar::SetSimpleText(const std::string& text) { StatusLabels(*this).front()->setText(ToQt(text)); }

void StatusBar::SetPanels(const std::vector<int>& widths) {
  auto* frame = As<QFrame>(*this);
  auto labels = StatusLabels(*this);
  for (int i = 1; i < labels.size(); ++i) delete labels[i];
  labels.front()->setVisible(widths.empty());
  for (std::size_t i = 0; i < widths.size(); ++i) {
    auto* label = new QLabel(frame);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    if (i + 1 < widths.size()) label->setFixedWidth(widths[i]);
    frame->layout()->addWidget(label);
  }
}

void StatusBar::SetPanelText(int index, const std::string& text) {
  auto labels = StatusLabels(*this);
  if (index >= 0 && index + 1 < labels.size()) labels[index + 1]->setText(ToQt(text));
}

std::string StatusBar::PanelText(int index) const {
  auto labels = StatusLabels(*this);
  return index >= 0 && index + 1 < labels.size() ? FromQt(labels[index + 1]->text()) : std::string();
}

// ---- Image ----

Image::Image(Control& parent) : Control(&parent, Make<QLabel>(parent)) {}
void Image::SetPictureResource(const std::string& resourceName) {
  As<QLabel>(*this)->setPixmap(ResourcePixmap(resourceName));
}
void Image::SetPicture(const RasterImage& image) { As<QLabel>(*this)->setPixmap(PixmapOf(image)); }
void Image::SetStretch(bool stretch) { As<QLabel>(*this)->setScaledContents(stretch); }

}  // namespace plat

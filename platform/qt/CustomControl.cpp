#include "platform/CustomControl.h"

#include "platform/Guard.h"
#include "platform/SystemColors.h"
#include "platform/qt/Peer.h"
#include "platform/qt/QtCanvas.h"
#include "rtl/TextChars.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QShowEvent>
#include <QTimer>
#include <QTransform>
#include <QWheelEvent>

#include <optional>

namespace plat {

using namespace qtbridge;

namespace {

// The caret: drawn over its control by inverting the pixels under it, so that
// blinking never asks the control to paint again.
class CaretWidget : public QWidget {
 public:
  explicit CaretWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
  }
  bool gray = false;
  QImage image;  // a caret from a picture; null for a plain one

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    if (image.isNull()) {
      painter.fillRect(rect(), gray ? QColor(128, 128, 128) : QColor(255, 255, 255));
    } else {
      painter.drawImage(0, 0, image);
    }
  }
};

// The program's one caret.
struct CaretOwner {
  WeakRef<CustomControl> owner;
  CaretState state;
  QPointer<CaretWidget> widget;
  QPointer<QTimer> blink;
  bool blinkOn = true;
  std::uint32_t blinkTime = 530;
};

CaretOwner& TheCaret() {
  static CaretOwner caret;
  return caret;
}

void ShowCaretWidget() {
  CaretOwner& caret = TheCaret();
  if (!caret.widget) return;
  const CaretState& s = caret.state;
  caret.widget->gray = s.gray;
  if (!s.fromBitmap) caret.widget->image = QImage();
  caret.widget->setGeometry(s.position.x, s.position.y, s.width, s.height);
  caret.widget->setVisible(s.Visible() && caret.blinkOn);
  if (caret.blink) {
    if (s.Visible() && caret.blinkTime > 0) {
      caret.blink->start(static_cast<int>(caret.blinkTime));
    } else {
      caret.blink->stop();
    }
  }
}

ScrollCode CodeOf(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return ScrollCode::LineUp;
    case QAbstractSlider::SliderSingleStepAdd: return ScrollCode::LineDown;
    case QAbstractSlider::SliderPageStepSub: return ScrollCode::PageUp;
    case QAbstractSlider::SliderPageStepAdd: return ScrollCode::PageDown;
    case QAbstractSlider::SliderToMinimum: return ScrollCode::Top;
    case QAbstractSlider::SliderToMaximum: return ScrollCode::Bottom;
    default: return ScrollCode::ThumbTrack;
  }
}

MouseButton ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton: return MouseButton::Right;
    case Qt::MiddleButton: return MouseButton::Middle;
    default: return MouseButton::Left;
  }
}

class CustomWidget;

// The client area of a custom control: it paints and takes the mouse, and its
// children are the control's children, so client coordinates are its own.
class ClientWidget : public QWidget {
 public:
  explicit ClientWidget(CustomWidget& outer);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* e) override { Mouse(e, true, false); }
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override { Mouse(e, false, false); }
  void mouseMoveEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void Mouse(QMouseEvent* e, bool down, bool isDouble);
  CustomWidget& outer_;
};

// The widget of a custom control: it takes the focus and the keys, draws the
// frame, and holds the client area and the scroll bars inside the frame. It
// hands every event to the control.
class CustomWidget : public QWidget {
 public:
  explicit CustomWidget(QWidget* parent) : QWidget(parent), client(new ClientWidget(*this)) {
    setFocusPolicy(Qt::StrongFocus);
    for (auto kind : {ScrollBarKind::Horizontal, ScrollBarKind::Vertical}) {
      auto* bar = new QScrollBar(kind == ScrollBarKind::Horizontal ? Qt::Horizontal : Qt::Vertical, this);
      bar->hide();
      bar->setFocusPolicy(Qt::NoFocus);
      BarOf(kind) = bar;
      connect(bar, &QAbstractSlider::actionTriggered, this, [this, kind, bar](int action) {
        // As the platform's scroll bars, the thumb stays until the control sets the position.
        int pos = bar->sliderPosition();
        if (action != QAbstractSlider::SliderMove) bar->setSliderPosition(bar->value());
        Dispatch([&](CustomControl& c) { c.DispatchScroll(kind, CodeOf(action), pos); });
      });
      connect(bar, &QAbstractSlider::sliderReleased, this, [this, kind, bar] {
        int pos = bar->sliderPosition();
        Dispatch([&](CustomControl& c) { c.DispatchScroll(kind, ScrollCode::ThumbPosition, pos); });
        Dispatch([&](CustomControl& c) { c.DispatchScroll(kind, ScrollCode::EndScroll, pos); });
      });
    }
  }

  QPointer<QScrollBar>& BarOf(ScrollBarKind kind) { return kind == ScrollBarKind::Horizontal ? hBar : vBar; }
  int FrameWidth() const { return frame == EditBorder::None ? 0 : frame == EditBorder::Single ? 1 : 2; }
  // The client area in this widget's coordinates: inside the frame, without the scroll bars.
  QRect ClientArea() const {
    const int f = FrameWidth();
    int w = width() - 2 * f - (vBar && !vBar->isHidden() ? vBar->sizeHint().width() : 0);
    int h = height() - 2 * f - (hBar && !hBar->isHidden() ? hBar->sizeHint().height() : 0);
    return QRect(f, f, std::max(0, w), std::max(0, h));
  }
  // The client area goes last: its new size reaches the control at once, which
  // may show or hide a scroll bar and so place the parts again.
  void PlaceParts() {
    const QRect area = ClientArea();
    const int f = FrameWidth();
    if (vBar) vBar->setGeometry(area.right() + 1, f, width() - f - area.right() - 1, area.height());
    if (hBar) hBar->setGeometry(f, area.bottom() + 1, area.width(), height() - f - area.bottom() - 1);
    client->setGeometry(area);
  }
  template <class F>
  void Dispatch(F&& f) {
    if (auto* control = dynamic_cast<CustomControl*>(ControlOf(this))) f(*control);
  }

  ClientWidget* client;
  EditBorder frame = EditBorder::None;
  bool wantTabs = false;
  bool doubleClicks = true;
  const std::function<void(Canvas&)>* paintNow = nullptr;
  std::optional<QRect> paintBox;
  QRegion uncovered;  // by ScrollArea, not yet painted
  QPointer<QScrollBar> hBar;
  QPointer<QScrollBar> vBar;

 protected:
  // The frame: a black line, or the sunken edge of two lines, dark above and
  // left, light below and right.
  void paintEvent(QPaintEvent*) override {
    if (frame == EditBorder::None) return;
    QPainter painter(this);
    const QRect r = rect();
    auto box = [&](QRect at, Color topLeft, Color bottomRight) {
      painter.setPen(ToQColor(ColorToRGB(topLeft)));
      painter.drawLine(at.topLeft(), at.topRight());
      painter.drawLine(at.topLeft(), at.bottomLeft());
      painter.setPen(ToQColor(ColorToRGB(bottomRight)));
      painter.drawLine(at.bottomLeft(), at.bottomRight());
      painter.drawLine(at.topRight(), at.bottomRight());
    };
    if (frame == EditBorder::Single) {
      box(r, clWindowFrame, clWindowFrame);
    } else {
      box(r, clBtnShadow, clBtnHighlight);
      box(r.adjusted(1, 1, -1, -1), cl3DDkShadow, cl3DLight);
    }
  }
  void keyPressEvent(QKeyEvent* e) override {
    int key = VirtualKeyOf(*e);
    ShiftState shift = ShiftStateOf(e->modifiers(), QApplication::mouseButtons());
    std::string text = FromQt(e->text());
    Dispatch([&](CustomControl& c) { c.DispatchKeyDown(key, shift, text); });
  }
  void keyReleaseEvent(QKeyEvent* e) override {
    int key = VirtualKeyOf(*e);
    ShiftState shift = ShiftStateOf(e->modifiers(), QApplication::mouseButtons());
    Dispatch([&](CustomControl& c) { c.DispatchKeyUp(key, shift); });
  }
  void leaveEvent(QEvent* e) override {
    QWidget::leaveEvent(e);
    Dispatch([](CustomControl& c) { c.DispatchMouseLeave(); });
  }
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    PlaceParts();
  }
  void showEvent(QShowEvent* e) override {
    QWidget::showEvent(e);
    Dispatch([](CustomControl& c) { c.DispatchShown(); });
  }
  bool focusNextPrevChild(bool next) override { return wantTabs ? false : QWidget::focusNextPrevChild(next); }
};

ClientWidget::ClientWidget(CustomWidget& outer) : QWidget(&outer), outer_(outer) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

void ClientWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRegion region = event->region() & rect();
  painter.setClipRegion(region);
  auto canvas = std::make_unique<QtCanvas>(painter, *this);
  if (outer_.paintNow) {
    // What the control paints outside a paint request; the backing store keeps the rest.
    (*outer_.paintNow)(*canvas);
    return;
  }
  outer_.paintBox = region.boundingRect();
  outer_.Dispatch([&](CustomControl& c) { c.DispatchPaint(*canvas); });
  outer_.paintBox.reset();
}

// Without double clicks, the second press arrives as a plain press.
void ClientWidget::mouseDoubleClickEvent(QMouseEvent* e) { Mouse(e, true, outer_.doubleClicks); }

void ClientWidget::mouseMoveEvent(QMouseEvent* e) {
  QPoint p = e->position().toPoint();
  ShiftState shift = ShiftStateOf(e->modifiers(), e->buttons());
  outer_.Dispatch([&](CustomControl& c) { c.DispatchMouseMove(shift, p.x(), p.y()); });
}

void ClientWidget::wheelEvent(QWheelEvent* e) {
  QPoint p = e->position().toPoint();
  ShiftState shift = ShiftStateOf(e->modifiers(), e->buttons());
  int delta = e->angleDelta().y();
  outer_.Dispatch([&](CustomControl& c) { c.DispatchMouseWheel(shift, delta, p.x(), p.y()); });
}

void ClientWidget::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  outer_.Dispatch([](CustomControl& c) { c.DispatchResize(); });
}

void ClientWidget::Mouse(QMouseEvent* e, bool down, bool isDouble) {
  QPoint p = e->position().toPoint();
  ShiftState shift = ShiftStateOf(e->modifiers(), e->buttons() | e->button());
  MouseButton button = ButtonOf(e->button());
  if (down && !isDouble && outer_.focusPolicy() != Qt::NoFocus) outer_.setFocus(Qt::MouseFocusReason);
  outer_.Dispatch([&](CustomControl& c) {
    if (down) {
      c.DispatchMouseDown(button, shift, p.x(), p.y(), isDouble);
    } else {
      c.DispatchMouseUp(button, shift, p.x(), p.y());
    }
  });
}

CustomWidget* WidgetOf(const CustomControl& control) {
  return static_cast<CustomWidget*>(control.Peer().widget.data());
}

std::unique_ptr<ControlPeer> MakeCustomPeer(Control& parent) {
  auto* widget = new CustomWidget(ContainerOf(parent));
  return MakePeer(widget, widget->client);
}

}  // namespace

CustomControl::CustomControl(Control& parent) : Control(&parent, MakeCustomPeer(parent)) {}

CustomControl::~CustomControl() {
  for (const auto& [id, timer] : timers_) StopTimer(timer);
  if (TheCaret().owner.Get() == this) DestroyCaret();
}

int CustomControl::ClientWidth() const { return WidgetOf(*this)->ClientArea().width(); }
int CustomControl::ClientHeight() const { return WidgetOf(*this)->ClientArea().height(); }

void CustomControl::SetFrame(EditBorder frame) {
  CustomWidget* w = WidgetOf(*this);
  if (w->frame == frame) return;
  w->frame = frame;
  w->PlaceParts();
  w->update();
}

EditBorder CustomControl::Frame() const { return WidgetOf(*this)->frame; }

// ---- scroll bars ----

void CustomControl::SetScrollRange(ScrollBarKind bar, int minPos, int maxPos) {
  QSignalBlocker block(WidgetOf(*this)->BarOf(bar));
  WidgetOf(*this)->BarOf(bar)->setRange(minPos, maxPos);
}

void CustomControl::SetScrollPage(ScrollBarKind bar, int page) {
  WidgetOf(*this)->BarOf(bar)->setPageStep(std::max(1, page));
}

void CustomControl::SetScrollPos(ScrollBarKind bar, int pos) {
  QSignalBlocker block(WidgetOf(*this)->BarOf(bar));
  WidgetOf(*this)->BarOf(bar)->setValue(pos);
}

int CustomControl::ScrollPos(ScrollBarKind bar) const { return WidgetOf(*this)->BarOf(bar)->value(); }

void CustomControl::ShowScrollBar(ScrollBarKind bar, bool visible) {
  CustomWidget* w = WidgetOf(*this);
  if (w->BarOf(bar)->isHidden() != visible) return;
  w->BarOf(bar)->setVisible(visible);
  w->PlaceParts();
  // A shown client area reports its new size itself.
  if (!w->client->isVisible()) RunGuarded([this] { Resized(); });
}

bool CustomControl::ScrollBarVisible(ScrollBarKind bar) const { return !WidgetOf(*this)->BarOf(bar)->isHidden(); }

// ---- caret ----

void CustomControl::CreateCaret(int width, int height, bool gray) {
  CaretOwner& caret = TheCaret();
  if (caret.owner.Get() != nullptr && caret.owner.Get() != this) caret.owner->DestroyCaret();
  caret.owner = this;
  caret.state = CaretState{true, std::max(1, width), std::max(1, height), gray, false, caret.state.position, 1};
  if (!caret.widget || caret.widget->parentWidget() != WidgetOf(*this)->client) {
    delete caret.widget.data();
    caret.widget = new CaretWidget(WidgetOf(*this)->client);
  }
  if (!caret.blink) {
    caret.blink = new QTimer(qApp);
    QObject::connect(caret.blink, &QTimer::timeout, [] {
      TheCaret().blinkOn = !TheCaret().blinkOn;
      if (TheCaret().widget) TheCaret().widget->setVisible(TheCaret().state.Visible() && TheCaret().blinkOn);
    });
  }
  caret.blinkOn = true;
  ShowCaretWidget();
}

void CustomControl::CreateCaret(const RasterImage& bitmap) {
  // As the platform's: white pixels of the picture invert what lies under them, black ones leave it.
  QImage image(std::max(bitmap.width, 1), std::max(bitmap.height, 1), QImage::Format_RGB32);
  image.fill(Qt::black);
  for (int y = 0; y < bitmap.height; ++y) {
    for (int x = 0; x < bitmap.width; ++x) {
      auto i = static_cast<std::size_t>(y * bitmap.width + x);
      if (i < bitmap.pixels.size()) image.setPixel(x, y, bitmap.pixels[i] | 0xFF000000u);
    }
  }
  CreateCaret(bitmap.width, bitmap.height, false);
  CaretOwner& caret = TheCaret();
  caret.state.fromBitmap = true;
  caret.widget->image = image;
  ShowCaretWidget();
}

void CustomControl::DestroyCaret() {
  CaretOwner& caret = TheCaret();
  if (caret.owner.Get() != this) return;
  caret.state = CaretState{};
  delete caret.widget.data();
  if (caret.blink) caret.blink->stop();
  caret.owner = nullptr;
}

void CustomControl::SetCaretPos(int x, int y) {
  CaretOwner& caret = TheCaret();
  if (caret.owner.Get() != this) return;
  caret.state.position = {x, y};
  ShowCaretWidget();
}

void CustomControl::ShowCaret() {
  CaretOwner& caret = TheCaret();
  if (caret.owner.Get() != this || caret.state.hideLevel == 0) return;
  --caret.state.hideLevel;
  caret.blinkOn = true;
  ShowCaretWidget();
}

void CustomControl::HideCaret() {
  CaretOwner& caret = TheCaret();
  if (caret.owner.Get() != this) return;
  ++caret.state.hideLevel;
  ShowCaretWidget();
}

CaretState CustomControl::Caret() const { return TheCaret().owner.Get() == this ? TheCaret().state : CaretState{}; }

std::uint32_t CustomControl::CaretBlinkTime() { return TheCaret().blinkTime; }

void CustomControl::SetCaretBlinkTime(std::uint32_t ms) {
  TheCaret().blinkTime = ms;
  ShowCaretWidget();
}

// ---- timers ----

bool CustomControl::SetTimer(int id, std::uint32_t intervalMs) {
  KillTimer(id);
  WeakRef<CustomControl> self(this);
  TimerService& service = Service<TimerService>::Get();
  auto timer = service.Start(intervalMs, [self, id] {
    if (CustomControl* control = self.Get()) control->DispatchTimer(id);
  });
  if (timer == 0) return false;
  timers_[id] = RunningTimer{&service, timer};
  return true;
}

void CustomControl::KillTimer(int id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  StopTimer(it->second);
  timers_.erase(it);
}

// A timer is stopped through the service that runs it, while that service is
// still the installed one; a service taken away (a test's manual clock) has
// taken its timers with it, and their ticks find the control gone anyway.
void CustomControl::StopTimer(const RunningTimer& timer) {
  if (Service<TimerService>::Installed() && &Service<TimerService>::Get() == timer.service) {
    timer.service->Stop(timer.id);
  }
}

// ---- the rest ----

void CustomControl::InvalidateRect(const Rect& r) { WidgetOf(*this)->client->update(r.left, r.top, r.Width(), r.Height()); }

namespace {

// The cursors that show where a row or a column can be dragged to: a bar of
// three cells with arrows off both ends, across for a row, upright for a column.
QCursor MoveCursor(bool rows) {
  constexpr int kSide = 24;
  QImage image(kSide, kSide, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (!rows) painter.setTransform(QTransform(0, 1, 1, 0, 0, 0));  // mirrored on the diagonal
  painter.setPen(Qt::black);
  painter.setBrush(Qt::white);
  painter.drawRect(4, 9, 15, 5);
  painter.drawLine(9, 9, 9, 14);
  painter.drawLine(14, 9, 14, 14);
  painter.setBrush(Qt::black);
  const QPoint up[] = {{11, 1}, {7, 6}, {16, 6}};
  const QPoint down[] = {{11, 22}, {7, 17}, {16, 17}};
  painter.drawPolygon(up, 3);
  painter.drawPolygon(down, 3);
  painter.end();
  return QCursor(QPixmap::fromImage(image), 11, 11);
}

}  // namespace

void CustomControl::SetCursor(CursorShape shape) {
  if (shape == CursorShape::RowMove || shape == CursorShape::ColMove) {
    WidgetOf(*this)->setCursor(MoveCursor(shape == CursorShape::RowMove));
    return;
  }
  static constexpr std::pair<CursorShape, Qt::CursorShape> kShapes[] = {
      {CursorShape::Arrow, Qt::ArrowCursor},
      {CursorShape::IBeam, Qt::IBeamCursor},
      {CursorShape::SizeWE, Qt::SizeHorCursor},
      {CursorShape::SizeNS, Qt::SizeVerCursor},
      {CursorShape::HandPoint, Qt::PointingHandCursor},
      {CursorShape::HourGlass, Qt::WaitCursor}};
  for (const auto& [ours, theirs] : kShapes) {
    if (ours == shape) {
      WidgetOf(*this)->setCursor(theirs);
      return;
    }
  }
  WidgetOf(*this)->unsetCursor();
}

void CustomControl::SetCursorPicture(const RasterImage& picture, int hotX, int hotY) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() < static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
    WidgetOf(*this)->unsetCursor();
    return;
  }
  QImage image(picture.width, picture.height, QImage::Format_ARGB32);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      image.setPixel(x, y, picture.pixels[static_cast<std::size_t>(y * picture.width + x)]);
    }
  }
  WidgetOf(*this)->setCursor(QCursor(QPixmap::fromImage(image), hotX, hotY));
}

int CustomControl::ScrollArrowSize() {
  qtbridge::EnsureApplication();
  return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void CustomControl::SetWantTabs(bool want) { WidgetOf(*this)->wantTabs = want; }

void CustomControl::SetTabStop(bool tabStop) {
  WidgetOf(*this)->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::NoFocus);
}

// The window counts as made while its creation steps run, as the platform's
// does once it exists: those steps lay the control out on it.
void CustomControl::HandleNeeded() {
  if (windowMade_) return;
  windowMade_ = true;
  try {
    CreateWnd();
  } catch (...) {
    windowMade_ = false;
    throw;
  }
}

void CustomControl::RecreateWnd() {
  if (windowMade_) CreateWnd();
}

void CustomControl::SetDoubleClicks(bool on) { WidgetOf(*this)->doubleClicks = on; }

void CustomControl::DispatchShown() {
  if (!windowMade_) RunGuarded([&] { HandleNeeded(); });
}

void CustomControl::PaintNow(const std::function<void(Canvas&)>& paint) {
  CustomWidget* widget = WidgetOf(*this);
  if (!widget->isVisible()) return;
  widget->paintNow = &paint;
  widget->client->repaint();
  widget->paintNow = nullptr;
}

// The area is drawn anew rather than its pixels moved: the toolkit's move
// (QWidget::scroll) copies what its store holds, and over an edit control that
// has just been hidden it left rows on the screen that the control no longer
// showed there, so a click landed on another row than the one under it.
void CustomControl::ScrollArea(int, int, const Rect& area) {
  CustomWidget* widget = WidgetOf(*this);
  const QRect r(area.left, area.top, area.Width(), area.Height());
  widget->uncovered += QRegion(r);
  widget->client->update(r);
}

void CustomControl::UpdateNow() {
  CustomWidget* widget = WidgetOf(*this);
  const QRegion region = widget->uncovered;
  widget->uncovered = QRegion();
  if (!region.isEmpty() && widget->isVisible()) widget->client->repaint(region);
}

Rect CustomControl::PaintBox() const {
  const CustomWidget* widget = WidgetOf(*this);
  const QRect box = widget->paintBox.value_or(widget->client->rect());
  return {box.left(), box.top(), box.left() + box.width(), box.top() + box.height()};
}

void CustomControl::DispatchPaint(Canvas& canvas) {
  RunGuarded([&] { Paint(canvas); });
}

bool CustomControl::DispatchDialogChar(char ch) {
  bool taken = false;
  RunGuarded([&] { taken = DialogChar(ch); });
  return taken;
}

bool CustomControl::DialogChar(char) { return false; }

void CustomControl::DispatchKeyDown(int key, ShiftState shift, const std::string& text) {
  WeakRef<CustomControl> self(this);
  int k = key;
  if (FireKeyDown(*this, k, shift) && self) RunGuarded([&] { KeyDown(k, shift); });
  for (char32_t typed : rtl::CodePoints(text)) {
    if (!self) return;
    char32_t c = typed;
    if (FireKeyPress(*this, c) && self) RunGuarded([&] { KeyPress(c); });
  }
}

void CustomControl::DispatchKeyUp(int key, ShiftState shift) {
  WeakRef<CustomControl> self(this);
  int k = key;
  if (FireKeyUp(*this, k, shift) && self) RunGuarded([&] { KeyUp(k, shift); });
}

void CustomControl::DispatchMouseDown(MouseButton button, ShiftState shift, int x, int y, bool isDouble) {
  WeakRef<CustomControl> self(this);
  if (isDouble) {
    FireMouse(*this, MouseAction::DoubleClick, button, shift, QPoint(x, y));
    if (self) RunGuarded([&] { DblClick(); });
    if (!self) return;
    shift |= ssDouble;
  }
  FireMouse(*this, MouseAction::Down, button, shift, QPoint(x, y));
  if (self) RunGuarded([&] { MouseDown(button, shift, x, y); });
}

void CustomControl::DispatchMouseMove(ShiftState shift, int x, int y) {
  WeakRef<CustomControl> self(this);
  FireMouse(*this, MouseAction::Move, MouseButton::Left, shift, QPoint(x, y));
  if (self) RunGuarded([&] { MouseMove(shift, x, y); });
}

void CustomControl::DispatchMouseUp(MouseButton button, ShiftState shift, int x, int y) {
  WeakRef<CustomControl> self(this);
  FireMouse(*this, MouseAction::Up, button, shift, QPoint(x, y));
  if (self) RunGuarded([&] { MouseUp(button, shift, x, y); });
}

void CustomControl::DispatchMouseLeave() {
  RunGuarded([&] { MouseLeave(); });
}

void CustomControl::DispatchMouseWheel(ShiftState shift, int delta, int x, int y) {
  RunGuarded([&] { MouseWheel(shift, delta, x, y); });
}

void CustomControl::DispatchFocusGained(Control* losing) {
  RunGuarded([&] { FocusGained(losing); });
}

void CustomControl::DispatchFocusLost(Control* gaining) {
  RunGuarded([&] { FocusLost(gaining); });
}

void CustomControl::DispatchScroll(ScrollBarKind bar, ScrollCode code, int pos) {
  RunGuarded([&] { Scrolled(bar, code, pos); });
}

void CustomControl::DispatchTimer(int id) {
  RunGuarded([&] { TimerTick(id); });
}

void CustomControl::DispatchResize() {
  RunGuarded([&] { Resized(); });
}

void CustomControl::CreateWnd() {}
void CustomControl::Paint(Canvas&) {}
void CustomControl::KeyDown(int&, ShiftState) {}
void CustomControl::KeyPress(char32_t&) {}
void CustomControl::KeyUp(int&, ShiftState) {}
void CustomControl::MouseDown(MouseButton, ShiftState, int, int) {}
void CustomControl::MouseMove(ShiftState, int, int) {}
void CustomControl::MouseUp(MouseButton, ShiftState, int, int) {}
void CustomControl::MouseWheel(ShiftState, int, int, int) {}
void CustomControl::DblClick() {}
void CustomControl::MouseLeave() {}
void CustomControl::FocusGained(Control*) {}
void CustomControl::FocusLost(Control*) {}
void CustomControl::Scrolled(ScrollBarKind, ScrollCode, int) {}
void CustomControl::TimerTick(int) {}
void CustomControl::Resized() {}

}  // namespace plat

// The toolkit's implementations of the timer, message-box and desktop services,
// and the application object that hosts them.

#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Form.h"
#include "platform/Guard.h"
#include "platform/MessageBox.h"
#include "platform/MessageQueue.h"
#include "platform/qt/Peer.h"
#include "platform/qt/QtServices.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <map>
#include <memory>

namespace plat {

namespace {

// The mouse buttons held, as the presses and releases that reached any
// widget tell: the toolkit's own state misses events sent to widgets directly.
class HeldButtons : public QObject {
 public:
  Qt::MouseButtons held;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseButtonRelease:
        if (object->isWidgetType()) held = static_cast<QMouseEvent*>(event)->buttons();
        break;
      default: break;
    }
    return false;
  }
};

HeldButtons& TheHeldButtons() {
  static auto* filter = new HeldButtons;
  return *filter;
}


class QtTimers : public TimerService {
 public:
  TimerId Start(std::uint32_t intervalMs, std::function<void()> tick) override {
    auto* timer = new QTimer(qApp);
    timer->setInterval(static_cast<int>(std::min<std::uint32_t>(intervalMs, 0x7FFFFFFF)));
    TimerId id = ++lastId_;
    QObject::connect(timer, &QTimer::timeout, timer, [tick] { RunGuarded(tick); });
    timers_[id] = timer;
    timer->start();
    return id;
  }
  void Stop(TimerId id) override {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
  }

 private:
  TimerId lastId_ = 0;
  std::map<TimerId, QTimer*> timers_;
};

class QtMessageBoxes : public MessageBoxes {
 public:
  ModalResult Show(const std::string& text, MsgKind kind, MsgButtons buttons) override {
    QMessageBox box(IconOf(kind), qtbridge::ToQt(ApplicationTitle()), qtbridge::ToQt(text));
    static constexpr std::pair<MsgButtons, std::pair<QMessageBox::StandardButton, ModalResult>> kButtons[] = {
        {mbYes, {QMessageBox::Yes, mrYes}},
        {mbNo, {QMessageBox::No, mrNo}},
        {mbOK, {QMessageBox::Ok, mrOk}},
        {mbCancel, {QMessageBox::Cancel, mrCancel}},
        {mbAbort, {QMessageBox::Abort, mrAbort}},
        {mbRetry, {QMessageBox::Retry, mrRetry}},
        {mbIgnore, {QMessageBox::Ignore, mrIgnore}}};
    QMessageBox::StandardButtons set;
    for (const auto& [bit, pair] : kButtons) {
      if (buttons & bit) set |= pair.first;
    }
    box.setStandardButtons(set == QMessageBox::NoButton ? QMessageBox::Ok : set);
    // As the platform's boxes: the box takes the keyboard while it shows, and
    // the window that had it gets it back when the box closes.
    const QPointer<QWidget> owner = QApplication::activeWindow();
    QMetaObject::invokeMethod(
        &box, [&box] { Activate(&box); }, Qt::QueuedConnection);
    auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    if (owner && owner->isVisible()) Activate(owner);
    for (const auto& [bit, pair] : kButtons) {
      if (pair.first == pressed) return pair.second;
    }
    return mrCancel;
  }

 private:
  static void Activate(QWidget* window) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
  }
  static QMessageBox::Icon IconOf(MsgKind kind) {
    switch (kind) {
      case MsgKind::Error: return QMessageBox::Critical;
      case MsgKind::Warning: return QMessageBox::Warning;
      case MsgKind::Information: return QMessageBox::Information;
      default: return QMessageBox::Question;
    }
  }
};

// A local file with an optional "#fragment" as the toolkit's URL; read as
// user input, the '#' would be taken into the file's name.
QUrl DocumentUrl(const std::string& document) {
  const QString text = qtbridge::ToQt(document);
  const qsizetype hash = text.lastIndexOf('#');
  if (hash < 0 || QFileInfo::exists(text)) return QUrl::fromLocalFile(text);
  QUrl url = QUrl::fromLocalFile(text.left(hash));
  url.setFragment(text.mid(hash + 1));
  return url;
}

class QtDesktop : public Desktop {
 public:
  void SetScreenCursor(CursorShape shape) override {
    while (overridden_ > 0) {
      QApplication::restoreOverrideCursor();
      --overridden_;
    }
    if (shape == CursorShape::Default) return;
    QApplication::setOverrideCursor(CursorOf(shape));
    ++overridden_;
  }
  void ProcessMessages() override {
    QApplication::processEvents(QEventLoop::AllEvents);
    MessageQueue::DeliverPosted();
  }
  // The loop sleeps until an event comes; the timer's event ends the wait at the latest.
  void WaitMessages(std::uint32_t maxMs) override {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(std::min<std::uint32_t>(maxMs, 0x7FFFFFFF)), &loop, [] {});
    loop.processEvents(QEventLoop::WaitForMoreEvents);
    ProcessMessages();
  }
  void SetCursorPos(Point screen) override { QCursor::setPos(screen.x, screen.y); }
  Point CursorPos() override {
    const QPoint at = QCursor::pos();
    return {at.x(), at.y()};
  }
  Rect ScreenRect() override {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return {0, 0, 640, 480};
    const QRect area = screen->geometry();
    return {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
  }
  void Beep() override { QApplication::beep(); }
  ShiftState CurrentShiftState() override {
    return qtbridge::ShiftStateOf(QGuiApplication::queryKeyboardModifiers(),
                                  QGuiApplication::mouseButtons() | TheHeldButtons().held);
  }
  // The desktop's opener is run and watched: without a web browser it ends
  // with a failure, which the toolkit's own detached start of it never tells.
  // Without the opener the toolkit looks for another way.
  void OpenDocument(const std::string& url, std::function<void()> failed) override {
    const QUrl target = DocumentUrl(url);
    const QString opener = QStandardPaths::findExecutable("xdg-open");
    if (opener.isEmpty()) {
      if (!QDesktopServices::openUrl(target)) failed();
      return;
    }
    // Parented to the application and never waited for: a viewer that stays
    // in the foreground outlives the program.
    auto* process = new QProcess(qApp);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, [process, failed](int code, QProcess::ExitStatus status) {
      process->deleteLater();
      if (status != QProcess::NormalExit || code != 0) RunGuarded(failed);
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, failed](QProcess::ProcessError error) {
      if (error != QProcess::FailedToStart) return;
      process->deleteLater();
      RunGuarded(failed);
    });
    process->start(opener, {target.toString()});
  }
  static Qt::CursorShape CursorOf(CursorShape shape) {
    switch (shape) {
      case CursorShape::HourGlass: return Qt::WaitCursor;
      case CursorShape::IBeam: return Qt::IBeamCursor;
      case CursorShape::SizeWE: return Qt::SizeHorCursor;
      case CursorShape::SizeNS: return Qt::SizeVerCursor;
      case CursorShape::HandPoint: return Qt::PointingHandCursor;
      default: return Qt::ArrowCursor;
    }
  }

 private:
  int overridden_ = 0;
};

template <class T>
void InstallUnlessPresent(std::unique_ptr<T>& keep, std::unique_ptr<T> impl) {
  if (Service<T>::Installed()) return;
  keep = std::move(impl);
  Service<T>::Install(keep.get());
}

struct ToolkitServices {
  std::unique_ptr<TimerService> timers;
  std::unique_ptr<MessageBoxes> messages;
  std::unique_ptr<Desktop> desktop;
  std::unique_ptr<Dialogs> dialogs;
  std::unique_ptr<Clipboard> clipboard;
  std::unique_ptr<Printer> printer;
  std::unique_ptr<SystemPalette> palette;
  std::unique_ptr<FontSystem> fonts;
};

void InstallToolkitServices() {
  static ToolkitServices services;
  InstallUnlessPresent<TimerService>(services.timers, std::make_unique<QtTimers>());
  InstallUnlessPresent<MessageBoxes>(services.messages, std::make_unique<QtMessageBoxes>());
  InstallUnlessPresent<Desktop>(services.desktop, std::make_unique<QtDesktop>());
  InstallUnlessPresent<Dialogs>(services.dialogs, qtbridge::MakeDialogs());
  InstallUnlessPresent<Clipboard>(services.clipboard, qtbridge::MakeClipboard());
  InstallUnlessPresent<Printer>(services.printer, qtbridge::MakePrinter());
  InstallUnlessPresent<SystemPalette>(services.palette, qtbridge::MakeSystemPalette());
  InstallUnlessPresent<FontSystem>(services.fonts, qtbridge::MakeFontSystem());
}

// Posted messages are delivered from the event loop, one batch per wake.
void WakeForPostedMessages() {
  QMetaObject::invokeMethod(
      qApp, [] { MessageQueue::DeliverPosted(); }, Qt::QueuedConnection);
}

void SetUpApplication() {
  QApplication::setQuitOnLastWindowClosed(false);
  qApp->installEventFilter(&TheHeldButtons());
  MessageQueue::SetWakeHook(&WakeForPostedMessages);
  InstallToolkitServices();
}

}  // namespace

namespace qtbridge {

void EnsureApplication() {
  if (qApp != nullptr) return;
  static int argc = 1;
  static char name[] = "morva";
  static char* argv[] = {name, nullptr};
  InitApplication(argc, argv);
}

}  // namespace qtbridge

void InitApplication(int& argc, char** argv) {
  if (qApp == nullptr) new QApplication(argc, argv);
  SetUpApplication();
}

namespace {
bool& EventLoopRunning() {
  static bool running = false;
  return running;
}
}  // namespace

int RunApplication() {
  qtbridge::EnsureApplication();
  if (MainForm() != nullptr && !MainForm()->Visible()) MainForm()->ShowForm();
  EventLoopRunning() = true;
  const int result = QApplication::exec();
  EventLoopRunning() = false;
  // The forms go while the toolkit is whole: at exit its own statics are gone.
  DestroyForms();
  return result;
}

// The loop ends whatever windows are still open: the toolkit's own quit would
// first ask each window to close and stay in the loop when one of them keeps
// itself open (as a form does: it runs its own close query), leaving the
// program running without its main window.
void TerminateApplication() {
  if (qApp != nullptr && EventLoopRunning()) QCoreApplication::exit(0);
}

namespace {

QtMessageHandler& ToolkitHandler() {
  static QtMessageHandler handler = nullptr;
  return handler;
}

// Only critical and fatal messages reach the handler that was installed before.
void KeepSeriousMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if ((type == QtCriticalMsg || type == QtFatalMsg) && ToolkitHandler() != nullptr) {
    ToolkitHandler()(type, context, text);
  }
}

}  // namespace

void QuietToolkitDiagnostics() {
  QtMessageHandler previous = qInstallMessageHandler(KeepSeriousMessages);
  if (previous != KeepSeriousMessages) ToolkitHandler() = previous;
}

}  // namespace plat

#pragma once
// The toolkit's own message boxes for the length of a scope, each answered by
// a real Enter key pressed on it once it shows. Unlike the scripted boxes,
// these take the keyboard focus from the window that was using it while they
// show, and hand it back when they close, as the user meets them.

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "platform/Form.h"
#include "platform/MessageBox.h"
#include "platform/Service.h"

namespace platform_test {

class AnsweredMessageBoxes {
 public:
  // `toolkit` is the toolkit's message-box service (the one the scripted boxes replaced).
  explicit AnsweredMessageBoxes(plat::MessageBoxes& toolkit) : installed_(toolkit) {
    plat::QuietToolkitDiagnostics();
    QObject::connect(&poll_, &QTimer::timeout, [this] { AnswerShownBox(); });
    poll_.start(5);
  }

  // The texts of the boxes shown so far.
  const std::vector<std::string>& Texts() const { return texts_; }
  // Runs while each box shows, before it is answered (a test can end a run
  // of boxes that would not stop by itself).
  std::function<void()> WhileShown;

 private:
  void AnswerShownBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || box == answered_) return;
    answered_ = box;
    texts_.push_back(box->text().toStdString());
    if (WhileShown) WhileShown();
    // The key goes where the box takes its keys.
    QPointer<QWidget> keys = box->focusWidget() != nullptr ? box->focusWidget() : box;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(keys.data(), &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    if (keys != nullptr) QApplication::sendEvent(keys.data(), &release);
  }

  plat::ScopedService<plat::MessageBoxes> installed_;
  QTimer poll_;
  QPointer<QMessageBox> answered_;
  std::vector<std::string> texts_;
};

}  // namespace platform_test

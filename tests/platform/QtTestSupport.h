#pragma once
// Shared set-up of the offscreen window tests: the application, scripted
// message boxes and dialogs, and a clean slate of forms after each test.

#include "platform/Form.h"
#include "platform/Input.h"
#include "platform/MessageQueue.h"
#include "platform/record/ScriptedUi.h"

#include <gtest/gtest.h>

namespace platform_test {

class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "test_platform_qt";
    static char* argv[] = {name, nullptr};
    plat::InitApplication(argc, argv);
    plat::SetApplicationTitle("Morvapc");
  }
  void TearDown() override {
    plat::DestroyForms();
    plat::input::Flush();
    plat::MessageQueue::Clear();
  }

  plat::ScriptedMessageBox boxes;
  plat::ScriptedDialogs dialogs;
  plat::ScopedService<plat::MessageBoxes> boxesInstalled{boxes};
  plat::ScopedService<plat::Dialogs> dialogsInstalled{dialogs};
};

// Receives posted messages and runs an action for each: lets a test act while a
// modal form runs its own event loop.
class Deferred : public plat::MessageReceiver {
 public:
  void Post(std::function<void()> action) {
    actions_.push_back(std::move(action));
    plat::MessageQueue::Post(*this, {static_cast<std::uint32_t>(actions_.size() - 1), 0, 0});
  }
  void HandleMessage(const plat::Message& m) override { actions_.at(m.msg)(); }
  std::weak_ptr<const void> LifetimeToken() const override { return lifetime_.Watch(); }

 private:
  std::vector<std::function<void()>> actions_;
  plat::Lifetime lifetime_;
};

}  // namespace platform_test

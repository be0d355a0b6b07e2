#include "platform/Guard.h"
#include "platform/Lifetime.h"
#include "platform/MessageQueue.h"
#include "platform/record/ScriptedUi.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using plat::Message;
using plat::MessageQueue;

// A receiver that logs what it is given and can run an action on delivery.
class Receiver : public plat::MessageReceiver {
 public:
  Receiver(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
  void HandleMessage(const Message& m) override {
    log_.push_back(name_ + ":" + std::to_string(m.msg) + ":" + std::to_string(m.wParam) + ":" +
                   std::to_string(m.lParam));
    if (onMessage) onMessage(m);
  }
  std::weak_ptr<const void> LifetimeToken() const override { return lifetime_.Watch(); }
  std::function<void(const Message&)> onMessage;

 private:
  std::string name_;
  std::vector<std::string>& log_;
  plat::Lifetime lifetime_;
};

class MessageQueueTest : public ::testing::Test {
 protected:
  void SetUp() override { MessageQueue::Clear(); }
  void TearDown() override {
    MessageQueue::Clear();
    MessageQueue::SetWakeHook({});
  }
  std::vector<std::string> log;
};

TEST_F(MessageQueueTest, DeliversInPostingOrderOnlyWhenAsked) {
  Receiver a("a", log), b("b", log);
  MessageQueue::Post(a, {0x7F08, 0, 0});
  MessageQueue::Post(b, {0x7F0A, 3, -1});
  MessageQueue::Post(a, {0x7F09, 0, 0});
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(MessageQueue::DeliverPosted(), 3);
  EXPECT_EQ(log, (std::vector<std::string>{"a:32520:0:0", "b:32522:3:-1", "a:32521:0:0"}));
  EXPECT_TRUE(MessageQueue::Empty());
}

TEST_F(MessageQueueTest, DropsMessagesForDestroyedReceiversAndSubjects) {
  Receiver keeper("keeper", log);
  auto gone = std::make_unique<Receiver>("gone", log);
  auto subject = std::make_unique<Receiver>("subject", log);
  MessageQueue::Post(*gone, {0x7F01, 0, 0});
  MessageQueue::Post(keeper, {0x7F06, 0, 1}, subject->LifetimeToken());
  MessageQueue::Post(keeper, {0x7F07, 0, 2}, keeper.LifetimeToken());
  gone.reset();
  subject.reset();
  EXPECT_EQ(MessageQueue::DeliverPosted(), 1);
  EXPECT_EQ(log, (std::vector<std::string>{"keeper:32519:0:2"}));
}

TEST_F(MessageQueueTest, MessagesPostedDuringDeliveryWaitForTheNextRound) {
  Receiver a("a", log);
  int wakes = 0;
  MessageQueue::SetWakeHook([&] { ++wakes; });
  a.onMessage = [&](const Message& m) {
    if (m.msg == 1) MessageQueue::Post(a, {2, 0, 0});
  };
  MessageQueue::Post(a, {1, 0, 0});
  MessageQueue::Post(a, {3, 0, 0});  // the queue was not empty: no second wake
  EXPECT_EQ(wakes, 1);
  EXPECT_EQ(MessageQueue::DeliverPosted(), 2);
  EXPECT_EQ(wakes, 2);  // the message posted meanwhile asks for another round
  EXPECT_EQ(MessageQueue::DeliverPosted(), 1);
  EXPECT_EQ(log, (std::vector<std::string>{"a:1:0:0", "a:3:0:0", "a:2:0:0"}));
}

TEST_F(MessageQueueTest, ReceiverDestroyedByAnEarlierMessageGetsNothingMore) {
  auto victim = std::make_unique<Receiver>("victim", log);
  Receiver killer("killer", log);
  killer.onMessage = [&](const Message&) { victim.reset(); };
  MessageQueue::Post(killer, {1, 0, 0});
  MessageQueue::Post(*victim, {2, 0, 0});
  EXPECT_EQ(MessageQueue::DeliverPosted(), 1);
  EXPECT_EQ(log, (std::vector<std::string>{"killer:1:0:0"}));
}

TEST_F(MessageQueueTest, ExceptionInAHandlerShowsTheErrorBoxAndDeliveryGoesOn) {
  plat::ScriptedMessageBox boxes;
  plat::ScopedService<plat::MessageBoxes> installed(boxes);
  Receiver a("a", log);
  a.onMessage = [](const Message& m) {
    if (m.msg == 1) throw std::runtime_error("Index out of range");
  };
  MessageQueue::Post(a, {1, 0, 0});
  MessageQueue::Post(a, {2, 0, 0});
  EXPECT_EQ(MessageQueue::DeliverPosted(), 2);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Index out of range.");
  EXPECT_EQ(boxes.Boxes()[0].kind, plat::MsgKind::Error);
  EXPECT_EQ(log.size(), 2u);
}

}  // namespace

#include "platform/MessageQueue.h"

#include "platform/Guard.h"

#include <utility>

namespace plat {

namespace {

struct Posted {
  MessageReceiver* receiver;
  std::weak_ptr<const void> receiverAlive;
  std::weak_ptr<const void> subjectAlive;
  bool hasSubject;
  Message message;
};

struct QueueState {
  std::deque<Posted> pending;
  std::function<void()> wake;
};

QueueState& State() {
  static QueueState state;
  return state;
}

bool StillWanted(const Posted& p) {
  if (p.receiverAlive.expired()) return false;
  return !p.hasSubject || !p.subjectAlive.expired();
}

void Enqueue(Posted posted) {
  auto& state = State();
  bool wasEmpty = state.pending.empty();
  state.pending.push_back(std::move(posted));
  if (wasEmpty && state.wake) state.wake();
}

}  // namespace

void MessageQueue::Post(const MessageReceiver& receiver, const Message& message) {
  Enqueue(Posted{const_cast<MessageReceiver*>(&receiver), receiver.LifetimeToken(), {}, false, message});
}

void MessageQueue::Post(const MessageReceiver& receiver, const Message& message, std::weak_ptr<const void> subject) {
  Enqueue(Posted{const_cast<MessageReceiver*>(&receiver), receiver.LifetimeToken(), std::move(subject), true, message});
}

int MessageQueue::DeliverPosted() {
  auto& state = State();
  std::size_t count = state.pending.size();
  int delivered = 0;
  for (std::size_t i = 0; i < count && !state.pending.empty(); ++i) {
    Posted p = std::move(state.pending.front());
    state.pending.pop_front();
    if (!StillWanted(p)) continue;
    ++delivered;
    RunGuarded([&] { p.receiver->HandleMessage(p.message); });
  }
  if (!state.pending.empty() && state.wake) state.wake();
  return delivered;
}

bool MessageQueue::Empty() { return State().pending.empty(); }

void MessageQueue::Clear() { State().pending.clear(); }

void MessageQueue::SetWakeHook(std::function<void()> hook) { State().wake = std::move(hook); }

}  // namespace plat

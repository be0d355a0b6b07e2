#pragma once
// Posted private messages (0x7F00 and the like): queued now, delivered later by
// the event loop in the order they were posted. A message whose receiver, or
// the object it names, has been destroyed meanwhile is dropped unseen.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

namespace plat {

struct Message {
  std::uint32_t msg = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

// Anything that can receive posted messages.
class MessageReceiver {
 public:
  virtual ~MessageReceiver() = default;
  virtual void HandleMessage(const Message& message) = 0;
  virtual std::weak_ptr<const void> LifetimeToken() const = 0;
};

class MessageQueue {
 public:
  // Queues a message for `receiver`.
  static void Post(const MessageReceiver& receiver, const Message& message);
  // As Post, for a message that refers to another object (a control in lParam):
  // it is dropped too if `subject` dies before delivery.
  static void Post(const MessageReceiver& receiver, const Message& message, std::weak_ptr<const void> subject);
  // Delivers the messages queued so far; those posted during delivery wait for
  // the next call. Returns how many were delivered.
  static int DeliverPosted();
  static bool Empty();
  static void Clear();
  // Called whenever the queue goes from empty to not empty, so the event loop
  // can schedule a delivery. The toolkit layer installs it.
  static void SetWakeHook(std::function<void()> hook);
};

}  // namespace plat

#include "platform/message_queue.hpp"

namespace tovrin {

void MessageQueue::PostMessage(MessageTarget& target, unsigned message, int wParam) {
  waiting_.push_back(Posted{&target, message, wParam});
}

bool MessageQueue::DispatchOne() {
  if (waiting_.empty()) return false;
  // Taken off before dispatching: the handler may post the next message.
  const Posted next = waiting_.front();
  waiting_.pop_front();
  next.target->OnMessage(next.message, next.wParam);
  return true;
}

void MessageQueue::Run() {
  while (!quit_ && DispatchOne()) {
  }
  quit_ = false;
}

}  // namespace tovrin

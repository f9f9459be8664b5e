#include "sound/owner_loop.h"

#include <utility>

#include "sound/hand_over_queue.h"

namespace fretlets {

OwnerLoop::OwnerLoop() : queue_(std::make_shared<HandOverQueue>()) {}

OwnerLoop::~OwnerLoop() {
  close();
}

bool OwnerLoop::pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (!queue_->waitForWork(deadline) || queue_->closed()) {
      return done();
    }
    queue_->runWaiting(done);
  }
  return true;
}

void OwnerLoop::close() {
  queue_->close();
}

std::function<void(OwnerLoop::Task)> OwnerLoop::handOver() const {
  return [queue = queue_](Task task) { queue->runAndWait(std::move(task)); };
}

}  // namespace fretlets

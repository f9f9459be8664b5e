#include "sound/hand_over_queue.h"

#include <algorithm>
#include <utility>

namespace fretlets {

HandOverQueue::HandOverQueue(std::function<void()> wake) : wake_(std::move(wake)) {}

void HandOverQueue::runAndWait(Task task) {
  Pending pending{std::move(task)};
  std::unique_lock lock(mutex_);
  if (closed_) {
    return;
  }
  waiting_.push_back(&pending);
  arrived_.notify_one();
  if (wake_) {
    wake_();
  }
  finished_.wait(lock, [&] { return pending.done || closed_; });
  std::erase(waiting_, &pending);
}

void HandOverQueue::runWaiting(const std::function<bool()>& enough) {
  std::unique_lock lock(mutex_);
  while (!closed_ && !waiting_.empty()) {
    Pending* pending = waiting_.front();
    waiting_.pop_front();
    Task task = std::move(pending->task);
    lock.unlock();
    task();
    // What the task holds goes before the lock is taken again.
    task = nullptr;
    const bool stop = enough && enough();
    lock.lock();
    // A task that closed the queue has already released its waiter, whose
    // entry may be gone by now.
    if (!closed_) {
      pending->done = true;
      finished_.notify_all();
    }
    if (stop) {
      return;
    }
  }
}

bool HandOverQueue::waitForWork(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock lock(mutex_);
  return arrived_.wait_until(lock, deadline, [&] { return !waiting_.empty() || closed_; });
}

void HandOverQueue::close() {
  const std::lock_guard lock(mutex_);
  closed_ = true;
  wake_ = nullptr;
  waiting_.clear();
  finished_.notify_all();
  arrived_.notify_all();
}

bool HandOverQueue::closed() const {
  const std::lock_guard lock(mutex_);
  return closed_;
}

}  // namespace fretlets

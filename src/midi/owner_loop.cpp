#include "midi/owner_loop.h"

#include <algorithm>

namespace fretlets {

OwnerLoop::~OwnerLoop() {
  close();
}

void OwnerLoop::runAndWait(Task task) {
  Pending pending{std::move(task)};
  std::unique_lock lock(mutex_);
  if (closed_) {
    return;
  }
  queue_.push_back(&pending);
  ++waiters_;
  arrived_.notify_one();
  finished_.wait(lock, [&] { return pending.done || closed_; });
  std::erase(queue_, &pending);
  --waiters_;
  finished_.notify_all();
}

bool OwnerLoop::pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_until(lock, deadline, [&] { return !queue_.empty() || closed_; }) ||
        closed_) {
      return done();
    }
    Pending* pending = queue_.front();
    queue_.pop_front();
    Task task = std::move(pending->task);
    lock.unlock();
    task();
    lock.lock();
    pending->done = true;
    finished_.notify_all();
  }
  return true;
}

void OwnerLoop::close() {
  std::unique_lock lock(mutex_);
  closed_ = true;
  queue_.clear();
  finished_.notify_all();
  // The waiters only have to wake up and leave; none of them needs this
  // thread for that, so this wait is short and cannot deadlock.
  finished_.wait(lock, [&] { return waiters_ == 0; });
}

}  // namespace fretlets

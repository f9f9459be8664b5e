#include "midi/owner_loop.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

namespace fretlets {

struct OwnerLoop::Queue {
  struct Pending {
    Task task;
    bool done = false;
  };

  void runAndWait(Task task) {
    Pending pending{std::move(task)};
    std::unique_lock lock(mutex);
    if (closed) {
      return;
    }
    waiting.push_back(&pending);
    arrived.notify_one();
    finished.wait(lock, [&] { return pending.done || closed; });
    std::erase(waiting, &pending);
  }

  std::mutex mutex;
  std::condition_variable arrived;   // the owner waits for work
  std::condition_variable finished;  // handing threads wait for their work
  std::deque<Pending*> waiting;      // each entry lives on its waiter's stack
  bool closed = false;
};

OwnerLoop::OwnerLoop() : queue_(std::make_shared<Queue>()) {}

OwnerLoop::~OwnerLoop() {
  close();
}

bool OwnerLoop::pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  Queue& queue = *queue_;
  while (!done()) {
    std::unique_lock lock(queue.mutex);
    if (!queue.arrived.wait_until(lock, deadline,
                                  [&] { return !queue.waiting.empty() || queue.closed; }) ||
        queue.closed) {
      return done();
    }
    Queue::Pending* pending = queue.waiting.front();
    queue.waiting.pop_front();
    Task task = std::move(pending->task);
    lock.unlock();
    task();
    lock.lock();
    // A task that closed the loop has already released its waiter, whose
    // entry may be gone by now.
    if (!queue.closed) {
      pending->done = true;
      queue.finished.notify_all();
    }
  }
  return true;
}

void OwnerLoop::close() {
  const std::lock_guard lock(queue_->mutex);
  queue_->closed = true;
  queue_->waiting.clear();
  queue_->finished.notify_all();
}

std::function<void(OwnerLoop::Task)> OwnerLoop::handOver() const {
  return [queue = queue_](Task task) { queue->runAndWait(std::move(task)); };
}

}  // namespace fretlets

#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace fretlets {

// Work handed over from other threads to one owner thread. Each handing
// thread waits until the owner has run its task, or until the queue is
// closed (the task then never runs). Held by shared_ptr by the owner side
// and by every hand-over it gave out, so that a thread still handing work
// after the owner went finds a closed queue, never freed memory.
class HandOverQueue {
 public:
  using Task = std::function<void()>;

  // wake, if given, tells the owner that work arrived; it is called with
  // the queue's lock held, and never after close().
  explicit HandOverQueue(std::function<void()> wake = {});

  // Handing thread: queues task and blocks until it ran or the queue closed.
  void runAndWait(Task task);

  // Owner thread: runs the waiting tasks in order, stopping early after a
  // task once enough (if given) holds. A task may open a nested loop that
  // comes back here, or close the queue: the lock is never held while a
  // task runs.
  void runWaiting(const std::function<bool()>& enough = {});

  // Owner thread: waits until work is waiting or the queue is closed
  // (true), or until deadline (false).
  bool waitForWork(std::chrono::steady_clock::time_point deadline);

  // From now on work is dropped and no thread waits for it.
  void close();
  bool closed() const;

 private:
  struct Pending {
    Task task;
    bool done = false;
  };

  mutable std::mutex mutex_;
  std::condition_variable arrived_;   // the owner waits for work
  std::condition_variable finished_;  // handing threads wait for their work
  std::deque<Pending*> waiting_;      // each entry lives on its waiter's stack
  std::function<void()> wake_;
  bool closed_ = false;
};

}  // namespace fretlets

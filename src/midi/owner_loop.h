#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

namespace fretlets {

// Runs work handed over from other threads on the thread that pumps it, and
// lets the handing thread wait until its work has run: a blocking queued
// call for programs without a GUI event loop (the command-line tool, tests,
// benchmarks). The loop must outlive every thread that hands work to it.
class OwnerLoop {
 public:
  using Task = std::function<void()>;

  OwnerLoop() = default;
  OwnerLoop(const OwnerLoop&) = delete;
  OwnerLoop& operator=(const OwnerLoop&) = delete;
  // Releases every waiting thread, dropping its work, before the loop goes.
  ~OwnerLoop();

  // Any thread but the owner's: queues task and blocks until the owner has
  // run it, or until the loop is closed (then the task never runs).
  void runAndWait(Task task);

  // Owner thread: runs handed-over work as it arrives until done() holds or
  // timeout has passed; returns done().
  bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

  // Owner thread: from now on work is dropped and no thread waits for it.
  void close();

  // The hand-over to give a ThreadTimerService.
  std::function<void(Task)> handOver() {
    return [this](Task task) { runAndWait(std::move(task)); };
  }

 private:
  struct Pending {
    Task task;
    bool done = false;
  };

  std::mutex mutex_;
  std::condition_variable arrived_;   // the owner waits for work
  std::condition_variable finished_;  // handing threads wait for their work
  std::deque<Pending*> queue_;        // each entry lives on its waiter's stack
  std::size_t waiters_ = 0;
  bool closed_ = false;
};

}  // namespace fretlets

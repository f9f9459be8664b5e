#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace fretlets {

class HandOverQueue;

// Runs work handed over from other threads on the thread that pumps it, and
// lets the handing thread wait until its work has run: a blocking queued
// call for programs without a GUI event loop (the command-line tool, tests,
// benchmarks).
class OwnerLoop {
 public:
  using Task = std::function<void()>;

  OwnerLoop();
  OwnerLoop(const OwnerLoop&) = delete;
  OwnerLoop& operator=(const OwnerLoop&) = delete;
  // Closes the loop: waiting threads are released, their work dropped.
  ~OwnerLoop();

  // Owner thread: runs handed-over work as it arrives until done() holds or
  // timeout has passed; returns done().
  bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

  // Owner thread: from now on work is dropped and no thread waits for it.
  void close();

  // The hand-over to give a ThreadTimerService: from any thread but the
  // owner's, queues a task and blocks until the owner has run it, or until
  // the loop is closed (then the task never runs). It shares the queue with
  // the loop, so a timing thread that was left running when its service
  // stopped still finds a closed queue, not freed memory, after the loop has
  // gone.
  std::function<void(Task)> handOver() const;

 private:
  std::shared_ptr<HandOverQueue> queue_;
};

}  // namespace fretlets

#pragma once

#include <functional>
#include <memory>
#include <thread>

class QObject;

namespace fretlets {

class HandOverQueue;

// Hands timer callbacks from the timing thread to the GUI thread and lets the
// timing thread wait until each has run: the GUI's counterpart of OwnerLoop,
// for a ThreadTimerService in the desktop program.
//
// The waiting work sits in a queue shared by the GUI side and every handing
// thread; the GUI thread is woken with an event posted to a receiver that
// only the queue's owner destroys, after closing the queue. So a timing
// thread that outlived its service's stop() finds a closed queue, never a
// freed object. Work runs wherever the GUI thread takes events, nested event
// loops (message boxes, menus, dialogs) included.
class GuiHandOver {
 public:
  using Task = std::function<void()>;

  // On the GUI thread, which becomes the owner of the work.
  GuiHandOver();
  GuiHandOver(const GuiHandOver&) = delete;
  GuiHandOver& operator=(const GuiHandOver&) = delete;
  // Closes the queue.
  ~GuiHandOver();

  // GUI thread: from now on work is dropped and no thread waits for it.
  void close();

  // The hand-over to give a ThreadTimerService: queues a task for the GUI
  // thread and blocks until it has run there, or until the queue is closed
  // (then the task never runs). Called on the GUI thread itself it runs the
  // task at once.
  std::function<void(Task)> handOver() const;

 private:
  std::shared_ptr<HandOverQueue> queue_;
  const std::thread::id owner_ = std::this_thread::get_id();
  std::unique_ptr<QObject> receiver_;
};

}  // namespace fretlets

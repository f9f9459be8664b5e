#include "app/gui_hand_over.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace fretlets {

struct GuiHandOver::Queue {
  struct Pending {
    Task task;
    bool done = false;
  };

  // Any thread but the owner's: waits until the owner ran task or closed.
  void runAndWait(Task task) {
    if (std::this_thread::get_id() == owner) {
      task();
      return;
    }
    Pending pending{std::move(task)};
    std::unique_lock lock(mutex);
    if (closed) {
      return;
    }
    waiting.push_back(&pending);
    // The receiver cannot go while the lock is held: the owner closes the
    // queue, under the lock, before it destroys the receiver.
    QCoreApplication::postEvent(receiver, new QEvent(wakeEvent));
    finished.wait(lock, [&] { return pending.done || closed; });
    std::erase(waiting, &pending);
  }

  // Owner thread. A task may open a nested event loop that comes back here:
  // the lock is never held while a task runs.
  void runWaiting() {
    std::unique_lock lock(mutex);
    while (!closed && !waiting.empty()) {
      Pending* pending = waiting.front();
      waiting.pop_front();
      Task task = std::move(pending->task);
      lock.unlock();
      task();
      lock.lock();
      // A task that closed the queue has already released its waiter, whose
      // entry may be gone by now.
      if (!closed) {
        pending->done = true;
        finished.notify_all();
      }
    }
  }

  void close() {
    const std::lock_guard lock(mutex);
    closed = true;
    receiver = nullptr;
    waiting.clear();
    finished.notify_all();
  }

  const std::thread::id owner = std::this_thread::get_id();
  const QEvent::Type wakeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
  std::mutex mutex;
  std::condition_variable finished;  // handing threads wait for their work
  std::deque<Pending*> waiting;      // each entry lives on its waiter's stack
  QObject* receiver = nullptr;       // null once closed
  bool closed = false;
};

namespace {

// Lives on the GUI thread; every event it gets is a wake-up.
class WakeReceiver : public QObject {
 public:
  explicit WakeReceiver(std::function<void()> wake) : wake_(std::move(wake)) {}

 protected:
  void customEvent(QEvent* /*event*/) override { wake_(); }

 private:
  const std::function<void()> wake_;
};

}  // namespace

GuiHandOver::GuiHandOver()
    : queue_(std::make_shared<Queue>()),
      receiver_(std::make_unique<WakeReceiver>([queue = queue_] { queue->runWaiting(); })) {
  queue_->receiver = receiver_.get();
}

GuiHandOver::~GuiHandOver() {
  close();
}

void GuiHandOver::close() {
  queue_->close();
}

std::function<void(GuiHandOver::Task)> GuiHandOver::handOver() const {
  return [queue = queue_](Task task) { queue->runAndWait(std::move(task)); };
}

}  // namespace fretlets

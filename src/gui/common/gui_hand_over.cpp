#include "gui/common/gui_hand_over.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <thread>
#include <utility>

#include "sound/hand_over_queue.h"

namespace fretlets {
namespace {

QEvent::Type wakeEvent() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

// Lives on the GUI thread; every event it gets is a wake-up.
class WakeReceiver : public QObject {
 public:
  std::function<void()> wake;

 protected:
  void customEvent(QEvent* /*event*/) override { wake(); }
};

}  // namespace

// The queue wakes the GUI thread with an event posted to the receiver. It
// does so under its lock, and the receiver goes only after the queue was
// closed under that lock, so no event is posted to a receiver that is gone.
GuiHandOver::GuiHandOver() {
  auto receiver = std::make_unique<WakeReceiver>();
  QObject* target = receiver.get();
  queue_ = std::make_shared<HandOverQueue>(
      [target] { QCoreApplication::postEvent(target, new QEvent(wakeEvent())); });
  receiver->wake = [queue = queue_] { queue->runWaiting(); };
  receiver_ = std::move(receiver);
}

GuiHandOver::~GuiHandOver() {
  close();
}

void GuiHandOver::close() {
  queue_->close();
}

std::function<void(GuiHandOver::Task)> GuiHandOver::handOver() const {
  return [queue = queue_, owner = owner_](Task task) {
    if (std::this_thread::get_id() == owner) {
      task();
      return;
    }
    queue->runAndWait(std::move(task));
  };
}

}  // namespace fretlets

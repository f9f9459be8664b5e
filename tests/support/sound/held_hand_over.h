#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <utility>

namespace fretlets {

// Holds a timing thread between taking a due timer and reaching the owner of
// the work, so that a test can make the owner go meanwhile and then let the
// thread finish alone.
class HeldHandOver {
 public:
  using Task = std::function<void()>;
  using HandOver = std::function<void(Task)>;

  // handOver, with the hold in front: the thread says it arrived, waits to
  // be let go, hands the task on and says it is through.
  HandOver holding(HandOver handOver) const {
    return [gate = gate_, handOver = std::move(handOver)](Task task) {
      gate->arrived.set_value();
      gate->go.wait();
      handOver(std::move(task));
      gate->through.set_value();
    };
  }

  bool arrived(std::chrono::milliseconds patience) { return ready(arrived_, patience); }
  void letGo() { gate_->release.set_value(); }
  bool through(std::chrono::milliseconds patience) { return ready(through_, patience); }

 private:
  struct Gate {
    std::promise<void> arrived;
    std::promise<void> release;
    std::shared_future<void> go = release.get_future().share();
    std::promise<void> through;
  };

  static bool ready(std::future<void>& future, std::chrono::milliseconds patience) {
    return future.wait_for(patience) == std::future_status::ready;
  }

  std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
  std::future<void> arrived_ = gate_->arrived.get_future();
  std::future<void> through_ = gate_->through.get_future();
};

}  // namespace fretlets

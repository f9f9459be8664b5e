#pragma once

#include <map>
#include <optional>
#include <utility>

#include "sound/timer_service.h"

namespace fretlets {

// A clock that moves only when told to, for tests and offline rendering:
// everything runs on the calling thread.
class ManualTimerService : public TimerService {
 public:
  TimerHandle schedule(std::chrono::milliseconds delay, Callback callback) override;
  TimerHandle scheduleAt(std::chrono::microseconds deadline, Callback callback) override;
  void cancel(TimerHandle handle) override;
  std::chrono::microseconds now() const override { return now_; }

  // Moves the clock forward by step, firing every callback that falls due on
  // the way in deadline order (arming order among equal deadlines), including
  // callbacks armed by those callbacks within the step. During a callback the
  // clock reads its deadline.
  void advance(std::chrono::milliseconds step);

  // The earliest deadline still armed.
  std::optional<std::chrono::microseconds> nextDeadline() const;

  std::size_t pendingCount() const { return armed_.size(); }

 private:
  using Key = std::pair<std::chrono::microseconds, std::uint64_t>;  // deadline, generation

  std::chrono::microseconds now_{0};
  std::uint64_t lastGeneration_ = 0;
  std::map<Key, Callback> armed_;
};

}  // namespace fretlets

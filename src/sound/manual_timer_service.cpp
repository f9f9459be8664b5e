#include "sound/manual_timer_service.h"

#include <algorithm>

namespace fretlets {

TimerHandle ManualTimerService::schedule(std::chrono::milliseconds delay, Callback callback) {
  return scheduleAt(now_ + std::max(delay, std::chrono::milliseconds{0}), std::move(callback));
}

TimerHandle ManualTimerService::scheduleAt(std::chrono::microseconds deadline, Callback callback) {
  const TimerHandle handle{++lastGeneration_};
  armed_.emplace(Key{std::max(deadline, now_), handle.generation}, std::move(callback));
  return handle;
}

void ManualTimerService::cancel(TimerHandle handle) {
  std::erase_if(armed_, [&](const auto& entry) { return entry.first.second == handle.generation; });
}

void ManualTimerService::advance(std::chrono::milliseconds step) {
  const auto target = now_ + std::max(step, std::chrono::milliseconds{0});
  while (!armed_.empty() && armed_.begin()->first.first <= target) {
    auto due = armed_.extract(armed_.begin());
    now_ = due.key().first;
    due.mapped()();
  }
  now_ = target;
}

std::optional<std::chrono::microseconds> ManualTimerService::nextDeadline() const {
  if (armed_.empty()) {
    return std::nullopt;
  }
  return armed_.begin()->first.first;
}

}  // namespace fretlets

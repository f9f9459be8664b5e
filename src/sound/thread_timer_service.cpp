#include "sound/thread_timer_service.h"

#include "sound/realtime_kit.h"
#include "sound/realtime_scheduling.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <utility>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace fretlets {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::microseconds kHandOverLead(500);

// The timing thread wakes this long before a sound's deadline and waits out
// the rest awake: a wake-up from sleep comes tens of microseconds late.
constexpr std::chrono::microseconds kSoundLead(300);

// On a busy machine an ordinary thread woken at its deadline may wait
// milliseconds for a processor, which a listener hears in an arpeggio. The
// timing thread asks for a modest real-time priority, as audio threads do,
// and for the kernel not to defer its wake-ups; it only sleeps, sends a few
// prepared messages and hands over, so it cannot starve anything. Where the
// system refuses (no rights), it runs as an ordinary thread.
constexpr int kTimingPriority = 10;

namespace {

std::string requestPromptWakeUps() {
#if defined(__linux__)
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
  RealtimeKit kit;
  return requestRealtimeScheduling(kTimingPriority, 0, &kit);
}

}  // namespace

struct ThreadTimerService::State {
  struct Armed {
    Clock::time_point deadline;
    Callback callback;  // created, run and destroyed on the owner thread only
    Callback sound;     // run on the timing thread at the deadline; may be empty
  };

  explicit State(HandOver handOver) : handOver(std::move(handOver)) {}

  // Owner thread, through the hand-over, which starts kHandOverLead before
  // the deadline: the owner thread may be slow to wake, and what is left of
  // the lead it waits out awake, so the callback runs on time.
  void fire(std::uint64_t generation) {
    std::unique_lock lock(mutex);
    const auto found = armed.find(generation);
    if (stopping || found == armed.end()) {
      return;  // cancelled, or stopped, while on its way here
    }
    const Clock::time_point deadline = found->second.deadline;
    const Callback callback = std::move(found->second.callback);
    armed.erase(found);
    lock.unlock();
    while (Clock::now() < deadline) {
    }
    callback();
  }

  const HandOver handOver;
  const Clock::time_point start = Clock::now();
  std::mutex mutex;
  std::condition_variable wake;
  std::map<std::uint64_t, Armed> armed;                         // by generation
  std::set<std::pair<Clock::time_point, std::uint64_t>> queue;  // by deadline
  std::uint64_t lastGeneration = 0;
  bool stopping = false;
  bool handingOver = false;
  std::string scheduling;  // set once by the timing thread as it starts
  bool started = false;
};

ThreadTimerService::ThreadTimerService(HandOver runOnOwnerAndWait)
    : state_(std::make_shared<State>(std::move(runOnOwnerAndWait))), thread_(timingLoop, state_) {}

ThreadTimerService::~ThreadTimerService() {
  stop();
}

TimerHandle ThreadTimerService::schedule(std::chrono::milliseconds delay, Callback callback) {
  return arm(Clock::now() + std::max(delay, std::chrono::milliseconds{0}), std::move(callback));
}

TimerHandle ThreadTimerService::scheduleAt(std::chrono::microseconds deadline, Callback callback) {
  return arm(state_->start + deadline, std::move(callback));
}

TimerHandle ThreadTimerService::scheduleSoundAt(std::chrono::microseconds deadline, Callback sound,
                                                Callback callback) {
  return arm(state_->start + deadline, std::move(callback), std::move(sound));
}

TimerHandle ThreadTimerService::arm(Clock::time_point deadline, Callback callback, Callback sound) {
  std::lock_guard lock(state_->mutex);
  if (state_->stopping) {
    return {};
  }
  const TimerHandle handle{++state_->lastGeneration};
  state_->armed.emplace(handle.generation,
                        State::Armed{deadline, std::move(callback), std::move(sound)});
  state_->queue.emplace(deadline, handle.generation);
  state_->wake.notify_one();
  return handle;
}

void ThreadTimerService::cancel(TimerHandle handle) {
  Callback dropped;  // destroyed after the lock is released
  std::lock_guard lock(state_->mutex);
  const auto found = state_->armed.find(handle.generation);
  if (found == state_->armed.end()) {
    return;
  }
  state_->queue.erase({found->second.deadline, handle.generation});
  dropped = std::move(found->second.callback);
  state_->armed.erase(found);
}

std::chrono::microseconds ThreadTimerService::now() const {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - state_->start);
}

void ThreadTimerService::stop() {
  std::map<std::uint64_t, State::Armed> dropped;
  bool inFlight = false;
  {
    std::lock_guard lock(state_->mutex);
    if (state_->stopping) {
      return;
    }
    state_->stopping = true;
    state_->queue.clear();
    dropped.swap(state_->armed);
    inFlight = state_->handingOver;
    state_->wake.notify_one();
  }
  // Joining while the timing thread waits for this very thread to run a
  // callback would never return; that thread leaves on its own once the
  // hand-over comes back.
  if (inFlight) {
    thread_.detach();
  } else {
    thread_.join();
  }
}

std::string ThreadTimerService::scheduling() const {
  std::unique_lock lock(state_->mutex);
  state_->wake.wait(lock, [this] { return state_->started; });
  return state_->scheduling;
}

void ThreadTimerService::timingLoop(const std::shared_ptr<State>& state) {
  const std::string scheduling = requestPromptWakeUps();
  std::unique_lock lock(state->mutex);
  state->scheduling = scheduling;
  state->started = true;
  state->wake.notify_all();
  while (!state->stopping) {
    if (state->queue.empty()) {
      state->wake.wait(lock);
      continue;
    }
    const auto [deadline, generation] = *state->queue.begin();
    State::Armed& armed = state->armed.at(generation);
    const Clock::duration lead = armed.sound ? kSoundLead : kHandOverLead;
    if (Clock::now() < deadline - lead) {
      state->wake.wait_until(lock, deadline - lead);
      continue;
    }
    state->queue.erase(state->queue.begin());
    if (armed.sound) {
      // Under the lock, so that a cancel() either comes first or finds the
      // sound already out, never half of it.
      while (Clock::now() < deadline) {
      }
      const Callback sound = std::move(armed.sound);
      armed.sound = nullptr;
      sound();
    }
    state->handingOver = true;
    lock.unlock();
    state->handOver([state, generation = generation] { state->fire(generation); });
    lock.lock();
    state->handingOver = false;
  }
}

}  // namespace fretlets

#include "sound/thread_timer_service.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <utility>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#endif

namespace fretlets {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::microseconds kHandOverLead(500);

// On a busy machine an ordinary thread woken at its deadline may wait
// milliseconds for a processor, which a listener hears in an arpeggio. The
// timing thread asks for a modest real-time priority, as audio threads do,
// and for the kernel not to defer its wake-ups; it only sleeps and hands
// over, so it cannot starve anything. Where the system refuses (no rights),
// it runs as an ordinary thread.
namespace {

void requestPromptWakeUps() {
#if defined(__linux__)
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  sched_param priority{};
  priority.sched_priority = 10;
  pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
#endif
}

}  // namespace

struct ThreadTimerService::State {
  struct Armed {
    Clock::time_point deadline;
    Callback callback;  // created, run and destroyed on the owner thread only
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

TimerHandle ThreadTimerService::arm(Clock::time_point deadline, Callback callback) {
  std::lock_guard lock(state_->mutex);
  if (state_->stopping) {
    return {};
  }
  const TimerHandle handle{++state_->lastGeneration};
  state_->armed.emplace(handle.generation, State::Armed{deadline, std::move(callback)});
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

void ThreadTimerService::timingLoop(const std::shared_ptr<State>& state) {
  requestPromptWakeUps();
  std::unique_lock lock(state->mutex);
  while (!state->stopping) {
    if (state->queue.empty()) {
      state->wake.wait(lock);
      continue;
    }
    const auto [deadline, generation] = *state->queue.begin();
    if (Clock::now() < deadline - kHandOverLead) {
      state->wake.wait_until(lock, deadline - kHandOverLead);
      continue;
    }
    state->queue.erase(state->queue.begin());
    state->handingOver = true;
    lock.unlock();
    state->handOver([state, generation = generation] { state->fire(generation); });
    lock.lock();
    state->handingOver = false;
  }
}

}  // namespace fretlets

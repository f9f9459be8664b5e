#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace fretlets {

// One arming of a one-shot timer. Every arming gets a fresh generation, so a
// handle never matches a later arming and a stale callback can be told apart.
struct TimerHandle {
  std::uint64_t generation = 0;  // 0: no timer

  friend bool operator==(TimerHandle, TimerHandle) = default;
};

// One-shot timers whose callbacks always run on the owner thread, the one
// that owns the MIDI device, the chord and the score. Nothing the callbacks
// touch needs a lock.
class TimerService {
 public:
  using Callback = std::function<void()>;

  TimerService() = default;
  TimerService(const TimerService&) = delete;
  TimerService& operator=(const TimerService&) = delete;
  virtual ~TimerService() = default;

  // Runs callback once, delay from now, on the owner thread. Owner thread only.
  virtual TimerHandle schedule(std::chrono::milliseconds delay, Callback callback) = 0;

  // Runs callback once at deadline on the clock of now(), or as soon as it
  // can when the deadline has passed. A chain that times each step from one
  // start this way keeps its pace however late single steps run. Owner
  // thread only.
  virtual TimerHandle scheduleAt(std::chrono::microseconds deadline, Callback callback) = 0;

  // As scheduleAt, and sound runs at deadline itself on the timing side,
  // before callback: a note that must not wait for the owner thread (busy
  // drawing, say) leaves on time. So sound is worked out beforehand and
  // touches nothing the owner thread owns; it must be safe to call from
  // any thread. cancel() before the deadline keeps it from running; once
  // cancel() returns, it is not running either. Where the service has no
  // timing thread, sound runs just before callback.
  virtual TimerHandle scheduleSoundAt(std::chrono::microseconds deadline, Callback sound,
                                      Callback callback) {
    return scheduleAt(deadline, [sound = std::move(sound), callback = std::move(callback)] {
      sound();
      callback();
    });
  }

  // The callback of handle will not run, even when its deadline has passed
  // and it is already on its way to the owner thread. Owner thread only;
  // a handle that already fired or was cancelled is ignored.
  virtual void cancel(TimerHandle handle) = 0;

  // Time since the service started, on the clock its deadlines use.
  virtual std::chrono::microseconds now() const = 0;
};

}  // namespace fretlets

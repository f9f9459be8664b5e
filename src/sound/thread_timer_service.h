#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "sound/timer_service.h"

namespace fretlets {

// Real one-shot timers: a timing thread sleeps on the steady clock until just
// before each deadline and hands the callback to the owner thread, waiting
// until it has run; the owner runs it at the deadline, never before. A sound
// armed with the callback leaves from the timing thread itself at the
// deadline, so it never waits for the owner. The
// hand-over is injected: a blocking queued call in the desktop program, an
// OwnerLoop elsewhere.
class ThreadTimerService : public TimerService {
 public:
  // runOnOwnerAndWait(task) runs task on the owner thread and returns when it
  // has run (or when the owner has given up on it). A stop() with a hand-over
  // in flight leaves the timing thread to finish that call alone, possibly
  // after this object has gone, so the hand-over must keep alive whatever it
  // uses (OwnerLoop::handOver() does).
  using HandOver = std::function<void(std::function<void()>)>;

  explicit ThreadTimerService(HandOver runOnOwnerAndWait);
  ~ThreadTimerService() override;

  TimerHandle schedule(std::chrono::milliseconds delay, Callback callback) override;
  TimerHandle scheduleAt(std::chrono::microseconds deadline, Callback callback) override;
  TimerHandle scheduleSoundAt(std::chrono::microseconds deadline, Callback sound,
                              Callback callback) override;
  void cancel(TimerHandle handle) override;
  std::chrono::microseconds now() const override;

  // Owner thread: cancels everything and ends the timing thread. Never waits
  // for a hand-over in flight: that one finds the service stopped when it
  // reaches the owner thread and does nothing.
  void stop();

  // How the timing thread is scheduled: describeScheduling()'s words.
  std::string scheduling() const;

 private:
  struct State;

  TimerHandle arm(std::chrono::steady_clock::time_point deadline, Callback callback,
                  Callback sound = {});
  static void timingLoop(const std::shared_ptr<State>& state);

  // Shared with the timing thread, which may outlive this object by one
  // hand-over after stop().
  std::shared_ptr<State> state_;
  std::thread thread_;
};

}  // namespace fretlets

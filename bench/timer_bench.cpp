#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

#include "busy_threads.h"
#include "sound/owner_loop.h"
#include "sound/thread_timer_service.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How late the owner thread runs a one-shot timer's callback: 1000 timers of
// 20 ms in a row, each armed by the callback of the one before, as the note
// chains and score playback arm theirs.
void BM_OneShotTimerLateness(benchmark::State& state) {
  constexpr int kTimers = 1000;
  constexpr milliseconds kDelay(20);
  std::vector<double> lateness;
  lateness.reserve(kTimers);
  for (auto _ : state) {
    lateness.clear();
    fretlets::OwnerLoop loop;
    fretlets::ThreadTimerService timers(loop.handOver());
    Clock::time_point deadline;
    std::function<void()> arm = [&] {
      deadline = Clock::now() + kDelay;
      timers.schedule(kDelay, [&] {
        const auto late = Clock::now() - deadline;
        lateness.push_back(std::chrono::duration<double, std::micro>(late).count());
        if (lateness.size() < kTimers) {
          arm();
        }
      });
    };
    arm();
    loop.pumpUntil([&] { return lateness.size() == kTimers; }, kDelay * kTimers * 2);
  }
  std::sort(lateness.begin(), lateness.end());
  if (lateness.empty()) {
    state.SkipWithError("no timer fired");
    return;
  }
  auto percentile = [&](double p) {
    return lateness[std::min(lateness.size() - 1, static_cast<std::size_t>(p * lateness.size()))];
  };
  state.counters["p50_us"] = percentile(0.50);
  state.counters["p99_us"] = percentile(0.99);
  state.counters["max_us"] = lateness.back();
}
BENCHMARK(BM_OneShotTimerLateness)
    ->ArgName("busy_threads")
    ->Arg(0)
    ->Arg(2)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

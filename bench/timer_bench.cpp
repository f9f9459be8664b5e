#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

#include "busy_threads.h"
#include "sound/midi_device.h"
#include "sound/owner_loop.h"
#include "sound/thread_timer_service.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// One run alone and one beside two busy threads, timed by the wall clock.
void onceIdleAndLoaded(benchmark::internal::Benchmark* run) {
  run->ArgName("busy_threads")
      ->Arg(0)
      ->Arg(2)
      ->Iterations(1)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
}

// How late the owner thread runs a one-shot timer's callback: 1000 timers of
// 20 ms in a row, each armed by the callback of the one before, as the note
// chains and score playback arm theirs.
void BM_OneShotTimerLateness(benchmark::State& state) {
  constexpr int kTimers = 1000;
  constexpr milliseconds kDelay(20);
  std::vector<double> lateness;
  lateness.reserve(kTimers);
  const fretlets::BusyThreads busy(static_cast<int>(state.range(0)));
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
BENCHMARK(BM_OneShotTimerLateness)->Apply(onceIdleAndLoaded);

// Takes down when each note-on leaves, on the benchmark's clock.
struct TimingOutput : fretlets::MidiOutput {
  bool open() override { return true; }
  void close() override {}
  void send(std::uint32_t message) override {
    if (fretlets::messageStatus(message) == fretlets::kNoteOn) {
      sent.push_back(Clock::now());
    }
  }
  std::vector<Clock::time_point> sent;  // under the device's lock
};

// How late an arpeggio's notes leave: 100 arpeggios of six strings, 10 ms
// apart, each note due at its start plus its place times the delay, while
// the owner thread is busy 8 ms in every 10 (a window redrawing), beside
// as many busy threads as the argument says.
void BM_ArpeggioNoteLateness(benchmark::State& state) {
  constexpr int kArpeggios = 100;
  constexpr int kDelayMs = 10;
  const fretlets::BusyThreads busy(static_cast<int>(state.range(0)));
  std::vector<double> lateness;
  fretlets::InstrumentState instrument;
  fretlets::DesignerChord chord;
  chord.frets.fill(0);
  for (auto _ : state) {
    for (int k = 0; k < kArpeggios; ++k) {
      fretlets::OwnerLoop loop;
      fretlets::ThreadTimerService timers(loop.handOver());
      TimingOutput output;
      fretlets::MidiDevice midi(instrument, chord, timers, {output});
      midi.openMidiMapper();
      midi.arpeggioDelayMs = kDelayMs;
      const Clock::time_point start = Clock::now();
      midi.arpeggiateChord(0);
      for (int step = 0; step < 7; ++step) {
        const auto busyUntil = Clock::now() + milliseconds(8);
        while (Clock::now() < busyUntil) {
        }
        loop.pumpUntil([] { return false; }, milliseconds(2));
      }
      timers.stop();  // nothing may still be on its way while the output is read
      if (output.sent.size() != 6) {
        state.SkipWithError("an arpeggio lost a note");
        return;
      }
      for (std::size_t n = 0; n < 6; ++n) {
        const auto due = start + milliseconds(kDelayMs * static_cast<int>(n));
        lateness.push_back(std::chrono::duration<double, std::micro>(output.sent[n] - due).count());
      }
    }
  }
  std::sort(lateness.begin(), lateness.end());
  state.counters["p50_us"] = lateness[lateness.size() / 2];
  state.counters["p99_us"] = lateness[lateness.size() * 99 / 100];
  state.counters["max_us"] = lateness.back();
}
BENCHMARK(BM_ArpeggioNoteLateness)->Apply(onceIdleAndLoaded);

}  // namespace

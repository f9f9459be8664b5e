#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "resident_memory.h"
#include "sound/apply_patch.h"
#include "sound/fluid_synth_output.h"
#include "sound/manual_timer_service.h"
#include "sound/midi_device.h"

namespace {

using Clock = std::chrono::steady_clock;
using fretlets::residentMegabytes;

// The synthesizer as the desktop program prepares it at start, on the
// desktop's own audio output when there is one and on ALSA's null device
// otherwise, so that a machine without sound measures the same work.
struct PreparedSynth {
  PreparedSynth() {
    auto sinks = fretlets::desktopAudioSinks();
    sinks.push_back({"alsa", "null"});
    synth = std::make_unique<fretlets::FluidSynthOutput>(fretlets::SynthMode::AudioDevice,
                                                         fretlets::systemSoundFonts(), sinks);
    const double before = residentMegabytes();
    const auto start = Clock::now();
    synth->prepare();
    while (!synth->ready()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ok = synth->open();
    synth->close();
    loadMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    addedMegabytes = residentMegabytes() - before;
  }

  std::unique_ptr<fretlets::FluidSynthOutput> synth;
  bool ok = false;
  double loadMs = 0;
  double addedMegabytes = 0;
};

PreparedSynth& preparedSynth() {
  static PreparedSynth prepared;
  return prepared;
}

// The first preparation, off the GUI thread: how long until the synthesizer
// is ready and how much resident memory the SoundFont adds.
void BM_SynthesizerFirstPreparation(benchmark::State& state) {
  PreparedSynth& prepared = preparedSynth();
  for (auto _ : state) {
    benchmark::DoNotOptimize(prepared.ok);
  }
  if (!prepared.ok) {
    state.SkipWithError(("no synthesizer here: " + prepared.synth->error()).c_str());
    return;
  }
  state.SetLabel(prepared.synth->audioDriver());
  state.counters["ready_ms"] = prepared.loadMs;
  state.counters["soundfont_rss_MB"] = prepared.addedMegabytes;
}
BENCHMARK(BM_SynthesizerFirstPreparation)->Iterations(1);

// What the GUI thread does when the user presses "On" after the first
// preparation (open the output, send the chosen patch), and "Off" again.
// Goal: well under a 16 ms frame.
void BM_MidiOnAfterFirstPreparation(benchmark::State& state) {
  PreparedSynth& prepared = preparedSynth();
  if (!prepared.ok) {
    state.SkipWithError(("no synthesizer here: " + prepared.synth->error()).c_str());
    return;
  }
  fretlets::InstrumentState instrument;
  fretlets::DesignerChord chord;
  fretlets::ManualTimerService timers;
  fretlets::MidiDevice device(instrument, chord, timers, {*prepared.synth});
  double worstOnMs = 0;
  double worstOffMs = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    device.prepareOutputs();
    const bool opened = device.outputsReady() && device.openMidiMapper();
    fretlets::applyPatch(device, fretlets::MidiStandard::GM, 24);
    const auto openedAt = Clock::now();
    device.closeMidi();
    const auto closedAt = Clock::now();
    if (!opened) {
      state.SkipWithError("the prepared synthesizer did not open");
      return;
    }
    const double onMs = std::chrono::duration<double, std::milli>(openedAt - start).count();
    worstOnMs = std::max(worstOnMs, onMs);
    worstOffMs = std::max(worstOffMs,
                          std::chrono::duration<double, std::milli>(closedAt - openedAt).count());
    state.SetIterationTime(onMs / 1000);
  }
  state.SetLabel(prepared.synth->audioDriver());
  state.counters["worst_on_ms"] = worstOnMs;
  state.counters["worst_off_ms"] = worstOffMs;
}
BENCHMARK(BM_MidiOnAfterFirstPreparation)
    ->Iterations(200)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The first note after a quiet while: the output was shut, and the note's
// send opens it again. Its time is how much later than at once the note
// starts (the stream's own latency comes on top). Goal: well under 10 ms.
void BM_SynthesizerNoteAfterQuiet(benchmark::State& state) {
  constexpr std::chrono::milliseconds kPauseAfter(100);
  auto sinks = fretlets::desktopAudioSinks();
  sinks.push_back({"alsa", "null"});
  fretlets::FluidSynthOutput synth(fretlets::SynthMode::AudioDevice, fretlets::systemSoundFonts(),
                                   sinks, kPauseAfter);
  if (!synth.open()) {
    state.SkipWithError(("no synthesizer here: " + synth.error()).c_str());
    return;
  }
  double worstMs = 0;
  for (auto _ : state) {
    synth.send(fretlets::shortMessage(0xB0, 0x78, 0));  // all sound off
    const auto giveUp = Clock::now() + std::chrono::seconds(5);
    while (synth.audioRunning() && Clock::now() < giveUp) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (synth.audioRunning()) {
      state.SkipWithError("the output was never shut");
      return;
    }
    const auto start = Clock::now();
    synth.send(fretlets::shortMessage(0x90, 64, 100));
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    worstMs = std::max(worstMs, ms);
    state.SetIterationTime(ms / 1000);
  }
  state.SetLabel(synth.audioDriver());
  state.counters["worst_ms"] = worstMs;
}
BENCHMARK(BM_SynthesizerNoteAfterQuiet)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

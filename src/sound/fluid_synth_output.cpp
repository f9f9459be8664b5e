#include "sound/fluid_synth_output.h"

#include <fluidsynth.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "sound/realtime_kit.h"
#include "sound/realtime_scheduling.h"

namespace fretlets {
namespace {

// The audio output's period and their count. FluidSynth's own (64 frames, a
// buffer of under 1 ms in PulseAudio) drop out on an idle machine. With the
// stream thread at real-time priority, 640 x 2 (PulseAudio buffers 7-11 ms)
// played without a dropout on a quiet machine and beside two busy processes,
// where 512 still dropped out and 768 only adds latency (README: "Sound in
// the desktop program").
constexpr int kPeriodFrames = 640;
constexpr int kPeriods = 2;

struct SettingsDeleter {
  void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
};
struct SynthDeleter {
  void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};
struct DriverDeleter {
  void operator()(fluid_audio_driver_t* driver) const { delete_fluid_audio_driver(driver); }
};

using SettingsPtr = std::unique_ptr<fluid_settings_t, SettingsDeleter>;

// FluidSynth writes its warnings (a missing bank, an audio device it could
// not open) to the terminal; the program reports failures itself.
void silenceFluidSynthLog() {
  for (const int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
    fluid_set_log_function(level, nullptr, nullptr);
  }
}

std::string joined(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths) {
    text += text.empty() ? "" : ", ";
    text += path;
  }
  return text;
}

}  // namespace

std::vector<std::string> systemSoundFonts() {
  std::vector<std::string> paths;
  silenceFluidSynthLog();
  const SettingsPtr settings(new_fluid_settings());
  char* fluidDefault = nullptr;
  if (settings &&
      fluid_settings_getstr_default(settings.get(), "synth.default-soundfont", &fluidDefault) ==
          FLUID_OK &&
      fluidDefault != nullptr && *fluidDefault != '\0') {
    paths.emplace_back(fluidDefault);
  }
  for (const char* path :
       {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
        "/usr/share/sounds/sf2/TimGM6mb.sf2"}) {
    paths.emplace_back(path);
  }
  return paths;
}

std::optional<std::string> findSoundFont(const std::vector<std::string>& candidates) {
  for (const std::string& path : candidates) {
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error) && std::ifstream(path).good()) {
      return path;
    }
  }
  return std::nullopt;
}

std::vector<AudioSink> desktopAudioSinks() {
  return {{"pulseaudio", ""}, {"alsa", ""}, {"jack", ""}};
}

using Clock = std::chrono::steady_clock;

// How often the quiet watch looks whether the output has gone quiet.
constexpr std::chrono::milliseconds kQuietCheck(250);
// A period whose loudest sample stays below this (-80 dBFS) is not heard: a
// plucked string still "sounding" long after it died away included.
constexpr float kInaudible = 1e-4F;

// Below FluidSynth's own audio thread, above the timing thread (10).
constexpr int kStreamPriority = 50;
// FluidSynth's audio thread ("pulse-audio") asks for this itself
// (audio.realtime-prio).
constexpr int kAudioPriority = 60;

// The threads of this process.
std::set<int> threadIds() {
  std::set<int> ids;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task", error)) {
    try {
      ids.insert(std::stoi(entry.path().filename().string()));
    } catch (const std::exception&) {
    }
  }
  return ids;
}

std::string threadName(int tid) {
  std::ifstream comm("/proc/self/task/" + std::to_string(tid) + "/comm");
  std::string name;
  std::getline(comm, name);
  return name.empty() ? "thread " + std::to_string(tid) : name;
}

struct FluidSynthOutput::Synth {
  SettingsPtr settings;
  std::unique_ptr<fluid_synth_t, SynthDeleter> synth;

  // The audio output renders and streams silence as busily as sound, which
  // keeps the program and the sound server each at several percent of a
  // core. So once nothing has been heard for a while the output is shut, and
  // the next message opens it again with the settings that opened it first
  // (a few milliseconds; the message itself is taken at once and sounds in
  // the first period the output plays).
  std::mutex mutex;  // guards what follows; the quiet watch holds it to shut the output
  std::condition_variable wake;
  std::unique_ptr<fluid_audio_driver_t, DriverDeleter> driver;
  Clock::time_point lastMessage;
  bool stopping = false;
  std::thread quietWatch;
  // The audio thread's last audible period, on Clock.
  std::atomic<Clock::rep> lastAudible{0};
  RealtimeKit realtimeKit;  // asked when the output opens, under mutex
  mutable std::mutex schedulingMutex;
  std::vector<int> audioThreads;  // the threads the output started when it last opened

  ~Synth() {
    if (quietWatch.joinable()) {
      {
        const std::lock_guard lock(mutex);
        stopping = true;
        wake.notify_one();
      }
      quietWatch.join();
    }
    driver.reset();  // stops pulling sound before the synth goes
  }

  // The audio thread, every period: reverb and chorus are mixed into the
  // dry sound, as FluidSynth's own rendering does.
  static int renderPeriod(void* data, int frames, int /*nfx*/, float* /*fx*/[], int nout,
                          float* out[]) {
    Synth& self = *static_cast<Synth*>(data);
    const int result = fluid_synth_process(self.synth.get(), frames, nout, out, nout, out);
    float peak = 0;
    for (int channel = 0; channel < nout; ++channel) {
      for (int i = 0; i < frames; ++i) {
        peak = std::max(peak, std::abs(out[channel][i]));
      }
    }
    if (peak >= kInaudible) {
      self.lastAudible.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
    }
    return result;
  }

  // FluidSynth asks for real-time scheduling for its audio thread itself
  // (audio.realtime-prio) and falls back quietly; PulseAudio's client
  // library starts a thread of its own ("threaded-ml") that carries each
  // period to the server, at the priority of the thread that opened the
  // output: normal at start, where two busy processes beside it made every
  // second of sound drop out, and the timing thread's low real-time one when
  // a note reopens the output after a quiet while. That one always gets the
  // stream's priority. Where the user may not ask the kernel, both ask the
  // desktop's RealtimeKit; other threads that happen to start meanwhile
  // (the desktop's own) are left alone.
  bool openDriver() {
    const std::set<int> before = threadIds();
    driver.reset(new_fluid_audio_driver2(settings.get(), renderPeriod, this));
    if (!driver) {
      return false;
    }
    std::vector<int> started;
    for (const int tid : threadIds()) {
      if (before.contains(tid)) {
        continue;
      }
      started.push_back(tid);
      const std::string name = threadName(tid);
      if (name == "threaded-ml") {
        requestRealtimeScheduling(kStreamPriority, tid, &realtimeKit);
      } else if (name == "pulse-audio" && describeScheduling(tid) == "normal") {
        requestRealtimeScheduling(kAudioPriority, tid, &realtimeKit);
      }
    }
    const std::lock_guard lock(schedulingMutex);
    audioThreads = std::move(started);
    return true;
  }

  // Read when asked: FluidSynth's audio thread names itself and asks for its
  // priority once it runs.
  std::string describeAudioThreads() const {
    const std::lock_guard lock(schedulingMutex);
    std::string described;
    for (const int tid : audioThreads) {
      described +=
          (described.empty() ? "" : ", ") + threadName(tid) + " " + describeScheduling(tid);
    }
    return described;
  }

  void watchQuiet(std::chrono::milliseconds pauseAfter) {
    std::unique_lock lock(mutex);
    while (!stopping) {
      if (!driver) {
        wake.wait(lock);
        continue;
      }
      wake.wait_for(lock, kQuietCheck);
      const Clock::time_point heard{Clock::duration(lastAudible.load(std::memory_order_relaxed))};
      if (driver && Clock::now() - std::max(heard, lastMessage) >= pauseAfter) {
        driver.reset();
      }
    }
  }

  // Whichever thread sends: opens the output again when the quiet watch
  // shut it. False when it would not open.
  bool resume() {
    const std::lock_guard lock(mutex);
    lastMessage = Clock::now();
    if (!driver && openDriver()) {
      wake.notify_one();
    }
    return driver != nullptr;
  }
};

struct FluidSynthOutput::Prepared {
  std::unique_ptr<Synth> synth;  // null when the preparation failed
  std::string soundFont;
  std::string audioDriver;
  std::string error;
};

FluidSynthOutput::FluidSynthOutput(SynthMode mode, std::vector<std::string> soundFonts,
                                   std::vector<AudioSink> sinks,
                                   std::chrono::milliseconds pauseAfter)
    : mode_(mode),
      soundFonts_(std::move(soundFonts)),
      sinks_(std::move(sinks)),
      pauseAfter_(pauseAfter) {}

FluidSynthOutput::~FluidSynthOutput() {
  if (preparing_.valid()) {
    preparing_.wait();
  }
}

// Runs on the preparing thread and touches nothing of the object: its result
// reaches the owner thread through the future.
std::unique_ptr<FluidSynthOutput::Prepared> FluidSynthOutput::prepareSynth(
    SynthMode mode, const std::vector<std::string>& soundFonts,
    const std::vector<AudioSink>& sinks) {
  auto result = std::make_unique<Prepared>();
  Prepared& prepared = *result;
  const auto path = findSoundFont(soundFonts);
  if (!path) {
    prepared.error = "no SoundFont found (looked for " + joined(soundFonts) + ")";
    return result;
  }
  auto synth = std::make_unique<Synth>();
  synth->settings.reset(new_fluid_settings());
  if (!synth->settings) {
    prepared.error = "the synthesizer could not be set up";
    return result;
  }
  fluid_settings_t* settings = synth->settings.get();
  fluid_settings_setstr(settings, "synth.midi-bank-select", "xg");
  fluid_settings_setnum(settings, "synth.sample-rate", kSampleRate);
  // Pinning a 140 MB SoundFont in memory buys nothing for a few notes.
  fluid_settings_setint(settings, "synth.lock-memory", 0);
  if (mode == SynthMode::Offline) {
    // One thread pulls the sound, so the synthesizer need not lock.
    fluid_settings_setint(settings, "synth.threadsafe-api", 0);
  }
  synth->synth.reset(new_fluid_synth(settings));
  if (!synth->synth) {
    prepared.error = "the synthesizer could not be set up";
    return result;
  }
  if (mode == SynthMode::AudioDevice) {
    fluid_settings_setint(settings, "audio.period-size", kPeriodFrames);
    fluid_settings_setint(settings, "audio.periods", kPeriods);
    // The audio output comes first: without one the load would be wasted.
    // Until the SoundFont is in, the output plays silence.
    for (const AudioSink& sink : sinks) {
      fluid_settings_setstr(settings, "audio.driver", sink.driver.c_str());
      if (!sink.device.empty()) {
        const std::string key =
            sink.driver == "file" ? "audio.file.name" : "audio." + sink.driver + ".device";
        fluid_settings_setstr(settings, key.c_str(), sink.device.c_str());
      }
      if (synth->openDriver()) {
        prepared.audioDriver = sink.driver;
        break;
      }
    }
    if (!synth->driver) {
      prepared.error = "no audio output could be opened";
      return result;
    }
  }
  if (fluid_synth_sfload(synth->synth.get(), path->c_str(), 1) == FLUID_FAILED) {
    prepared.error = "the SoundFont " + *path + " could not be loaded";
    prepared.audioDriver.clear();
    return result;
  }
  prepared.soundFont = *path;
  prepared.synth = std::move(synth);
  return result;
}

void FluidSynthOutput::prepare() {
  if (synth_ || preparing_.valid()) {
    return;
  }
  silenceFluidSynthLog();
  preparing_ = std::async(std::launch::async, prepareSynth, mode_, soundFonts_, sinks_);
}

bool FluidSynthOutput::ready() const {
  return !preparing_.valid() ||
         preparing_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

void FluidSynthOutput::collect() {
  if (!preparing_.valid()) {
    return;
  }
  const std::unique_ptr<Prepared> prepared = preparing_.get();
  synth_ = std::move(prepared->synth);
  if (synth_ && synth_->driver && pauseAfter_ > std::chrono::milliseconds(0)) {
    synth_->lastMessage = Clock::now();
    synth_->quietWatch = std::thread(&Synth::watchQuiet, synth_.get(), pauseAfter_);
  }
  soundFont_ = std::move(prepared->soundFont);
  audioDriver_ = std::move(prepared->audioDriver);
  error_ = std::move(prepared->error);
}

bool FluidSynthOutput::open() {
  if (!synth_) {
    prepare();
    collect();
  }
  open_ = synth_ != nullptr;
  return open_;
}

void FluidSynthOutput::close() {
  if (open_) {
    fluid_synth_all_sounds_off(synth_->synth.get(), -1);
  }
  open_ = false;
}

void FluidSynthOutput::send(std::uint32_t message) {
  if (!open_) {
    return;
  }
  if (mode_ == SynthMode::AudioDevice) {
    synth_->resume();
  }
  fluid_synth_t* synth = synth_->synth.get();
  const int channel = messageStatus(message) & 0x0F;
  const int data1 = messageData1(message);
  const int data2 = messageData2(message);
  switch (messageStatus(message) & 0xF0) {
    case kNoteOff:
      fluid_synth_noteoff(synth, channel, data1);
      break;
    case kNoteOn:
      if (data2 == 0) {
        fluid_synth_noteoff(synth, channel, data1);
      } else {
        fluid_synth_noteon(synth, channel, data1, data2);
      }
      break;
    case kControlChange:
      fluid_synth_cc(synth, channel, data1, data2);
      break;
    case kProgramChange:
      fluid_synth_program_change(synth, channel, data1);
      break;
    default:
      break;  // the device sends nothing else
  }
}

void FluidSynthOutput::render(std::span<std::int16_t> interleavedStereo) {
  const int frames = static_cast<int>(interleavedStereo.size() / 2);
  if (!open_ || frames == 0) {
    return;
  }
  // Floats converted here rather than FluidSynth's own 16-bit output, which
  // adds dither noise.
  std::vector<float> buffer(static_cast<std::size_t>(frames) * 2);
  fluid_synth_write_float(synth_->synth.get(), frames, buffer.data(), 0, 2, buffer.data(), 1, 2);
  std::transform(buffer.begin(), buffer.end(), interleavedStereo.begin(), [](float sample) {
    return static_cast<std::int16_t>(std::lround(std::clamp(sample, -1.0F, 1.0F) * 32767.0F));
  });
}

std::string FluidSynthOutput::audioScheduling() const {
  if (!synth_) {
    return {};
  }
  return synth_->describeAudioThreads();
}

bool FluidSynthOutput::audioRunning() const {
  if (!synth_) {
    return false;
  }
  const std::lock_guard lock(synth_->mutex);
  return synth_->driver != nullptr;
}

std::optional<FluidSynthOutput::Preset> FluidSynthOutput::channelPreset() const {
  if (!open_) {
    return std::nullopt;
  }
  fluid_preset_t* preset = fluid_synth_get_channel_preset(synth_->synth.get(), 0);
  if (preset == nullptr) {
    return std::nullopt;
  }
  return Preset{fluid_preset_get_banknum(preset), fluid_preset_get_num(preset)};
}

}  // namespace fretlets

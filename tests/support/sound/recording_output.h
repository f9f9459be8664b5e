#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "sound/midi_output.h"
#include "sound/timer_service.h"

namespace fretlets {

// Keeps every message with the time it was sent, read from the timer
// service's clock, for tests and benchmarks.
class RecordingOutput : public MidiOutput {
 public:
  struct Sent {
    std::uint32_t message;
    std::chrono::microseconds time;

    friend bool operator==(const Sent&, const Sent&) = default;
  };

  explicit RecordingOutput(const TimerService& clock) : clock_(clock) {}

  void prepare() override { ++prepareCount_; }
  bool ready() const override { return ready_; }
  bool open() override;
  void send(std::uint32_t message) override;
  void close() override { open_ = false; }

  bool isOpen() const { return open_; }
  const std::vector<Sent>& sent() const { return sent_; }
  // The messages alone, in order.
  std::vector<std::uint32_t> messages() const;
  // The messages as a MIDI monitor shows them, "90 40 64, 80 40 00"; timed,
  // each after the millisecond it went out: "10: 90 34 7F".
  std::string monitorText(bool timed = false) const;
  void clear() { sent_.clear(); }
  // Makes the next open() fail, as an output missing on this machine would.
  void setAvailable(bool available) { available_ = available; }
  // Makes the output still be getting ready, as a synthesizer loading its
  // SoundFont is; open() then fails, as it must not be called meanwhile.
  void setReady(bool ready) { ready_ = ready; }
  int prepareCount() const { return prepareCount_; }

 private:
  const TimerService& clock_;
  std::vector<Sent> sent_;
  bool open_ = false;
  bool available_ = true;
  bool ready_ = true;
  int prepareCount_ = 0;
};

}  // namespace fretlets

#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "sound/midi_output.h"
#include "sound/timer_service.h"

namespace fretlets {

// A message as a MIDI monitor shows it: "90 40 64"; timed, after the
// millisecond it went out: "10: 90 40 64".
std::string monitorText(std::uint32_t message);
std::string monitorText(std::uint32_t message, std::chrono::microseconds time);

// Keeps every message with the time it was sent, read from the timer
// service's clock: what a score sends, for its MIDI file; what the device
// sends, for a look at it.
class RecordingOutput : public MidiOutput {
 public:
  struct Sent {
    std::uint32_t message;
    std::chrono::microseconds time;

    friend bool operator==(const Sent&, const Sent&) = default;
  };

  explicit RecordingOutput(const TimerService& clock) : clock_(clock) {}

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

 private:
  const TimerService& clock_;
  std::vector<Sent> sent_;
  bool open_ = false;
};

}  // namespace fretlets

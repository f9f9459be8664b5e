#pragma once

#include <cstdint>

namespace fretlets {

// A MIDI short message: status byte in bits 0-7, first data byte in bits
// 8-15, second data byte in bits 16-23.
constexpr std::uint32_t shortMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  return static_cast<std::uint32_t>(status) | static_cast<std::uint32_t>(data1) << 8 |
         static_cast<std::uint32_t>(data2) << 16;
}

// The kinds of channel message (a status byte's top four bits) and the
// controllers the program sends.
inline constexpr std::uint8_t kNoteOff = 0x80;
inline constexpr std::uint8_t kNoteOn = 0x90;
inline constexpr std::uint8_t kControlChange = 0xB0;
inline constexpr std::uint8_t kProgramChange = 0xC0;
inline constexpr std::uint8_t kChannelPressure = 0xD0;
inline constexpr std::uint8_t kBankSelectLsb = 0x20;
inline constexpr std::uint8_t kAllNotesOffController = 0x7B;

constexpr std::uint8_t messageStatus(std::uint32_t message) {
  return message & 0xFF;
}
constexpr std::uint8_t messageData1(std::uint32_t message) {
  return (message >> 8) & 0xFF;
}
constexpr std::uint8_t messageData2(std::uint32_t message) {
  return (message >> 16) & 0xFF;
}

// Where the MIDI device's messages go: a synthesizer or a port.
class MidiOutput {
 public:
  MidiOutput() = default;
  MidiOutput(const MidiOutput&) = delete;
  MidiOutput& operator=(const MidiOutput&) = delete;
  virtual ~MidiOutput() = default;

  // An output that takes long to get ready (a synthesizer loading its
  // SoundFont) starts getting ready here, on a thread of its own, and returns
  // at once; after a failed attempt it tries again.
  virtual void prepare() {}
  // False while getting ready; open() would then wait until it is.
  virtual bool ready() const { return true; }
  // False, with nothing left open, when the output cannot be used here.
  virtual bool open() = 0;
  // Ignored while the output is closed.
  virtual void send(std::uint32_t message) = 0;
  virtual void close() = 0;
};

}  // namespace fretlets

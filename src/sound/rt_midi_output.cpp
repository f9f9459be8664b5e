#include "sound/rt_midi_output.h"

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace fretlets {
namespace {

// RtMidi prints warnings, or throws, unless a callback takes them; the
// program reports a failed open on its own and keeps the text for it.
void keepRtMidiError(RtMidiError::Type /*type*/, const std::string& text, void* error) {
  *static_cast<std::string*>(error) = text;
}

// Program change and channel pressure carry one data byte, the other channel
// messages two.
std::size_t messageLength(std::uint8_t status) {
  const int kind = status & 0xF0;
  return kind == kProgramChange || kind == kChannelPressure ? 2 : 3;
}

}  // namespace

bool isPassThroughPort(std::string_view portName) {
  std::string lower(portName);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower.find("through") != std::string::npos;
}

RtMidiOutput::RtMidiOutput() = default;

RtMidiOutput::~RtMidiOutput() = default;

bool RtMidiOutput::open() {
  if (port_) {
    return true;
  }
  error_.clear();
  try {
    auto port = std::make_unique<RtMidiOut>();
    port->setErrorCallback(keepRtMidiError, &error_);
    const unsigned int count = port->getPortCount();
    for (unsigned int i = 0; i < count; ++i) {
      const std::string name = port->getPortName(i);
      if (name.empty() || isPassThroughPort(name)) {
        continue;
      }
      port->openPort(i, "Fretlets");
      if (!port->isPortOpen()) {
        continue;
      }
      portName_ = name;
      port_ = std::move(port);
      return true;
    }
    if (error_.empty()) {
      error_ = "no MIDI output port";
    }
  } catch (const RtMidiError& failure) {
    error_ = failure.getMessage();
  }
  return false;
}

void RtMidiOutput::send(std::uint32_t message) {
  if (!port_) {
    return;
  }
  const std::array<unsigned char, 3> bytes{messageStatus(message), messageData1(message),
                                           messageData2(message)};
  try {
    port_->sendMessage(bytes.data(), messageLength(bytes[0]));
  } catch (const RtMidiError&) {
    // A port that went away mid-play loses the message; the next open finds
    // another one.
  }
}

void RtMidiOutput::close() {
  port_.reset();
  portName_.clear();
}

}  // namespace fretlets

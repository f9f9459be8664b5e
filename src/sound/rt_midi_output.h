#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "sound/midi_output.h"

class RtMidiOut;

namespace fretlets {

// True for ports that only pass messages on to other programs ("Midi Through").
bool isPassThroughPort(std::string_view portName);

// A MIDI port of the system, for an external or software synthesizer: the
// first output port that is not a pass-through port.
class RtMidiOutput : public MidiOutput {
 public:
  RtMidiOutput();
  ~RtMidiOutput() override;

  bool open() override;
  void send(std::uint32_t message) override;
  void close() override;

  const std::string& portName() const { return portName_; }
  const std::string& error() const { return error_; }

 private:
  std::unique_ptr<RtMidiOut> port_;
  std::string portName_;
  std::string error_;
};

}  // namespace fretlets

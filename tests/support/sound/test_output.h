#pragma once

#include "sound/recording_output.h"

namespace fretlets {

// The recording output, as missing or as slow to get ready as a test needs.
class TestOutput : public RecordingOutput {
 public:
  using RecordingOutput::RecordingOutput;

  void prepare() override { ++prepareCount_; }
  bool ready() const override { return ready_; }
  // Fails while not available or not ready: it must not be called meanwhile.
  bool open() override { return available_ && ready_ && RecordingOutput::open(); }
  // Makes the next open() fail, as an output missing on this machine would.
  void setAvailable(bool available) { available_ = available; }
  // Makes the output still be getting ready, as a synthesizer loading its
  // SoundFont is.
  void setReady(bool ready) { ready_ = ready; }
  int prepareCount() const { return prepareCount_; }

 private:
  bool available_ = true;
  bool ready_ = true;
  int prepareCount_ = 0;
};

}  // namespace fretlets

#include "support/midi/recording_output.h"

namespace fretlets {

bool RecordingOutput::open() {
  open_ = available_ && ready_;
  return open_;
}

void RecordingOutput::send(std::uint32_t message) {
  if (open_) {
    sent_.push_back({message, clock_.now()});
  }
}

std::vector<std::uint32_t> RecordingOutput::messages() const {
  std::vector<std::uint32_t> result;
  result.reserve(sent_.size());
  for (const Sent& s : sent_) {
    result.push_back(s.message);
  }
  return result;
}

}  // namespace fretlets

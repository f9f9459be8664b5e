#include "support/sound/recording_output.h"

#include <cstdio>

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

std::string RecordingOutput::monitorText(bool timed) const {
  std::string text;
  for (const Sent& s : sent_) {
    char bytes[9];
    std::snprintf(bytes, sizeof bytes, "%02X %02X %02X", messageStatus(s.message),
                  messageData1(s.message), messageData2(s.message));
    text += text.empty() ? "" : ", ";
    text += timed ? std::to_string(s.time.count() / 1000) + ": " + bytes : bytes;
  }
  return text;
}

}  // namespace fretlets

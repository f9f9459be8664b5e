#include "sound/recording_output.h"

#include <cstdio>

namespace fretlets {

std::string monitorText(std::uint32_t message) {
  char bytes[9];
  std::snprintf(bytes, sizeof bytes, "%02X %02X %02X", messageStatus(message),
                messageData1(message), messageData2(message));
  return bytes;
}

std::string monitorText(std::uint32_t message, std::chrono::microseconds time) {
  return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(time).count()) +
         ": " + monitorText(message);
}

bool RecordingOutput::open() {
  open_ = true;
  return true;
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
    text += text.empty() ? "" : ", ";
    text += timed ? fretlets::monitorText(s.message, s.time) : fretlets::monitorText(s.message);
  }
  return text;
}

}  // namespace fretlets

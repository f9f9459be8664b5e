#pragma once

#include <memory>

namespace fretlets {

// The desktop's RealtimeKit service, on the system bus: it lends an
// ordinary user's threads real-time scheduling, as it does the sound
// server's, where the user has no right to ask the kernel directly
// (RLIMIT_RTPRIO is 0 on most desktops). The connection is made at the
// first ask and kept; where there is no bus or no service, the first ask
// fails and every later one fails at once.
class RealtimeKit {
 public:
  RealtimeKit();
  ~RealtimeKit();
  RealtimeKit(const RealtimeKit&) = delete;
  RealtimeKit& operator=(const RealtimeKit&) = delete;

  // Asks for real-time scheduling for thread tid of this process (a kernel
  // thread id, 0: the calling thread) at priority, or at the highest the
  // service lends when that is lower. Blocks for the answer, at most half a
  // second. True when the service granted it.
  bool makeRealtime(int tid, int priority);

 private:
  struct Bus;
  std::unique_ptr<Bus> bus_;
  bool unavailable_ = false;
};

}  // namespace fretlets

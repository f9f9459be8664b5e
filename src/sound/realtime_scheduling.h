#pragma once

#include <string>

namespace fretlets {

class RealtimeKit;

// Asks for real-time scheduling (SCHED_FIFO at priority) for thread tid, 0
// being the calling thread, as audio programs do: a thread that only waits
// for its moment and does a little work then is never kept waiting behind
// ordinary work. Without the right to that priority it asks for the highest
// one RLIMIT_RTPRIO allows, and where that is none, kit's service (when
// given) for it; where all refuse, the thread stays as it was. Returns
// describeScheduling(tid) afterwards.
std::string requestRealtimeScheduling(int priority, int tid = 0, RealtimeKit* kit = nullptr);

// How thread tid (0: the calling thread) is scheduled now, in the words of
// `fretlets --version`: "real-time (SCHED_FIFO, priority 10)" or "normal".
std::string describeScheduling(int tid = 0);

}  // namespace fretlets

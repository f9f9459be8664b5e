#include "sound/realtime_scheduling.h"

#include <algorithm>

#include "sound/realtime_kit.h"

#if defined(__linux__)
#include <sched.h>
#include <sys/resource.h>
#endif

namespace fretlets {

std::string requestRealtimeScheduling(int priority, int tid, RealtimeKit* kit) {
#if defined(__linux__)
  sched_param param{};
  param.sched_priority = priority;
  if (sched_setscheduler(tid, SCHED_FIFO, &param) != 0) {
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) == 0 && limit.rlim_cur > 0) {
      param.sched_priority = static_cast<int>(std::min<rlim_t>(limit.rlim_cur, priority));
      sched_setscheduler(tid, SCHED_FIFO, &param);
    } else if (kit != nullptr) {
      kit->makeRealtime(tid, priority);
    }
  }
#else
  (void)priority;
  (void)kit;
#endif
  return describeScheduling(tid);
}

std::string describeScheduling(int tid) {
#if defined(__linux__)
  // RealtimeKit lends its scheduling with SCHED_RESET_ON_FORK set, so that
  // threads the lent one starts are ordinary again.
  const int policy = sched_getscheduler(tid) & ~SCHED_RESET_ON_FORK;
  sched_param param{};
  if ((policy == SCHED_FIFO || policy == SCHED_RR) && sched_getparam(tid, &param) == 0) {
    return std::string("real-time (") + (policy == SCHED_FIFO ? "SCHED_FIFO" : "SCHED_RR") +
           ", priority " + std::to_string(param.sched_priority) + ")";
  }
#else
  (void)tid;
#endif
  return "normal";
}

}  // namespace fretlets

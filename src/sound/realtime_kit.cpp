#include "sound/realtime_kit.h"

#include <algorithm>
#include <cstdint>

#if defined(__linux__)
#include <dbus/dbus.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace fretlets {

#if defined(__linux__)

namespace {

constexpr const char* kService = "org.freedesktop.RealtimeKit1";
constexpr const char* kObject = "/org/freedesktop/RealtimeKit1";
constexpr int kAnswerMs = 500;

struct MessageDeleter {
  void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};
using Message = std::unique_ptr<DBusMessage, MessageDeleter>;

}  // namespace

struct RealtimeKit::Bus {
  DBusConnection* connection = nullptr;
  std::int64_t highest = -1;  // the highest priority the service lends
  std::int64_t cpuMax = -1;   // microseconds a thread may run without sleeping

  ~Bus() {
    if (connection != nullptr) {
      dbus_connection_close(connection);
      dbus_connection_unref(connection);
    }
  }

  Message call(DBusMessage* request) const {
    DBusError error;
    dbus_error_init(&error);
    Message reply(
        dbus_connection_send_with_reply_and_block(connection, request, kAnswerMs, &error));
    dbus_error_free(&error);
    dbus_message_unref(request);
    return reply;
  }

  // One of the service's numbers (a limit it sets), or -1 when it does not say.
  std::int64_t property(const char* name) const {
    DBusMessage* request =
        dbus_message_new_method_call(kService, kObject, "org.freedesktop.DBus.Properties", "Get");
    if (request == nullptr) {
      return -1;
    }
    const char* interface = kService;
    dbus_message_append_args(request, DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &name,
                             DBUS_TYPE_INVALID);
    const Message reply = call(request);
    DBusMessageIter iter;
    if (!reply || !dbus_message_iter_init(reply.get(), &iter) ||
        dbus_message_iter_get_arg_type(&iter) != DBUS_TYPE_VARIANT) {
      return -1;
    }
    DBusMessageIter value;
    dbus_message_iter_recurse(&iter, &value);
    switch (dbus_message_iter_get_arg_type(&value)) {
      case DBUS_TYPE_INT32: {
        dbus_int32_t number = 0;
        dbus_message_iter_get_basic(&value, &number);
        return number;
      }
      case DBUS_TYPE_INT64: {
        dbus_int64_t number = 0;
        dbus_message_iter_get_basic(&value, &number);
        return number;
      }
      default:
        return -1;
    }
  }
};

RealtimeKit::RealtimeKit() = default;
RealtimeKit::~RealtimeKit() = default;

bool RealtimeKit::makeRealtime(int tid, int priority) {
  if (unavailable_) {
    return false;
  }
  if (!bus_) {
    DBusError error;
    dbus_error_init(&error);
    // A private connection: the program's other users of the bus, if any,
    // are not disturbed, and a lost bus does not end the program.
    DBusConnection* connection = dbus_bus_get_private(DBUS_BUS_SYSTEM, &error);
    dbus_error_free(&error);
    if (connection == nullptr) {
      unavailable_ = true;
      return false;
    }
    dbus_connection_set_exit_on_disconnect(connection, FALSE);
    bus_ = std::make_unique<Bus>();
    bus_->connection = connection;
    bus_->highest = bus_->property("MaxRealtimePriority");
    bus_->cpuMax = bus_->property("RTTimeUSecMax");
    if (bus_->highest < 1 || bus_->cpuMax < 1) {
      // No service on the bus, or one that lends nothing.
      unavailable_ = true;
      bus_.reset();
      return false;
    }
  }
  // The service lends real-time only to a process whose real-time threads
  // cannot hold a processor for ever: each may run at most this long
  // without sleeping. Every thread here sleeps at every period or deadline.
  rlimit limit{};
  if (getrlimit(RLIMIT_RTTIME, &limit) != 0) {
    return false;
  }
  const auto cap = static_cast<rlim_t>(bus_->cpuMax);
  if (limit.rlim_max == RLIM_INFINITY || limit.rlim_max > cap) {
    limit.rlim_cur = limit.rlim_max = cap;
    if (setrlimit(RLIMIT_RTTIME, &limit) != 0) {
      return false;
    }
  }
  DBusMessage* request =
      dbus_message_new_method_call(kService, kObject, kService, "MakeThreadRealtime");
  if (request == nullptr) {
    return false;
  }
  dbus_uint64_t thread = tid != 0 ? static_cast<dbus_uint64_t>(tid)
                                  : static_cast<dbus_uint64_t>(::syscall(SYS_gettid));
  dbus_uint32_t lent = static_cast<dbus_uint32_t>(std::min<std::int64_t>(priority, bus_->highest));
  dbus_message_append_args(request, DBUS_TYPE_UINT64, &thread, DBUS_TYPE_UINT32, &lent,
                           DBUS_TYPE_INVALID);
  const Message reply = bus_->call(request);
  return reply && dbus_message_get_type(reply.get()) == DBUS_MESSAGE_TYPE_METHOD_RETURN;
}

#else

struct RealtimeKit::Bus {};
RealtimeKit::RealtimeKit() = default;
RealtimeKit::~RealtimeKit() = default;
bool RealtimeKit::makeRealtime(int, int) {
  return false;
}

#endif

}  // namespace fretlets

#include "app/out_of_memory.h"

#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <thread>

#include "gui/common/show_message.h"

namespace fretlets {
namespace {

// Kept aside at start so the message box has memory to be shown with.
std::unique_ptr<char[]>& reserve() {
  static std::unique_ptr<char[]> block;
  return block;
}

constexpr std::size_t kReserveBytes = 1 << 20;

// How long another thread waits for the GUI thread to take the message; it
// may be waiting for that very thread.
constexpr std::chrono::seconds kGuiPatience(20);

[[noreturn]] void tellAndExit() {
  showMessage(QStringLiteral("Out Of Memory"), {MessageIcon::Warning, MessageButtons::Ok});
  std::_Exit(1);
}

}  // namespace

void installOutOfMemoryHandler() {
  reserve() = std::make_unique<char[]>(kReserveBytes);
  std::set_new_handler(&outOfMemory);
}

void outOfMemory() {
  std::set_new_handler(nullptr);
  reserve().reset();
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || QThread::currentThread() == app->thread()) {
    tellAndExit();
  }
  // A box opens only on the GUI thread (the timing or SoundFont thread ran
  // out): hand it over and wait there to be ended.
  QMetaObject::invokeMethod(app, &tellAndExit, Qt::QueuedConnection);
  std::this_thread::sleep_for(kGuiPatience);
  std::fputs("Out Of Memory\n", stderr);
  std::_Exit(1);
}

}  // namespace fretlets

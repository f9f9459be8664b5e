#include "app/app_records.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <chrono>
#include <memory>
#include <thread>

#include "gui_application.h"
#include "sound/timer_service.h"

namespace fretlets {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

void pumpFor(
    milliseconds time, const std::function<bool()>& done = [] { return false; }) {
  const auto deadline = Clock::now() + time;
  while (!done() && Clock::now() < deadline) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

TEST(AppRecords, TimersRunOnTheGuiThreadAndTheRecordsGoWithACallbackOnItsWay) {
  testApplication();
  auto records = std::make_unique<AppRecords>();
  TimerService& timers = records->context().timers;
  const auto gui = std::this_thread::get_id();
  bool ranOnGui = false;
  timers.schedule(milliseconds(1), [&] { ranOnGui = std::this_thread::get_id() == gui; });
  pumpFor(milliseconds(5000), [&] { return ranOnGui; });
  EXPECT_TRUE(ranOnGui);

  timers.schedule(milliseconds(1), [] { ADD_FAILURE() << "ran after the records went"; });
  std::this_thread::sleep_for(milliseconds(30));  // the timing thread now waits for the GUI
  records.reset();
  pumpFor(milliseconds(30));
}

}  // namespace
}  // namespace fretlets

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdio>
#include <thread>

#include "app/out_of_memory.h"
#include "gui/common/show_message.h"
#include "gui_application.h"

namespace fretlets {
namespace {

TEST(OutOfMemoryDeathTest, ShowsTheMessageAndExitsWithOne) {
  EXPECT_EXIT(
      {
        setMessageHandler([](const QString& text, MessageFlags flags) {
          std::fprintf(stderr, "%s %d\n", qPrintable(text), static_cast<int>(flags.icon));
          return MessageAnswer::Ok;
        });
        installOutOfMemoryHandler();
        outOfMemory();
      },
      ::testing::ExitedWithCode(1), "Out Of Memory 2");
}

// The timing and SoundFont threads must not open a box: the GUI thread shows it.
TEST(OutOfMemoryDeathTest, AnotherThreadHandsTheMessageToTheGuiThread) {
  EXPECT_EXIT(
      {
        testApplication();
        const std::thread::id gui = std::this_thread::get_id();
        setMessageHandler([gui](const QString& text, MessageFlags) {
          std::fprintf(stderr, "%s, GUI thread %d\n", qPrintable(text),
                       std::this_thread::get_id() == gui);
          return MessageAnswer::Ok;
        });
        installOutOfMemoryHandler();
        std::thread([] { outOfMemory(); }).detach();
        QCoreApplication::exec();
      },
      ::testing::ExitedWithCode(1), "Out Of Memory, GUI thread 1");
}

}  // namespace
}  // namespace fretlets

#include <gtest/gtest.h>

#include <cstdio>

#include "app/out_of_memory.h"
#include "gui/common/show_message.h"

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

}  // namespace
}  // namespace fretlets

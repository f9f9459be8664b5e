#include "app/out_of_memory.h"

#include <cstdlib>
#include <memory>
#include <new>

#include "gui/common/show_message.h"

namespace fretlets {
namespace {

// Kept aside at start so the message box has memory to be shown with.
std::unique_ptr<char[]>& reserve() {
  static std::unique_ptr<char[]> block;
  return block;
}

constexpr std::size_t kReserveBytes = 1 << 20;

}  // namespace

void installOutOfMemoryHandler() {
  reserve() = std::make_unique<char[]>(kReserveBytes);
  std::set_new_handler(&outOfMemory);
}

void outOfMemory() {
  std::set_new_handler(nullptr);
  reserve().reset();
  showMessage(QStringLiteral("Out Of Memory"), {MessageIcon::Warning, MessageButtons::Ok});
  std::_Exit(1);
}

}  // namespace fretlets

#include <gtest/gtest.h>

#include "app/command_id.h"
#include "app/frame_fixture.h"

namespace fretlets {
namespace {

// A panel closed by the user is deleted by the event loop; a frame that goes
// before the loop got to it takes the panel along without touching its own
// half-destroyed commands.
TEST_F(FrameTest, AFrameGoesCleanlyWithAClosedPanelStillPending) {
  showFrame();
  ASSERT_FALSE(state().instrumentPanel.isNull());
  frame_->runCommand(CommandId::ViewInstrument);
  ASSERT_TRUE(state().instrumentPanel.isNull());
  frame_.reset();
}

}  // namespace
}  // namespace fretlets

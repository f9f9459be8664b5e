#include <gtest/gtest.h>

#include "gui/common/command_id.h"
#include "support/gui/document_panel_fixture.h"

namespace fretlets {
namespace {

// Panels closed by the user are deleted by the event loop; a frame that goes
// before the loop got to them takes them along without touching its own
// half-destroyed commands.
TEST_F(DocumentPanelTest, AFrameGoesCleanlyWithClosedPanelsStillPending) {
  run(CommandId::ScoreNew);
  run(CommandId::ViewInstrument);  // opened again beside the score
  ASSERT_NE(frame_->documentPanel(DocumentKind::Score), nullptr);
  ASSERT_NE(frame_->instrumentPanel(), nullptr);
  frame_->runCommand(CommandId::ScoreClose);
  frame_->runCommand(CommandId::ViewInstrument);
  frame_.reset();
  EXPECT_FALSE(session().isOpen(DocumentKind::Score));
}

}  // namespace
}  // namespace fretlets

#include <QtTest/QTest>

#include "app/main_window.h"
#include "panel_records.h"
#include "support/gui/frame_fixture.h"

namespace fretlets {
namespace {

TEST(FrameKeys, EscapeInTheFrameSilencesAllNotes) {
  testApplication();
  PanelRecords<> records;
  ASSERT_TRUE(records.midi.openMidiMapper());
  MainWindow frame(records.context);
  frame.show();
  frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  records.output.clear();

  QTest::keyClick(&frame, Qt::Key_Escape);
  // Control change 123 (all notes off) on channel 1.
  EXPECT_EQ(records.output.messages(), std::vector<std::uint32_t>{0x007BB0});
  EXPECT_TRUE(frame.isVisible());
}

}  // namespace
}  // namespace fretlets

#include <QtTest/QTest>

#include "app/app_context.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "frame_fixture.h"
#include "midi/manual_timer_service.h"
#include "midi/midi_device.h"
#include "midi/recording_output.h"
#include "music/designer_chord.h"
#include "music/instrument.h"

namespace fretlets {
namespace {

TEST(FrameKeys, EscapeInTheFrameSilencesAllNotes) {
  testApplication();
  AppState state;
  InstrumentState instrument;
  DesignerChord chord;
  ManualTimerService timers;
  RecordingOutput output(timers);
  MidiDevice midi(instrument, chord, timers, {output});
  AppContext context{state, instrument, chord, midi, timers};
  ASSERT_TRUE(midi.openMidiMapper());
  MainWindow frame(context);
  frame.show();
  frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  output.clear();

  QTest::keyClick(&frame, Qt::Key_Escape);
  // Control change 123 (all notes off) on channel 1.
  EXPECT_EQ(output.messages(), std::vector<std::uint32_t>{0x007BB0});
  EXPECT_TRUE(frame.isVisible());
}

}  // namespace
}  // namespace fretlets

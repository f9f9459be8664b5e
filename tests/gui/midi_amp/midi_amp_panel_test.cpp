#include "gui/midi_amp/midi_amp_panel.h"

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "gui/common/show_message.h"
#include "gui/designer/designer_panel.h"
#include "gui/instrument/instrument_panel.h"
#include "gui_application.h"
#include "panel_records.h"

namespace fretlets {
namespace {

using std::chrono::milliseconds;

// A MIDI Amp on fresh records, its device sending to a recording output and
// running on a clock the test moves; message boxes are recorded, not shown.
class MidiAmpTest : public ::testing::Test, public PanelRecords<> {
 protected:
  MidiAmpTest() {
    testApplication();
    setMessageHandler([this](const QString& text, MessageFlags flags) {
      messages.push_back(text.toStdString() +
                         (flags.icon == MessageIcon::Warning ? " (warning)" : ""));
      return MessageAnswer::Ok;
    });
  }
  ~MidiAmpTest() override { setMessageHandler({}); }

  MidiAmpPanel& openPanel() {
    panel = std::make_unique<MidiAmpPanel>(context, nullptr);
    panel->show();
    return *panel;
  }
  QComboBox& standardBox() { return *control<QComboBox>(panel.get(), "MIDI standard"); }
  QComboBox& patchBox() { return *control<QComboBox>(panel.get(), "MIDI patch"); }
  QSpinBox& volumeBox() { return *control<QSpinBox>(panel.get(), "Output volume"); }
  QPushButton& onButton() { return *control<QPushButton>(panel.get(), "MIDI Amp On/Off"); }

  std::vector<std::string> messages;
  std::unique_ptr<MidiAmpPanel> panel;
};

TEST_F(MidiAmpTest, ChoosingAStandardFallsBackToItsNylonGuitarAndAPatchSendsItsBank) {
  openPanel();
  EXPECT_EQ(standardBox().currentText(), "GM");
  EXPECT_EQ(patchBox().currentIndex(), 24);
  midi.openMidiMapper();

  struct Step {
    QComboBox* box;
    Qt::Key key;
    int row;
    const char* patch;
    const char* messages;
  };
  for (const Step& step : {
           Step{&standardBox(), Qt::Key_Down, 95, "Nylon Guitar", "B0 20 00, C0 18 00"},
           Step{&patchBox(), Qt::Key_Down, 96, "Nylon Guitar 2", "B0 20 10, C0 18 00"},
           Step{&standardBox(), Qt::Key_Up, 24, "Acoustic guitar (nylon)", "B0 20 00, C0 18 00"},
       }) {
    SCOPED_TRACE(step.patch);
    QTest::keyClick(step.box, step.key);
    EXPECT_EQ(patchBox().currentIndex(), step.row);
    EXPECT_EQ(patchBox().currentText().toStdString(), step.patch);
    EXPECT_EQ(sent(), step.messages);
    EXPECT_EQ(midi.patchIndex, step.row);
  }
  EXPECT_EQ(midi.midiStandard, MidiStandard::GM);
  EXPECT_EQ(patchBox().count(), 128);
}

// The Designer's Play and Play notes and the Instrument panel's Play follow
// the device, which the button opens and closes whatever it shows.
TEST_F(MidiAmpTest, OnAndOffReachThePlayButtonsOfThePanelsThatListenWhateverTheButtonShows) {
  openPanel();
  DesignerPanel designer(context, nullptr);
  InstrumentPanel instrument(context, nullptr);
  const auto playable = [&designer, &instrument] {
    std::vector<bool> enabled;
    for (QPushButton* button : designer.findChildren<QPushButton*>()) {
      if (button->text() == "Play" || button->text() == "Play notes") {
        enabled.push_back(button->isEnabled());
      }
    }
    enabled.push_back(instrument.playButton()->isEnabled());
    return enabled;
  };
  EXPECT_EQ(playable(), std::vector<bool>(3, false));
  sent();
  QTest::mouseClick(&onButton(), Qt::LeftButton);
  EXPECT_TRUE(midi.isOpen());
  EXPECT_TRUE(onButton().isChecked());
  EXPECT_EQ(sent(), "B0 20 00, C0 18 00");
  EXPECT_EQ(playable(), std::vector<bool>(3, true));

  QTest::keyClick(panel.get(), Qt::Key_Escape);
  EXPECT_EQ(sent(), "B0 7B 00");
  EXPECT_TRUE(panel->isVisible());

  onButton().setChecked(false);  // out of step with the device: the device decides
  QTest::mouseClick(&onButton(), Qt::LeftButton);
  EXPECT_FALSE(midi.isOpen());
  EXPECT_FALSE(onButton().isChecked());
  EXPECT_EQ(playable(), std::vector<bool>(3, false));
  EXPECT_TRUE(messages.empty());
}

TEST_F(MidiAmpTest, WithoutAnOutputTheSwitchOnAtStartWarnsOnceAndLeavesTheButtonUp) {
  output.setAvailable(false);
  openPanel().switchOnAtStart();
  EXPECT_EQ(messages, std::vector<std::string>{"Can't open Midi Mapper (warning)"});
  EXPECT_FALSE(onButton().isChecked());
  EXPECT_FALSE(midi.isOpen());

  // Switched on by hand within the two seconds: the switch-on leaves it on.
  output.setAvailable(true);
  messages.clear();
  QTest::mouseClick(&onButton(), Qt::LeftButton);
  sent();
  panel->switchOnAtStart();
  EXPECT_TRUE(midi.isOpen());
  EXPECT_TRUE(onButton().isChecked());
  EXPECT_EQ(sent(), "");
  EXPECT_TRUE(messages.empty());
}

TEST_F(MidiAmpTest, OnWaitsForASynthesizerStillLoadingWithoutBlockingAndCanBeTakenBack) {
  output.setReady(false);
  openPanel();
  QTest::mouseClick(&onButton(), Qt::LeftButton);
  EXPECT_EQ(output.prepareCount(), 1);
  EXPECT_TRUE(onButton().isChecked());
  EXPECT_FALSE(midi.isOpen());
  timers.advance(milliseconds(500));
  EXPECT_FALSE(midi.isOpen());

  output.setReady(true);
  timers.advance(milliseconds(100));
  EXPECT_TRUE(midi.isOpen());
  EXPECT_TRUE(onButton().isChecked());
  EXPECT_TRUE(messages.empty());

  // Pressed again while it waits: it gives up and stays off.
  QTest::mouseClick(&onButton(), Qt::LeftButton);
  output.setReady(false);
  QTest::mouseClick(&onButton(), Qt::LeftButton);
  QTest::mouseClick(&onButton(), Qt::LeftButton);
  output.setReady(true);
  timers.advance(milliseconds(100));
  EXPECT_FALSE(midi.isOpen());
  EXPECT_FALSE(onButton().isChecked());
  EXPECT_EQ(timers.pendingCount(), 0U);
}

TEST_F(MidiAmpTest, VolumeTakesEffectWhenTheArrowIsLetGoAndTheBoxNeverKeepsTheFocus) {
  midi.velocity = 100;
  openPanel();
  panel->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(panel.get()));
  EXPECT_EQ(volumeBox().text(), "100");

  // The up arrow sits at the top right corner of the box.
  const QPoint up(volumeBox().width() - 4, 4);
  QTest::mousePress(&volumeBox(), Qt::LeftButton, {}, up);
  EXPECT_EQ(volumeBox().value(), 101);
  EXPECT_EQ(midi.velocity, 100);
  QTest::mouseRelease(&volumeBox(), Qt::LeftButton, {}, up);
  EXPECT_EQ(midi.velocity, 101);
  EXPECT_EQ(QApplication::focusWidget(), &onButton());
}

TEST_F(MidiAmpTest, AScorePatchIsChosenAndRememberedWhetherTheSoundOrThePanelIsThereOrNot) {
  openPanel();
  notifier.requestPatch(MidiStandard::XG, 100);
  EXPECT_EQ(standardBox().currentText(), "XG");
  EXPECT_EQ(patchBox().currentText(), "Steel Guitar");
  EXPECT_EQ(midi.patchIndex, 100);
  QTest::mouseClick(&onButton(), Qt::LeftButton);
  EXPECT_EQ(sent(), "B0 20 00, C0 19 00");  // switching on sends the remembered patch

  panel.reset();
  notifier.requestPatch(MidiStandard::XG, 101);
  EXPECT_EQ(sent(), "B0 20 10, C0 19 00");
  EXPECT_EQ(midi.patchIndex, 101);
  EXPECT_EQ(midi.bank, 16);
  openPanel();  // a panel opened again shows the device as it is
  EXPECT_EQ(patchBox().currentText(), "Steel Guitar 2");
  EXPECT_TRUE(onButton().isChecked());
}

}  // namespace
}  // namespace fretlets

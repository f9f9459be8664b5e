#pragma once

#include "gui/common/panel.h"
#include "music/patch_table.h"
#include "sound/timer_service.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace fretlets {

// The MIDI Amp: the MIDI standard and patch, the output volume, and the
// button that switches the MIDI output on and off. It is the only window that
// opens or closes the output; everything it shows lives in the MIDI device,
// so a panel opened again shows the device as it is.
class MidiAmpPanel : public Panel {
  Q_OBJECT

 public:
  MidiAmpPanel(AppContext& context, QWidget* frame);
  ~MidiAmpPanel() override;

  // Two seconds after start the output goes on by itself, unless the user
  // switched it on already.
  void switchOnAtStart();

 protected:
  // Escape: every note stops.
  void silence() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A score's patch reached the device: the lists show it.
  void showPatch(MidiStandard standard, int row);
  MidiStandard chosenStandard() const;
  // Fills the patch list for the chosen standard and selects its nylon
  // guitar row. Lists are filled without reaching the choice handlers.
  void refillPatches();
  // Sends the chosen patch to the device and remembers it there.
  void apply();
  void applyVolume();

  void toggleMidi();
  void switchOn();
  // The synthesizer may still be loading its SoundFont: the button shows the
  // choice at once and the output opens once it is ready; the GUI never
  // waits for it.
  void waitForOutputs();
  void finishSwitchingOn();
  void switchOff();

  QComboBox* standardBox_;
  QComboBox* patchBox_;
  QLabel* volumeLabel_;
  QSpinBox* volumeBox_;
  QPushButton* onButton_;
  bool volumeHeld_ = false;        // a mouse button is down on the volume arrows
  TimerHandle waitingForOutputs_;  // armed while On waits for the synthesizer
};

}  // namespace fretlets

#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace fretlets {

class MidiDevice;
class Score;

// The score's property sheet, modal: "Summary" edits the score-wide texts,
// the default length of new chords, the lock, and takes the patch and tempo
// now in use when asked; "Chord" edits the name, length and release of the
// chord under the cursor. OK applies the pages the user saw (the Chord page
// always, while the score has entries) and then says changed(); Cancel
// applies nothing.
class ScorePropertiesDialog : public QDialog {
  Q_OBJECT

 public:
  // The score and the device must outlive the dialog. The device gives the
  // patch chosen in the MIDI Amp and the tempo of the playback controls.
  ScorePropertiesDialog(Score& score, const MidiDevice& midi, QWidget* parent);

  void accept() override;

  QTabWidget* pages() const { return tabs_; }

 signals:
  // OK applied at least one page: the score has changed.
  void changed();

 private:
  QWidget* createSummaryPage();
  QWidget* createChordPage();
  void fillSummary();
  void fillChord();
  void applySummary();
  void applyChord();
  // Triplet parts exclude each other and the straight fractions.
  void applyLengthRules(QCheckBox* clicked);

  Score& score_;
  const MidiDevice& midi_;
  QTabWidget* tabs_ = nullptr;
  bool summaryShown_ = false;

  QLineEdit* title_ = nullptr;
  QLineEdit* composer_ = nullptr;
  QLineEdit* comment_ = nullptr;
  QCheckBox* defaultWhole_ = nullptr;
  QCheckBox* defaultHalf_ = nullptr;
  QCheckBox* defaultQuarter_ = nullptr;
  QCheckBox* patch_ = nullptr;
  QCheckBox* tempo_ = nullptr;
  QCheckBox* lock_ = nullptr;

  QLineEdit* name_ = nullptr;
  QCheckBox* whole_ = nullptr;
  QCheckBox* half_ = nullptr;
  QCheckBox* quarter_ = nullptr;
  QCheckBox* eighth_ = nullptr;
  QCheckBox* sixteenth_ = nullptr;
  QCheckBox* quarterTriplet_ = nullptr;
  QCheckBox* eighthTriplet_ = nullptr;
  QRadioButton* release_ = nullptr;
  QRadioButton* noRelease_ = nullptr;
};

}  // namespace fretlets

#pragma once

#include <QString>
#include <array>

#include "gui/common/panel.h"
#include "models/designer_model.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace fretlets {

class FretboardView;
class TopFretSpinBox;

// The Chord Designer: the drawn fretboard of the current instrument, each
// string's interval and note, the chord's name and the options. The panel is
// thin over DesignerModel, which owns the behaviour.
class DesignerPanel : public Panel {
  Q_OBJECT

 public:
  DesignerPanel(AppContext& context, QWidget* frame);

  // The instrument (and tuning) may have changed: rebuild for the string
  // count and clear the chord.
  void instrumentChanged();
  // The tuning changed: redraw and name the chord again.
  void tuningChanged();
  // The MIDI output went on or off.
  void midiOpened();
  void midiClosed();
  // A document wrote a fingering into the chord: take its options, redraw
  // and name it.
  void chordLoaded();
  // Mutes every string, as the "Clear" button does (a document whose last
  // fingering went asks for this).
  void clear();

  // The name as the boxes show it, typed over by the user or not: documents
  // file and name chords by these texts.
  QString rootText() const;
  QString typeText() const;
  QString bassText() const;

  FretboardView* fretboard() const { return fretboard_; }
  const DesignerModel& model() const { return model_; }

 signals:
  // The chord was named again; the document panels re-check their buttons.
  void chordChanged();
  // Escape silenced the Designer; a score that plays stops too.
  void silenced();

 protected:
  void silence() override;
  // The Designer stays for the life of the program: only the program's
  // closing removes it.
  void closeRequested() override;

 private:
  void createControls();
  // Root button labels, the top fret, the speed and the MIDI buttons, from
  // the instrument, the chord and the device.
  void initialiseControls();
  void syncToggles();
  void redraw();
  void refresh();
  void applyView(const DesignerView& view);
  void fretPressed(int row, int string);
  void applyTopFret();

  DesignerModel model_;
  FretboardView* fretboard_ = nullptr;
  QGroupBox* stringsGroup_ = nullptr;
  std::array<QPushButton*, kStringSlots> rootButtons_{};
  std::array<QLineEdit*, kStringSlots> intervalBoxes_{};
  std::array<QLineEdit*, kStringSlots> noteBoxes_{};
  QLineEdit* rootBox_ = nullptr;
  QLineEdit* typeBox_ = nullptr;
  QLineEdit* bassBox_ = nullptr;
  std::array<QCheckBox*, 4> impliedBoxes_{};
  QPushButton* enharmonic_ = nullptr;
  QPushButton* bar_ = nullptr;
  QPushButton* hold_ = nullptr;
  QPushButton* playNotes_ = nullptr;
  QPushButton* play_ = nullptr;
  QPushButton* clear_ = nullptr;
  TopFretSpinBox* topFret_ = nullptr;
  QSlider* speed_ = nullptr;
};

}  // namespace fretlets

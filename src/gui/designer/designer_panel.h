#pragma once

#include <QString>
#include <array>

#include "gui/common/notifier.h"
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
// thin over DesignerModel, which owns the behaviour. It follows the records
// through the notifier and tells it every name it gives the chord.
class DesignerPanel : public Panel {
  Q_OBJECT

 public:
  DesignerPanel(AppContext& context, QWidget* frame);

  FretboardView* fretboard() const { return fretboard_; }

 protected:
  void silence() override;
  void zoomChanged() override;
  // The Designer stays for the life of the program: only the program's
  // closing removes it.
  void closeRequested() override;

 private:
  // The instrument (and tuning) may have changed: rebuild for the string
  // count and clear the chord.
  void instrumentChanged();
  void placeStringColumns();
  // The tuning changed: redraw and name the chord again.
  void tuningChanged();
  void midiOpenChanged(bool open);
  // A document wrote a fingering into the chord: take its options, redraw
  // and name it.
  void chordLoaded();
  // Mutes every string, as the "Clear" button does (a document whose last
  // fingering went asks for this).
  void clear();
  // The name as the boxes show it, typed over by the user or not.
  ChordNameTexts nameTexts() const;

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

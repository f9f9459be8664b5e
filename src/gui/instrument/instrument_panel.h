#pragma once

#include <array>

#include "gui/common/panel.h"
#include "music/note.h"

class QComboBox;
class QPushButton;

namespace fretlets {

// The Instrument panel: the instrument and the open-string note of each of
// its strings, and a button that plays the open strings. While a document
// is open the instrument and tuning are the document's, and the lists only
// show them. Everything it shows is read from the records.
class InstrumentPanel : public Panel {
  Q_OBJECT

 public:
  InstrumentPanel(AppContext& context, QWidget* frame);

  QComboBox* instrumentList() const { return instruments_; }
  // String slot 0 (the lowest string) is the leftmost list.
  QComboBox* tuningList(int slot) const { return tunings_[slot]; }
  QPushButton* playButton() const { return play_; }

 protected:
  void silence() override;

 private:
  void showInstrument();
  void fillTuningLists(const Tuning& tuning);
  bool locked() const;
  void updateEnabled();
  void instrumentChosen(int index);
  void noteChosen(int slot, int note);

  QComboBox* instruments_ = nullptr;
  std::array<QComboBox*, kStringSlots> tunings_{};
  QPushButton* play_ = nullptr;
};

}  // namespace fretlets

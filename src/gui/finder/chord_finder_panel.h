#pragma once

#include <QElapsedTimer>
#include <vector>

#include "gui/common/panel.h"
#include "music/chord_candidates.h"
#include "music/voicing_finder.h"

class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;

namespace fretlets {

class VoicingDiagrams;

// The chord tools beside the Designer. Above, every name the Designer's
// chord could have, best reading first; choosing one gives the Designer
// that root. Below, the fingerings of a chord typed by name on the current
// instrument, easiest first, as small diagrams; choosing one loads it into
// the Designer, and "Add to Chord Book" files it through the open book's
// own Add, one at a time or all that are shown.
class ChordFinderPanel : public Panel {
  Q_OBJECT

 public:
  ChordFinderPanel(AppContext& context, QWidget* frame);

  QListWidget* names() const { return names_; }
  QListView* voicings() const { return voicings_; }
  QLineEdit* chordBox() const { return chordBox_; }
  const std::vector<ChordCandidate>& candidates() const { return candidates_; }
  const std::vector<Voicing>& found() const { return found_; }

 private:
  void zoomChanged() override;
  void createControls();
  void refreshNames();
  void refreshVoicings();
  void chooseName(int row);
  void chooseVoicing(int row);
  DesignerChord loadedChord(const Voicing& voicing, bool enharmonic) const;
  void loadVoicing(const Voicing& voicing, bool enharmonic);
  void addToBook();
  void addAllToBook();
  void updateAddButton();

  QListWidget* names_ = nullptr;
  QLineEdit* chordBox_ = nullptr;
  QSpinBox* span_ = nullptr;
  QSpinBox* lowest_ = nullptr;
  QSpinBox* highest_ = nullptr;
  QListView* voicings_ = nullptr;
  VoicingDiagrams* diagrams_ = nullptr;
  QLabel* count_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* addAll_ = nullptr;
  std::vector<ChordCandidate> candidates_;
  std::vector<Voicing> found_;
  bool enharmonic_ = false;
  int lastChosen_ = -1;
  QElapsedTimer sinceChosen_;
};

}  // namespace fretlets

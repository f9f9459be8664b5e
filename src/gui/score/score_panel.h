#pragma once

#include <QString>
#include <string>

#include "documents/score.h"
#include "gui/common/document_panel.h"
#include "gui/common/panel.h"
#include "models/score_playback.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace fretlets {

struct ScoreDocument;

// The Score: the open score as a list of chord names with a cursor. In edit
// mode it builds the score from the Designer's chord (insert before or after
// the cursor, update, delete) and edits its properties; in play mode it plays
// the score chord after chord, each shown in the Designer while it sounds.
// The panel is a view of the session's open score.
class ScorePanel : public Panel, public DocumentPanel {
  Q_OBJECT

 public:
  // Tells the Designer of the score's instrument, asks for the score's
  // patch, sets the tempo and shows the first chord.
  ScorePanel(AppContext& context, ScoreDocument& document, QWidget* frame);

  void documentClosing() override;
  void showTitle() override;

  const ScorePlayback& playback() const { return playback_; }

 protected:
  void silence() override;
  void closeRequested() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createControls();
  void showMode();
  // "U" and "Del" as the score and the Designer's chord allow; every chord the
  // Designer names comes here.
  void updateButtons();
  // The list of names with the cursor's entry selected, and its index.
  void refresh();
  void showCursor();
  // The cursor's chord into the Designer, heard while MIDI is on.
  void showCurrentChord();
  void clearDisplay();
  void applyTempo();

  // The name of a chord taken from the Designer, as the score stores it.
  std::string pendingName() const;
  enum class Insert { Before, After };
  void insertChord(Insert where);
  void updateChord();
  void deleteChord();
  void editProperties();
  void chordChosen(int position);
  // Runs a cursor move; the display follows only when the cursor moved.
  template <typename Move>
  void moveCursor(Move move);

  ScoreDocument& document_;
  Score& score_;
  ScorePlayback playback_;
  bool tempoHeld_ = false;  // a mouse button is down on the tempo arrows

  QComboBox* chordList_ = nullptr;
  QLineEdit* index_ = nullptr;
  QPushButton* first_ = nullptr;
  QPushButton* previous_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* last_ = nullptr;
  QPushButton* insertBefore_ = nullptr;
  QPushButton* update_ = nullptr;
  QPushButton* insertAfter_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* properties_ = nullptr;
  QPushButton* run_ = nullptr;
  QPushButton* repeat_ = nullptr;
  QPushButton* play_ = nullptr;
  QLabel* bpm_ = nullptr;
  QSpinBox* tempo_ = nullptr;
  QPushButton* edit_ = nullptr;
};

// The maker the frame creates the Score with, on the session's score.
Panel* makeScorePanel(AppContext& context, QWidget* frame);

}  // namespace fretlets

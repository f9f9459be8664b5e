#pragma once

#include <QString>
#include <filesystem>
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

// The Score: the open score as a list of chord names with a cursor. In edit
// mode it builds the score from the Designer's chord (insert before or after
// the cursor, update, delete) and edits its properties; in play mode it plays
// the score chord after chord, each shown in the Designer while it sounds.
// The panel is the open score: it exists exactly while a score is open.
class ScorePanel : public Panel, public DocumentPanel {
  Q_OBJECT

 public:
  ScorePanel(AppContext& context, QWidget* frame);
  ~ScorePanel() override;

  // Takes over the requested file of the score slot and reads it, first
  // creating an empty score there when nothing is at the path; then sends the
  // score's patch to the MIDI Amp and sets the tempo. Returns false when the
  // file could not be read (the message was shown); the panel is then to go
  // without having changed anything.
  bool open();

  bool closeAskingToSave() override;
  bool save(const std::filesystem::path& target) override;

  // Escape in the Designer: a run stops, the panel stays in play mode.
  void stopPlayback();

  const Score& score() const { return score_; }
  bool changed() const { return changed_; }
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
  void showTitle(const QString& title);
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

  Score score_;
  ScorePlayback playback_;
  bool changed_ = false;
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

// The maker the frame creates the Score with: the panel, recorded in the
// application state, on its score; nothing when the score could not be read.
Panel* makeScorePanel(AppContext& context, QWidget* frame);

}  // namespace fretlets

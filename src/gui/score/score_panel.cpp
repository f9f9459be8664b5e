#include "gui/score/score_panel.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>
#include <initializer_list>
#include <string>

#include "gui/common/document_kind.h"
#include "gui/common/notifier.h"
#include "gui/common/screen_text.h"
#include "gui/score/score_properties_dialog.h"
#include "models/document_session.h"
#include "music/chord_name.h"
#include "music/instrument.h"
#include "sound/midi_device.h"

namespace fretlets {

ScorePanel::ScorePanel(AppContext& context, ScoreDocument& document, QWidget* frame)
    : Panel(context, documentKindInfo(DocumentKind::Score).name, QSize(264, 23),
            QStringLiteral("axe.bmp"), frame),
      document_(document),
      score_(document.score),
      playback_(score_, context.chord, context.instrument, context.midi, context.timers) {
  createControls();
  playback_.setChordShown([this] {
    context_.notifier.loadChord();
    showCursor();
  });
  playback_.setStateChanged([this] { showMode(); });
  connect(&context.notifier, &Notifier::chordChanged, this, &ScorePanel::updateButtons);
  connect(&context.notifier, &Notifier::playbackStopRequested, this,
          [this] { playback_.stopPlayback(); });
  showMode();
  if (!document_.file.path.empty()) {
    // The score brought its instrument and tuning.
    context.notifier.documentInstrumentArrived();
  }
  // The score's patch, shown in the MIDI Amp and in use before its first
  // chord is heard.
  context.notifier.requestPatch(static_cast<MidiStandard>(score_.patch.midiStandard),
                                score_.patch.patchIndex);
  tempo_->setValue(std::clamp(static_cast<int>(score_.tempo), kMinTempo, kMaxTempo));
  applyTempo();
  if (!score_.empty()) {
    refresh();
    showCurrentChord();
  }
  updateButtons();
  showTitle();
}

void ScorePanel::createControls() {
  const auto toggle = [this](const QString& text, QRect rect, const QString& tip) {
    QPushButton* made = makeButton(text, rect, tip);
    made->setCheckable(true);
    return made;
  };

  chordList_ = described(new QComboBox(this), QStringLiteral("The chord name"));
  chordList_->setGeometry(dialogRect(6, 6, 70, 12));
  chordList_->setMaxVisibleItems(8);
  connect(chordList_, &QComboBox::activated, this, &ScorePanel::chordChosen);

  index_ = described(new QLineEdit(this), QStringLiteral("Chord index"));
  index_->setGeometry(dialogRect(78, 6, 22, 12));
  index_->setReadOnly(true);
  index_->setAlignment(Qt::AlignCenter);
  index_->setTextMargins(0, 0, 0, 0);
  // The box only shows; a click on it goes on to the list, and Tab passes
  // it by.
  index_->setFocusPolicy(Qt::NoFocus);
  index_->installEventFilter(this);

  first_ = makeButton(QStringLiteral("|<"), dialogRect(102, 6, 12, 12),
                      QStringLiteral("Beginning of score"));
  previous_ =
      makeButton(QStringLiteral("<"), dialogRect(114, 6, 12, 12), QStringLiteral("Previous chord"));
  next_ = makeButton(QStringLiteral(">"), dialogRect(126, 6, 12, 12), QStringLiteral("Next chord"));
  last_ =
      makeButton(QStringLiteral(">|"), dialogRect(138, 6, 12, 12), QStringLiteral("End of score"));
  insertBefore_ = makeButton(QStringLiteral("< +"), dialogRect(152, 6, 15, 12),
                             QStringLiteral("Insert before"));
  update_ =
      makeButton(QStringLiteral("U"), dialogRect(167, 6, 15, 12), QStringLiteral("Update fretlet"));
  insertAfter_ =
      makeButton(QStringLiteral("+ >"), dialogRect(182, 6, 15, 12), QStringLiteral("Insert after"));
  delete_ =
      makeButton(QStringLiteral("Del"), dialogRect(199, 6, 18, 12), QStringLiteral("Delete chord"));
  properties_ = makeButton(QStringLiteral("P"), dialogRect(219, 6, 12, 12),
                           QStringLiteral("Edit Score Properties"));
  run_ = makeButton(QStringLiteral("Run"), dialogRect(236, 6, 22, 12),
                    QStringLiteral("Run the score"));

  repeat_ = toggle(QStringLiteral("R"), dialogRect(6, 6, 15, 12), QStringLiteral("Repeat"));
  repeat_->setChecked(true);
  play_ =
      toggle(QStringLiteral("Play"), dialogRect(152, 6, 22, 12), QStringLiteral("Play/Stop(Esc)"));
  bpm_ = new QLabel(QStringLiteral("bpm"), this);
  bpm_->setAccessibleName(QStringLiteral("bpm"));
  bpm_->setGeometry(dialogRect(187, 7, 15, 10));
  bpm_->setAlignment(Qt::AlignRight | Qt::AlignTop);
  // The number and its arrows form one control here.
  tempo_ = described(new QSpinBox(this), QStringLiteral("Current tempo"));
  tempo_->setGeometry(dialogRect(204, 6, 26, 10));
  tempo_->setRange(kMinTempo, kMaxTempo);
  tempo_->setAlignment(Qt::AlignCenter);
  tempo_->setFocusPolicy(Qt::ClickFocus);
  tempo_->setKeyboardTracking(false);
  if (auto* text = tempo_->findChild<QLineEdit*>()) {
    text->setReadOnly(true);
  }
  tempo_->installEventFilter(this);
  bpm_->setBuddy(tempo_);
  edit_ = makeButton(QStringLiteral("Edit"), dialogRect(236, 6, 22, 12),
                     QStringLiteral("Edit the score"));

  connect(first_, &QPushButton::clicked, this, [this] {
    moveCursor([this] {
      score_.goFirst();
      return !score_.empty();
    });
  });
  connect(previous_, &QPushButton::clicked, this,
          [this] { moveCursor([this] { return score_.goPrevious(); }); });
  connect(next_, &QPushButton::clicked, this,
          [this] { moveCursor([this] { return score_.goNext(); }); });
  connect(last_, &QPushButton::clicked, this, [this] {
    moveCursor([this] {
      score_.goLast();
      return !score_.empty();
    });
  });
  connect(insertBefore_, &QPushButton::clicked, this, [this] { insertChord(Insert::Before); });
  connect(insertAfter_, &QPushButton::clicked, this, [this] { insertChord(Insert::After); });
  connect(update_, &QPushButton::clicked, this, &ScorePanel::updateChord);
  connect(delete_, &QPushButton::clicked, this, &ScorePanel::deleteChord);
  connect(properties_, &QPushButton::clicked, this, &ScorePanel::editProperties);
  connect(run_, &QPushButton::clicked, this, [this] { playback_.run(); });
  connect(repeat_, &QPushButton::toggled, this,
          [this](bool checked) { playback_.setRepeat(checked); });
  // Toggled, not clicked: a keyboard or screen reader's toggle plays too.
  connect(play_, &QPushButton::toggled, this,
          [this](bool checked) { playback_.setPlaying(checked); });
  connect(edit_, &QPushButton::clicked, this, [this] {
    playback_.edit();
    refresh();
    showCurrentChord();
  });
  connect(tempo_, &QSpinBox::valueChanged, this, [this] {
    if (!tempoHeld_) {
      applyTempo();  // the wheel, the keys and typing: every step counts
    }
  });
}

void ScorePanel::showTitle() {
  setWindowTitle(documentKindInfo(DocumentKind::Score).name + QStringLiteral(" - ") +
                 QString::fromStdString(document_.file.title()));
}

void ScorePanel::documentClosing() {
  playback_.stopPlayback();
}

void ScorePanel::closeRequested() {
  context_.session.close(DocumentKind::Score);
}

void ScorePanel::silence() {
  playback_.silence();
}

bool ScorePanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == index_ && event->type() == QEvent::MouseButtonPress) {
    activateWindow();
    chordList_->setFocus(Qt::MouseFocusReason);
    return true;
  }
  if (watched == tempo_) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        // Only the left button steps the arrows; a right click opens a menu
        // that takes the release.
        tempoHeld_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        break;
      case QEvent::MouseButtonRelease:
      case QEvent::ContextMenu:
      case QEvent::FocusOut:
      case QEvent::Hide:
        if (tempoHeld_) {
          tempoHeld_ = false;
          applyTempo();  // a held arrow sets the tempo when it is let go
        }
        break;
      default:
        break;
    }
  }
  return Panel::eventFilter(watched, event);
}

void ScorePanel::showMode() {
  const bool play = playback_.mode() == PlaybackMode::Play;
  for (QWidget* control : std::initializer_list<QWidget*>{
           chordList_, index_, insertBefore_, update_, insertAfter_, delete_, properties_, run_}) {
    control->setVisible(!play);
  }
  for (QWidget* control : std::initializer_list<QWidget*>{repeat_, play_, bpm_, tempo_, edit_}) {
    control->setVisible(play);
  }
  const QSignalBlocker blocker(play_);
  play_->setChecked(playback_.playing());
}

void ScorePanel::updateButtons() {
  if (playback_.playing()) {
    return;
  }
  update_->setEnabled(!score_.empty());
  delete_->setEnabled(score_.currentMatchesDesigner(context_.chord, context_.instrument.strings()));
}

void ScorePanel::refresh() {
  if (score_.empty()) {
    return;
  }
  chordList_->clear();
  QStringList names;
  for (const ScoreEntry& entry : score_.entries()) {
    names.append(screenText(entry.name.view()));
  }
  chordList_->addItems(names);
  showCursor();
}

void ScorePanel::showCursor() {
  if (score_.empty()) {
    return;
  }
  chordList_->setCurrentIndex(score_.currentIndex() - 1);
  index_->setText(QString::number(score_.currentIndex()));
}

void ScorePanel::showCurrentChord() {
  playback_.showCurrent();
  updateButtons();
}

void ScorePanel::clearDisplay() {
  chordList_->clear();
  index_->clear();
}

void ScorePanel::applyTempo() {
  playback_.setTempo(tempo_->value());
}

std::string ScorePanel::pendingName() const {
  const ChordNameTexts& name = context_.notifier.chordName();
  return composeChordName(documentText(name.root, kEntryNameMax),
                          documentText(name.type, kEntryNameMax),
                          documentText(name.bass, kEntryNameMax));
}

void ScorePanel::insertChord(Insert where) {
  const int strings = context_.instrument.strings();
  if (where == Insert::Before) {
    score_.insertBeforeCurrent(pendingName(), context_.chord, strings);
  } else {
    score_.insertAfterCurrent(pendingName(), context_.chord, strings);
  }
  document_.changed = true;
  refresh();
  showCurrentChord();
}

void ScorePanel::updateChord() {
  if (score_.empty()) {
    return;
  }
  score_.updateCurrent(pendingName(), context_.chord, context_.instrument.strings());
  document_.changed = true;
  refresh();
  showCurrentChord();
}

void ScorePanel::deleteChord() {
  if (score_.empty()) {
    return;
  }
  document_.changed = true;
  if (score_.deleteCurrent() == DeleteOutcome::DocumentEmpty) {
    clearDisplay();
    context_.notifier.clearChord();
    updateButtons();
    return;
  }
  refresh();
  showCurrentChord();
}

void ScorePanel::editProperties() {
  // On the heap: should the panel go while the sheet is open, the sheet goes
  // with it as its child, and nothing here touches either afterwards.
  const QPointer<ScorePropertiesDialog> sheet =
      new ScorePropertiesDialog(score_, context_.midi, this);
  connect(sheet, &ScorePropertiesDialog::changed, this, [this] {
    document_.changed = true;
    refresh();
  });
  sheet->exec();
  delete sheet.data();
}

void ScorePanel::chordChosen(int position) {
  if (score_.empty() || position < 0) {
    return;
  }
  score_.goToIndex(position);
  showCursor();
  showCurrentChord();
}

template <typename Move>
void ScorePanel::moveCursor(Move move) {
  if (move()) {
    showCursor();
    showCurrentChord();
  }
}

Panel* makeScorePanel(AppContext& context, QWidget* frame) {
  return new ScorePanel(context, *context.session.score(), frame);
}

}  // namespace fretlets

#include "gui/score/score_panel.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <string>

#include "documents/score_file.h"
#include "gui/instrument/instrument_panel.h"
#include "gui/score/score_properties_dialog.h"
#include "music/chord_name.h"
#include "sound/midi_device.h"
#include "support/gui/document_panel_fixture.h"

namespace fretlets {
namespace {

namespace fs = std::filesystem;

const FretletRecord kC = fingering({-1, 3, 2, 0, 1, 0}, 1);
const FretletRecord kE = fingering({0, 2, 2, 1, 0, 0}, 0);
const FretletRecord kG = fingering({3, 2, 0, 0, 0, 3}, 0);

class ScorePanelTest : public DocumentPanelTest {
 public:
  ScorePanel* panel() {
    return static_cast<ScorePanel*>(frame_->documentPanel(DocumentKind::Score));
  }
  QPushButton* button(const char* name) { return control<QPushButton>(panel(), name); }
  QComboBox* chordList() { return control<QComboBox>(panel(), "The chord name"); }
  QLineEdit* indexBox() { return control<QLineEdit>(panel(), "Chord index"); }

  void click(const char* name) {
    QPushButton* pressed = button(name);
    ASSERT_TRUE(pressed->isEnabled()) << name;
    pressed->click();
    settle();
  }
  // The list as the user sees it, the cursor's entry in brackets.
  std::string listed() {
    std::string text;
    for (int i = 0; i < chordList()->count(); ++i) {
      const std::string name = chordList()->itemText(i).toStdString();
      text += i == chordList()->currentIndex() ? "[" + name + "] " : name + " ";
    }
    return text + "#" + indexBox()->text().toStdString();
  }
  bool designerShowsEntry(const ScoreEntry& entry) {
    const int strings = records_.context().instrument.strings();
    return std::equal(entry.frets.begin(), entry.frets.begin() + strings, chord().frets.begin()) &&
           chord().rootString == entry.rootString;
  }
};

TEST_F(ScorePanelTest, InsertUpdateAndDeleteWorkAtTheCursor) {
  run(CommandId::ScoreNew);
  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(panel()->windowTitle(), QStringLiteral("Score - "));
  EXPECT_FALSE(button("Update fretlet")->isEnabled());
  EXPECT_FALSE(button("Delete chord")->isEnabled());
  EXPECT_FALSE(session().score()->changed);

  designerShows(kC);
  const ChordNameTexts& name = notifier().chordName();
  const std::string c =
      composeChordName(name.root.toStdString(), name.type.toStdString(), name.bass.toStdString());
  click("Insert after");
  EXPECT_EQ(listed(), "[" + c + "] #1");
  EXPECT_TRUE(session().score()->changed);
  EXPECT_TRUE(button("Update fretlet")->isEnabled());
  EXPECT_TRUE(button("Delete chord")->isEnabled());

  // A name the user typed over the Designer's, in front of the cursor.
  designerShows(kG);
  designerBox("Chord root")->setText(QStringLiteral("D"));
  designerBox("Chord type")->setText(QStringLiteral("m7"));
  designerBox("Chord bass note")->setText(QStringLiteral("G"));
  click("Insert before");
  EXPECT_EQ(listed(), "[Dm7/G] " + c + " #1");
  click("End of score");
  EXPECT_EQ(listed(), "Dm7/G [" + c + "] #2");
  EXPECT_TRUE(designerShowsEntry(session().score()->score.current()));
  click("Beginning of score");
  designerShows(kE);
  designerBox("Chord root")->setText(QStringLiteral("E"));
  designerBox("Chord type")->setText(QString());
  designerBox("Chord bass note")->setText(QString());
  click("Insert after");
  EXPECT_EQ(listed(), "Dm7/G [E] " + c + " #2");
  click("Next chord");
  click("Next chord");  // already on the last
  click("Previous chord");
  EXPECT_EQ(listed(), "Dm7/G [E] " + c + " #2");

  // "Del" only while the Designer shows the cursor's fingering.
  EXPECT_TRUE(button("Delete chord")->isEnabled());
  designerShows(fingering({0, 2, 2, 1, 0, 3}, 0));
  EXPECT_FALSE(button("Delete chord")->isEnabled());
  designerBox("Chord root")->setText(QStringLiteral("X"));
  click("Update fretlet");
  EXPECT_EQ(listed(), "Dm7/G [X" + notifier().chordName().type.toStdString() + "] " + c + " #2");
  EXPECT_EQ(session().score()->score.current().frets[5], 3);
  EXPECT_TRUE(button("Delete chord")->isEnabled());

  // Choosing from the list moves there and shows it.
  chordList()->setCurrentIndex(2);
  emit chordList()->activated(2);
  settle();
  EXPECT_EQ(session().score()->score.currentIndex(), 3);
  EXPECT_TRUE(designerShowsEntry(session().score()->score.current()));

  // The last chord out clears the display and the Designer.
  for (int left = 3; left > 0; --left) {
    click("Delete chord");
  }
  EXPECT_TRUE(session().score()->score.empty());
  EXPECT_EQ(listed(), "#");
  EXPECT_FALSE(button("Update fretlet")->isEnabled());
  EXPECT_FALSE(button("Delete chord")->isEnabled());
  for (int s = 0; s < kStringSlots; ++s) {
    EXPECT_FALSE(chord().sounds(s)) << s;
  }
}

TEST_F(ScorePanelTest, AnOpenedScoreBringsItsChordsPatchTempoAndInstrument) {
  const fs::path path = copyOfSample("Waltz in G.score");
  InstrumentState instrument;
  const Score expected = readScore(path, instrument, false, {});
  // The device plays something else before.
  records_.context().midi.rememberPatch(MidiStandard::XG, 3, 0, 3);
  run(CommandId::ViewInstrument);

  open(DocumentKind::Score, path);
  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(frame_->instrumentPanel(), nullptr);  // the score holds the instrument
  EXPECT_EQ(panel()->windowTitle(), QStringLiteral("Score - Waltz in G.score"));
  EXPECT_EQ(chordList()->count(), static_cast<int>(expected.entries().size()));
  EXPECT_EQ(indexBox()->text(), QStringLiteral("1"));
  EXPECT_TRUE(designerShowsEntry(expected.entries().front()));
  const MidiDevice& midi = records_.context().midi;
  EXPECT_EQ(static_cast<int>(midi.midiStandard), expected.patch.midiStandard);
  EXPECT_EQ(midi.patchIndex, expected.patch.patchIndex);
  EXPECT_EQ(control<QSpinBox>(panel(), "Current tempo")->value(), expected.tempo);
  EXPECT_EQ(midi.beatMs, 60000U / static_cast<unsigned>(expected.tempo));
  EXPECT_TRUE(button("Repeat")->isChecked());
  EXPECT_TRUE(chordList()->isVisible());
  EXPECT_FALSE(button("Play/Stop(Esc)")->isVisible());
  EXPECT_FALSE(session().score()->changed);

  // An Instrument panel opened now keeps its lists locked until the score
  // goes.
  run(CommandId::ViewInstrument);
  ASSERT_NE(frame_->instrumentPanel(), nullptr);
  EXPECT_FALSE(frame_->instrumentPanel()->instrumentList()->isEnabled());
  run(CommandId::ScoreClose);
  EXPECT_EQ(panel(), nullptr);
  EXPECT_TRUE(frame_->instrumentPanel()->instrumentList()->isEnabled());
  EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(ScorePanelTest, PlayModeAndTheTwoEscapeKeys) {
  open(DocumentKind::Score, copyOfSample("Waltz in G.score"));
  ASSERT_NE(panel(), nullptr);
  const ScorePlayback& playback = panel()->playback();
  click("Run the score");
  EXPECT_TRUE(playback.playing());
  for (const char* name : {"Repeat", "Play/Stop(Esc)", "Current tempo", "Edit the score",
                           "Beginning of score", "End of score"}) {
    EXPECT_TRUE(control<QWidget>(panel(), name)->isVisible()) << name;
  }
  for (const char* name : {"The chord name", "Chord index", "Insert before", "Run the score",
                           "Edit Score Properties"}) {
    EXPECT_FALSE(control<QWidget>(panel(), name)->isVisible()) << name;
  }
  EXPECT_TRUE(button("Play/Stop(Esc)")->isChecked());

  // The tempo box sets the length of a beat; an arrow held with the left
  // button sets it when it is let go, any other button holds nothing.
  auto* tempo = control<QSpinBox>(panel(), "Current tempo");
  const std::uint32_t& beatMs = records_.context().midi.beatMs;
  QTest::mousePress(tempo, Qt::LeftButton);
  tempo->setValue(120);
  EXPECT_EQ(beatMs, 60000u / 132);
  QTest::mouseRelease(tempo, Qt::LeftButton);
  EXPECT_EQ(beatMs, 500u);
  QTest::mousePress(tempo, Qt::MiddleButton);
  tempo->setValue(150);
  EXPECT_EQ(beatMs, 400u);
  QTest::mouseRelease(tempo, Qt::MiddleButton);

  // Escape in the panel only silences; in the Designer it stops the run,
  // from whichever control has the keyboard.
  const auto escapeIn = [this](QWidget* control) {
    QTest::keyClick(control, Qt::Key_Escape);
    settle();
  };
  escapeIn(button("Play/Stop(Esc)"));
  EXPECT_TRUE(playback.playing());
  escapeIn(designerBox("Chord type"));
  EXPECT_FALSE(playback.playing());
  EXPECT_FALSE(button("Play/Stop(Esc)")->isChecked());
  EXPECT_EQ(playback.mode(), PlaybackMode::Play);

  click("Play/Stop(Esc)");
  EXPECT_TRUE(playback.playing());
  click("Edit the score");
  EXPECT_FALSE(playback.playing());
  EXPECT_TRUE(chordList()->isVisible());
  EXPECT_FALSE(button("Repeat")->isVisible());
  EXPECT_FALSE(session().score()->changed);

  // A score closed while it plays fast goes quietly: no chord reaches the
  // Designer afterwards.
  click("Run the score");
  tempo->setValue(750);
  QTest::qWait(300);
  run(CommandId::ScoreClose);
  EXPECT_EQ(panel(), nullptr);
  const DesignerChord shown = chord();
  QTest::qWait(500);
  EXPECT_EQ(chord().frets, shown.frets);
  EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(ScorePanelTest, ClosingAChangedScoreAsksByItsTitle) {
  struct Row {
    bool hasFile;
    MessageAnswer answer;
    const char* question;
    bool written;
  };
  for (const Row row :
       {Row{false, MessageAnswer::Yes, "Score has changed. Save the changes?", true},
        Row{true, MessageAnswer::Yes, "Score \"Waltz in G.score\" has changed. Save the changes?",
            true},
        Row{true, MessageAnswer::No, "Score \"Waltz in G.score\" has changed. Save the changes?",
            false}}) {
    SCOPED_TRACE(row.question);
    messages_.clear();
    dialogs_->requests.clear();
    const fs::path target = row.hasFile ? copyOfSample("Waltz in G.score") : folder() / "New.score";
    const std::string before = bytesOf(target);
    if (row.hasFile) {
      open(DocumentKind::Score, target);
    } else {
      run(CommandId::ScoreNew);
      dialogs_->answers.push_back(QString::fromStdString(target.string()));
    }
    ASSERT_NE(panel(), nullptr);
    const std::size_t count = session().score()->score.entries().size();
    designerShows(kC);
    designerBox("Chord root")->setText(QStringLiteral("Q"));
    click("Insert after");
    answers_ = {row.answer};
    run(CommandId::ScoreClose);
    EXPECT_EQ(messages_, QStringList{QString::fromUtf8(row.question)});
    EXPECT_EQ(panel(), nullptr);
    EXPECT_EQ(dialogs_->requests.size(), row.hasFile ? 0u : 1u);
    if (row.written) {
      InstrumentState instrument;
      const Score written = readScore(target, instrument, false, {});
      EXPECT_EQ(written.entries().size(), count + 1);
      EXPECT_EQ(std::next(written.entries().begin(), row.hasFile ? 1 : 0)->name.view().substr(0, 1),
                "Q");
    } else {
      EXPECT_EQ(bytesOf(target), before);
    }
    fs::remove(target);
  }
}

TEST_F(ScorePanelTest, OpeningAnotherScoreAsksAndNoReplacesTheChangedOne) {
  const fs::path first = folder() / "First.score";
  open(DocumentKind::Score, first);
  const std::string before = bytesOf(first);
  designerShows(kC);
  click("Insert after");
  answers_ = {MessageAnswer::No};
  open(DocumentKind::Score, copyOfSample("Waltz in G.score"));
  EXPECT_EQ(messages_,
            QStringList{QStringLiteral("Score \"First.score\" has changed. Save the changes?")});
  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(panel()->windowTitle(), QStringLiteral("Score - Waltz in G.score"));
  EXPECT_FALSE(session().score()->changed);
  EXPECT_EQ(bytesOf(first), before);
}

TEST_F(ScorePanelTest, AFailedSaveKeepsTheScoreAndEverythingWaitingForIt) {
  const fs::path path = copyOfSample("Waltz in G.score");
  const std::string before = bytesOf(path);
  open(DocumentKind::Score, path);
  designerShows(kC);
  click("Insert after");
  const fs::path unwritable = folder() / "gone" / "Waltz.score";
  session().score()->file.path = unwritable;

  run(CommandId::ScoreSave);
  ASSERT_EQ(messages_.size(), 1);
  EXPECT_TRUE(session().score()->changed);

  // A shutdown and an open that wait for the save are dropped with it.
  messages_.clear();
  answers_ = {MessageAnswer::Yes};
  frame_->close();
  settle();
  EXPECT_EQ(messages_.size(), 2);
  ASSERT_NE(panel(), nullptr);
  EXPECT_TRUE(frame_->isVisible());
  EXPECT_FALSE(session().closing());
  EXPECT_TRUE(session().score()->changed);

  answers_ = {MessageAnswer::Yes};
  open(DocumentKind::Score, folder() / "Other.score");
  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(session().file(DocumentKind::Score)->path, unwritable);
  EXPECT_FALSE(fs::exists(folder() / "Other.score"));
  EXPECT_EQ(bytesOf(path), before);

  // Cancel while the program closes keeps both.
  answers_ = {MessageAnswer::Cancel};
  frame_->close();
  settle();
  ASSERT_NE(panel(), nullptr);
  EXPECT_TRUE(frame_->isVisible());
  EXPECT_FALSE(session().closing());
}

TEST_F(ScorePanelTest, AScoreLockedByAnotherUserIsNeverWrittenAndAsksBeforeItsChangesGo) {
  const fs::path path = folder() / "Theirs.score";
  {
    Score theirs("", {});
    theirs.locked = true;
    InstrumentState guitar;
    writeScore(theirs, guitar, "someone", path);
  }
  const std::string before = bytesOf(path);
  session().setUserName("me");
  open(DocumentKind::Score, path);
  ASSERT_NE(panel(), nullptr);
  designerShows(kC);
  click("Insert after");

  run(CommandId::ScoreSave);
  EXPECT_EQ(messages_, QStringList{QStringLiteral("Score is locked")});
  EXPECT_TRUE(session().score()->changed);

  // Cancel keeps the score, and with it the program and the file that
  // waited to open; OK lets it go unsaved.
  const QStringList question{
      QStringLiteral("Score is locked: the changes cannot be saved. Close anyway?")};
  messages_.clear();
  answers_ = {MessageAnswer::Cancel};
  frame_->close();
  settle();
  EXPECT_EQ(messages_, question);
  EXPECT_TRUE(frame_->isVisible());
  EXPECT_FALSE(session().closing());
  messages_.clear();
  answers_ = {MessageAnswer::Cancel};
  open(DocumentKind::Score, copyOfSample("Waltz in G.score"));
  EXPECT_EQ(messages_, question);
  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(panel()->windowTitle(), QStringLiteral("Score - Theirs.score"));

  messages_.clear();
  answers_ = {MessageAnswer::Ok};
  run(CommandId::ScoreClose);
  EXPECT_EQ(messages_, question);
  EXPECT_EQ(panel(), nullptr);
  EXPECT_EQ(bytesOf(path), before);
}

TEST_F(ScorePanelTest, TheProgramsCloseAsksTheScoreBeforeTheChordBook) {
  open(DocumentKind::ChordBook, copyOfSample("Guitar chords.cbk"));
  run(CommandId::ScoreNew);
  ASSERT_NE(panel(), nullptr);
  ASSERT_NE(frame_->documentPanel(DocumentKind::ChordBook), nullptr);
  designerShows(kC);
  click("Insert after");
  designerBox("Chord type")->setText(QStringLiteral("new type"));
  control<QPushButton>(frame_->documentPanel(DocumentKind::ChordBook), "Add chord")->click();
  answers_ = {MessageAnswer::No, MessageAnswer::No};
  frame_->close();
  settle();
  EXPECT_EQ(messages_,
            (QStringList{QStringLiteral("Score has changed. Save the changes?"),
                         QStringLiteral("Chord Book \"Guitar chords.cbk\" has changed. Save the "
                                        "changes?")}));
  EXPECT_EQ(panel(), nullptr);
  EXPECT_EQ(frame_->documentPanel(DocumentKind::ChordBook), nullptr);
  EXPECT_FALSE(frame_->isVisible());
}

TEST_F(ScorePanelTest, ClosingAScoreThatPlaysStopsItBeforeAnythingIsAsked) {
  open(DocumentKind::Score, copyOfSample("Waltz in G.score"));
  click("Run the score");
  ASSERT_TRUE(panel()->playback().playing());
  session().score()->changed = true;
  // While the box waits, nothing plays on.
  duringMessage_ = [this] { EXPECT_FALSE(panel()->playback().playing()); };
  answers_ = {MessageAnswer::No};
  run(CommandId::ScoreClose);
  EXPECT_EQ(panel(), nullptr);
}

TEST_F(ScorePanelTest, AMissingPathBecomesAnEmptyScoreAndAnUnreadableOneStaysAsItIs) {
  const fs::path fresh = folder() / "Fresh.score";
  open(DocumentKind::Score, fresh);
  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(panel()->windowTitle(), QStringLiteral("Score - Fresh.score"));
  InstrumentState instrument;
  const Score created = readScore(fresh, instrument, false, {});
  EXPECT_TRUE(created.empty());
  EXPECT_EQ(created.tempo, 100);
  EXPECT_EQ(created.defaultBeats, 4);
  EXPECT_FALSE(created.locked);
  run(CommandId::ScoreClose);

  const fs::path garbage = folder() / "Garbage.score";
  std::ofstream(garbage, std::ios::binary) << "not a score at all";
  messages_.clear();
  open(DocumentKind::Score, garbage);
  EXPECT_EQ(panel(), nullptr);
  EXPECT_EQ(messages_.size(), 1);
  EXPECT_FALSE(frame_->action(CommandId::ScoreSave)->isEnabled());
  EXPECT_EQ(bytesOf(garbage), "not a score at all");
}

TEST_F(ScorePanelTest, EditsChangeTheScoreAndMovesDoNot) {
  open(DocumentKind::Score, copyOfSample("Waltz in G.score"));
  ASSERT_NE(panel(), nullptr);
  for (const char* move : {"End of score", "Previous chord", "Beginning of score", "Next chord"}) {
    click(move);
  }
  chordList()->setCurrentIndex(4);
  emit chordList()->activated(4);
  settle();
  EXPECT_FALSE(session().score()->changed);
  click("Update fretlet");
  EXPECT_TRUE(session().score()->changed);

  answers_ = {MessageAnswer::No};
  run(CommandId::ScoreClose);
  open(DocumentKind::Score, folder() / "Waltz in G.score");
  ASSERT_NE(panel(), nullptr);
  click("Delete chord");
  EXPECT_TRUE(session().score()->changed);
  EXPECT_EQ(chordList()->count(), 7);

  answers_ = {MessageAnswer::No};
  run(CommandId::ScoreClose);
  open(DocumentKind::Score, copyOfSample("Four chords in C.score"));
  ASSERT_NE(panel(), nullptr);
  EXPECT_FALSE(session().score()->changed);
  QTimer::singleShot(0, [] {
    auto* sheet = qobject_cast<ScorePropertiesDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(sheet, nullptr);
    control<QLineEdit>(sheet, "The name of the chord")->setText(QStringLiteral("Renamed"));
    sheet->accept();
  });
  click("Edit Score Properties");
  EXPECT_TRUE(session().score()->changed);
  EXPECT_EQ(chordList()->itemText(0), QStringLiteral("Renamed"));
}

}  // namespace
}  // namespace fretlets

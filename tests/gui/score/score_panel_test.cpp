#include <QSpinBox>
#include <QTimer>

#include "documents/score_file.h"
#include "gui/score/score_properties_dialog.h"
#include "support/gui/document_panel_fixture.h"

namespace fretlets {
namespace {

namespace fs = std::filesystem;

const FretletRecord kC = fretlet({-1, 3, 2, 0, 1, 0}, 1);

class ScorePanelTest : public DocumentPanelTest {
 public:
  ScorePanel* panel() {
    return static_cast<ScorePanel*>(frame_->documentPanel(DocumentKind::Score));
  }
  QPushButton* button(const char* name) { return control<QPushButton>(panel(), name); }
  QComboBox* chordList() { return control<QComboBox>(panel(), "The chord name"); }

  void click(const char* name) { DocumentPanelTest::click(button(name)); }
  void choose(int row) { DocumentPanelTest::choose(chordList(), row); }
  // The Designer shows a fingering under a name the user typed.
  void designerShows(const FretletRecord& record, std::array<const char*, 3> name) {
    DocumentPanelTest::designerShows(record);
    for (std::size_t i = 0; i < name.size(); ++i) {
      const char* const boxes[] = {"Chord root", "Chord type", "Chord bass note"};
      designerBox(boxes[i])->setText(QString::fromUtf8(name[i]));
    }
  }
  // The list as the user sees it, the cursor's entry in brackets.
  std::string listed() {
    std::string text;
    for (int i = 0; i < chordList()->count(); ++i) {
      const std::string name = chordList()->itemText(i).toStdString();
      text += i == chordList()->currentIndex() ? "[" + name + "] " : name + " ";
    }
    return text + "#" + control<QLineEdit>(panel(), "Chord index")->text().toStdString();
  }
  bool designerShowsTheCursor() {
    if (session().score()->score.empty()) {
      return false;
    }
    const ScoreEntry& entry = session().score()->score.current();
    const int strings = records_.context().instrument.strings();
    return std::equal(entry.frets.begin(), entry.frets.begin() + strings, chord().frets.begin()) &&
           chord().rootString == entry.rootString;
  }
};

TEST_F(ScorePanelTest, InsertUpdateAndDeleteWorkAtTheCursor) {
  run(CommandId::ScoreNew);
  ASSERT_NE(panel(), nullptr);
  const FretletRecord kDm7 = fretlet({3, 2, 0, 0, 0, 3}), kE = fretlet({0, 2, 2, 1, 0, 0}),
                      kX = fretlet({0, 2, 2, 1, 0, 3});
  struct Row {
    const char* act;
    const char* clicks;  // pressed in turn after the Designer showed the fingering
    const char* listed;
    bool canUpdate;
    bool onCursor;  // the Designer shows the cursor's fingering, which Delete needs
    std::optional<FretletRecord> shown = std::nullopt;
    std::array<const char*, 3> name = {"", "", ""};  // root, type, bass
  };
  const std::vector<Row> rows = {
      {"New", "", "#", false, false},
      {"Insert after", "Insert after", "[C] #1", true, true, kC, {"C", "", ""}},
      {"Insert before", "Insert before", "[Dm7/G] C #1", true, true, kDm7, {"D", "m7", "G"}},
      {"End of score", "End of score", "Dm7/G [C] #2", true, true},
      {"Beginning of score", "Beginning of score", "[Dm7/G] C #1", true, true},
      {"Insert after the first", "Insert after", "Dm7/G [E] C #2", true, true, kE, {"E", "", ""}},
      {"Next past the last, Previous", "Next chord|Next chord|Next chord|Previous chord",
       "Dm7/G [E] C #2", true, true},
      {"another fingering", "", "Dm7/G [E] C #2", true, false, kX, {"X", "", ""}},
      {"Update", "Update fretlet", "Dm7/G [X] C #2", true, true},
      {"the third chosen from the list", "The chord name", "Dm7/G X [C] #3", true, true},
      {"Delete", "Delete chord", "Dm7/G [X] #2", true, true},
      {"the last chord out clears the Designer", "Delete chord|Delete chord", "#", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.act);
    if (row.shown) {
      designerShows(*row.shown, row.name);
    }
    for (const QString& name : QString(row.clicks).split('|', Qt::SkipEmptyParts)) {
      name == "The chord name" ? choose(2) : click(name.toUtf8().constData());
    }
    EXPECT_EQ(listed(), row.listed);
    EXPECT_EQ(button("Update fretlet")->isEnabled(), row.canUpdate);
    EXPECT_EQ(button("Delete chord")->isEnabled(), row.onCursor);
    EXPECT_EQ(designerShowsTheCursor(), row.onCursor);
  }
  for (int s = 0; s < kStringSlots; ++s) {
    EXPECT_FALSE(chord().sounds(s)) << s;
  }
}

TEST_F(ScorePanelTest, AnOpenedScoreBringsItsChordsPatchAndTempoAndPlaysInPlayMode) {
  const fs::path path = copyOfSample("Waltz in G.score");
  InstrumentState instrument;
  const Score expected = readScore(path, instrument, false, {});
  records_.context().midi.rememberPatch(MidiStandard::XG, 3, 0, 3);  // playing something else
  open(DocumentKind::Score, path);
  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(chordList()->count(), static_cast<int>(expected.entries().size()));
  EXPECT_EQ(listed().substr(listed().size() - 2), "#1");
  EXPECT_TRUE(designerShowsTheCursor());
  const MidiDevice& midi = records_.context().midi;
  EXPECT_EQ(static_cast<int>(midi.midiStandard), expected.patch.midiStandard);
  EXPECT_EQ(midi.patchIndex, expected.patch.patchIndex);
  EXPECT_EQ(control<QSpinBox>(panel(), "Current tempo")->value(), expected.tempo);
  EXPECT_EQ(midi.beatMs, 60000U / static_cast<unsigned>(expected.tempo));
  EXPECT_TRUE(button("Repeat")->isChecked());
  EXPECT_TRUE(chordList()->isVisible());
  EXPECT_FALSE(button("Play/Stop(Esc)")->isVisible());

  const ScorePlayback& playback = panel()->playback();
  click("Run the score");
  EXPECT_TRUE(playback.playing());
  // Play mode shows its own controls in place of the editing ones.
  EXPECT_TRUE(button("Edit the score")->isVisible());
  EXPECT_FALSE(chordList()->isVisible());
  EXPECT_TRUE(button("Play/Stop(Esc)")->isChecked());

  // The tempo box sets the length of a beat; an arrow held with the left
  // button sets it when it is let go, any other button holds nothing.
  auto* tempo = control<QSpinBox>(panel(), "Current tempo");
  const std::uint32_t& beatMs = midi.beatMs;
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
}

TEST_F(ScorePanelTest, AScoreLockedByAnotherUserIsNeverWrittenAndAsksBeforeItsChangesGo) {
  const fs::path path = folder() / "Theirs.score";
  {
    Score theirs("", {});
    theirs.locked = true;
    InstrumentState guitar;
    writeScore(theirs, guitar, "someone", path);
  }
  const std::string before = textOf(path);
  session().setUserName("me");
  open(DocumentKind::Score, path);
  ASSERT_NE(panel(), nullptr);
  designerShows(kC, {"C", "", ""});
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
  EXPECT_EQ(textOf(path), before);
}

// A score closed while it plays fast stops before the box asks, and goes
// quietly: no chord reaches the Designer afterwards.
TEST_F(ScorePanelTest, ClosingAScoreThatPlaysStopsItBeforeAnythingIsAsked) {
  open(DocumentKind::Score, copyOfSample("Waltz in G.score"));
  click("Run the score");
  control<QSpinBox>(panel(), "Current tempo")->setValue(750);
  QTest::qWait(300);
  ASSERT_TRUE(panel()->playback().playing());
  session().score()->changed = true;
  duringMessage_ = [this] { EXPECT_FALSE(panel()->playback().playing()); };
  answers_ = {MessageAnswer::No};
  run(CommandId::ScoreClose);
  EXPECT_EQ(panel(), nullptr);
  const DesignerChord shown = chord();
  QTest::qWait(500);
  EXPECT_EQ(chord().frets, shown.frets);
  EXPECT_EQ(messages_.size(), 1);
}

TEST_F(ScorePanelTest, EditsChangeTheScoreAndMovesDoNot) {
  const fs::path path = copyOfSample("Waltz in G.score");
  for (const char* edit : {"Update fretlet", "Delete chord", "Edit Score Properties"}) {
    SCOPED_TRACE(edit);
    answers_ = {MessageAnswer::No};
    open(DocumentKind::Score, path);
    ASSERT_NE(panel(), nullptr);
    for (const char* move :
         {"End of score", "Previous chord", "Beginning of score", "Next chord"}) {
      click(move);
    }
    choose(4);
    EXPECT_FALSE(session().score()->changed);
    QTimer::singleShot(0, [] {
      if (auto* sheet = qobject_cast<ScorePropertiesDialog*>(QApplication::activeModalWidget())) {
        control<QLineEdit>(sheet, "The name of the chord")->setText(QStringLiteral("Renamed"));
        sheet->accept();
      }
    });
    click(edit);
    EXPECT_TRUE(session().score()->changed);
  }
  EXPECT_EQ(chordList()->itemText(4), QStringLiteral("Renamed"));
}

}  // namespace
}  // namespace fretlets

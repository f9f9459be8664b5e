#include "gui/score/score_properties_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "documents/score.h"
#include "gui_application.h"
#include "sound/midi_records.h"

namespace fretlets {
namespace {

constexpr int kSummary = 0;
constexpr int kChord = 1;

// The length boxes in the order of their twelfths; the first three are the
// Summary's default beats too.
const std::vector<QString> kLengthTips{"Length of a whole note",
                                       "Length of a half note",
                                       "Length of a quarter note",
                                       "Length of an eighth note",
                                       "Length of a sixteenth note",
                                       "Length of one part of a quarter note triplet",
                                       "Length of one part of an eighth note triplet"};
const std::vector<QString> kLengthTexts{"4", "2", "1", "1/2", "1/4", "2/3", "1/3"};

// A score of chords named Am7 and a sheet opened on it, on either page.
struct Rig : MidiRecords<> {
  explicit Rig(std::vector<int> lengths = {12}) {
    testApplication();
    for (const int length : lengths) {
      ScoreEntry entry;
      entry.beatsToNext = static_cast<std::int8_t>(length);
      entry.name = "Am7";
      score.appendEntry(entry);
    }
  }

  ScorePropertiesDialog& open(int page = kChord) {
    dialog = std::make_unique<ScorePropertiesDialog>(score, midi, nullptr);
    dialog->show();
    changed = std::make_unique<QSignalSpy>(dialog.get(), &ScorePropertiesDialog::changed);
    if (page == kSummary) {
      dialog->pages()->setCurrentIndex(kSummary);
    }
    return *dialog;
  }
  template <typename Control = QCheckBox>
  Control* on(int page, const QString& tip) const {
    return control<Control>(dialog->pages()->widget(page), tip);
  }
  QLineEdit* edit(int page, const QString& tip) const { return on<QLineEdit>(page, tip); }
  void click(QAbstractButton* button) const { QTest::mouseClick(button, Qt::LeftButton); }
  // Checked boxes of a page as "4 1/2", disabled ones in brackets.
  QString lengths(int page = kChord) const {
    QStringList parts;
    for (std::size_t k = 0; k < (page == kChord ? kLengthTips.size() : 3); ++k) {
      const QCheckBox* b = on(page, kLengthTips[k]);
      if (b->isChecked()) {
        parts << kLengthTexts[k];
      }
      if (!b->isEnabled()) {
        parts << "(" + kLengthTexts[k] + ")";
      }
    }
    return parts.join(' ');
  }
  void ok() const { click(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)); }

  Score score{"", {}};
  std::unique_ptr<ScorePropertiesDialog> dialog;
  std::unique_ptr<QSignalSpy> changed;
};

// What a page shows for a length, and what OK keeps of it unchanged: a
// chord's length as its boxes, the default beats as bits, none stored as 4.
TEST(ScorePropertiesDialog, LengthsShowAsTheirBoxesAndOkKeepsThem) {
  struct Case {
    int page, beats;
    QString shown;
    int kept;
  };
  for (const Case& c :
       {Case{kChord, 32, "2 (1/2) (1/4) 2/3 (1/3)", 32},
        Case{kChord, 52, "4 (1/2) (1/4) (2/3) 1/3", 52},
        Case{kChord, 93, "4 2 1 1/2 1/4 (2/3) (1/3)", 93}, Case{kSummary, 3, "2 1", 3},
        Case{kSummary, 5, "4 1", 5}, Case{kSummary, 9, "", 4}}) {
    SCOPED_TRACE(c.beats);
    Rig rig({c.beats});
    if (c.page == kSummary) {
      rig.score.defaultBeats = static_cast<std::int8_t>(c.beats);
    }
    rig.open(c.page);
    EXPECT_EQ(rig.lengths(c.page), c.shown);
    rig.ok();
    EXPECT_EQ(c.page == kChord ? rig.score.current().beatsToNext : rig.score.defaultBeats, c.kept);
  }
}

TEST(ScorePropertiesDialog, TripletPartsExcludeEachOtherAndTheStraightFractions) {
  Rig rig({48});
  rig.open();
  struct Step {
    int box;
    const char* shown;  // after the clicks so far; nullptr: not looked at
  };
  for (const Step& step :
       {Step{5, "4 (1/2) (1/4) 2/3 (1/3)"}, Step{5, "4"}, Step{6, "4 (1/2) (1/4) (2/3) 1/3"},
        Step{6, nullptr}, Step{3, nullptr}, Step{4, nullptr},
        Step{3, "4 1/4 (2/3) (1/3)"},  // the sixteenth still keeps them out
        Step{4, "4"}, Step{0, ""}}) {  // nothing left: a whole note
    rig.click(rig.on(kChord, kLengthTips[static_cast<std::size_t>(step.box)]));
    if (step.shown) {
      EXPECT_EQ(rig.lengths(), step.shown) << step.box;
    }
  }
  rig.ok();
  EXPECT_EQ(rig.score.current().beatsToNext, 48);
}

// It opens on the chord page, every control named for a screen reader by its
// tooltip where it has one.
TEST(ScorePropertiesDialog, OpensOnTheChordPageWhichStoresNameAndReleaseAndCutsTheName) {
  Rig rig;
  ScorePropertiesDialog& dialog = rig.open();
  EXPECT_EQ(dialog.pages()->currentIndex(), kChord);
  QList<QWidget*> controls = dialog.pages()->widget(kSummary)->findChildren<QWidget*>() +
                             dialog.pages()->widget(kChord)->findChildren<QWidget*>();
  for (QAbstractButton* button : dialog.findChild<QDialogButtonBox*>()->buttons()) {
    controls.append(button);
  }
  for (QWidget* named : controls) {
    EXPECT_FALSE(named->accessibleName().isEmpty()) << named->metaObject()->className();
    EXPECT_TRUE(named->toolTip().isEmpty() || named->accessibleName() == named->toolTip());
  }
  QLineEdit* name = rig.edit(kChord, "The name of the chord");
  EXPECT_EQ(name->text(), "Am7");
  EXPECT_TRUE(rig.on<QRadioButton>(kChord, "Release unplayed strings")->isChecked());
  name->setText(QString(40, 'x').replace(0, 1, QChar(0x263A)));  // a character not in the page
  rig.click(rig.on<QRadioButton>(kChord, "Don't release unplayed strings"));
  rig.ok();
  EXPECT_EQ(rig.score.current().name.str(), "?" + std::string(34, 'x'));
  EXPECT_FALSE(rig.score.current().release);
  EXPECT_EQ(rig.changed->count(), 1);
}

TEST(ScorePropertiesDialog, TheSummaryAppliesOnlyWhenItWasShown) {
  Rig rig;
  rig.score.defaultBeats = 9;
  rig.open();
  rig.ok();
  EXPECT_EQ(rig.score.defaultBeats, 9);

  rig.open(kSummary);
  rig.edit(kSummary, "The title of the score")->setText(QString(60, 't'));
  rig.edit(kSummary, "The composer")->setText(QString::fromUtf8("Dvo\u0159\u00e1k"));
  rig.dialog->pages()->setCurrentIndex(kChord);
  rig.ok();
  EXPECT_EQ(rig.score.title.str(), std::string(49, 't'));
  EXPECT_EQ(rig.score.composer.str(), "Dvo?\xE1k");
  EXPECT_EQ(rig.score.defaultBeats, 4);

  rig.open(kSummary);
  rig.edit(kSummary, "The composer")->setText("changed");
  rig.dialog->reject();
  EXPECT_EQ(rig.score.composer.str(), "Dvo?\xE1k");
}

TEST(ScorePropertiesDialog, SetToCurrentTakesThePatchAndTheTempoOfTheDevice) {
  for (const auto& [beatMs, tempo] : {std::pair{85u, 705}, std::pair{3000u, 20}}) {
    SCOPED_TRACE(beatMs);
    Rig rig;
    rig.midi.beatMs = beatMs;
    rig.midi.rememberPatch(MidiStandard::XG, 7, 3, 25);
    rig.open(kSummary);
    rig.click(rig.on(kSummary, "The tempo of the score"));
    rig.ok();
    EXPECT_EQ(rig.score.tempo, tempo);
    EXPECT_EQ(rig.score.patch, ScorePatch{});  // "Patch" was not checked

    rig.open(kSummary);
    rig.click(rig.on(kSummary, "The MIDI patch for the score"));
    rig.ok();
    EXPECT_EQ(rig.score.patch, (ScorePatch{1, 7, 3, 25}));
  }
}

TEST(ScorePropertiesDialog, OnlyTheOwnerOfALockCanLiftIt) {
  for (const bool owned : {true, false}) {
    SCOPED_TRACE(owned);
    Rig rig;
    rig.score.locked = true;
    rig.score.ownedByUser = owned;
    rig.open(kSummary);
    QCheckBox* lock = rig.on(kSummary, "Score lock");
    EXPECT_TRUE(lock->isChecked());
    EXPECT_EQ(lock->isEnabled(), owned);
    rig.click(lock);
    rig.ok();
    EXPECT_EQ(rig.score.locked, !owned);
  }
}

TEST(ScorePropertiesDialog, AnEmptyScoreLeavesTheChordPageDisabledAndOkUnchanged) {
  Rig rig(std::vector<int>{});
  rig.open();
  EXPECT_EQ(rig.lengths(), "(4) (2) (1) (1/2) (1/4) (2/3) (1/3)");
  EXPECT_FALSE(rig.edit(kChord, "The name of the chord")->isEnabled());
  EXPECT_FALSE(rig.on<QRadioButton>(kChord, "Release unplayed strings")->isEnabled());
  rig.ok();
  EXPECT_EQ(rig.changed->count(), 0);
  EXPECT_TRUE(rig.score.empty());

  rig.open(kSummary);
  rig.ok();
  EXPECT_EQ(rig.changed->count(), 1);
}

}  // namespace
}  // namespace fretlets

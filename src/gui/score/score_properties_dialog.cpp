#include "gui/score/score_properties_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <tuple>

#include "documents/score.h"
#include "gui/common/dialog_units.h"
#include "gui/common/screen_text.h"
#include "sound/midi_device.h"

namespace fretlets {
namespace {

constexpr int kPageWidth = 212;
constexpr int kPageHeight = 114;

// A control at its rectangle in dialog units, never shorter than it needs
// to show its text, centred on the rectangle.
template <typename Control>
Control* place(Control* control, const DialogUnits& units, int x, int y, int w, int h) {
  QRect rect = units.rect(x, y, w, h);
  const int height = std::max(rect.height(), control->sizeHint().height());
  rect.adjust(0, (rect.height() - height) / 2, 0, 0);
  rect.setHeight(height);
  control->setGeometry(rect);
  return control;
}

void describe(QWidget* control, const QString& tip) {
  control->setToolTip(tip);
  control->setAccessibleName(tip);
}

QCheckBox* checkBox(QWidget* page, const QString& text, const QString& tip) {
  auto* box = new QCheckBox(text, page);
  describe(box, tip);
  return box;
}

QLabel* label(QWidget* page, const QString& text, QWidget* buddy = nullptr) {
  auto* l = new QLabel(text, page);
  l->setAccessibleName(text);
  if (buddy != nullptr) {
    l->setBuddy(buddy);
  }
  return l;
}

QGroupBox* groupBox(QWidget* page, const QString& title, const QString& tip = {}) {
  auto* group = new QGroupBox(title, page);
  group->setAccessibleName(title);
  if (!tip.isEmpty()) {
    describe(group, tip);
  }
  return group;
}

// An edit box: no limit while typing, the text is cut when it is stored.
QLineEdit* lineEdit(QWidget* page, const QString& tip) {
  auto* edit = new QLineEdit(page);
  describe(edit, tip);
  return edit;
}

}  // namespace

ScorePropertiesDialog::ScorePropertiesDialog(Score& score, const MidiDevice& midi, QWidget* parent)
    : QDialog(parent), score_(score), midi_(midi), tabs_(new QTabWidget(this)) {
  setWindowTitle(QStringLiteral("Score Property Sheet"));
  setWindowModality(Qt::ApplicationModal);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  tabs_->setAccessibleName(QStringLiteral("Score properties"));
  tabs_->addTab(createSummaryPage(), QStringLiteral("Summary"));
  tabs_->addTab(createChordPage(), QStringLiteral("Chord"));
  tabs_->setCurrentIndex(1);
  connect(tabs_, &QTabWidget::currentChanged, this,
          [this](int index) { summaryShown_ = summaryShown_ || index == 0; });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  for (QAbstractButton* button : buttons->buttons()) {
    button->setAccessibleName(button->text().remove(QLatin1Char('&')));
  }
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  fillSummary();
  fillChord();
}

QWidget* ScorePropertiesDialog::createSummaryPage() {
  auto* page = new QWidget;
  const DialogUnits units(page->font());
  page->setFixedSize(units.x(kPageWidth), units.y(kPageHeight));

  title_ = place(lineEdit(page, QStringLiteral("The title of the score")), units, 60, 6, 100, 12);
  composer_ = place(lineEdit(page, QStringLiteral("The composer")), units, 60, 22, 100, 12);
  comment_ = place(lineEdit(page, QStringLiteral("Copyright information or comment")), units, 60,
                   38, 100, 12);
  // A font wider than the one the page was laid out for would cut the
  // labels: they then take what they need and the boxes start further right.
  int labelsRight = units.x(56);
  for (const auto& [text, edit, y] : {std::tuple{QStringLiteral("Title"), title_, 8},
                                      {QStringLiteral("Composer"), composer_, 24},
                                      {QStringLiteral("Score Copyright"), comment_, 40}}) {
    QLabel* l = place(label(page, text, edit), units, 6, y, 50, 12);
    l->resize(std::max(l->width(), l->sizeHint().width()), l->height());
    labelsRight = std::max(labelsRight, l->geometry().right());
  }
  for (QLineEdit* edit : {title_, composer_, comment_}) {
    QRect rect = edit->geometry();
    rect.setLeft(std::max(rect.left(), labelsRight + units.x(4)));
    edit->setGeometry(rect);
  }

  groupBox(page, QStringLiteral("Set Default"), QStringLiteral("Defaults panel"))
      ->setGeometry(units.rect(6, 59, 52, 49));
  place(label(page, QStringLiteral("Beats")), units, 9, 75, 21, 11);
  defaultWhole_ =
      place(checkBox(page, QStringLiteral("4"), QStringLiteral("Length of a whole note")), units,
            32, 75, 18, 10);
  defaultHalf_ = place(checkBox(page, QStringLiteral("2"), QStringLiteral("Length of a half note")),
                       units, 32, 86, 18, 10);
  defaultQuarter_ =
      place(checkBox(page, QStringLiteral("1"), QStringLiteral("Length of a quarter note")), units,
            32, 97, 18, 10);

  groupBox(page, QStringLiteral("Set To Current"), QStringLiteral("Update panel"))
      ->setGeometry(units.rect(95, 59, 65, 49));
  patch_ =
      place(checkBox(page, QStringLiteral("Patch"), QStringLiteral("The MIDI patch for the score")),
            units, 105, 74, 43, 10);
  tempo_ = place(checkBox(page, QStringLiteral("Tempo"), QStringLiteral("The tempo of the score")),
                 units, 105, 85, 43, 10);
  // The box on the right of its text.
  patch_->setLayoutDirection(Qt::RightToLeft);
  tempo_->setLayoutDirection(Qt::RightToLeft);

  lock_ = place(checkBox(page, QStringLiteral("Lock"), QStringLiteral("Score lock")), units, 170, 8,
                30, 10);
  // Group boxes go under the controls placed on them.
  for (QGroupBox* group : page->findChildren<QGroupBox*>()) {
    group->lower();
  }
  return page;
}

QWidget* ScorePropertiesDialog::createChordPage() {
  auto* page = new QWidget;
  const DialogUnits units(page->font());
  page->setFixedSize(units.x(kPageWidth), units.y(kPageHeight));

  name_ = place(lineEdit(page, QStringLiteral("The name of the chord")), units, 60, 22, 100, 12);
  place(label(page, QStringLiteral("Chord Name"), name_), units, 6, 24, 50, 12);

  groupBox(page, QStringLiteral("Beats To Next"),
           QStringLiteral("The number of beats before the next chord is played"))
      ->setGeometry(units.rect(6, 53, 84, 55));
  whole_ = place(checkBox(page, QStringLiteral("4"), QStringLiteral("Length of a whole note")),
                 units, 8, 69, 18, 10);
  half_ = place(checkBox(page, QStringLiteral("2"), QStringLiteral("Length of a half note")), units,
                8, 81, 18, 10);
  quarter_ = place(checkBox(page, QStringLiteral("1"), QStringLiteral("Length of a quarter note")),
                   units, 8, 93, 18, 10);
  eighth_ = place(checkBox(page, QStringLiteral("1/2"), QStringLiteral("Length of an eighth note")),
                  units, 29, 81, 24, 10);
  sixteenth_ =
      place(checkBox(page, QStringLiteral("1/4"), QStringLiteral("Length of a sixteenth note")),
            units, 29, 93, 24, 10);
  groupBox(page, QStringLiteral("Triplet"))->setGeometry(units.rect(58, 67, 30, 38));
  quarterTriplet_ = place(checkBox(page, QStringLiteral("2/3"),
                                   QStringLiteral("Length of one part of a quarter note triplet")),
                          units, 60, 81, 24, 10);
  eighthTriplet_ = place(checkBox(page, QStringLiteral("1/3"),
                                  QStringLiteral("Length of one part of an eighth note triplet")),
                         units, 60, 93, 24, 10);

  groupBox(page, QStringLiteral("Release"))->setGeometry(units.rect(94, 53, 57, 43));
  release_ = new QRadioButton(QStringLiteral("Normal"), page);
  describe(release_, QStringLiteral("Release unplayed strings"));
  place(release_, units, 97, 69, 51, 10);
  noRelease_ = new QRadioButton(QStringLiteral("No Release"), page);
  describe(noRelease_, QStringLiteral("Don't release unplayed strings"));
  place(noRelease_, units, 97, 81, 51, 10);

  for (QGroupBox* group : page->findChildren<QGroupBox*>()) {
    group->lower();
  }
  for (QCheckBox* box : {eighth_, sixteenth_, quarterTriplet_, eighthTriplet_}) {
    connect(box, &QCheckBox::clicked, this, [this, box] { applyLengthRules(box); });
  }
  if (score_.empty()) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{name_, whole_, half_, quarter_, eighth_, sixteenth_,
                                         quarterTriplet_, eighthTriplet_, release_, noRelease_}) {
      control->setEnabled(false);
    }
  }
  return page;
}

void ScorePropertiesDialog::fillSummary() {
  title_->setText(screenText(score_.title.view()));
  composer_->setText(screenText(score_.composer.view()));
  comment_->setText(screenText(score_.comment.view()));
  lock_->setChecked(score_.locked);
  lock_->setEnabled(score_.canUnlock());
  // 1..7 as its bits; anything else checks nothing.
  const int beats = score_.defaultBeats;
  const bool shown = beats >= kMinDefaultBeats && beats <= kMaxDefaultBeats;
  defaultQuarter_->setChecked(shown && (beats & 1) != 0);
  defaultHalf_->setChecked(shown && (beats & 2) != 0);
  defaultWhole_->setChecked(shown && (beats & 4) != 0);
}

void ScorePropertiesDialog::fillChord() {
  if (score_.empty()) {
    return;
  }
  const ScoreEntry& entry = score_.current();
  name_->setText(screenText(entry.name.view()));
  const NoteLengths lengths = splitNoteLengths(entry.beatsToNext);
  for (const auto& [box, on] : {std::pair{whole_, lengths.whole},
                                {half_, lengths.half},
                                {quarter_, lengths.quarter},
                                {eighth_, lengths.eighth},
                                {sixteenth_, lengths.sixteenth},
                                {quarterTriplet_, lengths.quarterTriplet},
                                {eighthTriplet_, lengths.eighthTriplet}}) {
    box->setChecked(on);
  }
  if (lengths.quarterTriplet || lengths.eighthTriplet) {
    applyLengthRules(lengths.eighthTriplet ? eighthTriplet_ : quarterTriplet_);
  } else if (lengths.eighth || lengths.sixteenth) {
    applyLengthRules(eighth_);
  }
  (entry.release ? release_ : noRelease_)->setChecked(true);
}

void ScorePropertiesDialog::applyLengthRules(QCheckBox* clicked) {
  if (clicked == quarterTriplet_ || clicked == eighthTriplet_) {
    QCheckBox* other = clicked == quarterTriplet_ ? eighthTriplet_ : quarterTriplet_;
    const bool free = !clicked->isChecked();
    for (QCheckBox* box : {other, eighth_, sixteenth_}) {
      box->setEnabled(free);
    }
    return;
  }
  const bool free = !eighth_->isChecked() && !sixteenth_->isChecked();
  quarterTriplet_->setEnabled(free);
  eighthTriplet_->setEnabled(free);
}

void ScorePropertiesDialog::accept() {
  const bool applied = summaryShown_ || !score_.empty();
  if (summaryShown_) {
    applySummary();
  }
  applyChord();
  QDialog::accept();
  if (applied) {
    emit changed();
  }
}

void ScorePropertiesDialog::applySummary() {
  score_.title = documentText(title_->text());
  score_.composer = documentText(composer_->text());
  score_.comment = documentText(comment_->text());
  if (patch_->isChecked()) {
    score_.patch =
        ScorePatch{static_cast<std::int8_t>(midi_.midiStandard), midi_.patchIndex,
                   static_cast<std::int8_t>(midi_.bank), static_cast<std::int8_t>(midi_.program)};
  }
  // The playback tempo as the device keeps it: a minute over the length of a
  // beat, so the stored tempo may lie a little above the box's (700 gives
  // 85 ms and 705).
  if (tempo_->isChecked() && midi_.beatMs != 0) {
    score_.tempo = std::clamp(static_cast<int>(60000U / midi_.beatMs), kMinTempo, kMaxTempo);
  }
  if (score_.canUnlock()) {
    score_.locked = lock_->isChecked();
  }
  const int beats = (defaultQuarter_->isChecked() ? 1 : 0) + (defaultHalf_->isChecked() ? 2 : 0) +
                    (defaultWhole_->isChecked() ? 4 : 0);
  score_.defaultBeats = static_cast<std::int8_t>(beats == 0 ? 4 : beats);
}

void ScorePropertiesDialog::applyChord() {
  ScoreEntry* entry = score_.editCurrent();
  if (entry == nullptr) {
    return;
  }
  entry->name = documentText(name_->text());
  entry->beatsToNext = static_cast<std::int8_t>(joinNoteLengths({
      .whole = whole_->isChecked(),
      .half = half_->isChecked(),
      .quarter = quarter_->isChecked(),
      .eighth = eighth_->isChecked(),
      .sixteenth = sixteenth_->isChecked(),
      .quarterTriplet = quarterTriplet_->isChecked(),
      .eighthTriplet = eighthTriplet_->isChecked(),
  }));
  entry->release = release_->isChecked();
}

}  // namespace fretlets

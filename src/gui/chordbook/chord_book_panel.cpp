#include "gui/chordbook/chord_book_panel.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/common/document_kind.h"
#include "gui/common/notifier.h"
#include "gui/common/screen_text.h"
#include "gui/common/show_message.h"
#include "models/document_session.h"
#include "music/designer_chord.h"
#include "sound/midi_device.h"

namespace fretlets {

ChordBookPanel::ChordBookPanel(AppContext& context, ChordBookDocument& document, QWidget* frame)
    : Panel(context, documentKindInfo(DocumentKind::ChordBook).name, QSize(264, 23),
            QStringLiteral("axe.bmp"), frame),
      document_(document),
      book_(document.book) {
  createControls();
  connect(&context.notifier, &Notifier::chordChanged, this, &ChordBookPanel::designerChordChanged);
  connect(&context.notifier, &Notifier::bookAddRequested, this, &ChordBookPanel::addChord);
  connect(&context.notifier, &Notifier::bookAddAllRequested, this, &ChordBookPanel::addChords);
  if (!document_.file.path.empty()) {
    // The book brought its instrument and tuning.
    context.notifier.documentInstrumentArrived();
    if (!book_.empty()) {
      showChordList();
      showCurrent();
    }
  }
  updateButtons();
  showTitle();
}

void ChordBookPanel::createControls() {
  chordTypes_ = described(new QComboBox(this), QStringLiteral("The chord type"));
  chordTypes_->setGeometry(dialogRect(6, 6, 70, 12));
  chordTypes_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  connect(chordTypes_, &QComboBox::activated, this, &ChordBookPanel::chordChosen);

  const auto numberBox = [this](QRect rect, const QString& tip) {
    auto* box = described(new QLineEdit(this), tip);
    box->setGeometry(rect);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    box->setTextMargins(0, 0, 0, 0);
    // The boxes only show; a click on them goes on to the chord-type list,
    // and Tab passes them by.
    box->setFocusPolicy(Qt::NoFocus);
    box->installEventFilter(this);
    return box;
  };
  index_ = numberBox(dialogRect(78, 6, 12, 12), QStringLiteral("Fretlet index"));
  auto* slash = new QLabel(QStringLiteral("/"), this);
  slash->setGeometry(dialogRect(92, 7, 4, 10));
  count_ = numberBox(dialogRect(97, 6, 12, 12), QStringLiteral("# of fretlets for the chord"));

  previous_ = makeButton(QStringLiteral("<"), dialogRect(111, 6, 12, 12),
                         QStringLiteral("Previous fretlet/chord"));
  next_ = makeButton(QStringLiteral(">"), dialogRect(123, 6, 12, 12),
                     QStringLiteral("Next fretlet/chord"));
  add_ = makeButton(QStringLiteral("Add"), dialogRect(174, 6, 28, 12), QStringLiteral("Add chord"));
  update_ = makeButton(QStringLiteral("Update"), dialogRect(202, 6, 28, 12),
                       QStringLiteral("Update chord"));
  delete_ = makeButton(QStringLiteral("Delete"), dialogRect(230, 6, 28, 12),
                       QStringLiteral("Delete chord"));
  connect(previous_, &QPushButton::clicked, this, [this] { step(false); });
  connect(next_, &QPushButton::clicked, this, [this] { step(true); });
  connect(add_, &QPushButton::clicked, this, &ChordBookPanel::addChord);
  connect(update_, &QPushButton::clicked, this, &ChordBookPanel::updateChord);
  connect(delete_, &QPushButton::clicked, this, &ChordBookPanel::deleteChord);
}

void ChordBookPanel::showTitle() {
  setWindowTitle(documentKindInfo(DocumentKind::ChordBook).name + QStringLiteral(" - ") +
                 QString::fromStdString(document_.file.title()));
}

void ChordBookPanel::closeRequested() {
  context_.session.close(DocumentKind::ChordBook);
}

void ChordBookPanel::silence() {
  context_.midi.allNotesOff();
}

bool ChordBookPanel::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == index_ || watched == count_) && event->type() == QEvent::MouseButtonPress) {
    activateWindow();
    chordTypes_->setFocus(Qt::MouseFocusReason);
    return true;
  }
  return Panel::eventFilter(watched, event);
}

void ChordBookPanel::updateButtons() {
  update_->setEnabled(!book_.empty());
  delete_->setEnabled(!book_.empty() && book_.showsDesignerChord(context_.chord));
}

void ChordBookPanel::designerChordChanged() {
  updateButtons();
  // The keyboard goes on to the Designer only from the Chord Book itself, so
  // typing and playing elsewhere are left alone.
  QWidget* focus = QApplication::focusWidget();
  if (focus && isAncestorOf(focus)) {
    context_.notifier.requestDesignerFocus();
  }
}

void ChordBookPanel::showCurrent() {
  if (book_.empty()) {
    return;
  }
  index_->setText(QString::number(book_.fretletIndex()));
  count_->setText(QString::number(book_.fretletCount()));
  book_.loadCurrentIntoDesigner(context_.chord);
  context_.notifier.loadChord();
  updateButtons();
  // Every fretlet shown is heard.
  if (context_.midi.isOpen()) {
    context_.midi.arpeggiateChord(0);
  }
}

void ChordBookPanel::showChordList() {
  if (book_.empty()) {
    return;
  }
  if (book_.listChanged()) {
    book_.clearListChanged();
    chordTypes_->clear();
    for (const BookChord& chord : book_.chords()) {
      chordTypes_->addItem(screenText(chord.name.view()));
    }
  }
  chordTypes_->setCurrentIndex(book_.chordIndex());
}

void ChordBookPanel::clearDisplay() {
  chordTypes_->clear();
  index_->clear();
  count_->clear();
}

std::string ChordBookPanel::designerTypeName() const {
  return documentText(context_.notifier.chordName().type, kChordTypeNameMax);
}

void ChordBookPanel::addChord() {
  if (!book_.addFretlet(designerTypeName(), context_.chord)) {
    showMessage(QStringLiteral("Fretlet exists"), {MessageIcon::Exclamation, MessageButtons::Ok});
  }
  showChordList();
  showCurrent();
}

void ChordBookPanel::addChords(const std::vector<BookFiling>& filings) {
  for (const BookFiling& filing : filings) {
    book_.addFretlet(documentText(filing.type, kChordTypeNameMax), filing.chord);
  }
  showChordList();
  showCurrent();
}

void ChordBookPanel::updateChord() {
  if (book_.empty()) {
    return;
  }
  if (!book_.updateFretlet(designerTypeName(), context_.chord)) {
    showMessage(QStringLiteral("Fretlet exists"), {MessageIcon::Exclamation, MessageButtons::Ok});
  }
  showChordList();
  showCurrent();
}

void ChordBookPanel::deleteChord() {
  if (book_.empty()) {
    return;
  }
  switch (book_.deleteFretlet()) {
    case DeleteOutcome::Kept:
      showCurrent();
      break;
    case DeleteOutcome::ChordTypeRemoved:
      showChordList();
      showCurrent();
      break;
    case DeleteOutcome::DocumentEmpty:
      clearDisplay();
      context_.notifier.clearChord();
      updateButtons();
      break;
  }
}

void ChordBookPanel::step(bool forward) {
  if (book_.empty()) {
    return;
  }
  const int chordBefore = book_.chordIndex();
  const int fretletBefore = book_.fretletIndex();
  const bool chordChanged = forward ? book_.nextFretlet() : book_.previousFretlet();
  if (chordChanged) {
    showChordList();
    showCurrent();
  } else if (book_.chordIndex() != chordBefore || book_.fretletIndex() != fretletBefore) {
    showCurrent();
  }
}

void ChordBookPanel::chordChosen(int index) {
  if (book_.empty() || index < 0) {
    return;
  }
  book_.selectChord(index);
  showCurrent();
}

Panel* makeChordBookPanel(AppContext& context, QWidget* frame) {
  return new ChordBookPanel(context, *context.session.chordBook(), frame);
}

}  // namespace fretlets

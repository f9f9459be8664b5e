#include "gui/instrument/instrument_panel.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>

#include "gui/common/notifier.h"
#include "gui/common/screen_text.h"
#include "models/document_session.h"
#include "music/designer_chord.h"
#include "music/instrument.h"
#include "sound/midi_device.h"

namespace fretlets {
namespace {

// Item k of a tuning list is MIDI note k: the twelve plain names, once per
// octave, without octave numbers.
const QStringList& noteNames() {
  static const QStringList names = [] {
    QStringList list;
    for (int note = 0; note <= kMaxOpenNote; ++note) {
      const std::string_view name = pitchClassName(note % 12);
      list.append(screenText(name));
    }
    return list;
  }();
  return names;
}

}  // namespace

InstrumentPanel::InstrumentPanel(AppContext& context, QWidget* frame)
    : Panel(context, QStringLiteral("Instrument"), QSize(264, 23), QStringLiteral("axe.bmp"),
            frame) {
  instruments_ = new QComboBox(this);
  instruments_->setObjectName(QStringLiteral("instrumentList"));
  instruments_->setGeometry(dialogRect(6, 6, 72, 12));
  instruments_->setToolTip(QStringLiteral("The instrument"));
  instruments_->setAccessibleName(QStringLiteral("The instrument"));
  instruments_->setMaxVisibleItems(kInstrumentCount);
  for (const InstrumentInfo& info : instrumentTable) {
    instruments_->addItem(screenText(info.name));
  }
  connect(instruments_, &QComboBox::activated, this, &InstrumentPanel::instrumentChosen);

  for (int s = 0; s < kStringSlots; ++s) {
    auto* list = new QComboBox(this);
    list->setObjectName(QStringLiteral("tuningList%1").arg(s));
    list->setGeometry(dialogRect(85 + 24 * s, 6, 24, 12));
    list->setToolTip(QStringLiteral("String tuning"));
    list->setAccessibleName(QStringLiteral("String tuning"));
    list->setMaxVisibleItems(12);
    connect(list, &QComboBox::activated, this, [this, s](int note) { noteChosen(s, note); });
    tunings_[s] = list;
  }

  play_ = new QPushButton(QStringLiteral("Play"), this);
  play_->setGeometry(dialogRect(236, 6, 22, 12));
  play_->setToolTip(QStringLiteral("Play the tuning/Esc to silence"));
  play_->setAccessibleName(QStringLiteral("Play the tuning/Esc to silence"));
  connect(play_, &QPushButton::clicked, this, [this] {
    if (context_.midi.isOpen()) {
      context_.midi.playOpenStrings(0);
    }
  });
  play_->setEnabled(context.midi.isOpen());
  connect(&context.notifier, &Notifier::midiOpenChanged, play_, &QPushButton::setEnabled);
  connect(&context.notifier, &Notifier::documentsChanged, this, &InstrumentPanel::updateEnabled);
  connect(&context.notifier, &Notifier::instrumentChanged, this, &InstrumentPanel::showInstrument);

  showInstrument();
}

void InstrumentPanel::showInstrument() {
  instruments_->setCurrentIndex(context_.instrument.currentInstrument);
  fillTuningLists(context_.instrument.tuning);
}

void InstrumentPanel::silence() {
  context_.midi.allNotesOff();
}

void InstrumentPanel::fillTuningLists(const Tuning& tuning) {
  const int strings = context_.instrument.strings();
  for (int s = 0; s < kStringSlots; ++s) {
    QComboBox* list = tunings_[s];
    const QSignalBlocker blocker(list);
    list->clear();
    if (s < strings) {
      list->addItems(noteNames());
      // A note no list offers shows as no choice rather than a wrong one.
      list->setCurrentIndex(tuning[s] >= 0 && tuning[s] <= kMaxOpenNote ? tuning[s] : -1);
      list->setAccessibleDescription(QStringLiteral("String %1").arg(strings - s));
    } else {
      list->setAccessibleDescription(QString());
    }
  }
  updateEnabled();
}

bool InstrumentPanel::locked() const {
  // An open chord book or score owns the instrument.
  return context_.session.anyOpen();
}

void InstrumentPanel::updateEnabled() {
  const int strings = context_.instrument.strings();
  const bool locked = this->locked();
  instruments_->setEnabled(!locked);
  for (int s = 0; s < kStringSlots; ++s) {
    tunings_[s]->setEnabled(!locked && s < strings);
  }
}

void InstrumentPanel::instrumentChosen(int index) {
  if (!locked()) {
    context_.notifier.chooseInstrument(index);
  }
}

void InstrumentPanel::noteChosen(int slot, int note) {
  if (!locked()) {
    context_.notifier.chooseStringNote(slot, note);
  }
}

}  // namespace fretlets

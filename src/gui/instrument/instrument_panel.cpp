#include "gui/instrument/instrument_panel.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>

#include "gui/common/app_state.h"
#include "gui/designer/designer_panel.h"
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
      list.append(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    return list;
  }();
  return names;
}

}  // namespace

InstrumentPanel::InstrumentPanel(AppContext& context, QWidget* frame)
    : Panel(context, QStringLiteral("Instrument"), QSize(264, 23), QStringLiteral("axe.bmp"),
            frame) {
  context.state.instrumentPanel = this;

  instruments_ = new QComboBox(this);
  instruments_->setObjectName(QStringLiteral("instrumentList"));
  instruments_->setGeometry(dialogRect(6, 6, 72, 12));
  instruments_->setToolTip(QStringLiteral("The instrument"));
  instruments_->setAccessibleName(QStringLiteral("The instrument"));
  instruments_->setMaxVisibleItems(kInstrumentCount);
  for (const InstrumentInfo& info : instrumentTable) {
    instruments_->addItem(
        QString::fromLatin1(info.name.data(), static_cast<qsizetype>(info.name.size())));
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

  instruments_->setCurrentIndex(context.instrument.currentInstrument);
  fillTuningLists(context.instrument.tuning);
  // An open chord book or score owns the instrument.
  if (!context.state.chordBookPanel.isNull() || !context.state.scorePanel.isNull()) {
    lock();
  }
}

void InstrumentPanel::midiOpened() {
  play_->setEnabled(true);
}

void InstrumentPanel::midiClosed() {
  play_->setEnabled(false);
}

void InstrumentPanel::lock() {
  locked_ = true;
  updateEnabled();
}

void InstrumentPanel::unlock() {
  locked_ = false;
  updateEnabled();
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

void InstrumentPanel::updateEnabled() {
  const int strings = context_.instrument.strings();
  instruments_->setEnabled(!locked_);
  for (int s = 0; s < kStringSlots; ++s) {
    tunings_[s]->setEnabled(!locked_ && s < strings);
  }
}

void InstrumentPanel::instrumentChosen(int index) {
  if (locked_ || !isInstrumentIndex(index)) {
    return;
  }
  InstrumentState& instrument = context_.instrument;
  instrument.currentInstrument = static_cast<std::int8_t>(index);
  defaultTuning(index, instrument.tuning);
  fillTuningLists(instrument.tuning);
  if (context_.state.designerPanel) {
    context_.state.designerPanel->instrumentChanged();
  } else {
    clearChord(context_.chord);
  }
}

void InstrumentPanel::noteChosen(int slot, int note) {
  if (locked_ || slot >= context_.instrument.strings() || note < 0 || note > kMaxOpenNote) {
    return;
  }
  context_.instrument.tuning[slot] = static_cast<std::int8_t>(note);
  if (context_.state.designerPanel) {
    context_.state.designerPanel->tuningChanged();
  }
}

}  // namespace fretlets

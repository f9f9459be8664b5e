#include "gui/common/notifier.h"

#include "music/designer_chord.h"
#include "music/instrument.h"
#include "sound/apply_patch.h"
#include "sound/midi_device.h"

namespace fretlets {

Notifier::Notifier(InstrumentState& instrument, DesignerChord& chord, MidiDevice& midi)
    : instrument_(instrument), chord_(chord), midi_(midi) {
  // An arpeggio or the open strings still sounding go on with what changed.
  for (const auto fact :
       {&Notifier::instrumentChanged, &Notifier::tuningChanged, &Notifier::chordChanged,
        &Notifier::chordLoaded, &Notifier::chordCleared}) {
    connect(this, fact, this, [this] { midi_.chordEdited(); });
  }
}

void Notifier::chooseInstrument(int index) {
  if (!isInstrumentIndex(index)) {
    return;
  }
  InstrumentState& instrument = instrument_;
  instrument.currentInstrument = static_cast<std::int8_t>(index);
  defaultTuning(index, instrument.tuning);
  fretlets::clearChord(chord_);
  emit instrumentChanged();
}

void Notifier::chooseStringNote(int slot, int note) {
  if (slot < 0 || slot >= instrument_.strings() || note < 0 || note > kMaxOpenNote) {
    return;
  }
  instrument_.tuning[slot] = static_cast<std::int8_t>(note);
  emit tuningChanged();
}

void Notifier::documentInstrumentArrived() {
  fretlets::clearChord(chord_);
  emit instrumentChanged();
}

void Notifier::announceMidiOpen(bool open) {
  emit midiOpenChanged(open);
}

void Notifier::loadChord() {
  emit chordLoaded();
}

void Notifier::clearChord() {
  chord_.frets.fill(kNone);
  emit chordCleared();
}

void Notifier::requestPatch(MidiStandard standard, int row) {
  emit patchRequested(standard, applyPatch(midi_, standard, row));
}

void Notifier::announceChordNamed(const ChordNameTexts& name) {
  chordName_ = name;
  emit chordChanged();
}

}  // namespace fretlets

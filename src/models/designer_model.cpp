#include "models/designer_model.h"

#include <algorithm>

#include "music/fingering_reading.h"
#include "sound/midi_device.h"

namespace fretlets {

DesignerModel::DesignerModel(const InstrumentState& instrument, DesignerChord& chord,
                             MidiDevice& midi)
    : instrument_(instrument),
      chord_(chord),
      midi_(midi),
      topFret_(std::clamp<int>(chord.topFret, 0, kMaxTopFret)),
      midiOpen_(midi.isOpen()),
      playNotesOn_(midi.isOpen() && midi.playNotes) {
  chord_.topFret = static_cast<std::int8_t>(topFret_);
  sanitizeChord();
}

bool DesignerModel::fretClick(int row, int slot) {
  if (row < 0 || row >= kDiagramRows || slot < 0 || slot >= strings()) {
    return false;
  }
  const int target = row == 0 && !chord_.barred ? 0 : topFret_ + row;
  std::int8_t& fret = chord_.frets[slot];
  bool& held = chord_.held[slot];
  if (fret != target) {
    fret = static_cast<std::int8_t>(target);
    held = false;
  } else if (chord_.holdAll) {
    held = !held;
  } else {
    fret = kNone;
  }
  // Sound before anything is drawn: the ear notices a delay first.
  if (playNotesOn_ && midiOpen_ && fret != kNone && !held) {
    midi_.playStringNote(slot, fret);
  }
  return true;
}

void DesignerModel::setBarred(bool barred) {
  for (int s = 0; s < strings(); ++s) {
    std::int8_t& fret = chord_.frets[s];
    if (barred && fret == 0) {
      fret = static_cast<std::int8_t>(topFret_);
    } else if (!barred && fret == topFret_) {
      fret = 0;
    }
  }
  chord_.barred = barred;
}

void DesignerModel::setHoldAll(bool hold) {
  chord_.holdAll = hold;
  chord_.held.fill(hold);
}

void DesignerModel::setTopFret(int topFret) {
  const int next = std::clamp(topFret, 0, kMaxTopFret);
  const int old = topFret_;
  if (next == old) {
    return;
  }
  for (std::int8_t& fret : chord_.frets) {
    if (fret == kNone || fret == 0) {
      continue;
    }
    const int moved = fret - old + next;
    // Only a string already outside the diagram can be pushed off the neck.
    fret = static_cast<std::int8_t>(moved < 0 || moved > kMaxFret ? kNone : moved);
  }
  topFret_ = next;
  chord_.topFret = static_cast<std::int8_t>(next);
  if (old == 0) {
    setBarred(chord_.barred);
  }
}

void DesignerModel::chooseRoot(int slot) {
  if (slot < 0 || slot >= strings() || !chord_.sounds(slot)) {
    return;
  }
  requestedRoot_ = slot;
}

void DesignerModel::clear() {
  chord_.frets.fill(kNone);
}

void DesignerModel::setEnharmonic(bool enharmonic) {
  chord_.enharmonic = enharmonic;
}

void DesignerModel::setPlayNotes(bool on) {
  if (midiOpen_) {
    playNotesOn_ = on;
  }
}

void DesignerModel::play() {
  if (midiOpen_ && midi_.isOpen()) {
    midi_.arpeggiateChord(0);
  }
}

void DesignerModel::silence() {
  midi_.allNotesOff();
}

void DesignerModel::setArpeggioDelay(int ms) {
  midi_.arpeggioDelayMs = std::clamp(ms, kMinArpeggioDelayMs, kMaxArpeggioDelayMs);
}

int DesignerModel::arpeggioDelay() const {
  return std::clamp<int>(midi_.arpeggioDelayMs, kMinArpeggioDelayMs, kMaxArpeggioDelayMs);
}

void DesignerModel::instrumentChanged() {
  clearChord(chord_);
  topFret_ = std::clamp<int>(chord_.topFret, 0, kMaxTopFret);
  chord_.topFret = static_cast<std::int8_t>(topFret_);
}

void DesignerModel::midiOpened() {
  if (midiOpen_) {
    return;
  }
  midiOpen_ = true;
  playNotesOn_ = midi_.playNotes;
}

void DesignerModel::midiClosed() {
  // A second notice must not overwrite the kept setting with the switched
  // off button.
  if (!midiOpen_) {
    return;
  }
  midiOpen_ = false;
  midi_.playNotes = playNotesOn_;
  playNotesOn_ = false;
}

void DesignerModel::chordLoaded() {
  topFret_ = std::clamp<int>(chord_.topFret, 0, kMaxTopFret);
  chord_.topFret = static_cast<std::int8_t>(topFret_);
  sanitizeChord();
  requestedRoot_ = chord_.rootString;
}

void DesignerModel::sanitizeChord() {
  for (int s = 0; s < kStringSlots; ++s) {
    std::int8_t& fret = chord_.frets[s];
    if (s >= strings() || fret < kNone || fret > kMaxFret) {
      fret = kNone;
    }
  }
}

DesignerView DesignerModel::refresh() {
  if (requestedRoot_ != kNone &&
      (requestedRoot_ < 0 || requestedRoot_ >= strings() || !chord_.sounds(requestedRoot_))) {
    requestedRoot_ = kNone;
  }
  DesignerView view;
  const FingeringReading reading = readFingering(chord_, instrument_.tuning, requestedRoot_);
  for (int s = 0; s < kStringSlots; ++s) {
    view.strings[s].sounds = chord_.sounds(s);
    view.strings[s].interval = intervalLabel(reading.strings[s].interval);
    view.strings[s].note = reading.strings[s].note;
  }
  if (reading.rootString == kNone) {
    return view;
  }
  // The root shown is the root the documents file with the chord.
  chord_.rootString = static_cast<std::int8_t>(reading.rootString);
  view.strings[reading.rootString].isRoot = true;
  view.root = reading.name.root;
  view.type = reading.name.type;
  view.bass = reading.name.bass;
  view.implied = reading.name.implied;
  return view;
}

DiagramMark DesignerModel::mark(int slot) const {
  DiagramMark mark;
  if (slot < 0 || slot >= strings()) {
    return mark;
  }
  const int fret = chord_.frets[slot];
  if (fret == kNone) {
    return mark;
  }
  mark.held = chord_.held[slot];
  if (fret == 0 && !chord_.barred) {
    mark.kind = DiagramMark::Kind::Open;
    return mark;
  }
  mark.kind = DiagramMark::Kind::Fretted;
  const int row = fret - topFret_;
  mark.outside = row < 0 ? -1 : row >= kDiagramRows ? 1 : 0;
  mark.row = std::clamp(row, 0, kDiagramRows - 1);
  return mark;
}

}  // namespace fretlets

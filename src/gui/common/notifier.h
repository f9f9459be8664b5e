#pragma once

#include <QObject>
#include <QString>
#include <vector>

#include "music/designer_chord.h"
#include "music/patch_table.h"

namespace fretlets {

struct InstrumentState;
class MidiDevice;

// The Designer's name boxes as they read now, typed over by the user or not:
// documents file and name chords by these texts.
struct ChordNameTexts {
  QString root;
  QString type;
  QString bass;
};

// A fingering to file in a chord book and the chord type it goes under, as
// the Designer's type box would name it.
struct BookFiling {
  DesignerChord chord;
  QString type;
};

// One object over the shared records that says what happened to them. A
// window that changes a record does it through here, so the work on the
// records is done once whether or not the window that shows it exists; every
// panel connects to the facts it shows in its constructor, and a fact no
// panel listens to reaches nobody.
class Notifier : public QObject {
  Q_OBJECT

 public:
  Notifier(InstrumentState& instrument, DesignerChord& chord, MidiDevice& midi);

  // The user chose an instrument: its standard tuning, and a cleared chord.
  void chooseInstrument(int index);
  // The user chose the open note of a string.
  void chooseStringNote(int slot, int note);
  // A document brought its instrument and tuning into the records.
  void documentInstrumentArrived();
  // The MIDI output went on or off.
  void announceMidiOpen(bool open);
  // A document wrote a fingering into the chord.
  void loadChord();
  // A document's last fingering went: every string is muted.
  void clearChord();
  // A score asks for its patch: the device takes it, the MIDI Amp shows it.
  void requestPatch(MidiStandard standard, int row);
  // Escape in the Designer: a score that plays stops.
  void requestPlaybackStop() { emit playbackStopRequested(); }
  // A document panel hands the keyboard on to the Designer.
  void requestDesignerFocus() { emit designerFocusRequested(); }
  // The user chose another reading of the Designer's chord: the root on
  // this string, as the Designer's root button would choose it.
  void chooseRoot(int slot) { emit rootChosen(slot); }
  // The Designer's chord goes into the open chord book, as its Add files it;
  // a duplicate is refused, and said so.
  void requestBookAdd() { emit bookAddRequested(); }
  // Many fingerings go into the open chord book at once, duplicates skipped
  // without a word; the book shows and sounds only where it ends.
  void requestBookAddAll(const std::vector<BookFiling>& filings) {
    emit bookAddAllRequested(filings);
  }
  // View > Left-Handed went on or off.
  void announceLeftHanded(bool on) { emit leftHandedChanged(on); }
  // A chord book or score opened or closed.
  void announceDocuments() { emit documentsChanged(); }
  // The Designer named its chord again.
  void announceChordNamed(const ChordNameTexts& name);
  // The user typed over the name.
  void setChordNameTexts(const ChordNameTexts& name) { chordName_ = name; }
  const ChordNameTexts& chordName() const { return chordName_; }

 signals:
  void instrumentChanged();
  void tuningChanged();
  void midiOpenChanged(bool open);
  void chordChanged();
  void chordLoaded();
  void chordCleared();
  void patchRequested(MidiStandard standard, int row);
  void playbackStopRequested();
  void designerFocusRequested();
  void documentsChanged();
  void rootChosen(int slot);
  void leftHandedChanged(bool on);
  void bookAddRequested();
  void bookAddAllRequested(const std::vector<BookFiling>& filings);

 private:
  InstrumentState& instrument_;
  DesignerChord& chord_;
  MidiDevice& midi_;
  ChordNameTexts chordName_;
};

}  // namespace fretlets

#pragma once

#include <array>
#include <string_view>

#include "music/chord_type.h"
#include "music/designer_chord.h"
#include "music/instrument.h"
#include "music/note.h"

namespace fretlets {

class MidiDevice;

// The diagram has six rows: row 0 above the top fret line (open strings,
// crosses, and the barred top fret), rows 1..5 the frets below it.
inline constexpr int kDiagramRows = 6;
inline constexpr int kMinArpeggioDelayMs = 1;
inline constexpr int kMaxArpeggioDelayMs = 500;

// What the Designer shows for one string slot after a refresh.
struct DesignerStringView {
  bool sounds = false;        // its root button and boxes are enabled
  bool isRoot = false;        // its root button is checked
  std::string_view interval;  // "1" .. "#7", or "" when silent
  std::string_view note;      // spelled from the root, or "" when silent
};

// Everything the refresh computes for the panel, as a value.
struct DesignerView {
  std::array<DesignerStringView, kStringSlots> strings;
  std::string_view root;
  std::string_view type;
  std::string_view bass;
  ImpliedIntervals implied;
};

// Where a played string's mark goes in the diagram. A string whose row falls
// outside 0..5 (a shape placed away from its frets by a document) is shown
// in the nearest edge row and flagged, so nothing indexes past the rows.
struct DiagramMark {
  enum class Kind { Muted, Open, Fretted };
  Kind kind = Kind::Muted;
  int row = 0;      // 0..5 always
  int outside = 0;  // -1 above the diagram, +1 below it, 0 inside
  bool held = false;
};

// The Chord Designer's behaviour without any window: the operations that
// change the application-wide chord, and the refresh that names it. The
// chord, the instrument and the MIDI device belong to the program; the model
// keeps only what the panel itself owns: the requested root, the diagram's
// top fret and the "Play notes" switch while MIDI is on.
class DesignerModel {
 public:
  DesignerModel(const InstrumentState& instrument, DesignerChord& chord, MidiDevice& midi);

  // A press on a diagram cell: the first press frets the string there, a
  // second one mutes it (or, with Hold on, marks it held and unmarks it);
  // row 0 opens the string unless the top fret is barred. Sounds the string
  // when "Play notes" is on. False when the cell does not exist.
  bool fretClick(int row, int slot);
  void setBarred(bool barred);
  void setHoldAll(bool hold);
  // Moves the fretted strings with the diagram. Values are kept in 0..17.
  void setTopFret(int topFret);
  // Names the chord from this string; ignored for a silent string.
  void chooseRoot(int slot);
  // Mutes every string; held marks, the bar and the top fret stay.
  void clear();
  void setEnharmonic(bool enharmonic);
  void setPlayNotes(bool on);
  void play();
  void silence();
  void setArpeggioDelay(int ms);

  // Messages from the other panels.
  void instrumentChanged();
  void midiOpened();
  void midiClosed();
  // A document wrote a fingering into the chord: take its top fret and root.
  void chordLoaded();

  // Reads the chord with its root on the requested string (or the lowest
  // sounding one), which becomes the chord's root string, and returns what
  // to show.
  DesignerView refresh();

  int strings() const { return instrument_.strings(); }
  int topFret() const { return topFret_; }
  int requestedRoot() const { return requestedRoot_; }
  bool playEnabled() const { return midiOpen_; }
  bool playNotesOn() const { return playNotesOn_; }
  int arpeggioDelay() const;
  const DesignerChord& chord() const { return chord_; }
  const InstrumentState& instrument() const { return instrument_; }
  DiagramMark mark(int slot) const;

 private:
  // Keeps the chord within what the diagram and the naming can hold.
  void sanitizeChord();

  const InstrumentState& instrument_;
  DesignerChord& chord_;
  MidiDevice& midi_;
  int requestedRoot_ = kNone;
  int topFret_ = 0;
  bool midiOpen_ = false;
  bool playNotesOn_ = false;
};

}  // namespace fretlets

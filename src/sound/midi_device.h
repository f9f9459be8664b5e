#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "music/designer_chord.h"
#include "music/instrument.h"
#include "music/patch_table.h"
#include "sound/midi_output.h"
#include "sound/timer_service.h"

namespace fretlets {

// All sound of the program goes through here: the few channel messages it
// needs, the sound settings the panels share, the note each string is
// sounding, and chords struck string by string on one-shot timers.
//
// A chain works out each step's note from the instrument, the tuning and the
// chord when it arms the step, and works it out again when told that they
// changed (chordEdited), so a chord edited during an arpeggio goes on with its
// new strings. Every method runs on the owner thread (timer callbacks
// included); the notes of the chains leave from the timing side.
class MidiDevice {
 public:
  using Outputs = std::vector<std::reference_wrapper<MidiOutput>>;

  // outputs: in order of preference; openMidiMapper uses the first that
  // opens. All references must outlive the device.
  MidiDevice(const InstrumentState& instrument, const DesignerChord& chord, TimerService& timers,
             Outputs outputs);
  MidiDevice(const MidiDevice&) = delete;
  MidiDevice& operator=(const MidiDevice&) = delete;
  // Stops the chains still running and, when open, silences and closes.
  ~MidiDevice();

  // Lets every output start getting ready without waiting for it: at program
  // start, and again before an open after a failed one.
  void prepareOutputs();
  // True when openMidiMapper() would not wait for an output to get ready.
  bool outputsReady() const;
  // True when an output opened; false, with isOpen() false, when none did.
  bool openMidiMapper();
  // Marks the device closed, silences every note, closes the output.
  void closeMidi();
  bool isOpen() const { return isOpen_; }

  // Messages are dropped while no output is open.
  void sendShortMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
  void noteOn(std::uint8_t note);
  void noteOff(std::uint8_t note);
  void allNotesOff();
  // Bank select LSB, then program change; the bank MSB is never sent.
  void selectPatch(std::uint8_t bankNumber, std::uint8_t programNumber);
  // Stores the patch for the panels and for new scores; sends nothing.
  void rememberPatch(MidiStandard standard, int row, std::uint8_t bankNumber,
                     std::uint8_t programNumber);

  // Strikes the open-string note of string plus fret.
  void playStringNote(int string, int fret);
  // Stops the note string is sounding, if any, and records note (-1: none).
  void replaceSoundingNote(int string, int note);

  // Strikes the chord's played, unheld strings from firstString up, the
  // first at once and each further one arpeggioDelayMs after the one before.
  // Skipped strings cost no time. Nothing is stopped: the notes ring.
  void arpeggiateChord(int firstString);
  // Strikes the open strings from firstString up, tuningDelayMs apart.
  void playOpenStrings(int firstString);
  // The instrument, the tuning or the chord changed: the chains still running
  // work out their next notes again.
  void chordEdited();
  // Sounds the chord at once for score playback: unheld strings are struck
  // again, held strings ring on (or only stop when their note changed), and
  // unplayed strings stop only when the chord's release flag is set.
  void soundChord(int firstString);

  // The messages soundChord(firstString) would send for chord, given what
  // each string sounds now (sounding, updated as soundChord updates
  // soundingNotes). Sends nothing: for working out a chord ahead of its
  // moment.
  std::vector<std::uint32_t> chordMessages(const DesignerChord& chord, int firstString,
                                           std::array<std::int8_t, kStringSlots>& sounding) const;
  // Sends messages through the output open when it is called, if any; any
  // thread may call it, and it may outlive the device (it then sends
  // nothing). For a timer's sound; sent, when given, is set once the
  // messages went, for an owner that cancels the timer and must know whether
  // they already left.
  std::function<void()> sender(std::vector<std::uint32_t> messages,
                               std::shared_ptr<std::atomic<bool>> sent = nullptr) const;

  // The settings the panels share through the device.
  static constexpr std::uint8_t channel = 0;
  bool playNotes = true;
  std::uint8_t velocity = 127;
  std::int32_t arpeggioDelayMs = 1;
  const std::int32_t tuningDelayMs = 500;
  std::uint32_t beatMs = 0;
  std::array<std::int8_t, kStringSlots> soundingNotes{};
  MidiStandard midiStandard = MidiStandard::GM;
  std::int32_t patchIndex = defaultPatchRow(MidiStandard::GM);
  std::uint8_t bank = 0;
  std::uint8_t program = 0;

 private:
  // The note-on of note at the device's velocity, for sending later.
  std::uint32_t noteOnMessage(int note) const;

  enum class Chain { Arpeggio, OpenStrings };
  // A step armed and not yet run, kept so that the device can work it out
  // again or stop it when it goes away before the timer fires.
  struct ChainStep {
    TimerHandle handle;
    Chain chain;
    int firstString;  // where the step looked for its string
    int string;       // the string it strikes
    std::chrono::microseconds deadline;
    std::shared_ptr<std::atomic<bool>> struck;  // set once its note has left
  };
  // The string a chain strikes next from firstString up, or kNone.
  int nextChainString(Chain chain, int firstString) const;
  // The note-on that string strikes in the chain (none below MIDI note 0).
  std::vector<std::uint32_t> chainNote(Chain chain, int string) const;
  std::chrono::microseconds chainDelay(Chain chain) const;
  void startChain(Chain chain, int firstString);
  // Arms the chain's next string from firstString up to sound at deadline.
  void armChainStep(Chain chain, int firstString, std::chrono::microseconds deadline);

  const InstrumentState& instrument_;
  const DesignerChord& chord_;
  TimerService& timers_;
  // The open output, shared with the senders given out: every message goes
  // out under its lock, from the owner thread or a timer's sound.
  struct Line {
    std::mutex mutex;
    MidiOutput* output = nullptr;  // the one of outputs_ that is open
  };

  const Outputs outputs_;
  const std::shared_ptr<Line> line_ = std::make_shared<Line>();
  bool isOpen_ = false;
  std::uint64_t lastStep_ = 0;
  std::map<std::uint64_t, ChainStep> chainTimers_;  // by step
};

}  // namespace fretlets

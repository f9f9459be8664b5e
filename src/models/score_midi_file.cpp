#include "models/score_midi_file.h"

#include <chrono>
#include <set>
#include <string>
#include <string_view>

#include "documents/score.h"
#include "models/score_playback.h"
#include "music/instrument.h"
#include "music/patch_table.h"
#include "sound/apply_patch.h"
#include "sound/manual_timer_service.h"
#include "sound/midi_device.h"
#include "sound/recording_output.h"

namespace fretlets {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kMetaTrackName = 0x03;
constexpr std::uint8_t kMetaMarker = 0x06;
constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
constexpr std::uint8_t kMetaTempo = 0x51;

void putBigEndian(Bytes& out, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) {
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

void putVariable(Bytes& out, std::uint32_t value) {
  std::uint8_t groups[5];
  int count = 0;
  do {
    groups[count++] = value & 0x7F;
    value >>= 7;
  } while (value != 0);
  while (count > 1) {
    out.push_back(groups[--count] | 0x80);
  }
  out.push_back(groups[0]);
}

// Events of one track in time order, each with its delta time.
class Track {
 public:
  void event(std::uint32_t ms, std::initializer_list<std::uint8_t> bytes) {
    putVariable(data_, ms - last_);
    last_ = ms;
    data_.insert(data_.end(), bytes);
  }
  void meta(std::uint32_t ms, std::uint8_t type, std::string_view text) {
    event(ms, {0xFF, type});
    putVariable(data_, static_cast<std::uint32_t>(text.size()));
    data_.insert(data_.end(), text.begin(), text.end());
  }
  void end(std::uint32_t ms) { event(std::max(ms, last_), {0xFF, kMetaEndOfTrack, 0}); }
  void appendTo(Bytes& file) const {
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    putBigEndian(file, static_cast<std::uint32_t>(data_.size()), 4);
    file.insert(file.end(), data_.begin(), data_.end());
  }

 private:
  Bytes data_;
  std::uint32_t last_ = 0;
};

// A note-on of velocity 0 ends a note as a note-off does.
bool endsNote(std::uint8_t status, std::uint8_t velocity) {
  const std::uint8_t kind = status & 0xF0;
  return kind == kNoteOff || (kind == kNoteOn && velocity == 0);
}

}  // namespace

std::vector<std::uint8_t> scoreMidiFile(const Score& score, const InstrumentState& instrument) {
  Score played = score;
  played.goFirst();
  DesignerChord chord;
  ManualTimerService timers;
  RecordingOutput output(timers);
  MidiDevice device(instrument, chord, timers, {output});
  device.openMidiMapper();
  applyPatch(device, static_cast<MidiStandard>(score.patch.midiStandard), score.patch.patchIndex);
  const std::uint32_t beatMs = beatMsForTempo(score.tempo);
  device.beatMs = beatMs;

  struct Marker {
    std::uint32_t ms;
    std::string name;
  };
  std::vector<Marker> markers;
  ScorePlayback playback(played, chord, instrument, device, timers);
  playback.setRepeat(false);
  playback.setChordShown([&] {
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(timers.now());
    markers.push_back(
        {static_cast<std::uint32_t>(now.count()), std::string(played.current().name.view())});
  });
  playback.run();
  while (playback.playing()) {
    const auto next = timers.nextDeadline();
    if (!next) {
      break;
    }
    timers.advance(std::chrono::ceil<std::chrono::milliseconds>(*next - timers.now()));
  }
  const std::uint32_t endMs = static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(timers.now()).count());

  Track conductor;
  conductor.meta(0, kMetaTrackName, score.title.view());
  const std::uint32_t microsPerBeat = beatMs * 1000;
  conductor.event(
      0, {0xFF, kMetaTempo, 3, static_cast<std::uint8_t>(microsPerBeat >> 16),
          static_cast<std::uint8_t>(microsPerBeat >> 8), static_cast<std::uint8_t>(microsPerBeat)});
  for (const Marker& marker : markers) {
    conductor.meta(marker.ms, kMetaMarker, marker.name);
  }
  conductor.end(endMs);

  Track notes;
  notes.meta(0, kMetaTrackName,
             patchTable(device.midiStandard)[static_cast<std::size_t>(device.patchIndex)].name);
  std::set<std::uint8_t> sounding;
  for (const RecordingOutput::Sent& sent : output.sent()) {
    const auto ms = static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sent.time).count());
    const std::uint8_t status = messageStatus(sent.message);
    const std::uint8_t data1 = messageData1(sent.message);
    const std::uint8_t data2 = messageData2(sent.message);
    const std::uint8_t kind = status & 0xF0;
    if (kind == kControlChange && data1 == kAllNotesOffController) {
      for (const std::uint8_t note : sounding) {
        notes.event(ms, {static_cast<std::uint8_t>(kNoteOff | (status & 0x0F)), note, 0});
      }
      sounding.clear();
    }
    if (kind == kProgramChange || kind == kChannelPressure) {
      notes.event(ms, {status, data1});
      continue;
    }
    if (kind == kNoteOn && data2 > 0) {
      sounding.insert(data1);
    } else if (endsNote(status, data2)) {
      sounding.erase(data1);
    }
    notes.event(ms, {status, data1, data2});
  }
  notes.end(endMs);

  Bytes file{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2};
  putBigEndian(file, beatMs, 2);
  conductor.appendTo(file);
  notes.appendTo(file);
  return file;
}

}  // namespace fretlets

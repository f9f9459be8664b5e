#include "documents/score_file.h"

#include <algorithm>
#include <exception>
#include <string>

#include "music/designer_chord.h"
#include "music/fretlet_record.h"
#include "music/patch_table.h"

namespace fretlets {
namespace {

constexpr std::string_view kMarker = "Score";

[[noreturn]] void fail(std::string_view message) {
  throw FormatError(std::string(message));
}

void require(bool valid) {
  if (!valid) {
    fail(kScoreCorrupt);
  }
}

std::string readText(ByteReader& in, std::size_t max) {
  const std::int32_t length = in.int32();
  require(length >= 0 && static_cast<std::size_t>(length) <= max);
  return in.text(static_cast<std::size_t>(length));
}

// Lowest and highest fret a writer can store: an open string of a movable
// shape captured at the highest top fret and applied at the nut, and the
// last fret.
constexpr int kLowestFret = -kMaxTopFret;

ScoreEntry readEntry(ByteReader& in, int strings, bool hasRelease) {
  ScoreEntry entry;
  entry.name = readText(in, kEntryNameMax);
  entry.rootString = in.int8();
  entry.topFret = in.int8();
  entry.barred = in.flag();
  entry.enharmonic = in.flag();
  entry.holdAll = in.flag();
  // Playback waits beatsToNext twelfths of a beat. A writer may have stored 0
  // (played as the shortest length) or, as an unsigned byte, more than 127:
  // both are kept to the lengths the program can show and play.
  entry.beatsToNext = static_cast<std::int8_t>(
      std::clamp(int{static_cast<std::uint8_t>(in.int8())}, kMinBeatsToNext, kMaxBeatsToNext));
  entry.release = hasRelease ? in.flag() : true;
  for (int s = 0; s < strings; ++s) {
    entry.frets[s] = in.int8();
    entry.held[s] = in.flag();
  }
  // The Designer keeps its root while no string sounds, also across a change
  // to an instrument with fewer strings: an all-muted entry may name any slot.
  require(entry.rootString >= 0 && entry.rootString < kStringSlots);
  require(entry.topFret >= 0 && entry.topFret <= kMaxTopFret);
  // A movable chord applied at another top fret may have left frets the
  // diagram cannot show; they are cleaned as applying a fretlet cleans them.
  for (int s = 0; s < strings; ++s) {
    require(entry.frets[s] >= kLowestFret && entry.frets[s] <= kMaxFret);
    entry.frets[s] = static_cast<std::int8_t>(cleanFret(entry.frets[s], entry.topFret));
  }
  return entry;
}

// The patch index is a row of the standard's patch table.
bool patchValid(const ScorePatch& patch) {
  if (patch.midiStandard != 0 && patch.midiStandard != 1) {
    return false;
  }
  const std::size_t rows = patchTable(static_cast<MidiStandard>(patch.midiStandard)).size();
  return patch.patchIndex >= 0 && static_cast<std::size_t>(patch.patchIndex) < rows &&
         patch.bank >= 0 && patch.program >= 0;
}

Score parseBody(ByteReader& in, std::int32_t version, InstrumentState& instrument,
                bool chordBookOpen, std::string_view userName) {
  const DocumentInstrument made = readDocumentInstrument(
      in, instrument, chordBookOpen,
      {kScoreCorrupt, kScoreInstrumentIncompatible, kScoreTuningIncompatible});
  const int strings = stringCount(made.instrument);

  const std::string title = readText(in, kScoreTextMax);
  const std::string composer = readText(in, kScoreTextMax);
  const std::string comment = readText(in, kScoreTextMax);
  const std::int32_t tempo = in.int32();
  // Playback divides a minute by the tempo.
  require(tempo >= kMinTempo && tempo <= kMaxTempo);
  ScorePatch patch;
  patch.midiStandard = in.int8();
  patch.patchIndex = in.int32();
  patch.bank = in.int8();
  patch.program = in.int8();
  require(patchValid(patch));
  Score score(comment, patch);
  score.title = title;
  score.composer = composer;
  score.tempo = tempo;
  score.defaultBeats = in.int8();
  // New entries last defaultBeats beats, which must fit their length byte.
  require(score.defaultBeats >= kMinDefaultBeats && score.defaultBeats <= kMaxDefaultBeats);
  score.locked = in.flag();
  if (score.locked) {
    score.owner = readText(in, kScoreTextMax);
    // The writer stamps the name cut to the field: compare it so cut.
    score.ownedByUser = score.owner == ScoreText(userName);
  }

  const bool hasRelease = version == kScoreVersion;
  const std::int32_t entryCount = in.int32();
  require(entryCount >= 0);
  // Name length, six option bytes, the release flag and a pair per string.
  in.expectRoomFor(entryCount,
                   4 + 6 + (hasRelease ? 1 : 0) + 2 * static_cast<std::size_t>(strings));
  for (std::int32_t e = 0; e < entryCount; ++e) {
    score.appendEntry(readEntry(in, strings, hasRelease));
  }
  // Taking the file's instrument only now means a file that fails anywhere
  // leaves the instrument and tuning as they were.
  if (!chordBookOpen) {
    adoptInstrument(instrument, made.instrument, made.tuning);
  }
  return score;
}

}  // namespace

Score parseScore(std::span<const std::uint8_t> bytes, InstrumentState& instrument,
                 bool chordBookOpen, std::string_view userName) {
  try {
    ByteReader in(bytes);
    const std::int32_t markerLength = in.int32();
    if (markerLength < 0 || markerLength > static_cast<std::int32_t>(kMarker.size())) {
      fail(kScoreCorrupt);
    }
    if (in.text(static_cast<std::size_t>(markerLength)) != kMarker) {
      fail(kNotAScore);
    }
    const std::int32_t version = in.int32();
    if (version != kScoreVersion && version != kScoreVersionWithoutRelease) {
      fail(kUnknownScoreVersion);
    }
    return parseBody(in, version, instrument, chordBookOpen, userName);
  } catch (const FormatError&) {
    throw;
  } catch (const std::exception&) {
    fail(kErrorReading);
  }
}

Score readScore(const std::filesystem::path& path, InstrumentState& instrument, bool chordBookOpen,
                std::string_view userName) {
  return parseScore(readFileBytes(path), instrument, chordBookOpen, userName);
}

std::vector<std::uint8_t> scoreBytes(const Score& score, const InstrumentState& instrument,
                                     std::string_view userName) {
  const int strings = instrument.strings();
  ByteWriter out;
  out.lengthAndText(kMarker);
  out.int32(kScoreVersion);
  writeDocumentInstrument(out, instrument);
  out.lengthAndText(score.title.view());
  out.lengthAndText(score.composer.view());
  out.lengthAndText(score.comment.view());
  out.int32(score.tempo);
  out.int8(score.patch.midiStandard);
  out.int32(score.patch.patchIndex);
  out.int8(score.patch.bank);
  out.int8(score.patch.program);
  out.int8(score.defaultBeats);
  out.flag(score.locked);
  if (score.locked) {
    out.lengthAndText(ScoreText(userName).view());
  }
  out.int32(static_cast<std::int32_t>(score.entries().size()));
  for (const ScoreEntry& entry : score.entries()) {
    out.lengthAndText(entry.name.view());
    out.int8(entry.rootString);
    out.int8(entry.topFret);
    out.flag(entry.barred);
    out.flag(entry.enharmonic);
    out.flag(entry.holdAll);
    out.int8(entry.beatsToNext);
    out.flag(entry.release);
    for (int s = 0; s < strings; ++s) {
      out.int8(entry.frets[s]);
      out.flag(entry.held[s]);
    }
  }
  return out.bytes();
}

void writeScore(const Score& score, const InstrumentState& instrument, std::string_view userName,
                const std::filesystem::path& path) {
  try {
    writeFileReplacing(path, scoreBytes(score, instrument, userName));
  } catch (const FormatError&) {
    throw;
  } catch (const std::exception&) {
    fail(kErrorWriting);
  }
}

Score openOrCreateScore(const std::filesystem::path& path, InstrumentState& instrument,
                        bool chordBookOpen, std::string_view userName, const Score& blank) {
  if (!pathExists(path)) {
    writeScore(blank, instrument, userName, path);
  }
  return readScore(path, instrument, chordBookOpen, userName);
}

}  // namespace fretlets

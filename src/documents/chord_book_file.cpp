#include "documents/chord_book_file.h"

#include <exception>
#include <string>

#include "music/designer_chord.h"

namespace fretlets {
namespace {

constexpr std::string_view kMagic = "chordbook";
constexpr std::int32_t kMaxMagicLength = 29;
// Lowest fret a fretlet can hold: an open string of a movable shape captured
// while the diagram stood at its highest top fret.
constexpr int kLowestFret = -kMaxTopFret;

[[noreturn]] void fail(std::string_view message) {
  throw FormatError(std::string(message));
}

std::int32_t readTextLength(ByteReader& in, std::int32_t max) {
  const std::int32_t length = in.int32();
  if (length < 0 || length > max) {
    fail(kChordBookCorrupt);
  }
  return length;
}

// Frets no writer can make are damage. A fixed fretlet may hold frets its
// top fret cannot show (one filed from a score whose movable chord was moved
// away from its open strings): they are cleaned as applying would clean them,
// so that everything that names or draws fretlets later can rely on them.
FretletRecord readFretlet(ByteReader& in, int strings) {
  FretletRecord fretlet;
  fretlet.rootString = in.int8();
  fretlet.position = in.int8();
  for (int s = 0; s < strings; ++s) {
    fretlet.frets[s] = in.int8();
  }
  // The Designer keeps its root while no string sounds, also across a change
  // to an instrument with fewer strings, so an all-muted fretlet may name
  // any of the six slots.
  const bool rootValid = fretlet.rootString >= 0 && fretlet.rootString < kStringSlots;
  const bool positionValid =
      fretlet.position >= FretletRecord::kMovable && fretlet.position <= kMaxTopFret;
  bool fretsValid = true;
  for (int s = 0; s < strings; ++s) {
    fretsValid = fretsValid && fretlet.frets[s] >= kLowestFret && fretlet.frets[s] <= kMaxFret;
  }
  if (!rootValid || !positionValid || !fretsValid) {
    fail(kChordBookCorrupt);
  }
  if (!fretlet.movable()) {
    for (int s = 0; s < strings; ++s) {
      fretlet.frets[s] = static_cast<std::int8_t>(cleanFret(fretlet.frets[s], fretlet.position));
    }
  }
  return fretlet;
}

// The fields up to the instrument: the probe in binary, then once more in
// the mode the version calls for.
std::int32_t readHeader(ByteReader& in, bool checkMagic) {
  const std::int32_t magicLength = readTextLength(in, kMaxMagicLength);
  const std::string magic = in.text(static_cast<std::size_t>(magicLength));
  if (checkMagic && magic != kMagic) {
    fail(kNotAChordBook);
  }
  return in.int32();
}

ChordBook parseBody(ByteReader& in, InstrumentState& instrument, bool scoreOpen) {
  const DocumentInstrument made = readDocumentInstrument(
      in, instrument, scoreOpen,
      {kChordBookCorrupt, kChordBookInstrumentIncompatible, kChordBookTuningIncompatible});
  const int strings = stringCount(made.instrument);

  ChordBook book(strings);
  const std::int32_t chordCount = in.int32();
  if (chordCount < 0) {
    fail(kChordBookCorrupt);
  }
  const std::size_t fretletSize = 2 + static_cast<std::size_t>(strings);
  // Name length, fretlet count and at least one fretlet.
  in.expectRoomFor(chordCount, 4 + 4 + fretletSize);
  for (std::int32_t c = 0; c < chordCount; ++c) {
    BookChord chord;
    chord.name = in.text(static_cast<std::size_t>(readTextLength(in, kChordTypeNameMax)));
    const std::int32_t fretletCount = in.int32();
    // A chord without fretlets has no place in a book: the cursor always
    // stands on a fretlet of its chord.
    if (fretletCount <= 0) {
      fail(kChordBookCorrupt);
    }
    in.expectRoomFor(fretletCount, fretletSize);
    for (std::int32_t f = 0; f < fretletCount; ++f) {
      chord.fretlets.push_back(readFretlet(in, strings));
    }
    book.appendChord(std::move(chord));
  }
  book.finishLoading();
  // Taking the file's instrument only now means a file that fails anywhere
  // leaves the instrument and tuning as they were.
  if (!scoreOpen) {
    adoptInstrument(instrument, made.instrument, made.tuning);
  }
  return book;
}

}  // namespace

ChordBook parseChordBook(std::span<const std::uint8_t> bytes, InstrumentState& instrument,
                         bool scoreOpen) {
  try {
    ByteReader probe(bytes);
    const std::int32_t version = readHeader(probe, true);
    if (version == kChordBookVersion) {
      ByteReader in(bytes);
      readHeader(in, false);
      return parseBody(in, instrument, scoreOpen);
    }
    if (version == kChordBookTextModeVersion) {
      // Older books were read through text-mode translation; doing it here
      // reads them the same on every platform.
      const std::vector<std::uint8_t> translated = translateTextMode(bytes);
      ByteReader in(translated);
      readHeader(in, false);
      return parseBody(in, instrument, scoreOpen);
    }
    fail(kUnknownChordBookVersion);
  } catch (const FormatError&) {
    throw;
  } catch (const std::exception&) {
    fail(kErrorReading);
  }
}

ChordBook readChordBook(const std::filesystem::path& path, InstrumentState& instrument,
                        bool scoreOpen) {
  return parseChordBook(readFileBytes(path), instrument, scoreOpen);
}

std::vector<std::uint8_t> chordBookBytes(const ChordBook& book, const InstrumentState& instrument) {
  const int strings = instrument.strings();
  ByteWriter out;
  out.lengthAndText(kMagic);
  out.int32(kChordBookVersion);
  writeDocumentInstrument(out, instrument);
  out.int32(static_cast<std::int32_t>(book.chords().size()));
  for (const BookChord& chord : book.chords()) {
    out.lengthAndText(chord.name.view());
    out.int32(static_cast<std::int32_t>(chord.fretlets.size()));
    for (const FretletRecord& fretlet : chord.fretlets) {
      out.int8(fretlet.rootString);
      out.int8(fretlet.position);
      for (int s = 0; s < strings; ++s) {
        out.int8(fretlet.frets[s]);
      }
    }
  }
  return out.bytes();
}

void writeChordBook(const ChordBook& book, const InstrumentState& instrument,
                    const std::filesystem::path& path) {
  try {
    writeFileReplacing(path, chordBookBytes(book, instrument));
  } catch (const FormatError&) {
    throw;
  } catch (const std::exception&) {
    fail(kErrorWriting);
  }
}

ChordBook openOrCreateChordBook(const std::filesystem::path& path, InstrumentState& instrument,
                                bool scoreOpen) {
  if (!pathExists(path)) {
    writeChordBook(ChordBook(instrument.strings()), instrument, path);
  }
  return readChordBook(path, instrument, scoreOpen);
}

}  // namespace fretlets

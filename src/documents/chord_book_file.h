#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "documents/byte_stream.h"
#include "documents/chord_book.h"
#include "music/instrument.h"

namespace fretlets {

inline constexpr std::int32_t kChordBookVersion = 101;
inline constexpr std::int32_t kChordBookTextModeVersion = 100;

inline constexpr std::string_view kNotAChordBook = "Not a Chordbook file";
inline constexpr std::string_view kChordBookCorrupt = "Not a Chordbook file\nor data is corrupted";
inline constexpr std::string_view kUnknownChordBookVersion = "Unknown version of Chordbook file";
inline constexpr std::string_view kChordBookInstrumentIncompatible =
    "Chord Book instrument incompatible with Score";
inline constexpr std::string_view kChordBookTuningIncompatible =
    "Chord Book tuning incompatible with Score";

// Reads a chord book (version 100 or 101). With no score open the file's
// instrument and tuning become current; with a score open they must equal
// the current ones. Throws FormatError with the text to show; a failed read
// leaves the instrument state as it was.
ChordBook readChordBook(const std::filesystem::path& path, InstrumentState& instrument,
                        bool scoreOpen);
ChordBook parseChordBook(std::span<const std::uint8_t> bytes, InstrumentState& instrument,
                         bool scoreOpen);

// Writes the book (version 101) for the current instrument and tuning.
// Throws FormatError; a failed save leaves the file that was there untouched.
void writeChordBook(const ChordBook& book, const InstrumentState& instrument,
                    const std::filesystem::path& path);
std::vector<std::uint8_t> chordBookBytes(const ChordBook& book, const InstrumentState& instrument);

// Reads the book at path; only when nothing is there (not even a dangling
// link) an empty book for the current instrument is written there first.
ChordBook openOrCreateChordBook(const std::filesystem::path& path, InstrumentState& instrument,
                                bool scoreOpen);

}  // namespace fretlets

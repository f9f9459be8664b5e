#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "documents/byte_stream.h"
#include "documents/score.h"
#include "music/instrument.h"

namespace fretlets {

inline constexpr std::int32_t kScoreVersion = 102;
// Version 101 has no release flag per entry; its entries all release.
inline constexpr std::int32_t kScoreVersionWithoutRelease = 101;

inline constexpr std::string_view kNotAScore = "Not a Score file";
inline constexpr std::string_view kScoreCorrupt = "Not a Score file\nor Data is corrupted";
inline constexpr std::string_view kUnknownScoreVersion = "Unknown version of Score file";
inline constexpr std::string_view kScoreInstrumentIncompatible =
    "Score instrument incompatible with Chord Book";
inline constexpr std::string_view kScoreTuningIncompatible =
    "Score tuning incompatible with Chord Book";

// Reads a score (version 101 or 102). With no chord book open the file's
// instrument and tuning become current; with one open they must equal the
// current ones. userName (see user_name.h) decides whether a locked score is
// the user's own. Frets a movable chord left off the diagram are cleaned.
// Throws FormatError with the text to show; a failed read leaves the
// instrument state as it was.
Score readScore(const std::filesystem::path& path, InstrumentState& instrument, bool chordBookOpen,
                std::string_view userName);
Score parseScore(std::span<const std::uint8_t> bytes, InstrumentState& instrument,
                 bool chordBookOpen, std::string_view userName);

// Writes the score (version 102); a locked score is stamped with userName as
// its owner. Throws FormatError; a failed save leaves the file that was there
// untouched.
void writeScore(const Score& score, const InstrumentState& instrument, std::string_view userName,
                const std::filesystem::path& path);
std::vector<std::uint8_t> scoreBytes(const Score& score, const InstrumentState& instrument,
                                     std::string_view userName);

// Reads the score at path; only when nothing is there (not even a dangling
// link) the blank score is written there first.
Score openOrCreateScore(const std::filesystem::path& path, InstrumentState& instrument,
                        bool chordBookOpen, std::string_view userName, const Score& blank);

}  // namespace fretlets

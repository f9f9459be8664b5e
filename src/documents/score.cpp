#include "documents/score.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <numeric>
#include <utility>

#include "music/chord_name.h"
#include "music/designer_chord.h"
#include "music/fingering_reading.h"

namespace fretlets {

std::uint32_t chordLengthMs(int beatsToNext, std::uint32_t beatMs) {
  const auto twelfths = static_cast<std::uint64_t>(std::max(beatsToNext, kMinBeatsToNext));
  const std::uint64_t ms = twelfths * beatMs / kTwelfthsPerBeat;
  return static_cast<std::uint32_t>(
      std::clamp<std::uint64_t>(ms, 1, std::numeric_limits<std::uint32_t>::max()));
}

namespace {

// Note values in twelfths of a beat.
constexpr int kWhole = 4 * kTwelfthsPerBeat;
constexpr int kHalf = 2 * kTwelfthsPerBeat;
constexpr int kEighth = 6;
constexpr int kSixteenth = 3;
constexpr int kQuarterTripletPart = 8;
constexpr int kEighthTripletPart = 4;

}  // namespace

std::string beatsText(int twelfths) {
  const int whole = twelfths / kTwelfthsPerBeat;
  const int rest = twelfths % kTwelfthsPerBeat;
  if (rest == 0) {
    return std::to_string(whole);
  }
  const int divisor = std::gcd(rest, kTwelfthsPerBeat);
  const std::string fraction =
      std::to_string(rest / divisor) + "/" + std::to_string(kTwelfthsPerBeat / divisor);
  return whole == 0 ? fraction : std::to_string(whole) + " " + fraction;
}

NoteLengths splitNoteLengths(int beatsToNext) {
  NoteLengths lengths;
  const int part = beatsToNext % kTwelfthsPerBeat;
  lengths.eighth = part == kEighth || part == kEighth + kSixteenth;
  lengths.sixteenth = part == kSixteenth || part == kEighth + kSixteenth;
  lengths.quarterTriplet = part == kQuarterTripletPart;
  lengths.eighthTriplet = part == kEighthTripletPart;
  const int quarters = (beatsToNext - part) / kTwelfthsPerBeat;
  if (quarters >= 1 && quarters <= 7) {
    lengths.quarter = (quarters & 1) != 0;
    lengths.half = (quarters & 2) != 0;
    lengths.whole = (quarters & 4) != 0;
  }
  return lengths;
}

int joinNoteLengths(const NoteLengths& lengths) {
  int beats = 0;
  for (const auto& [on, length] : {std::pair{lengths.whole, kWhole},
                                   {lengths.half, kHalf},
                                   {lengths.quarter, kTwelfthsPerBeat},
                                   {lengths.eighth, kEighth},
                                   {lengths.sixteenth, kSixteenth},
                                   {lengths.quarterTriplet, kQuarterTripletPart},
                                   {lengths.eighthTriplet, kEighthTripletPart}}) {
    beats += on ? length : 0;
  }
  return beats == 0 ? kWhole : beats;
}

std::string defaultScoreComment(int year, std::string_view userName) {
  std::string comment = "\xA9 " + std::to_string(year) + " ";
  comment += userName;
  return std::string(ScoreText(comment).view());
}

void captureEntry(ScoreEntry& entry, const DesignerChord& designer, int stringCount) {
  entry.rootString = designer.rootString;
  entry.topFret = designer.topFret;
  entry.barred = designer.barred;
  entry.enharmonic = designer.enharmonic;
  entry.holdAll = designer.holdAll;
  bool reachesTopFret = false;
  for (int s = 0; s < stringCount; ++s) {
    entry.frets[s] = designer.frets[s];
    entry.held[s] = designer.held[s];
    reachesTopFret = reachesTopFret || designer.frets[s] == designer.topFret;
  }
  entry.barred = entry.barred && reachesTopFret;
}

bool sameFingering(const ScoreEntry& a, const ScoreEntry& b, int stringCount) {
  if (a.rootString != b.rootString || a.topFret != b.topFret) {
    return false;
  }
  for (int s = 0; s < stringCount; ++s) {
    if (a.frets[s] != b.frets[s] || a.held[s] != b.held[s]) {
      return false;
    }
  }
  return true;
}

Score::Score(std::string_view comment, const ScorePatch& patch) {
  this->comment = comment;
  this->patch = patch;
}

Score::Score(const Score& other)
    : ScoreProperties(other), entries_(other.entries_), currentIndex_(other.currentIndex_) {
  reseat();
}

Score::Score(Score&& other) noexcept
    : ScoreProperties(std::move(other)),
      entries_(std::move(other.entries_)),
      currentIndex_(other.currentIndex_) {
  reseat();
  other.clear();
}

Score& Score::operator=(const Score& other) {
  if (this != &other) {
    Score copy(other);
    *this = std::move(copy);
  }
  return *this;
}

Score& Score::operator=(Score&& other) noexcept {
  if (this != &other) {
    ScoreProperties::operator=(std::move(other));
    entries_ = std::move(other.entries_);
    currentIndex_ = other.currentIndex_;
    reseat();
    other.clear();
  }
  return *this;
}

void Score::reseat() {
  if (entries_.empty()) {
    current_ = entries_.end();
    currentIndex_ = 1;
  } else {
    current_ = std::next(entries_.begin(), currentIndex_ - 1);
  }
}

ScoreEntry Score::makeEntry(std::string_view name, const DesignerChord& designer,
                            int stringCount) const {
  ScoreEntry entry;
  entry.release = true;
  // Whatever the default beats field holds, the length fits its byte.
  entry.beatsToNext = static_cast<std::int8_t>(
      std::clamp(defaultBeats * kTwelfthsPerBeat, kMinBeatsToNext, kMaxBeatsToNext));
  entry.name = name;
  captureEntry(entry, designer, stringCount);
  return entry;
}

void Score::applyCurrentToDesigner(DesignerChord& designer, int stringCount) const {
  if (!empty()) {
    applyEntryToDesigner(*current_, designer, stringCount);
  }
}

void Score::applyEntryToDesigner(const ScoreEntry& entry, DesignerChord& designer,
                                 int stringCount) {
  designer.rootString = entry.rootString;
  designer.topFret = entry.topFret;
  designer.barred = entry.barred;
  designer.enharmonic = entry.enharmonic;
  designer.holdAll = entry.holdAll;
  designer.release = entry.release;
  for (int s = 0; s < stringCount; ++s) {
    designer.frets[s] = entry.frets[s];
    designer.held[s] = entry.held[s];
  }
}

bool Score::currentMatchesDesigner(const DesignerChord& designer, int stringCount) const {
  if (empty()) {
    return false;
  }
  ScoreEntry scratch;
  captureEntry(scratch, designer, stringCount);
  return sameFingering(*current_, scratch, stringCount);
}

void Score::insertBeforeCurrent(std::string_view name, const DesignerChord& designer,
                                int stringCount) {
  current_ = entries_.insert(current_, makeEntry(name, designer, stringCount));
}

void Score::insertAfterCurrent(std::string_view name, const DesignerChord& designer,
                               int stringCount) {
  if (!empty()) {
    ++current_;
    ++currentIndex_;
  }
  insertBeforeCurrent(name, designer, stringCount);
}

void Score::updateCurrent(std::string_view name, const DesignerChord& designer, int stringCount) {
  if (empty()) {
    return;
  }
  current_->name = name;
  captureEntry(*current_, designer, stringCount);
}

DeleteOutcome Score::deleteCurrent() {
  if (empty()) {
    return DeleteOutcome::DocumentEmpty;
  }
  current_ = entries_.erase(current_);
  if (current_ == entries_.end() && !entries_.empty()) {
    --current_;
    --currentIndex_;
  }
  return entries_.empty() ? DeleteOutcome::DocumentEmpty : DeleteOutcome::Kept;
}

const ScoreEntry& Score::current() const {
  static const ScoreEntry kNoEntry;
  return empty() ? kNoEntry : *current_;
}

void Score::goFirst() {
  if (!empty()) {
    current_ = entries_.begin();
    currentIndex_ = 1;
  }
}

bool Score::goPrevious() {
  if (empty() || current_ == entries_.begin()) {
    return false;
  }
  --current_;
  --currentIndex_;
  return true;
}

bool Score::goNext() {
  if (empty() || std::next(current_) == entries_.end()) {
    return false;
  }
  ++current_;
  ++currentIndex_;
  return true;
}

void Score::goLast() {
  if (empty()) {
    return;
  }
  // Counting the steps from the cursor keeps the index exact without
  // walking the whole list.
  while (std::next(current_) != entries_.end()) {
    ++current_;
    ++currentIndex_;
  }
}

void Score::goToIndex(int position) {
  if (position < 0 || position >= static_cast<int>(entries_.size())) {
    return;
  }
  current_ = std::next(entries_.begin(), position);
  currentIndex_ = position + 1;
}

void Score::clear() {
  entries_.clear();
  current_ = entries_.end();
  currentIndex_ = 1;
}

void Score::appendEntry(const ScoreEntry& entry) {
  entries_.push_back(entry);
  if (entries_.size() == 1) {
    current_ = entries_.begin();
    currentIndex_ = 1;
  }
}

std::vector<const ScoreEntry*> distinctFingerings(const Score& score, int stringCount) {
  std::vector<const ScoreEntry*> fingerings;
  for (const ScoreEntry& entry : score.entries()) {
    const auto same = [&](const ScoreEntry* seen) {
      return seen->name == entry.name && sameFingering(*seen, entry, stringCount);
    };
    if (std::ranges::none_of(fingerings, same)) {
      fingerings.push_back(&entry);
    }
  }
  return fingerings;
}

std::string entryChordName(const ScoreEntry& entry, const Tuning& tuning) {
  if (!entry.name.empty()) {
    return std::string(entry.name.view());
  }
  DesignerChord chord;
  chord.frets = entry.frets;
  const ChordName name = readFingering(chord, tuning, entry.rootString).name;
  return name.found() ? composeChordName(name.root, name.type, name.bass) : std::string();
}

}  // namespace fretlets

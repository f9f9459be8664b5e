#include "music/voicing_finder.h"

#include <algorithm>
#include <array>

#include "music/chord_type.h"
#include "music/fingering_reading.h"

namespace fretlets {

// A missing third or seventh (or the ninth of an extended chord) weighs
// most: a fingering that sounds the whole chord comes before one that leaves
// such a note out, while the fifth is the note players drop first (x32310 is
// the C7 they play, x3x35x its shell), so leaving it out costs a point. An
// inversion over the third or fifth pays about as much as a missing note
// (x32010 before C/E at the nut, 032010, and that before the barres), over
// the seventh or any other note more, as players seldom mean it. A stretch
// costs more with every fret it adds, four frets far more than three. The
// number of fingers counts through how they lie rather than one by one
// (none of the shapes here takes more than four): a barre costs two, two
// fingers on the lowest fret where an open or muted string keeps a barre
// off (1x221x) six. A muted string inside the shape just above a fretted one
// is damped by that finger leaning on it, as in the shells 3x343x and
// 8x898x; one that the picking hand has to avoid costs twice that. Strings
// left out below the bass cost little, as the hand just starts lower down;
// the string just above a fretted top note little more, as that finger
// damps it (x3201x); any other string left out above the top note much more
// (x320xx is no C anyone plays). A point a fret of position, so that the
// open C comes before the A-shape barre at the third fret and that before
// the E-shape at the eighth, and each open string rung while a finger frets
// the fourth fret or higher costs most (open shapes live in the first frets:
// 355003 is no way to play G).
//
// The points were set on two tables of the shapes guitarists play (open,
// barre, inversions, shells, thirteenths and top-string triads): a search
// that changed a few at a time kept what placed more of those shapes among
// the first ten at no cost to the median, then every weight that could be
// rounded or merged with another without a loss was.
const PlayabilityWeights playabilityWeights{
    //          3   5  7   9
    .implied = {12, 1, 12, 12},
    //       1  b2  2   b3  3   4   b5  5  #5  6   b7  #7
    .bass = {0, 16, 16, 10, 10, 16, 16, 9, 16, 16, 16, 16},
    .span = {0, 0, 3, 3, 10, 14, 20},
    .barre = 2,
    .splitLowFret = 6,
    .mutedDamped = 14,
    .mutedAvoided = 30,
    .position = 1,
    .silentBelow = 2,
    .silentDamped = 3,
    .silentAbove = 20,
    .openAwayFromHand = 16,
    .openAwayFromFret = 4,
};

namespace {

constexpr int kMaxFingers = 4;
constexpr int kMinSounding = 3;

int impliedCost(const ImpliedIntervals& implied, const std::array<int, 4>& weights) {
  return (implied.third ? weights[0] : 0) + (implied.fifth ? weights[1] : 0) +
         (implied.seventh ? weights[2] : 0) + (implied.ninth ? weights[3] : 0);
}

// Fingers for the fretted strings, the index finger barring the lowest fret
// across the run of fretted strings where that saves most fingers. A barre
// cannot cross an open or muted string. Above the lowest fret one finger
// lies flat across adjacent strings at the same fret: x3555x takes two.
// Fretting one more string never takes fewer fingers.
int fingersFor(const DesignerChord::Slots& frets, int strings, int position, bool& barre) {
  int fretted = 0;
  int bestBarred = 0;
  int runBarred = 0;
  int partiallyBarred = 0;
  for (int s = 0; s < strings; ++s) {
    const int fret = frets[s];
    if (fret <= 0) {
      runBarred = 0;
      continue;
    }
    ++fretted;
    runBarred += fret == position ? 1 : 0;
    bestBarred = std::max(bestBarred, runBarred);
    partiallyBarred += s > 0 && fret > position && frets[s - 1] == fret ? 1 : 0;
  }
  barre = bestBarred >= 2;
  return (barre ? fretted - bestBarred + 1 : fretted) - partiallyBarred;
}

class Search {
 public:
  explicit Search(const VoicingQuery& query) : query_(query) {
    const std::string_view suffix = chordTypeTable[query.typeRow].suffix;
    // Every row with the same text names a fingering as this chord ("dim"
    // is the triad and the seventh).
    std::uint16_t intervals = 0;
    for (const ChordType& type : chordTypeTable) {
      if (type.suffix == suffix) {
        intervals |= type.intervalMask;
        typeMasks_.push_back(type.intervalMask);
      }
    }
    for (int interval = 0; interval < 12; ++interval) {
      if ((intervals >> interval) & 1U) {
        tones_ |= static_cast<std::uint16_t>(1U << ((query.rootClass + interval) % 12));
      }
    }
    suffix_ = suffix;
    anyBass_ = query.bassClass == kNone && !query.rootPosition;
    bassClass_ = query.bassClass == kNone ? query.rootClass : query.bassClass;
    minSounding_ = std::min(kMinSounding, query.strings);
  }

  std::vector<Voicing> run() {
    if (((tones_ >> bassClass_) & 1U) == 0) {
      return {};
    }
    // Room for the fingerings a whole-neck search of a triad finds.
    found_.reserve(2048);
    if (query_.lowestPosition == 0) {
      window(0, 0);
    }
    const int last = std::min(query_.highestPosition, kMaxFret);
    for (int p = std::max(1, query_.lowestPosition); p <= last; ++p) {
      window(p, std::min(p + query_.span - 1, kMaxFret));
    }
    std::ranges::sort(found_, [](const Voicing& a, const Voicing& b) {
      if (a.cost != b.cost) {
        return a.cost < b.cost;
      }
      const auto sounding = [](const Voicing& v) {
        return std::ranges::count_if(v.frets, [](std::int8_t f) { return f != kNone; });
      };
      return sounding(a) != sounding(b) ? sounding(a) > sounding(b) : a.frets < b.frets;
    });
    return std::move(found_);
  }

 private:
  // The fingerings whose lowest fretted fret is `low` (none fretted for 0).
  void window(int low, int high) {
    for (int s = 0; s < query_.strings; ++s) {
      options_[s].assign(1, kNone);
      for (int fret = low; fret <= high; ++fret) {
        if (((tones_ >> ((query_.tuning[s] + fret) % 12)) & 1U) != 0) {
          options_[s].push_back(static_cast<std::int8_t>(fret));
        }
      }
      // Open strings ring in every position.
      if (low > 0 && ((tones_ >> (query_.tuning[s] % 12)) & 1U) != 0) {
        options_[s].insert(options_[s].begin() + 1, 0);
      }
    }
    low_ = low;
    current_.fill(kNone);
    place(0, false, 0, 0, 0);
  }

  // `intervals` are those the strings below s sound, above the root.
  void place(int s, bool anySounds, int sounding, int fretted, std::uint16_t intervals) {
    const int left = query_.strings - s;
    if (sounding + left < minSounding_ || !nameable(intervals, left)) {
      return;
    }
    if (s == query_.strings) {
      evaluate();
      return;
    }
    for (const std::int8_t fret : options_[s]) {
      // The lowest sounding string is the bass.
      if (fret != kNone && !anySounds && !anyBass_ &&
          (query_.tuning[s] + fret) % 12 != bassClass_) {
        continue;
      }
      current_[s] = fret;
      // Up to four fretted strings never take more than four fingers.
      bool barre = false;
      if (fret > 0 && fretted >= kMaxFingers &&
          fingersFor(current_, s + 1, low_, barre) > kMaxFingers) {
        continue;
      }
      const auto interval =
          static_cast<unsigned>(query_.tuning[s] + fret - query_.rootClass + 12) % 12;
      place(s + 1, anySounds || fret != kNone, sounding + (fret != kNone ? 1 : 0),
            fretted + (fret > 0 ? 1 : 0),
            fret == kNone ? intervals : static_cast<std::uint16_t>(intervals | 1U << interval));
    }
    current_[s] = kNone;
  }

  // Whether the namer could name these intervals, with at most `left` more
  // strings to sound, as the asked type: they are the type's own, and the
  // type's others are ones it may assume or the strings left can add. Most
  // fingerings of a chord of many notes fail here, before the namer is asked.
  bool nameable(std::uint16_t sounding, int left) const {
    constexpr std::uint16_t kAssumable = 1U << 2 | 1U << 4 | 1U << 7 | 1U << 10;
    return std::ranges::any_of(typeMasks_, [sounding, left](std::uint16_t mask) {
      if ((sounding & ~mask) != 0) {
        return false;
      }
      int missing = 0;
      for (unsigned m = mask & ~sounding & ~kAssumable; m != 0 && missing <= left; m &= m - 1) {
        ++missing;
      }
      return missing <= left;
    });
  }

  void evaluate() {
    Voicing v;
    v.frets = current_;
    int highest = 0;
    bool reachesLow = low_ == 0;
    int rootString = kNone;
    int firstSounding = kNone;
    int lastSounding = kNone;
    for (int s = 0; s < query_.strings; ++s) {
      const int fret = v.frets[s];
      if (fret == kNone) {
        continue;
      }
      firstSounding = firstSounding == kNone ? s : firstSounding;
      lastSounding = s;
      highest = std::max(highest, fret);
      reachesLow = reachesLow || fret == low_;
      if (rootString == kNone && (query_.tuning[s] + fret) % 12 == query_.rootClass) {
        rootString = s;
      }
    }
    if (!reachesLow || rootString == kNone) {
      return;
    }
    v.position = low_;
    v.span = low_ == 0 ? 0 : highest - low_ + 1;
    v.fingers = fingersFor(v.frets, query_.strings, low_, v.barre);
    DesignerChord chord;
    chord.frets = v.frets;
    chord.enharmonic = query_.enharmonic;
    v.name = readFingering(chord, query_.tuning, rootString).name;
    if (!v.name.found() || v.name.type != suffix_) {
      return;
    }
    for (int s = firstSounding + 1; s < lastSounding; ++s) {
      v.mutedInner += v.frets[s] == kNone ? 1 : 0;
    }
    v.rootString = rootString;
    v.bassInterval =
        (query_.tuning[firstSounding] + v.frets[firstSounding] - query_.rootClass + 12) % 12;
    v.cost = playabilityCost(v, query_.strings);
    found_.push_back(v);
  }

  const VoicingQuery& query_;
  std::uint16_t tones_ = 0;
  std::vector<std::uint16_t> typeMasks_;  // the rows named by the asked text
  std::string_view suffix_;
  bool anyBass_ = false;
  int bassClass_ = 0;
  int minSounding_ = kMinSounding;
  int low_ = 0;
  std::array<std::vector<std::int8_t>, kStringSlots> options_;
  DesignerChord::Slots current_{};
  std::vector<Voicing> found_;
};

}  // namespace

int playabilityCost(const Voicing& voicing, int strings) {
  const PlayabilityWeights& w = playabilityWeights;
  const auto& frets = voicing.frets;
  int first = kNone;
  int last = kNone;
  int open = 0;
  int highest = 0;
  int onLowestFret = 0;
  for (int s = 0; s < strings; ++s) {
    onLowestFret += voicing.position > 0 && frets[s] == voicing.position ? 1 : 0;
    if (frets[s] != kNone) {
      first = first == kNone ? s : first;
      last = s;
    }
    open += frets[s] == 0 ? 1 : 0;
    highest = std::max(highest, int{frets[s]});
  }
  int cost = impliedCost(voicing.name.implied, w.implied) +
             w.bass[static_cast<std::size_t>(voicing.bassInterval % 12)] +
             w.span[static_cast<std::size_t>(std::min(voicing.span, 6))] +
             (voicing.barre       ? w.barre
              : onLowestFret >= 2 ? w.splitLowFret
                                  : 0) +
             w.position * voicing.position +
             (highest >= w.openAwayFromFret ? w.openAwayFromHand * open : 0);
  if (first == kNone) {
    return cost + w.silentBelow * strings;
  }
  // A finger fretting a string can lean on the string above it and damp it.
  for (int s = first + 1; s < last; ++s) {
    if (frets[s] == kNone) {
      cost += frets[s - 1] > 0 ? w.mutedDamped : w.mutedAvoided;
    }
  }
  cost += w.silentBelow * first;
  for (int s = last + 1; s < strings; ++s) {
    cost += s == last + 1 && frets[last] > 0 ? w.silentDamped : w.silentAbove;
  }
  return cost;
}

std::vector<Voicing> findVoicings(const VoicingQuery& query) {
  const auto isPitchClass = [](int pc) { return pc >= 0 && pc < 12; };
  if (query.typeRow < 0 || query.typeRow >= kChordTypeCount || query.strings < 1 ||
      query.strings > kStringSlots || query.span < 1 || !isPitchClass(query.rootClass) ||
      (query.bassClass != kNone && !isPitchClass(query.bassClass))) {
    return {};
  }
  return Search(query).run();
}

DesignerChord designerChordFor(const Voicing& voicing, bool enharmonic) {
  DesignerChord chord;
  chord.frets = voicing.frets;
  chord.rootString = static_cast<std::int8_t>(voicing.rootString);
  chord.enharmonic = enharmonic;
  bool open = false;
  int highest = 0;
  for (const std::int8_t fret : voicing.frets) {
    open = open || fret == 0;
    highest = std::max(highest, int{fret});
  }
  const int top = std::min(voicing.position, kMaxTopFret);
  if (open) {
    // Open strings only ring where they are: a fixed fretlet, at the nut
    // when the diagram can show every fret from there.
    chord.topFret = static_cast<std::int8_t>(highest <= 5 ? 0 : top);
  } else if (voicing.barre) {
    // Barred at the top row: a movable shape that keeps its barre.
    chord.topFret = static_cast<std::int8_t>(top);
    chord.barred = true;
  } else {
    // One row above the shape, so that no string reaches the top row and
    // the shape is movable; a shape too long for that stays where it is.
    const int above = std::min(voicing.position - 1, kMaxTopFret);
    chord.topFret = static_cast<std::int8_t>(highest <= above + 5 ? above : top);
  }
  return chord;
}

}  // namespace fretlets

// Writes the sample chord book and scores that ship beside the program:
//   fretlets-make-samples resources/samples
// Every fingering is filed under, or named with, the name the chord engine
// gives it, so the samples always agree with what the Designer shows.

#include <array>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "documents/chord_book_file.h"
#include "documents/score_file.h"
#include "music/chord_name.h"
#include "music/designer_chord.h"
#include "music/fingering_reading.h"

namespace fretlets {
namespace {

constexpr int kStrings = 6;
constexpr std::string_view kComment = "\xA9 2024 Fretlets";
constexpr std::string_view kOwner = "";
// General MIDI row 24, the nylon-string guitar.
constexpr ScorePatch kNylonGuitar{0, 24, 0, 24};

struct Shape {
  std::array<std::int8_t, 6> frets;
  int root;
  int topFret = 0;
  bool barred = false;
};

DesignerChord designerFor(const Shape& shape) {
  DesignerChord chord;
  chord.frets = shape.frets;
  chord.rootString = static_cast<std::int8_t>(shape.root);
  chord.topFret = static_cast<std::int8_t>(shape.topFret);
  chord.barred = shape.barred;
  return chord;
}

ChordName nameOf(const DesignerChord& chord, const InstrumentState& guitar) {
  const ChordName name = readFingering(chord, guitar.tuning, chord.rootString).name;
  if (!name.found()) {
    throw std::logic_error("a sample shape has no name");
  }
  return name;
}

// Open chords at the nut, then barre and closed shapes that move anywhere.
const std::vector<Shape> kBookShapes{
    // majors: C, A, G, E, D
    {{-1, 3, 2, 0, 1, 0}, 1},
    {{-1, 0, 2, 2, 2, 0}, 1},
    {{3, 2, 0, 0, 0, 3}, 0},
    {{0, 2, 2, 1, 0, 0}, 0},
    {{-1, -1, 0, 2, 3, 2}, 2},
    // minors: Am, Em, Dm
    {{-1, 0, 2, 2, 1, 0}, 1},
    {{0, 2, 2, 0, 0, 0}, 0},
    {{-1, -1, 0, 2, 3, 1}, 2},
    // sevenths: C7, A7, G7, E7, D7, B7
    {{-1, 3, 2, 3, 1, 0}, 1},
    {{-1, 0, 2, 0, 2, 0}, 1},
    {{3, 2, 0, 0, 0, 1}, 0},
    {{0, 2, 0, 1, 0, 0}, 0},
    {{-1, -1, 0, 2, 1, 2}, 2},
    {{-1, 2, 1, 2, 0, 2}, 1},
    // minor sevenths: Am7, Em7, Dm7
    {{-1, 0, 2, 0, 1, 0}, 1},
    {{0, 2, 0, 0, 0, 0}, 0},
    {{-1, -1, 0, 2, 1, 1}, 2},
    // major sevenths: Cmaj7, Amaj7, Fmaj7, Dmaj7
    {{-1, 3, 2, 0, 0, 0}, 1},
    {{-1, 0, 2, 1, 2, 0}, 1},
    {{-1, -1, 3, 2, 1, 0}, 2},
    {{-1, -1, 0, 2, 2, 2}, 2},
    // suspended: Asus4, Dsus4, Esus4, Asus2, Dsus2
    {{-1, 0, 2, 2, 3, 0}, 1},
    {{-1, -1, 0, 2, 3, 3}, 2},
    {{0, 2, 2, 2, 0, 0}, 0},
    {{-1, 0, 2, 2, 0, 0}, 1},
    {{-1, -1, 0, 2, 3, 0}, 2},
    // sixths: A6, C6
    {{-1, 0, 2, 2, 2, 2}, 1},
    {{-1, 3, 2, 2, 1, 0}, 1},
    // E-shape barre chords at the first fret: major, minor, 7, m7
    {{1, 3, 3, 2, 1, 1}, 0, 1, true},
    {{1, 3, 3, 1, 1, 1}, 0, 1, true},
    {{1, 3, 1, 2, 1, 1}, 0, 1, true},
    {{1, 3, 1, 1, 1, 1}, 0, 1, true},
    // A-shape barre chords at the first fret: major, minor, 7, m7, maj7
    {{-1, 1, 3, 3, 3, 1}, 1, 1, true},
    {{-1, 1, 3, 3, 2, 1}, 1, 1, true},
    {{-1, 1, 3, 1, 3, 1}, 1, 1, true},
    {{-1, 1, 3, 1, 2, 1}, 1, 1, true},
    {{-1, 1, 3, 2, 3, 1}, 1, 1, true},
    // closed shapes: power chords on two strings, m7b5, dim7, 9, 7sus4
    {{1, 3, 3, -1, -1, -1}, 0, 1, true},
    {{-1, 1, 3, 3, -1, -1}, 1, 1, true},
    {{-1, 3, 4, 3, 4, -1}, 1},
    {{-1, -1, 1, 2, 1, 2}, 2},
    {{-1, 3, 2, 3, 3, 3}, 1},
    {{1, 3, 1, 3, 1, 1}, 0, 1, true},
};

ChordBook sampleBook(const InstrumentState& guitar) {
  ChordBook book(kStrings);
  for (const Shape& shape : kBookShapes) {
    DesignerChord chord = designerFor(shape);
    const ChordName name = nameOf(chord, guitar);
    if (!book.addFretlet(name.type, chord)) {
      throw std::logic_error("a sample shape is there twice");
    }
  }
  return book;
}

struct Bar {
  Shape shape;
  int twelfths;
};

Score sampleScore(std::string_view title, int tempo, int defaultBeats, const std::vector<Bar>& bars,
                  const InstrumentState& guitar) {
  Score score(kComment, kNylonGuitar);
  score.title = title;
  score.composer = "Traditional";
  score.tempo = tempo;
  score.defaultBeats = static_cast<std::int8_t>(defaultBeats);
  for (const Bar& bar : bars) {
    DesignerChord chord = designerFor(bar.shape);
    const ChordName name = nameOf(chord, guitar);
    score.insertAfterCurrent(composeChordName(name.root, name.type, name.bass), chord, kStrings);
    score.editCurrent()->beatsToNext = static_cast<std::int8_t>(bar.twelfths);
  }
  score.goFirst();
  return score;
}

const Shape kA7{{-1, 0, 2, 0, 2, 0}, 1};
const Shape kD7{{-1, -1, 0, 2, 1, 2}, 2};
const Shape kE7{{0, 2, 0, 1, 0, 0}, 0};
const Shape kC{{-1, 3, 2, 0, 1, 0}, 1};
const Shape kG{{3, 2, 0, 0, 0, 3}, 0};
const Shape kAm{{-1, 0, 2, 2, 1, 0}, 1};
const Shape kF{{1, 3, 3, 2, 1, 1}, 0, 1, true};
const Shape kD{{-1, -1, 0, 2, 3, 2}, 2};
const Shape kEm{{0, 2, 2, 0, 0, 0}, 0};
constexpr int kWhole = 48;
constexpr int kHalf = 24;
constexpr int kDottedHalf = 36;

void writeSamples(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  const InstrumentState guitar;
  writeChordBook(sampleBook(guitar), guitar, folder / "Guitar chords.cbk");

  std::vector<Bar> blues;
  for (const Shape& shape : {kA7, kA7, kA7, kA7, kD7, kD7, kA7, kA7, kE7, kD7, kA7, kE7}) {
    blues.push_back({shape, kWhole});
  }
  writeScore(sampleScore("Twelve-bar blues in A", 96, 4, blues, guitar), guitar, kOwner,
             folder / "Twelve-bar blues in A.score");

  std::vector<Bar> pop;
  for (int round = 0; round < 2; ++round) {
    for (const Shape& shape : {kC, kG, kAm, kF}) {
      pop.push_back({shape, kWhole});
    }
  }
  writeScore(sampleScore("Four chords in C", 112, 4, pop, guitar), guitar, kOwner,
             folder / "Four chords in C.score");

  const std::vector<Bar> waltz{{kG, kDottedHalf}, {kEm, kDottedHalf}, {kC, kDottedHalf},
                               {kD, kDottedHalf}, {kG, kDottedHalf},  {kC, kHalf},
                               {kD7, 12},         {kG, kDottedHalf}};
  writeScore(sampleScore("Waltz in G", 132, 3, waltz, guitar), guitar, kOwner,
             folder / "Waltz in G.score");
}

}  // namespace
}  // namespace fretlets

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::cerr << "usage: fretlets-make-samples FOLDER\n";
    return 2;
  }
  try {
    fretlets::writeSamples(argv[1]);
  } catch (const std::exception& error) {
    std::cerr << "fretlets-make-samples: " << error.what() << '\n';
    return 1;
  }
  return 0;
}

// Writes the manual's page of chord types from the program's own table, so
// the manual always names exactly the chords the program names:
//   fretlets-chord-types-page OUT.html
#include <cstdio>
#include <fstream>
#include <string>

#include "music/chord_type.h"
#include "music/note.h"

namespace {

std::string escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The notes above C as the interval labels spell them.
constexpr std::string_view kOnC[12] = {"C",  "Db", "D",  "Eb", "E",  "F",
                                       "Gb", "G",  "G#", "A",  "Bb", "B"};

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fretlets-chord-types-page OUT.html\n");
    return 2;
  }
  std::ofstream out(argv[1]);
  out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
         "<title>Fretlets: the chord types</title>"
         "<link rel=\"stylesheet\" href=\"manual.css\"></head><body>\n"
         "<p><a href=\"index.html\">Contents</a> &gt; <a href=\"index.html#naming\">Chord "
         "naming</a></p>\n"
         "<h1>The "
      << fretlets::kChordTypeCount
      << " chord types</h1>\n"
         "<p>Every chord the Chord Designer names is one of these types. A type is a set of "
         "intervals above the root; the name is the root's note followed by the type, so the "
         "column on C shows the name and notes the type gets with C as its root. The table is "
         "in the order the program searches it: triads and the power chord, then sixths, "
         "sevenths, added ninths, ninths and six-nines, elevenths and thirteenths.</p>\n"
         "<table>\n<tr><th>#</th><th>Type</th><th>Intervals</th><th>On C</th>"
         "<th>Notes on C</th></tr>\n";
  int row = 0;
  for (const fretlets::ChordType& type : fretlets::chordTypeTable) {
    std::string intervals;
    std::string notes;
    for (int interval = 0; interval < 12; ++interval) {
      if ((type.intervalMask >> interval & 1) == 0) {
        continue;
      }
      if (!intervals.empty()) {
        intervals += ", ";
        notes += " ";
      }
      intervals += fretlets::intervalLabel(interval);
      notes += kOnC[interval];
    }
    out << "<tr><td>" << ++row << "</td><td>" << escaped(type.suffix) << "</td><td>" << intervals
        << "</td><td>C" << escaped(type.suffix) << "</td><td>" << notes << "</td></tr>\n";
  }
  out << "</table>\n</body></html>\n";
  out.close();
  if (!out) {
    std::fprintf(stderr, "could not write %s\n", argv[1]);
    return 1;
  }
  return 0;
}

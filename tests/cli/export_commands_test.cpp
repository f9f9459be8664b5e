#include <gmock/gmock.h>

#include <QImage>
#include <QString>
#include <QXmlStreamReader>
#include <cstdio>
#include <map>
#include <numeric>
#include <ranges>
#include <set>

#include "documents/chord_book_file.h"
#include "documents/score_file.h"
#include "documents/text_codec.h"
#include "documents/user_name.h"
#include "models/score_playback.h"
#include "music/chord_fixture.h"
#include "music/chord_type.h"
#include "support/cli_run.h"
#include "support/document_test_support.h"

namespace fretlets::cli {
namespace {

using ExportCommands = document_test::DocumentFolder;
using document_test::sample;
using test::designer;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

// Debian's Python, which python3-mido installs into.
constexpr const char* kPython = "/usr/bin/python3";

std::string outputOf(const std::string& command) {
  std::string text;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) {
      text.append(buffer, n);
    }
    ::pclose(pipe);
  }
  return text;
}

// A MIDI file as mido reads it: its format, tempo, bank and program; each
// marker with its time in milliseconds and the notes sounding after the
// events at that time; the time of the last note off and what still sounds.
constexpr const char* kMidoDump = R"(
import sys, mido
m = mido.MidiFile(sys.argv[1])
tempo, ticks, on, at, marks, last, seen = 500000, 0, set(), {}, [], 0, {}
for msg in mido.merge_tracks(m.tracks):
    ticks += msg.time
    ms = round(mido.tick2second(ticks, m.ticks_per_beat, tempo) * 1000)
    if msg.type == 'set_tempo':
        tempo = seen['tempo'] = msg.tempo
    elif msg.type == 'program_change':
        seen['program'] = msg.program
    elif msg.type == 'control_change' and msg.control == 32:
        seen['bank'] = msg.value
    elif msg.type == 'marker':
        marks.append((ms, msg.text))
    elif msg.type == 'note_on' and msg.velocity > 0:
        on.add(msg.note)
    elif msg.type in ('note_on', 'note_off'):
        on.discard(msg.note)
        last = ms
    at[ms] = sorted(on)
print('format', m.type, *(f'{k} {seen.get(k)}' for k in ('tempo', 'bank', 'program')))
for ms, text in marks:
    print(ms, text, *at[ms])
print('silent at', last, *on)
)";

struct Circle {
  double x;
  double y;
  double r;
  bool filled;
};

// What a diagram's SVG draws: string lines, fret lines, circles and the
// two strokes of each cross, read from the XML as any SVG reader sees it.
struct SvgDrawing {
  std::vector<double> stringX;
  std::vector<double> fretY;
  std::vector<Circle> circles;
  std::vector<QPointF> crossCentres;
  QStringList texts;
};

SvgDrawing readSvg(const std::string& path) {
  const document_test::Bytes bytes = document_test::bytesOf(path);
  QXmlStreamReader xml(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                  static_cast<qsizetype>(bytes.size())));
  SvgDrawing drawing;
  std::vector<QString> fills{"none"};
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isEndElement() && xml.name() == u"g") {
      fills.pop_back();
    }
    if (!xml.isStartElement()) {
      continue;
    }
    const auto attributes = xml.attributes();
    const auto number = [&](const char* name) { return attributes.value(name).toDouble(); };
    if (xml.name() == u"g") {
      fills.push_back(attributes.hasAttribute("fill") ? attributes.value("fill").toString()
                                                      : fills.back());
    } else if (xml.name() == u"circle") {
      drawing.circles.push_back({number("cx"), number("cy"), number("r"), fills.back() != "none"});
    } else if (xml.name() == u"text") {
      drawing.texts << xml.readElementText().trimmed();
    } else if (xml.name() == u"polyline") {
      const QStringList points =
          attributes.value("points").toString().split(' ', Qt::SkipEmptyParts);
      const QStringList a = points.value(0).split(',');
      const QStringList b = points.value(1).split(',');
      const QPointF p(a.value(0).toDouble(), a.value(1).toDouble());
      const QPointF q(b.value(0).toDouble(), b.value(1).toDouble());
      if (p.x() == q.x()) {
        drawing.stringX.push_back(p.x());
      } else if (p.y() == q.y()) {
        drawing.fretY.push_back(p.y());
      } else if (p.y() < q.y()) {  // one stroke of a cross is enough
        drawing.crossCentres.push_back((p + q) / 2);
      }
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  std::ranges::sort(drawing.stringX);
  std::ranges::sort(drawing.fretY);
  return drawing;
}

// The PNG has its dots where the SVG has them.
TEST_F(ExportCommands, DiagramSvgAndPngPutDotsAndMarksWhereTheFingeringSays) {
  struct Case {
    std::vector<std::string> args;
    std::vector<int> frets;  // lowest string first
    int firstRow;
    bool leftHanded;
    QString name;
  };
  const std::vector<Case> cases{
      {{"--frets", "x,3,2,0,1,0"}, {-1, 3, 2, 0, 1, 0}, 1, false, "Cmaj"},
      {{"--frets", "x,3,2,0,1,0", "--left-handed", "--name", "C é"},
       {-1, 3, 2, 0, 1, 0},
       1,
       true,
       "C é"},
      {{"--instrument", "mandolin", "--frets", "x,7,9,0"}, {-1, 7, 9, 0}, 7, false, ""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--size", "240", "--out", file("d.svg")});
    const CliRun run = runCli(runDiagram, args);
    ASSERT_EQ(run.status, 0) << run.err;
    const SvgDrawing svg = readSvg(file("d.svg"));
    const int strings = static_cast<int>(c.frets.size());
    ASSERT_EQ(svg.stringX.size(), c.frets.size());
    ASSERT_GE(svg.fretY.size(), 6U);
    if (!c.name.isEmpty()) {
      EXPECT_TRUE(svg.texts.contains(c.name)) << c.args[1];
    }
    if (c.firstRow > 1) {
      EXPECT_TRUE(svg.texts.contains(QString::number(c.firstRow))) << c.args[1];
    }
    std::size_t matched = 0;
    for (int s = 0; s < strings; ++s) {
      const double x = svg.stringX[c.leftHanded ? strings - 1 - s : s];
      const int fret = c.frets[s];
      const auto at = [&](const Circle& circle) { return std::abs(circle.x - x) < 0.5; };
      const auto circle = std::ranges::find_if(svg.circles, at);
      if (fret > 0) {
        ASSERT_NE(circle, svg.circles.end()) << "string " << s;
        EXPECT_TRUE(circle->filled);
        const int row = fret - c.firstRow;
        EXPECT_GT(circle->y, svg.fretY[row]) << "string " << s;
        EXPECT_LT(circle->y, svg.fretY[row + 1]) << "string " << s;
      } else if (fret == 0) {
        ASSERT_NE(circle, svg.circles.end()) << "string " << s;
        EXPECT_FALSE(circle->filled);
        EXPECT_LT(circle->y, svg.fretY.front());
      } else {
        EXPECT_EQ(circle, svg.circles.end());
        EXPECT_TRUE(std::ranges::any_of(
            svg.crossCentres,
            [&](QPointF p) { return std::abs(p.x() - x) < 0.5 && p.y() < svg.fretY.front(); }))
            << "string " << s;
      }
      matched += circle != svg.circles.end();
    }
    EXPECT_EQ(matched, svg.circles.size());

    args.back() = file("d.png");
    ASSERT_EQ(runCli(runDiagram, args).status, 0);
    const QImage png(QString::fromStdString(file("d.png")));
    ASSERT_EQ(png.width(), 240);
    const auto dark = [&](double x, double y) {
      return qGray(png.pixel(static_cast<int>(x), static_cast<int>(y))) < 100;
    };
    for (const Circle& circle : svg.circles | std::views::filter(&Circle::filled)) {
      const double off = circle.r * 0.6;
      for (const auto& [dx, dy] : {std::pair{off, 0.0}, {-off, 0.0}, {0.0, off}, {0.0, -off}}) {
        EXPECT_TRUE(dark(circle.x + dx, circle.y + dy)) << circle.x << "," << circle.y;
      }
      // The strings without a dot on this row are bare beside their line.
      for (double x : svg.stringX) {
        if (std::abs(x - circle.x) > 1) {
          EXPECT_FALSE(dark(x + off, circle.y)) << x << "," << circle.y;
        }
      }
    }
  }
}

TEST_F(ExportCommands, MidiFileOfEachSampleScoreSoundsAsThePlayback) {
  if (outputOf(std::string(kPython) + " -c 'import mido' 2>&1 && echo ok") != "ok\n") {
    GTEST_SKIP() << "python3-mido is not installed (scripts/setup.sh installs it)";
  }
  std::ofstream(file("dump.py")) << kMidoDump;
  for (const char* name : {"Four chords in C", "Twelve-bar blues in A", "Waltz in G"}) {
    SCOPED_TRACE(name);
    const std::string path = sample(std::string(name) + ".score");
    InstrumentState instrument;
    const Score score = readScore(path, instrument, false, userName());
    const CliRun run = runCli(runScore, {"export-midi", path, "--out", file("s.mid")});
    ASSERT_EQ(run.status, 0) << run.err;

    const unsigned beatMs = beatMsForTempo(score.tempo);
    std::ostringstream expected;
    expected << "format 1 tempo " << 1000 * beatMs << " bank " << +score.patch.bank << " program "
             << +score.patch.program << '\n';
    int onset = 0;
    for (const ScoreEntry& entry : score.entries()) {
      std::set<int> notes;
      for (int s = 0; s < instrument.strings(); ++s) {
        if (entry.frets[s] != kNone) {
          notes.insert(instrument.tuning[s] + entry.frets[s]);
        }
      }
      expected << onset << ' ' << entry.name.view();
      for (const int note : notes) {
        expected << ' ' << note;
      }
      expected << '\n';
      onset += static_cast<int>(chordLengthMs(entry.beatsToNext, beatMs));
    }
    expected << "silent at " << onset << '\n';
    EXPECT_EQ(outputOf(std::string(kPython) + " " + file("dump.py") + " " + file("s.mid")),
              expected.str());
  }
}

TEST_F(ExportCommands, ChordProRoundTripGivesTheSameBookByteForByte) {
  // Every chord type, each with a fixed fingering, a barred shape, a shape
  // with an open string made away from the nut, and a root off the bass.
  InstrumentState guitar;
  ChordBook every(guitar.strings());
  const std::vector<DesignerChord> kinds{
      designer({-1, 3, 2, 0, 1, 0}, 0, false, 1), designer({1, 3, 3, 2, 1, 1}, 1, true, 0),
      designer({-1, -1, 8, 0, 8, 9}, 7, false, 2), designer({-1, 5, 7, 7, 6, 5}, 5, true, 3)};
  for (const ChordType& type : chordTypeTable) {
    for (const DesignerChord& chord : kinds) {
      every.addFretlet(type.suffix, chord);
    }
  }
  every.addFretlet(utf8ToWindows1252("maj é"), kinds[0]);
  writeChordBook(every, guitar, file("every.cbk"));
  for (const std::string& book : {sample("Guitar chords.cbk"), file("every.cbk")}) {
    SCOPED_TRACE(book);
    InstrumentState state;
    const document_test::Bytes original = chordBookBytes(readChordBook(book, state, false), state);
    ASSERT_EQ(runCli(runBook, {"export-chordpro", book, "--out", file("b.cho")}).status, 0);
    fs::remove(file("back.cbk"));
    const CliRun back = runCli(runBook, {"import-chordpro", file("b.cho"), file("back.cbk")});
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(document_test::bytesOf(file("back.cbk")), original);
  }
}

TEST_F(ExportCommands, ChordProImportFilesWhatItReadsAndReportsTheRest) {
  const std::string text =
      "{title: Songs}\n"
      "{chordfont: Serif}\n"
      "{chord: Am base-fret 1 frets x 0 2 2 1 0}\n"
      "# chord type: m7\n"
      "{define: Am7 base-fret 5 frets 1 3 1 1 1 1 fingers 1 3 1 1 1 1}\n"
      "{define: Dm7 base-fret 1 frets x x 0 2 2 2}\n"
      "{define: G7 frets 3 2 0}\n"
      "{define: C base-fret 1 frets x 3 2 0 1 q}\n"
      "{define: C6 base-fret 1 frets x 6 5 5 5 x}\n";
  document_test::writeBytes(file("in.cho"), document_test::Bytes(text.begin(), text.end()));
  const CliRun run = runCli(runBook, {"import-chordpro", file("in.cho"), file("b.cbk")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Filed 3 fretlets in " + file("b.cbk") + "\n");
  const std::string at = file("in.cho") + ":";
  EXPECT_EQ(run.err, at + "6: Dm7 reads as Dmaj7\n" +  //
                         at + "7: skipped: fewer frets than the 6 strings\n" + at +
                         "8: skipped: fret 'q' is not x, 0 or a fret on the neck\n" + at +
                         "9: skipped: the frets span more than the diagram's six rows\n");
  const std::string dump = runCli(runBook, {"dump", file("b.cbk"), "--json"}).out;
  EXPECT_THAT(dump, HasSubstr(R"({"name":"m","fretlets":[{"rootString":1,"position":0,)"
                              R"("frets":[-1,0,2,2,1,0]}]})"));
  EXPECT_THAT(dump, HasSubstr(R"({"name":"m7","fretlets":[{"rootString":0,"position":5,)"
                              R"("frets":[5,7,5,5,5,5]})"));
}

TEST_F(ExportCommands, ScoreChordProIsAChartOfBarsWithADefinePerFingering) {
  const CliRun run = runCli(runScore, {"export-chordpro", sample("Waltz in G.score")});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* line :
       {"{title: Waltz in G}\n", "{tempo: 132}\n", "{define: D7 base-fret 1 frets x x 0 2 1 2}\n",
        "{start_of_grid}\n| Gmaj . . |\n| Em . . |\n| Cmaj . . |\n| Dmaj . . |\n"
        "| Gmaj . . |\n| Cmaj . D7 |\n| Gmaj . . |\n{end_of_grid}\n"}) {
    EXPECT_THAT(run.out, HasSubstr(line));
  }
  EXPECT_EQ(std::ranges::count(run.out, '{'), 3 + 5 + 2);
}

std::vector<std::string> wordsOf(const std::string& text) {
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), {}};
}

TEST_F(ExportCommands, PrintedBookAndChartSayWhatTheDocumentsHold) {
  if (outputOf("pdftotext -v 2>&1").find("pdftotext") == std::string::npos) {
    GTEST_SKIP() << "pdftotext is not installed (scripts/setup.sh installs poppler-utils)";
  }
  const std::string book = sample("Guitar chords.cbk");
  ASSERT_EQ(runCli(runBook, {"print", book, "--out", file("b.pdf")}).status, 0);
  const std::vector<std::string> pages = wordsOf(outputOf("pdftotext " + file("b.pdf") + " -"));
  // Every fretlet's diagram is named as its define is: the names' counts
  // in the pages are the defines' counts.
  std::map<std::string, int> names;
  std::istringstream defines(runCli(runBook, {"export-chordpro", book}).out);
  for (std::string line; std::getline(defines, line);) {
    if (line.starts_with("{define: ")) {
      ++names[line.substr(9, line.find(' ', 9) - 9)];
    }
  }
  ASSERT_EQ(std::accumulate(names.begin(), names.end(), 0,
                            [](int sum, const auto& name) { return sum + name.second; }),
            43);
  for (const auto& [name, count] : names) {
    EXPECT_EQ(std::ranges::count(pages, name), count) << name;
  }
  EXPECT_EQ(std::ranges::count(pages, "Page"), 3);
  EXPECT_NE(std::ranges::search(pages, std::vector<std::string>{"Page", "1", "of", "3"}).begin(),
            pages.end());

  const std::string score = sample("Four chords in C.score");
  ASSERT_EQ(runCli(runScore, {"print", score, "--out", file("s.pdf")}).status, 0);
  const std::string chart = outputOf("pdftotext " + file("s.pdf") + " -");
  const std::vector<std::string> words = wordsOf(chart);
  for (const char* text :
       {"Four chords in C", "Traditional", "© 2024 Fretlets", "Tempo: 112 beats per minute"}) {
    EXPECT_THAT(chart, HasSubstr(text));
  }
  const std::vector<std::string> order{"Cmaj", "Gmaj", "Am", "Fmaj", "Cmaj", "Gmaj", "Am", "Fmaj"};
  std::vector<std::string> chords;
  std::ranges::copy_if(words, std::back_inserter(chords), [&](const std::string& word) {
    return std::ranges::count(order, word) > 0;
  });
  std::vector<std::string> expected = order;
  expected.insert(expected.end(), order.begin(), order.begin() + 4);  // the legend
  EXPECT_EQ(chords, expected);
  EXPECT_EQ(std::ranges::count(words, "beats"), 8 + 1);  // and the tempo's
}

TEST_F(ExportCommands, BadArgumentsAndUnwritableOutputs) {
  const std::string out = file("d.svg");
  expectUsageErrors(runDiagram, {{"--out", out},
                                 {"--frets", "x,3,2,0,1,0"},
                                 {"--frets", "x,3,2", "--out", out},
                                 {"--frets", "x,3,2,0,1,0", "--out", file("d.jpg")},
                                 {"--frets", "1,2,3,4,5,12", "--out", out},
                                 {"--frets", "x,3,2,0,1,0", "--size", "5", "--out", out}});
  const std::string lost = file("no-such-folder/d.svg");
  const CliRun run = runCli(runDiagram, {"--frets", "x,3,2,0,1,0", "--out", lost});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("cannot write " + lost +
                                 ": Couldn't open file (No such file or directory)"));
}

}  // namespace
}  // namespace fretlets::cli

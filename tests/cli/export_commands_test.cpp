#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <numeric>
#include <set>
#include <sstream>
#include <vector>

#include "cli/commands.h"
#include "documents/chord_book_file.h"
#include "documents/score_file.h"
#include "documents/text_codec.h"
#include "documents/user_name.h"
#include "models/score_playback.h"
#include "music/chord_type.h"
#include "music/designer_chord.h"
#include "sound/fluid_synth_output.h"
#include "support/cli_run.h"
#include "support/document_test_support.h"

namespace fretlets::cli {
namespace {

using ExportCommands = document_test::DocumentFolder;
namespace fs = std::filesystem;

const fs::path kSamples = fs::path(FRETLETS_SOURCE_DIR) / "resources/samples";

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

// The events of a MIDI file as mido reads them, one a line, times in
// milliseconds.
constexpr const char* kMidoDump = R"(
import sys, mido
m = mido.MidiFile(sys.argv[1])
print('format', m.type)
tempo, ticks = 500000, 0
for msg in mido.merge_tracks(m.tracks):
    ticks += msg.time
    ms = round(mido.tick2second(ticks, m.ticks_per_beat, tempo) * 1000)
    if msg.type == 'set_tempo':
        tempo = msg.tempo
        print('tempo', msg.tempo)
    elif msg.type == 'marker':
        print('marker', ms, msg.text)
    elif msg.type == 'note_on' and msg.velocity > 0:
        print('on', ms, msg.note)
    elif msg.type in ('note_on', 'note_off'):
        print('off', ms, msg.note)
    elif msg.type == 'program_change':
        print('program', msg.program)
    elif msg.type == 'control_change' and msg.control == 32:
        print('bank', msg.value)
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

TEST_F(ExportCommands, DiagramSvgPutsDotsAndMarksWhereTheFingeringSays) {
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
    args.insert(args.end(), {"--out", file("d.svg")});
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
  }
}

TEST_F(ExportCommands, DiagramPngHasItsDotsWhereTheSvgHasThem) {
  for (const char* name : {"c.svg", "c.png"}) {
    ASSERT_EQ(
        runCli(runDiagram, {"--frets", "x,3,2,0,1,0", "--size", "240", "--out", file(name)}).status,
        0);
  }
  const SvgDrawing svg = readSvg(file("c.svg"));
  const QImage png(QString::fromStdString(file("c.png")));
  ASSERT_EQ(png.width(), 240);
  const auto dark = [&](double x, double y) {
    return qGray(png.pixel(static_cast<int>(x), static_cast<int>(y))) < 100;
  };
  int dots = 0;
  for (const Circle& circle : svg.circles) {
    if (!circle.filled) {
      continue;
    }
    ++dots;
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
  EXPECT_EQ(dots, 3);
}

TEST_F(ExportCommands, MidiFileOfEachSampleScoreSoundsAsThePlayback) {
  if (outputOf(std::string(kPython) + " -c 'import mido' 2>&1 && echo ok") != "ok\n") {
    GTEST_SKIP() << "python3-mido is not installed (scripts/setup.sh installs it)";
  }
  document_test::writeBytes(file("dump.py"),
                            document_test::Bytes(kMidoDump, kMidoDump + std::strlen(kMidoDump)));
  for (const char* sample : {"Four chords in C", "Twelve-bar blues in A", "Waltz in G"}) {
    SCOPED_TRACE(sample);
    const std::string path = (kSamples / (std::string(sample) + ".score")).string();
    InstrumentState instrument;
    const Score score = readScore(path, instrument, false, userName());
    const CliRun run = runCli(runScore, {"export-midi", path, "--out", file("s.mid")});
    ASSERT_EQ(run.status, 0) << run.err;

    std::istringstream events(
        outputOf(std::string(kPython) + " " + file("dump.py") + " " + file("s.mid")));
    std::string kind;
    std::map<int, std::set<int>> soundingAt;  // after the events at each onset
    std::set<int> sounding;
    std::vector<std::pair<int, std::string>> markers;
    std::map<std::string, int> values;
    int lastOff = 0;
    while (events >> kind) {
      int a = 0;
      if (kind == "format" || kind == "tempo" || kind == "program" || kind == "bank") {
        events >> values[kind];
        continue;
      }
      events >> a;
      if (kind == "marker") {
        std::string name;
        std::getline(events >> std::ws, name);
        markers.emplace_back(a, name);
        continue;
      }
      int note = 0;
      events >> note;
      kind == "on" ? (void)sounding.insert(note) : (void)sounding.erase(note);
      lastOff = kind == "off" ? a : lastOff;
      soundingAt[a] = sounding;
    }
    EXPECT_EQ(values["format"], 1);
    EXPECT_EQ(values["tempo"], 1000 * static_cast<int>(beatMsForTempo(score.tempo)));
    EXPECT_EQ(values["bank"], score.patch.bank);
    EXPECT_EQ(values["program"], score.patch.program);
    ASSERT_EQ(markers.size(), score.entries().size());
    int onset = 0;
    auto marker = markers.begin();
    for (const ScoreEntry& entry : score.entries()) {
      EXPECT_EQ(marker->first, onset);
      EXPECT_EQ(marker->second, entry.name.view());
      std::set<int> notes;
      for (int s = 0; s < instrument.strings(); ++s) {
        if (entry.frets[s] != kNone) {
          notes.insert(instrument.tuning[s] + entry.frets[s]);
        }
      }
      EXPECT_EQ(soundingAt[onset], notes) << "at " << onset << " ms";
      onset += static_cast<int>(chordLengthMs(entry.beatsToNext, beatMsForTempo(score.tempo)));
      ++marker;
    }
    EXPECT_TRUE(sounding.empty());
    EXPECT_EQ(lastOff, onset);
  }
}

// FluidSynth's own MIDI player renders the file offline; the moments, in
// milliseconds of rendered sound, at which it strikes the first note of each
// chord, and the loudest sample.
struct PlayerRun {
  std::vector<int> onsets;
  float peak = 0;
};

PlayerRun playWithFluidSynth(const std::string& soundFont, const std::string& midi) {
  struct State {
    fluid_synth_t* synth;
    long rendered = 0;
    PlayerRun run;
  };
  fluid_settings_t* settings = new_fluid_settings();
  fluid_settings_setnum(settings, "synth.sample-rate", 44100);
  State state{new_fluid_synth(settings), 0, {}};
  fluid_synth_sfload(state.synth, soundFont.c_str(), 1);
  fluid_player_t* player = new_fluid_player(state.synth);
  fluid_player_set_playback_callback(
      player,
      [](void* data, fluid_midi_event_t* event) {
        State& s = *static_cast<State*>(data);
        const int ms = static_cast<int>(s.rendered / 44.1);
        if (fluid_midi_event_get_type(event) == 0x90 && fluid_midi_event_get_velocity(event) > 0 &&
            (s.run.onsets.empty() || ms - s.run.onsets.back() > 5)) {
          s.run.onsets.push_back(ms);
        }
        return fluid_synth_handle_midi_event(s.synth, event);
      },
      &state);
  fluid_player_add(player, midi.c_str());
  fluid_player_play(player);
  std::array<float, 64> left{};
  std::array<float, 64> right{};
  while (fluid_player_get_status(player) == FLUID_PLAYER_PLAYING) {
    fluid_synth_write_float(state.synth, 64, left.data(), 0, 1, right.data(), 0, 1);
    state.rendered += 64;
    for (const float sample : left) {
      state.run.peak = std::max(state.run.peak, std::abs(sample));
    }
  }
  delete_fluid_player(player);
  delete_fluid_synth(state.synth);
  delete_fluid_settings(settings);
  return state.run;
}

TEST_F(ExportCommands, FluidSynthsPlayerSoundsTheChordsAtTheScoresOnsets) {
  const auto soundFont = findSoundFont(systemSoundFonts());
  if (!soundFont) {
    GTEST_SKIP() << "no General MIDI SoundFont installed (scripts/setup.sh installs it)";
  }
  const std::string path = (kSamples / "Waltz in G.score").string();
  ASSERT_EQ(runCli(runScore, {"export-midi", path, "--out", file("w.mid")}).status, 0);
  const PlayerRun run = playWithFluidSynth(*soundFont, file("w.mid"));
  // 132 beats a minute: 454 ms a beat; three beats each but a 2 and a 1.
  const std::vector<int> expected{0, 1362, 2724, 4086, 5448, 6810, 7718, 8172};
  ASSERT_EQ(run.onsets.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(run.onsets[i], expected[i], 2) << i;  // the player steps 64 samples
  }
  EXPECT_GT(run.peak, 0.05F);
}

DesignerChord fingering(std::array<std::int8_t, kStringSlots> frets, int top, bool barred,
                        int root) {
  DesignerChord chord;
  chord.frets = frets;
  chord.topFret = static_cast<std::int8_t>(top);
  chord.barred = barred;
  chord.rootString = static_cast<std::int8_t>(root);
  return chord;
}

TEST_F(ExportCommands, ChordProRoundTripGivesTheSameBookByteForByte) {
  // Every chord type, each with a fixed fingering, a barred shape, a shape
  // with an open string made away from the nut, and a root off the bass.
  InstrumentState guitar;
  ChordBook every(guitar.strings());
  const std::vector<DesignerChord> kinds{
      fingering({-1, 3, 2, 0, 1, 0}, 0, false, 1), fingering({1, 3, 3, 2, 1, 1}, 1, true, 0),
      fingering({-1, -1, 8, 0, 8, 9}, 7, false, 2), fingering({-1, 5, 7, 7, 6, 5}, 5, true, 3)};
  for (const ChordType& type : chordTypeTable) {
    for (const DesignerChord& chord : kinds) {
      every.addFretlet(type.suffix, chord);
    }
  }
  every.addFretlet(utf8ToWindows1252("maj é"), kinds[0]);
  writeChordBook(every, guitar, file("every.cbk"));
  for (const std::string& book : {(kSamples / "Guitar chords.cbk").string(), file("every.cbk")}) {
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
  const CliRun dump = runCli(runBook, {"dump", file("b.cbk"), "--json"});
  EXPECT_NE(dump.out.find("{\"name\":\"m\",\"fretlets\":[{\"rootString\":1,\"position\":0,"
                          "\"frets\":[-1,0,2,2,1,0]}]}"),
            std::string::npos)
      << dump.out;
  EXPECT_NE(dump.out.find("{\"name\":\"m7\",\"fretlets\":[{\"rootString\":0,\"position\":5,"
                          "\"frets\":[5,7,5,5,5,5]}"),
            std::string::npos)
      << dump.out;
}

TEST_F(ExportCommands, ScoreChordProIsAChartOfBarsWithADefinePerFingering) {
  const CliRun run =
      runCli(runScore, {"export-chordpro", (kSamples / "Waltz in G.score").string()});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* line :
       {"{title: Waltz in G}\n", "{tempo: 132}\n", "{define: D7 base-fret 1 frets x x 0 2 1 2}\n",
        "{start_of_grid}\n| Gmaj . . |\n| Em . . |\n| Cmaj . . |\n| Dmaj . . |\n"
        "| Gmaj . . |\n| Cmaj . D7 |\n| Gmaj . . |\n{end_of_grid}\n"}) {
    EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
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
  const std::string book = (kSamples / "Guitar chords.cbk").string();
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

  const std::string score = (kSamples / "Four chords in C.score").string();
  ASSERT_EQ(runCli(runScore, {"print", score, "--out", file("s.pdf")}).status, 0);
  const std::string chart = outputOf("pdftotext " + file("s.pdf") + " -");
  const std::vector<std::string> words = wordsOf(chart);
  for (const char* text :
       {"Four chords in C", "Traditional", "© 2024 Fretlets", "Tempo: 112 beats per minute"}) {
    EXPECT_NE(chart.find(text), std::string::npos) << text << chart;
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
  EXPECT_NE(
      run.err.find("cannot write " + lost + ": Couldn't open file (No such file or directory)"),
      std::string::npos)
      << run.err;
}

}  // namespace
}  // namespace fretlets::cli

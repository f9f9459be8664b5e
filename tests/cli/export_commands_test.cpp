#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <QXmlStreamReader>
#include <algorithm>
#include <vector>

#include "cli/commands.h"
#include "support/cli_run.h"
#include "support/document_test_support.h"

namespace fretlets::cli {
namespace {

using ExportCommands = document_test::DocumentFolder;

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

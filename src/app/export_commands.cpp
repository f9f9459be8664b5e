#include "app/export_commands.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <cerrno>
#include <cstring>
#include <span>

#include "app/file_commands.h"
#include "documents/byte_stream.h"
#include "gui/common/app_context.h"
#include "gui/common/app_state.h"
#include "gui/common/document_kind.h"
#include "gui/common/file_dialogs.h"
#include "gui/common/show_message.h"
#include "models/document_session.h"
#include "models/score_midi_file.h"
#include "music/designer_chord.h"
#include "music/instrument.h"
#include "print/chord_book_pages.h"
#include "print/chord_diagram.h"
#include "print/score_chart.h"

namespace fretlets {
namespace {

constexpr int kDiagramWidth = 400;

// The Save dialog for an export: the chosen path with the suffix, after
// asking before replacing a file.
std::optional<QString> exportPath(FileDialogs& dialogs, const QString& filter,
                                  const QString& suffix, const std::filesystem::path& folder) {
  const std::optional<QString> chosen = dialogs.savePath({filter, pathToQString(folder), suffix});
  if (!chosen || chosen->isEmpty()) {
    return std::nullopt;
  }
  QString path = *chosen;
  if (QFileInfo(path).suffix().isEmpty()) {
    path += QLatin1Char('.') + suffix;
  }
  if (!mayReplace(path)) {
    return std::nullopt;
  }
  return path;
}

void writeExport(const QString& path, std::span<const std::uint8_t> bytes) {
  errno = 0;
  try {
    writeFileReplacing(qStringToPath(path), bytes);
  } catch (const FormatError& error) {
    const int cause = errno;
    QString text =
        QStringLiteral("Couldn't write %1: %2").arg(path, QString::fromUtf8(error.what()));
    if (cause != 0) {
      text += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(cause)));
    }
    showMessage(text, {MessageIcon::Exclamation});
  }
}

void writeExport(const QString& path, const QByteArray& bytes) {
  if (bytes.isEmpty()) {
    showMessage(QStringLiteral("Couldn't write %1: the pages could not be made").arg(path),
                {MessageIcon::Exclamation});
    return;
  }
  writeExport(path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                              static_cast<std::size_t>(bytes.size())));
}

// The system's print dialog, then the pages on the printer it chose.
template <typename Print>
void printWithDialog(QWidget* owner, const QString& what, const Print& print) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(what);
  QPrintDialog dialog(&printer, owner);
  if (dialog.exec() != QDialog::Accepted) {
    return;
  }
  if (!print(printer)) {
    showMessage(QStringLiteral("Couldn't print %1: the printer could not be used").arg(what),
                {MessageIcon::Exclamation});
  }
}

QString titleOf(const DocumentFile& file) {
  return file.path.empty() ? QStringLiteral("Untitled") : pathToQString(file.path.stem());
}

constexpr CommandId kBookCommands[] = {CommandId::ChordBookPrint, CommandId::ChordBookExportPdf};
constexpr CommandId kScoreCommands[] = {CommandId::ScorePrint, CommandId::ScoreExportPdf,
                                        CommandId::ScoreExportMidi};

}  // namespace

std::span<const CommandId> documentExportCommands(DocumentKind kind) {
  if (kind == DocumentKind::ChordBook) {
    return kBookCommands;
  }
  return kScoreCommands;
}

void runExportCommand(CommandId id, AppContext& context, FileDialogs& dialogs, QWidget* owner) {
  DocumentSession& session = context.session;
  const InstrumentState& instrument = context.instrument;
  if (id == CommandId::ExportChordDiagram) {
    const auto path = exportPath(dialogs, QStringLiteral("SVG Files (*.svg);;PNG Images (*.png)"),
                                 QStringLiteral("svg"), session.folder(DocumentKind::ChordBook));
    if (!path) {
      return;
    }
    // Drawn as the Designer shows it: mirrored for a left-handed player.
    ChordDiagram diagram =
        diagramOfChord(context.chord, instrument.strings(), chordNameOf(context.chord, instrument));
    diagram.leftHanded = context.state.leftHanded;
    const bool png = path->endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
    writeExport(*path,
                png ? diagramPng(diagram, kDiagramWidth) : diagramSvg(diagram, kDiagramWidth));
    return;
  }
  if (id == CommandId::ChordBookPrint || id == CommandId::ChordBookExportPdf) {
    const ChordBookDocument* book = session.chordBook();
    if (book == nullptr) {
      showMessage(QStringLiteral("Open a chord book first."), {MessageIcon::Information});
      return;
    }
    const QString title = titleOf(book->file);
    if (id == CommandId::ChordBookPrint) {
      printWithDialog(owner, title, [&](QPrinter& printer) {
        return printChordBook(printer, book->book, instrument, title);
      });
    } else if (const auto path =
                   exportPath(dialogs, QStringLiteral("PDF Files (*.pdf)"), QStringLiteral("pdf"),
                              session.folder(DocumentKind::ChordBook))) {
      writeExport(*path, chordBookPdf(book->book, instrument, title));
    }
    return;
  }
  const ScoreDocument* score = session.score();
  if (score == nullptr) {
    showMessage(QStringLiteral("Open a score first."), {MessageIcon::Information});
    return;
  }
  const std::filesystem::path folder = session.folder(DocumentKind::Score);
  switch (id) {
    case CommandId::ScorePrint:
      printWithDialog(owner, titleOf(score->file), [&](QPrinter& printer) {
        return printScoreChart(printer, score->score, instrument);
      });
      return;
    case CommandId::ScoreExportPdf:
      if (const auto path = exportPath(dialogs, QStringLiteral("PDF Files (*.pdf)"),
                                       QStringLiteral("pdf"), folder)) {
        writeExport(*path, scoreChartPdf(score->score, instrument));
      }
      return;
    case CommandId::ScoreExportMidi:
      if (score->score.empty()) {
        showMessage(QStringLiteral("The score has no chords to export."),
                    {MessageIcon::Information});
      } else if (const auto path = exportPath(dialogs, QStringLiteral("MIDI Files (*.mid)"),
                                              QStringLiteral("mid"), folder)) {
        writeExport(*path, scoreMidiFile(score->score, instrument));
      }
      return;
    default:
      return;
  }
}

}  // namespace fretlets

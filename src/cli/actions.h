#pragma once

#include <QByteArray>
#include <cstdint>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/args.h"
#include "cli/commands.h"
#include "documents/byte_stream.h"
#include "music/instrument.h"

namespace fretlets::cli {

// One action of a command that works on files ("book dump", "score upgrade").
using Action = int (*)(const Args& args, Console& console);

struct CommandActions {
  std::string_view command;  // "book"
  std::string_view usage;
  std::set<std::string> valueOptions;
  std::set<std::string> flags;  // "help" is always one
  std::vector<std::pair<std::string_view, Action>> actions;
};

// Picks the action named by the first plain word and runs it. A file that
// fails prints the document format's own message and gives status 1; bad
// input prints one line and gives status 2.
int runActions(const CommandActions& command, const std::vector<std::string>& words,
               Console& console);

// Writes a command's output file through a temporary file, so a failure
// leaves a file already at path as it was. Throws FormatError naming the
// file and what went wrong.
void writeOutput(const std::string& path, std::span<const std::uint8_t> bytes);

// Writes text to the --out file when one is given, else to standard output.
void writeTextOutput(const Args& args, Console& console, const std::string& text);

// Writes made pages to out; no pages at all is a failure that says so.
void writePdfOutput(const std::string& out, const QByteArray& pdf, Console& console);

// An existing book keeps its own instrument and tuning: an --instrument or
// --tuning that differs from what the book holds (book) is refused.
void requireBookInstrument(const Args& args, const InstrumentState& book,
                           const InstrumentState& asked);

// The commands that paint need a Qt application; without a display it
// paints offscreen. Made once, on first use, and kept to the end.
void ensurePainting();

// What the dump and upgrade actions need of a document kind.
template <typename Document>
struct DocumentKind {
  Document (*parse)(std::span<const std::uint8_t> bytes, InstrumentState& state);
  void (*print)(const Document&, const InstrumentState&, std::int32_t version, std::ostream& out);
  void (*printJson)(const Document&, const InstrumentState&, std::int32_t version,
                    std::ostream& out);
  // Writes the current version.
  void (*write)(const Document&, const InstrumentState&, const std::string& path);
  std::int32_t currentVersion;
};

// "dump FILE [--json]": the document as text or as JSON, with its version.
template <typename Document>
int dumpDocument(const Args& args, Console& console, const DocumentKind<Document>& kind) {
  if (args.positional().size() != 2) {
    throw UsageError("dump takes one FILE");
  }
  const std::vector<std::uint8_t> bytes = readFileBytes(args.positional()[1]);
  InstrumentState state;
  const Document document = kind.parse(bytes, state);
  (args.has("json") ? kind.printJson : kind.print)(document, state, documentVersion(bytes),
                                                   console.out);
  return 0;
}

// "upgrade IN OUT": any version the reader takes, written as the current one.
template <typename Document>
int upgradeDocument(const Args& args, Console& console, const DocumentKind<Document>& kind) {
  if (args.positional().size() != 3) {
    throw UsageError("upgrade takes IN and OUT");
  }
  InstrumentState state;
  const Document document = kind.parse(readFileBytes(args.positional()[1]), state);
  kind.write(document, state, args.positional()[2]);
  console.out << "Wrote " << args.positional()[2] << " (version " << kind.currentVersion << ")\n";
  return 0;
}

}  // namespace fretlets::cli

#include "cli/actions.h"

#include <QGuiApplication>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>

#include "documents/byte_stream.h"

namespace fretlets::cli {

void writeOutput(const std::string& path, std::span<const std::uint8_t> bytes) {
  errno = 0;
  try {
    writeFileReplacing(path, bytes);
  } catch (const FormatError& error) {
    const int cause = errno;
    std::string message = "cannot write " + path + ": " + error.what();
    if (cause != 0) {
      message += " (" + std::string(std::strerror(cause)) + ")";
    } else if (pathExists(path)) {
      message += " (the file is read-only)";
    }
    throw FormatError(message);
  }
}

void writeTextOutput(const Args& args, Console& console, const std::string& text) {
  if (const auto out = args.value("out")) {
    writeOutput(*out, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    console.out << "wrote " << *out << '\n';
  } else {
    console.out << text;
  }
}

void writePdfOutput(const std::string& out, const QByteArray& pdf, Console& console) {
  if (pdf.isEmpty()) {
    throw FormatError("cannot write " + out + ": the pages could not be made");
  }
  writeOutput(out, std::span(reinterpret_cast<const std::uint8_t*>(pdf.constData()),
                             static_cast<std::size_t>(pdf.size())));
  console.out << "wrote " << out << '\n';
}

void requireBookInstrument(const Args& args, const InstrumentState& book,
                           const InstrumentState& asked) {
  if ((args.has("instrument") || args.has("tuning")) &&
      checkCompatibility(book, asked.currentInstrument, asked.tuning) !=
          Compatibility::Compatible) {
    throw UsageError("the book is for the " +
                     std::string(instrumentTable[book.currentInstrument].name) + " tuned " +
                     tuningNames(book));
  }
}

void ensurePainting() {
  if (QGuiApplication::instance() != nullptr) {
    return;
  }
  // A command-line tool draws into files only: it needs no display.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "fretlets-cli";
  static char* argv[] = {name, nullptr};
  static const auto application = std::make_unique<QGuiApplication>(argc, argv);
}

int runActions(const CommandActions& command, const std::vector<std::string>& words,
               Console& console) {
  try {
    std::set<std::string> flags = command.flags;
    flags.insert("help");
    const Args args(words, command.valueOptions, flags);
    if (args.has("help")) {
      console.out << command.usage;
      return 0;
    }
    const std::string name = args.positional().empty() ? "" : args.positional().front();
    for (const auto& [actionName, action] : command.actions) {
      if (actionName != name) {
        continue;
      }
      try {
        return action(args, console);
      } catch (const FormatError& error) {
        console.err << error.what() << '\n';
        return 1;
      }
    }
    std::string names;
    for (const auto& [actionName, action] : command.actions) {
      names += names.empty() ? "" : ", ";
      names += actionName;
    }
    throw UsageError(name.empty() ? "give one of " + names : "unknown action '" + name + "'");
  } catch (const UsageError& error) {
    console.err << "fretlets-cli " << command.command << ": " << error.what() << '\n';
    return 2;
  }
}

}  // namespace fretlets::cli

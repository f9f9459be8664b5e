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

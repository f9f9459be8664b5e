#include "cli/actions.h"

#include <ostream>

#include "documents/byte_stream.h"

namespace fretlets::cli {

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

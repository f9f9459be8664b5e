#pragma once

#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/args.h"
#include "cli/commands.h"

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

}  // namespace fretlets::cli

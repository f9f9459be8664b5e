#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace fretlets::cli {

// What one run of a command printed and returned.
struct CliRun {
  int status;
  std::string out;
  std::string err;
};

using Command = int (*)(const std::vector<std::string>&, Console&);

inline CliRun runCli(Command command, const std::vector<std::string>& args,
                     const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  Console console{in, out, err};
  const int status = command(args, console);
  return {status, out.str(), err.str()};
}

}  // namespace fretlets::cli

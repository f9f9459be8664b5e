#pragma once

#include <gtest/gtest.h>

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

// Each set of arguments is refused with status 2 and one line on standard
// error, nothing on standard output.
inline void expectUsageErrors(Command command, const std::vector<std::vector<std::string>>& bad) {
  for (const auto& args : bad) {
    const CliRun run = runCli(command, args);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_TRUE(run.out.empty());
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  }
}

}  // namespace fretlets::cli

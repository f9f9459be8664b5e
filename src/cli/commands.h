#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace fretlets {
struct AudioSink;
}

namespace fretlets::cli {

// The streams a command talks to; tests pass string streams.
struct Console {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
};

// Each command takes the words after its name and returns the exit status:
// 0 done, 1 the work failed (a file, a missing sound font), 2 bad input.
int runName(const std::vector<std::string>& args, Console& console);
int runRender(const std::vector<std::string>& args, Console& console);
int runBook(const std::vector<std::string>& args, Console& console);
int runScore(const std::vector<std::string>& args, Console& console);
int runVoicings(const std::vector<std::string>& args, Console& console);
int runDiagram(const std::vector<std::string>& args, Console& console);
int runPlay(const std::vector<std::string>& args, Console& console);
// play through the given audio outputs, tried in turn, instead of the desktop's.
int runPlayTo(const std::vector<std::string>& args, Console& console, std::vector<AudioSink> sinks);

}  // namespace fretlets::cli

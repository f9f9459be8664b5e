#include <ostream>

#include "cli/commands.h"

namespace fretlets::cli {

int runScore(const std::vector<std::string>& /*args*/, Console& console) {
  console.err << "fretlets-cli: 'score' is not available in this build\n";
  return 2;
}

}  // namespace fretlets::cli

#include <ostream>

#include "cli/commands.h"

namespace fretlets::cli {

int runRender(const std::vector<std::string>& /*args*/, Console& console) {
  console.err << "fretlets-cli: 'render' is not available in this build\n";
  return 2;
}

}  // namespace fretlets::cli

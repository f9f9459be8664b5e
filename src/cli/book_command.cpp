#include <ostream>

#include "cli/commands.h"

namespace fretlets::cli {

int runBook(const std::vector<std::string>& /*args*/, Console& console) {
  console.err << "fretlets-cli: 'book' is not available in this build\n";
  return 2;
}

}  // namespace fretlets::cli

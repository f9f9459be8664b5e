#include <iostream>
#include <string_view>

#include "cli/commands.h"

namespace {

constexpr std::string_view kUsage =
    "usage: fretlets-cli COMMAND [options]\n"
    "\n"
    "commands:\n"
    "  name    name a fingering: its chord, intervals and notes\n"
    "  render  render a fingering to a WAV file with the built-in synthesizer\n"
    "  book    dump, upgrade or add to a chord book (.cbk)\n"
    "  score   dump or upgrade a score (.score)\n"
    "  voicings  list the fingerings of a chord, easiest first, or file them in a book\n"
    "  diagram draw a fingering as a chord diagram (SVG or PNG)\n"
    "  play    play a score or strike a fingering live through the built-in synthesizer\n"
    "\n"
    "Run 'fretlets-cli COMMAND --help' for the options of a command.\n";

}  // namespace

int main(int argc, char* argv[]) {
  std::ios::sync_with_stdio(false);
  fretlets::cli::Console console{std::cin, std::cout, std::cerr};
  if (argc < 2) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string_view command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "name") {
    return fretlets::cli::runName(args, console);
  }
  if (command == "render") {
    return fretlets::cli::runRender(args, console);
  }
  if (command == "book") {
    return fretlets::cli::runBook(args, console);
  }
  if (command == "score") {
    return fretlets::cli::runScore(args, console);
  }
  if (command == "voicings") {
    return fretlets::cli::runVoicings(args, console);
  }
  if (command == "diagram") {
    return fretlets::cli::runDiagram(args, console);
  }
  if (command == "play") {
    return fretlets::cli::runPlay(args, console);
  }
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage;
    return 0;
  }
  std::cerr << "fretlets-cli: unknown command '" << command << "'\n" << kUsage;
  return 2;
}

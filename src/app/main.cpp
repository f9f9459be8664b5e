#include "app/program.h"
#include "app/single_instance.h"

int main(int argc, char* argv[]) {
  return fretlets::runFretlets(argc, argv, {fretlets::SingleInstance::serverName(), {}});
}

#pragma once

namespace fretlets {

// Makes running out of memory end the program with "Out Of Memory" and exit
// status 1, instead of a crash.
void installOutOfMemoryHandler();

// What happens then: the message (from memory kept aside for it), then the end.
[[noreturn]] void outOfMemory();

}  // namespace fretlets

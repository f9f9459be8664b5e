#pragma once

namespace fretlets {

// What deleting the current fretlet of a chord book or entry of a score left
// behind, so that a panel knows what to redraw.
enum class DeleteOutcome {
  Kept,              // the rest of the document stands as it was
  ChordTypeRemoved,  // the fretlet was its chord type's last: the type went too
  DocumentEmpty,     // nothing is left (or nothing was there to delete)
};

}  // namespace fretlets

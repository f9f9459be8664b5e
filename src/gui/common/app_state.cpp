#include "gui/common/app_state.h"

#include <QCoreApplication>

#include "gui/common/document_kind.h"

namespace fretlets {

std::filesystem::path programFolder() {
  return qStringToPath(QCoreApplication::applicationDirPath());
}

void placeBeside(AppState& state, const std::filesystem::path& folder) {
  state.programFolder = folder;
  state.chordBookSlot.folder = folder / "samples";
  state.scoreSlot.folder = folder / "samples";
}

}  // namespace fretlets

#include "gui/common/app_state.h"

#include <QCoreApplication>

#include "gui/common/document_kind.h"
#include "models/document_session.h"

namespace fretlets {

std::filesystem::path programFolder() {
  return qStringToPath(QCoreApplication::applicationDirPath());
}

void placeBeside(AppState& state, DocumentSession& session, const std::filesystem::path& folder) {
  state.programFolder = folder;
  for (const DocumentKind kind : kDocumentKinds) {
    session.setFolder(kind, folder / "samples");
  }
}

}  // namespace fretlets

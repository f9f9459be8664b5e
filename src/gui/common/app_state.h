#pragma once

#include <QString>
#include <filesystem>

namespace fretlets {

class DocumentSession;

// The settings every window of the program reads. Exactly one exists, owned
// by the program object.
struct AppState {
  QString texturesFolder = QStringLiteral("textures");
  QString textureName = QStringLiteral("default");
  QString versionTitle = QStringLiteral("Fretlets 1.21");
  std::filesystem::path programFolder;  // the folder that holds the running program
  // How the panels show for the run: mirrored for a left-handed player, and
  // the zoom in percent.
  bool leftHanded = false;
  int zoom = 100;
};

// The folder that holds the running program (after links are followed).
std::filesystem::path programFolder();

// Makes folder the program folder: the samples and textures are looked for
// there, and the file dialogs start in its samples.
void placeBeside(AppState& state, DocumentSession& session, const std::filesystem::path& folder);

}  // namespace fretlets

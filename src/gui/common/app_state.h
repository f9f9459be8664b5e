#pragma once

#include <QPointer>
#include <QString>
#include <QToolBar>
#include <filesystem>
#include <string>

namespace fretlets {

class MainWindow;
class MidiAmpPanel;
class InstrumentPanel;
class DesignerPanel;
class ChordBookPanel;
class ScorePanel;

// The file names of one kind of document. Paths are Unicode and unbounded;
// only the texts inside the documents are 8-bit.
struct DocumentSlot {
  std::filesystem::path folder;         // where the Open and Save As dialogs start
  std::filesystem::path path;           // where the open document is saved; empty until named
  QString title;                        // file name of path, shown in the panel caption
  std::filesystem::path requestedPath;  // a file to open next; empty when none
  QString requestedTitle;
};

// The state every window of the program reads. Exactly one exists, owned by
// the program object. A panel pointer is null exactly while that panel does
// not exist, so a call through it reaches a panel only while it is there.
struct AppState {
  QPointer<MainWindow> mainWindow;
  QPointer<QToolBar> toolbar;
  QPointer<InstrumentPanel> instrumentPanel;
  QPointer<DesignerPanel> designerPanel;
  QPointer<MidiAmpPanel> midiAmpPanel;
  QPointer<ChordBookPanel> chordBookPanel;
  QPointer<ScorePanel> scorePanel;
  QString texturesFolder = QStringLiteral("textures");
  QString textureName = QStringLiteral("default");
  DocumentSlot chordBookSlot;
  DocumentSlot scoreSlot;
  bool closing = false;  // set while the user closes the program
  QString versionTitle = QStringLiteral("Fretlets 1.21");
  std::string userName;                 // the documents' 8-bit text, at most 49 bytes
  std::filesystem::path programFolder;  // the folder that holds the running program
};

// The folder that holds the running program (after links are followed).
std::filesystem::path programFolder();

// Makes folder the program folder of state: the samples and textures are
// looked for there, and the file dialogs start in its samples.
void placeBeside(AppState& state, const std::filesystem::path& folder);

}  // namespace fretlets

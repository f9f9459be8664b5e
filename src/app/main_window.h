#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>

#include "app/file_commands.h"
#include "gui/common/app_context.h"
#include "gui/common/command_id.h"
#include "gui/common/document_kind.h"
#include "models/document_session.h"

class QAction;
class QScrollArea;
class QTimer;
class QToolBar;

namespace fretlets {

class ChordFinderPanel;
class DesignerPanel;
class DocumentPanel;
class FileDialogs;
class HelpWindow;
class InstrumentPanel;
class MidiAmpPanel;
class Panel;

// The frame: the program's one window, with its caption, menu bar and
// toolbar over a column of panels. It runs every command of the menu and
// toolbar, creates and removes panels and keeps the column in order, the
// window as tall as the column (a column taller than the screen scrolls). For
// the document session it asks the user and shows each open document in its
// panel.
class MainWindow : public QMainWindow, private SessionHost {
  Q_OBJECT

 public:
  // Makes the panel that shows the session's open document of a kind.
  using PanelMaker = std::function<Panel*(AppContext& context, QWidget* frame)>;

  explicit MainWindow(AppContext& context, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The one action of a command, shared by its menu item and toolbar button.
  QAction* action(CommandId id) const;
  QToolBar* toolbar() const { return toolbar_; }
  void runCommand(CommandId id);

  void setDocumentPanelMaker(DocumentKind kind, PanelMaker maker);
  void setFileDialogs(std::unique_ptr<FileDialogs> dialogs);
  Panel* documentPanel(DocumentKind kind) const;
  DesignerPanel* designerPanel() const;
  InstrumentPanel* instrumentPanel() const;
  MidiAmpPanel* midiAmpPanel() const;
  ChordFinderPanel* finderPanel() const;
  HelpWindow* helpWindow() const;

  // Every way into opening a document (command line, drop, hand-over) comes
  // here. While a box or dialog waits for an answer the request waits its
  // turn.
  void requestOpen(const OpenRequest& request);
  // A later start of the program handed path over: come forward and open it
  // when it names a document.
  void acceptHandOver(const QString& path);

  // Stacks the docked panels in the column: MIDI Amp, Instrument, Chord
  // Book, Score, Chord Designer, each as large as it is; the window follows.
  void layOutPanels();
  // Repaints the frame and every panel, after the texture changed.
  void repaintAll();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class Column;

  void createActions();
  void createMenus();
  void createToolbar();

  // Panels of the program.
  void createMidiAmpPanel();
  void createInstrumentPanel();
  void createDesignerPanel();
  void createFinderPanel();
  void dock(Panel* panel);
  // Every panel at a zoom in percent, for the rest of the run.
  void setZoom(int percent);
  void adopt(Panel* panel, CommandId viewCommand);
  void panelGone(CommandId viewCommand);
  template <typename PanelType>
  void retire(QPointer<PanelType>& pointer, CommandId viewCommand);
  void toggleDesigner();
  // Whether the panel of a View command is shown, whatever its check says.
  bool panelShown(CommandId viewCommand) const;
  QList<Panel*> panelsInLayoutOrder() const;
  // As large as the column's panels and bars, within the screen.
  void fitToColumn();

  // Documents.
  void openWithDialog(DocumentKind kind);
  void runWaitingCommands();
  void setDocumentCommandsEnabled(DocumentKind kind, bool enabled);
  DocumentPanel* documentView(DocumentKind kind) const;

  // What the session asks and tells.
  Answer askToSave(DocumentKind kind, const std::string& title) override;
  bool askToCloseUnsaved() override;
  std::optional<std::filesystem::path> chooseSaveTarget(DocumentKind kind) override;
  void reportFailure(const std::string& text) override;
  bool busy() const override;
  void documentOpened(DocumentKind kind) override;
  void documentClosing(DocumentKind kind) override;
  void documentClosed(DocumentKind kind) override;
  void documentSaved(DocumentKind kind) override;

  void showHelp();
  void showAbout();
  void loadTexture();
  void closeRemainingPanels();

  AppContext& context_;
  std::unique_ptr<FileDialogs> dialogs_;
  std::map<CommandId, QAction*> actions_;
  QToolBar* toolbar_ = nullptr;
  Column* column_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QPointer<HelpWindow> help_;
  std::map<DocumentKind, PanelMaker> makers_;
  std::map<DocumentKind, QPointer<Panel>> documents_;
  QPointer<MidiAmpPanel> midiAmp_;
  QPointer<InstrumentPanel> instrument_;
  QPointer<DesignerPanel> designer_;
  QPointer<ChordFinderPanel> finder_;
  QPointer<QObject> designerObject_;
  bool designerShown_ = true;
  // Looks again, while requests wait, whether the box they wait for is gone.
  QTimer* waitingTimer_ = nullptr;
};

}  // namespace fretlets

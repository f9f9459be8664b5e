#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/about_box.h"
#include "app/help_window.h"
#include "app/load_texture_dialog.h"
#include "app/toolbar_art.h"
#include "gui/common/app_state.h"
#include "gui/common/document_panel.h"
#include "gui/common/file_dialogs.h"
#include "gui/common/panel.h"
#include "gui/common/show_message.h"
#include "gui/common/texture.h"
#include "gui/designer/designer_panel.h"
#include "gui/instrument/instrument_panel.h"
#include "gui/midi_amp/midi_amp_panel.h"
#include "sound/midi_device.h"

namespace fretlets {
namespace {

// How often requests that wait for a box or a closing document look again.
constexpr int kWaitingRetryMs = 50;

constexpr DocumentKind kDocumentKinds[] = {DocumentKind::Score, DocumentKind::ChordBook};

}  // namespace

// Removes a panel: it leaves the layout and its View check now, and is
// deleted once every handler that might be running in it has returned.
template <typename PanelType>
void MainWindow::retire(QPointer<PanelType>& pointer, CommandId viewCommand) {
  Panel* panel = pointer.data();
  pointer = nullptr;
  action(viewCommand)->setChecked(false);
  panel->hide();
  panel->deleteLater();
}

// The frame's client area below the toolbar: the amp texture, and the guitar
// picture, which shows once the user makes the frame taller.
class MainWindow::Canvas : public QWidget {
 public:
  Canvas(MainWindow& frame, QImage guitar) : QWidget(&frame), frame_(frame), guitar_(guitar) {}

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    tileBitmap(painter, fretlets::loadTexture(frame_.context_.state, QStringLiteral("amp.bmp")),
               rect());
    if (!guitar_.isNull()) {
      // At (6, 32) of the frame's area under its menu bar.
      const QPoint corner =
          mapFrom(&frame_, QPoint(6, frame_.menuBar()->geometry().bottom() + 1 + 32));
      painter.drawImage(corner, guitar_);
    }
  }

 private:
  MainWindow& frame_;
  const QImage guitar_;
};

MainWindow::MainWindow(AppContext& context, QWidget* parent)
    : QMainWindow(parent),
      context_(context),
      dialogs_(std::make_unique<QtFileDialogs>(this)),
      waitingTimer_(new QTimer(this)) {
  setWindowTitle(QStringLiteral("Fretlets"));
  setWindowIcon(programIcon());
  setAcceptDrops(true);
  context_.state.mainWindow = this;

  createActions();
  createMenus();
  createToolbar();
  // The guitar is read once, from the folder the program was started in or,
  // when there is none, from beside the program.
  QImage guitar(QDir::current().filePath(QStringLiteral("guitar.bmp")));
  if (guitar.isNull()) {
    guitar.load(pathToQString(context_.state.programFolder / "guitar.bmp"));
  }
  canvas_ = new Canvas(*this, guitar);
  setCentralWidget(canvas_);

  waitingTimer_->setInterval(kWaitingRetryMs);
  connect(waitingTimer_, &QTimer::timeout, this, &MainWindow::runWaitingCommands);

  createMidiAmpPanel();
  createInstrumentPanel();
  createDesignerPanel();
  for (const DocumentKind kind : kDocumentKinds) {
    setDocumentCommandsEnabled(kind, false);
  }
  // Two seconds after start the MIDI Amp switches the output on.
  QTimer::singleShot(2000, context_.state.midiAmpPanel.data(), &MidiAmpPanel::switchOnAtStart);
  resize(QSize(context_.state.midiAmpPanel->width(), 0));
}

MainWindow::~MainWindow() {
  // The panels go in a fixed order while the frame is still whole.
  AppState& state = context_.state;
  delete state.instrumentPanel.data();
  delete state.designerPanel.data();
  delete state.midiAmpPanel.data();
  for (const DocumentKind kind : kDocumentKinds) {
    delete documents_[kind].data();
  }
  delete help_.data();
  // Panels retired but not yet deleted (their deletion was left to an event
  // loop that has ended) go now, while the actions they report to exist.
  qDeleteAll(findChildren<Panel*>(Qt::FindDirectChildrenOnly));
}

QAction* MainWindow::addCommand(CommandId id, const QString& text, const QString& toolTip) {
  auto* action = new QAction(text, this);
  action->setToolTip(toolTip.isEmpty() ? QString(text).remove(QLatin1Char('&')) : toolTip);
  action->setIconVisibleInMenu(false);
  action->setData(static_cast<int>(id));
  connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
  actions_[id] = action;
  return action;
}

void MainWindow::createActions() {
  addCommand(CommandId::ScoreNew, QStringLiteral("&New"), QStringLiteral("New Score"));
  addCommand(CommandId::ScoreOpen, QStringLiteral("&Open"), QStringLiteral("Open Score"));
  addCommand(CommandId::ScoreClose, QStringLiteral("&Close"), QStringLiteral("Close Score"));
  addCommand(CommandId::ScoreSave, QStringLiteral("&Save"), QStringLiteral("Save Score"));
  addCommand(CommandId::ScoreSaveAs, QStringLiteral("Save &As..."),
             QStringLiteral("Save Score As"));
  addCommand(CommandId::ChordBookNew, QStringLiteral("&New"), QStringLiteral("New Chord Book"));
  addCommand(CommandId::ChordBookOpen, QStringLiteral("&Open"), QStringLiteral("Open Chord Book"));
  addCommand(CommandId::ChordBookClose, QStringLiteral("&Close"),
             QStringLiteral("Close Chord Book"));
  addCommand(CommandId::ChordBookSave, QStringLiteral("&Save"), QStringLiteral("Save Chord Book"));
  addCommand(CommandId::ChordBookSaveAs, QStringLiteral("Save &As..."),
             QStringLiteral("Save Chord Book As"));
  addCommand(CommandId::LoadTexture, QStringLiteral("Load &Texture"));
  addCommand(CommandId::Exit, QStringLiteral("E&xit"));
  addCommand(CommandId::ViewMidiAmp, QStringLiteral("&MIDI Amp"))->setCheckable(true);
  addCommand(CommandId::ViewInstrument, QStringLiteral("&Instrument"))->setCheckable(true);
  addCommand(CommandId::ViewDesigner, QStringLiteral("&Chord Designer"))->setCheckable(true);
  QAction* help =
      addCommand(CommandId::HelpContents, QStringLiteral("&Contents"), QStringLiteral("Help"));
  // F1 opens the manual from the frame and from every panel.
  help->setShortcut(QKeySequence(Qt::Key_F1));
  help->setShortcutContext(Qt::ApplicationShortcut);
  addCommand(CommandId::About, QStringLiteral("&About"));

  action(CommandId::ScoreNew)->setIcon(toolbarIcon(ToolbarImage::NewScore));
  action(CommandId::ChordBookNew)->setIcon(toolbarIcon(ToolbarImage::NewChordBook));
  action(CommandId::ScoreOpen)->setIcon(toolbarIcon(ToolbarImage::Open));
  action(CommandId::ChordBookOpen)->setIcon(toolbarIcon(ToolbarImage::Open));
  action(CommandId::ScoreSave)->setIcon(toolbarIcon(ToolbarImage::Save));
  action(CommandId::ChordBookSave)->setIcon(toolbarIcon(ToolbarImage::Save));
  action(CommandId::ViewInstrument)->setIcon(toolbarIcon(ToolbarImage::Instrument));
  action(CommandId::ViewDesigner)->setIcon(toolbarIcon(ToolbarImage::Designer));
  action(CommandId::HelpContents)->setIcon(toolbarIcon(ToolbarImage::Help));
}

void MainWindow::createMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  QMenu* score = file->addMenu(QStringLiteral("&Score"));
  QMenu* chordBook = file->addMenu(QStringLiteral("Chord &Book"));
  for (const int offset : {0, 1, 2, 3, 4}) {
    score->addAction(action(static_cast<CommandId>(11010 + offset)));
    chordBook->addAction(action(static_cast<CommandId>(11020 + offset)));
  }
  file->addAction(action(CommandId::LoadTexture));
  file->addSeparator();
  file->addAction(action(CommandId::Exit));
  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  view->addAction(action(CommandId::ViewMidiAmp));
  view->addAction(action(CommandId::ViewInstrument));
  view->addAction(action(CommandId::ViewDesigner));
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->addAction(action(CommandId::HelpContents));
  help->addAction(action(CommandId::About));
}

void MainWindow::createToolbar() {
  toolbar_ = new QToolBar(QStringLiteral("Toolbar"), this);
  toolbar_->setMovable(false);
  toolbar_->setFloatable(false);
  toolbar_->setIconSize(QSize(16, 15));
  toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
  addToolBar(Qt::TopToolBarArea, toolbar_);
  context_.state.toolbar = toolbar_;
  const auto add = [this](CommandId id) {
    QAction* entry = action(id);
    toolbar_->addAction(entry);
    toolbar_->widgetForAction(entry)->setAccessibleName(entry->toolTip());
  };
  add(CommandId::ScoreNew);
  add(CommandId::ScoreOpen);
  add(CommandId::ScoreSave);
  toolbar_->addSeparator();
  add(CommandId::ChordBookNew);
  add(CommandId::ChordBookOpen);
  add(CommandId::ChordBookSave);
  toolbar_->addSeparator();
  add(CommandId::ViewInstrument);
  add(CommandId::ViewDesigner);
  toolbar_->addSeparator();
  add(CommandId::HelpContents);
}

QAction* MainWindow::action(CommandId id) const {
  return actions_.at(id);
}

void MainWindow::runCommand(CommandId id) {
  switch (id) {
    case CommandId::ScoreNew:
      return openNow({DocumentKind::Score, {}});
    case CommandId::ChordBookNew:
      return openNow({DocumentKind::ChordBook, {}});
    case CommandId::ScoreOpen:
      return openWithDialog(DocumentKind::Score);
    case CommandId::ChordBookOpen:
      return openWithDialog(DocumentKind::ChordBook);
    case CommandId::ScoreClose:
      return askToClose(DocumentKind::Score);
    case CommandId::ChordBookClose:
      return askToClose(DocumentKind::ChordBook);
    case CommandId::ScoreSave:
      return saveDocument(DocumentKind::Score);
    case CommandId::ChordBookSave:
      return saveDocument(DocumentKind::ChordBook);
    case CommandId::ScoreSaveAs:
      return saveDocumentAs(DocumentKind::Score);
    case CommandId::ChordBookSaveAs:
      return saveDocumentAs(DocumentKind::ChordBook);
    case CommandId::LoadTexture:
      return loadTexture();
    case CommandId::Exit:
      close();
      return;
    case CommandId::ViewMidiAmp:
      if (context_.state.midiAmpPanel) {
        retire(context_.state.midiAmpPanel, id);
      } else {
        createMidiAmpPanel();
      }
      return layOutPanels();
    case CommandId::ViewInstrument:
      if (context_.state.instrumentPanel) {
        retire(context_.state.instrumentPanel, id);
      } else {
        createInstrumentPanel();
      }
      return layOutPanels();
    case CommandId::ViewDesigner:
      return toggleDesigner();
    case CommandId::HelpContents:
      return showHelp();
    case CommandId::About:
      return showAbout();
  }
}

// ---- Panels ---------------------------------------------------------------

void MainWindow::adopt(Panel* panel, CommandId viewCommand) {
  action(viewCommand)->setChecked(true);
  connect(panel, &QObject::destroyed, this, [this, viewCommand] { panelGone(viewCommand); });
  if (isVisible()) {
    panel->show();
  }
}

void MainWindow::panelGone(CommandId viewCommand) {
  action(viewCommand)->setChecked(false);
  // Lay out once the panel has left entirely.
  QMetaObject::invokeMethod(this, &MainWindow::layOutPanels, Qt::QueuedConnection);
}

void MainWindow::createMidiAmpPanel() {
  auto* panel = new MidiAmpPanel(context_, this);
  context_.state.midiAmpPanel = panel;
  adopt(panel, CommandId::ViewMidiAmp);
}

void MainWindow::createInstrumentPanel() {
  auto* panel = new InstrumentPanel(context_, this);
  context_.state.instrumentPanel = panel;
  adopt(panel, CommandId::ViewInstrument);
}

void MainWindow::createDesignerPanel() {
  auto* panel = new DesignerPanel(context_, this);
  context_.state.designerPanel = panel;
  adopt(panel, CommandId::ViewDesigner);
  // The Designer may hide itself; its View check follows it.
  designerObject_ = panel;
  panel->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Compared as a plain object: the Designer may be half destroyed here.
  if (watched == designerObject_.data() && !event->spontaneous() && isVisible() &&
      (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
    designerShown_ = event->type() == QEvent::Show;
    action(CommandId::ViewDesigner)->setChecked(designerShown_);
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::toggleDesigner() {
  DesignerPanel* designer = context_.state.designerPanel;
  if (!designer) {
    action(CommandId::ViewDesigner)->setChecked(false);
    return;
  }
  designerShown_ = !designer->isVisible();
  designer->setVisible(designerShown_);
  action(CommandId::ViewDesigner)->setChecked(designerShown_);
}

QList<Panel*> MainWindow::panelsInLayoutOrder() const {
  const AppState& state = context_.state;
  QList<Panel*> panels;
  const auto add = [&panels](Panel* panel) {
    if (panel) {
      panels.append(panel);
    }
  };
  add(state.midiAmpPanel.data());
  add(state.instrumentPanel.data());
  add(documentPanel(DocumentKind::ChordBook));
  add(documentPanel(DocumentKind::Score));
  add(state.designerPanel.data());
  return panels;
}

void MainWindow::layOutPanels() {
  // Below the frame's window, left edges flush with it; positions are signed
  // (a screen left of or above the main one).
  const QRect frame = frameGeometry();
  int top = frame.y() + frame.height();
  for (Panel* panel : panelsInLayoutOrder()) {
    panel->move(frame.x(), top);
    top += panel->frameGeometry().height();
  }
}

void MainWindow::sizeToContent() {
  const int width = context_.state.midiAmpPanel
                        ? context_.state.midiAmpPanel->frameGeometry().width()
                        : this->width();
  resize(width, menuBar()->sizeHint().height() + toolbar_->sizeHint().height());
}

void MainWindow::repaintAll() {
  update();
  canvas_->update();
  for (Panel* panel : panelsInLayoutOrder()) {
    panel->update();
  }
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  layOutPanels();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  for (Panel* panel : panelsInLayoutOrder()) {
    if (panel != context_.state.designerPanel.data() || designerShown_) {
      panel->show();
    }
  }
  layOutPanels();
}

// ---- Documents ------------------------------------------------------------

void MainWindow::setDocumentPanelMaker(DocumentKind kind, PanelMaker maker) {
  makers_[kind] = std::move(maker);
}

void MainWindow::setFileDialogs(std::unique_ptr<FileDialogs> dialogs) {
  dialogs_ = std::move(dialogs);
}

Panel* MainWindow::documentPanel(DocumentKind kind) const {
  const auto found = documents_.find(kind);
  return found == documents_.end() ? nullptr : found->second.data();
}

void MainWindow::setDocumentCommandsEnabled(DocumentKind kind, bool enabled) {
  const DocumentKindInfo& info = documentKindInfo(kind);
  for (const CommandId id : {info.closeCommand, info.saveCommand, info.saveAsCommand}) {
    action(id)->setEnabled(enabled);
  }
}

void MainWindow::requestOpen(const OpenRequest& request) {
  waiting_.push_back(request);
  runWaitingCommands();
}

void MainWindow::acceptHandOver(const QString& path) {
  if (isMinimized()) {
    showNormal();
  }
  raise();
  activateWindow();
  // A hand-over without a document only brings the program forward.
  if (const std::optional<OpenRequest> request = openHandedOverFile(path)) {
    requestOpen(*request);
  }
}

bool MainWindow::documentCommandsWait() const {
  return QApplication::activeModalWidget() != nullptr || messageBoxOpen() || closeWaiting_;
}

void MainWindow::runWaitingCommands() {
  while (!waiting_.empty()) {
    if (documentCommandsWait()) {
      waitingTimer_->start();
      return;
    }
    const OpenRequest request = waiting_.front();
    waiting_.pop_front();
    openNow(request);
  }
  waitingTimer_->stop();
}

void MainWindow::openNow(const OpenRequest& request) {
  DocumentSlot& slot = documentSlot(context_.state, request.kind);
  slot.requestedPath = request.path;
  slot.requestedTitle = fileTitle(request.path);
  newDocument(request.kind);
}

// The command every open ends in. An open document of the kind first closes,
// asking to save, and the command runs again once it has gone; a new panel
// takes the slot's requested path.
void MainWindow::newDocument(DocumentKind kind) {
  if (documentPanel(kind)) {
    reopen_ = kind;
    askToClose(kind);
    return;
  }
  const auto maker = makers_.find(kind);
  if (maker == makers_.end() || !maker->second) {
    return;
  }
  // A document owns the instrument, so the Instrument panel steps aside.
  if (context_.state.instrumentPanel) {
    retire(context_.state.instrumentPanel, CommandId::ViewInstrument);
  }
  Panel* panel = maker->second(context_, this);
  if (!panel) {
    return;
  }
  documents_[kind] = panel;
  setDocumentCommandsEnabled(kind, true);
  connect(panel, &QObject::destroyed, this, [this, kind] { documentPanelGone(kind); });
  if (isVisible()) {
    panel->show();
  }
  layOutPanels();
}

void MainWindow::askToClose(DocumentKind kind) {
  auto* document = dynamic_cast<DocumentPanel*>(documentPanel(kind));
  if (!document) {
    return;
  }
  closeWaiting_ = true;
  // The panel may be on its way out after this call: it is not touched
  // again here, and the close goes on from its destroyed() signal.
  if (!document->closeAskingToSave()) {
    closeWaiting_ = false;
    context_.state.closing = false;
    reopen_.reset();
    runWaitingCommands();
  }
}

void MainWindow::documentPanelGone(DocumentKind kind) {
  closeWaiting_ = false;
  setDocumentCommandsEnabled(kind, false);
  QMetaObject::invokeMethod(this, &MainWindow::layOutPanels, Qt::QueuedConnection);
  if (context_.state.closing) {
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    return;
  }
  if (reopen_ == kind) {
    reopen_.reset();
    QMetaObject::invokeMethod(
        this, [this, kind] { newDocument(kind); }, Qt::QueuedConnection);
  }
  QMetaObject::invokeMethod(this, &MainWindow::runWaitingCommands, Qt::QueuedConnection);
}

void MainWindow::saveDocument(DocumentKind kind) {
  auto* document = dynamic_cast<DocumentPanel*>(documentPanel(kind));
  if (!document) {
    return;
  }
  const std::filesystem::path target = documentSlot(context_.state, kind).path;
  if (target.empty()) {
    saveDocumentAs(kind);
    return;
  }
  document->save(target);
}

void MainWindow::saveDocumentAs(DocumentKind kind) {
  if (!documentPanel(kind)) {
    return;
  }
  const std::optional<std::filesystem::path> target =
      saveDocumentAsDialog(context_.state, *dialogs_, kind);
  auto* document = dynamic_cast<DocumentPanel*>(documentPanel(kind));
  if (!target || !document) {
    return;
  }
  if (document->save(*target)) {
    DocumentSlot& slot = documentSlot(context_.state, kind);
    slot.path = *target;
    slot.title = fileTitle(*target);
    slot.folder = target->parent_path();
  }
}

void MainWindow::openWithDialog(DocumentKind kind) {
  if (const std::optional<OpenRequest> request =
          openDocumentDialog(context_.state, *dialogs_, kind)) {
    openNow(*request);
  }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) {
    event->acceptProposedAction();
  }
}

void MainWindow::dropEvent(QDropEvent* event) {
  event->acceptProposedAction();
  if (const std::optional<OpenRequest> request = openDroppedFiles(event->mimeData()->urls())) {
    requestOpen(*request);
  }
}

// ---- Help, About, textures, closing ---------------------------------------

HelpWindow* MainWindow::helpWindow() const {
  return help_.data();
}

void MainWindow::showHelp() {
  if (!help_) {
    help_ = new HelpWindow(this);
  }
  const std::filesystem::path contents = manualContents(context_.state.programFolder);
  if (!help_->showContents(contents)) {
    showMessage(QStringLiteral("The manual is missing: %1").arg(pathToQString(contents)),
                {MessageIcon::Exclamation, MessageButtons::Ok});
  }
}

void MainWindow::showAbout() {
  AboutBox box(context_.state, this);
  box.exec();
}

void MainWindow::loadTexture() {
  LoadTextureDialog dialog(context_.state, this);
  if (dialog.exec() == QDialog::Accepted) {
    repaintAll();
  }
}

// Escape silences the frame. It is a key of the frame's own, not a
// shortcut: a shortcut of the frame would also take the key from the panels,
// which give Escape meanings of their own.
void MainWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    context_.midi.allNotesOff();
    event->accept();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closeWaiting_) {
    // A document is already on its way out; the close goes on after it.
    event->ignore();
    return;
  }
  context_.state.closing = true;
  for (const DocumentKind kind : kDocumentKinds) {
    if (documentPanel(kind)) {
      event->ignore();
      askToClose(kind);
      return;
    }
  }
  closeRemainingPanels();
  event->accept();
}

void MainWindow::closeRemainingPanels() {
  AppState& state = context_.state;
  if (state.instrumentPanel) {
    retire(state.instrumentPanel, CommandId::ViewInstrument);
  }
  if (state.designerPanel) {
    retire(state.designerPanel, CommandId::ViewDesigner);
  }
  if (state.midiAmpPanel) {
    retire(state.midiAmpPanel, CommandId::ViewMidiAmp);
  }
  if (help_) {
    help_->close();
  }
}

}  // namespace fretlets

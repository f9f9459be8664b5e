#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <iterator>

#include "app/about_box.h"
#include "app/export_commands.h"
#include "app/help_window.h"
#include "app/load_texture_dialog.h"
#include "app/panel_dock.h"
#include "app/toolbar_art.h"
#include "gui/common/app_state.h"
#include "gui/common/document_panel.h"
#include "gui/common/file_dialogs.h"
#include "gui/common/notifier.h"
#include "gui/common/panel.h"
#include "gui/common/show_message.h"
#include "gui/common/texture.h"
#include "gui/designer/designer_panel.h"
#include "gui/finder/chord_finder_panel.h"
#include "gui/instrument/instrument_panel.h"
#include "gui/midi_amp/midi_amp_panel.h"
#include "sound/midi_device.h"

namespace fretlets {
namespace {

// How often requests that wait for a box look again.
constexpr int kWaitingRetryMs = 50;

// The question a changed document asks before it goes: the kind of
// document, its file title in quotes when it has one, then "has changed.
// Save the changes?".
QString saveChangesQuestion(const QString& kindName, const QString& title) {
  QString text = kindName + QLatin1Char(' ');
  if (!title.isEmpty()) {
    text += QLatin1Char('"') + title + QStringLiteral("\" ");
  }
  return text + QStringLiteral("has changed. Save the changes?");
}

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

// The column under the toolbar: the panels docked one below the other on the
// amp texture, which also fills beside a narrower panel; below them the free
// area, where the guitar picture shows once the user makes the window taller.
class MainWindow::Column : public QMainWindow {
 public:
  Column(MainWindow& frame, QImage guitar)
      : QMainWindow(nullptr, Qt::Widget), frame_(frame), guitar_(std::move(guitar)) {
    setDockOptions(QMainWindow::AnimatedDocks);
    // Its own menu of the docks would show a dock without its panel; the
    // View menu is the one place that shows and hides panels.
    setContextMenuPolicy(Qt::NoContextMenu);
    auto* freeArea = new QWidget(this);
    freeArea->setMinimumSize(0, 0);
    setCentralWidget(freeArea);
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    tileBitmap(painter, fretlets::loadTexture(frame_.context_.state, QStringLiteral("amp.bmp")),
               rect());
    if (!guitar_.isNull()) {
      painter.drawImage(centralWidget()->geometry().topLeft() + QPoint(6, 6), guitar_);
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
  context_.session.setHost(this);

  createActions();
  createMenus();
  createToolbar();
  // The guitar is read once, from the folder the program was started in or,
  // when there is none, from beside the program.
  QImage guitar(QDir::current().filePath(QStringLiteral("guitar.bmp")));
  if (guitar.isNull()) {
    guitar.load(pathToQString(context_.state.programFolder / "guitar.bmp"));
  }
  column_ = new Column(*this, guitar);
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(true);
  scroll_->setWidget(column_);
  setCentralWidget(scroll_);

  waitingTimer_->setInterval(kWaitingRetryMs);
  connect(waitingTimer_, &QTimer::timeout, this, &MainWindow::runWaitingCommands);

  createMidiAmpPanel();
  createInstrumentPanel();
  createDesignerPanel();
  for (const DocumentKind kind : kDocumentKinds) {
    setDocumentCommandsEnabled(kind, false);
  }
  action(CommandId::ZoomOut)->setEnabled(false);
  // Two seconds after start the MIDI Amp switches the output on.
  QTimer::singleShot(2000, midiAmp_.data(), &MidiAmpPanel::switchOnAtStart);
  layOutPanels();
}

MainWindow::~MainWindow() {
  // The panels go in a fixed order while the frame is still whole.
  context_.session.setHost(nullptr);
  delete instrument_.data();
  delete designer_.data();
  delete finder_.data();
  delete midiAmp_.data();
  for (const DocumentKind kind : kDocumentKinds) {
    delete documents_[kind].data();
  }
  delete help_.data();
  // Panels retired but not yet deleted (their deletion was left to an event
  // loop that has ended) go now, while the actions they report to exist.
  qDeleteAll(findChildren<Panel*>());
}

namespace {

// Where a command shows in the menu bar.
enum class MenuPlace { Score, ChordBook, File, FileAfterSeparator, View, ViewAfterSeparator, Help };

// The zooms View > Zoom In and Zoom Out step through, in percent.
constexpr int kZooms[] = {100, 125, 150, 175, 200, 250, 300};

struct CommandEntry {
  CommandId id;
  const char* text;
  const char* toolTip;  // nullptr: the text without its mnemonic
  MenuPlace place;
  bool checkable = false;
};

// Every command of the frame in menu order.
constexpr CommandEntry kCommands[] = {
    {CommandId::ScoreNew, "&New", "New Score", MenuPlace::Score},
    {CommandId::ScoreOpen, "&Open", "Open Score", MenuPlace::Score},
    {CommandId::ScoreClose, "&Close", "Close Score", MenuPlace::Score},
    {CommandId::ScoreSave, "&Save", "Save Score", MenuPlace::Score},
    {CommandId::ScoreSaveAs, "Save &As...", "Save Score As", MenuPlace::Score},
    {CommandId::ScorePrint, "&Print...", "Print Score", MenuPlace::Score},
    {CommandId::ScoreExportPdf, "Export P&DF...", "Export Score as PDF", MenuPlace::Score},
    {CommandId::ScoreExportMidi, "Export &MIDI...", "Export Score as MIDI File", MenuPlace::Score},
    {CommandId::ChordBookNew, "&New", "New Chord Book", MenuPlace::ChordBook},
    {CommandId::ChordBookOpen, "&Open", "Open Chord Book", MenuPlace::ChordBook},
    {CommandId::ChordBookClose, "&Close", "Close Chord Book", MenuPlace::ChordBook},
    {CommandId::ChordBookSave, "&Save", "Save Chord Book", MenuPlace::ChordBook},
    {CommandId::ChordBookSaveAs, "Save &As...", "Save Chord Book As", MenuPlace::ChordBook},
    {CommandId::ChordBookPrint, "&Print...", "Print Chord Book", MenuPlace::ChordBook},
    {CommandId::ChordBookExportPdf, "Export P&DF...", "Export Chord Book as PDF",
     MenuPlace::ChordBook},
    {CommandId::ExportChordDiagram, "Export Chord &Diagram...", nullptr, MenuPlace::File},
    {CommandId::LoadTexture, "Load &Texture", nullptr, MenuPlace::File},
    {CommandId::Exit, "E&xit", nullptr, MenuPlace::FileAfterSeparator},
    {CommandId::ViewMidiAmp, "&MIDI Amp", nullptr, MenuPlace::View, true},
    {CommandId::ViewInstrument, "&Instrument", nullptr, MenuPlace::View, true},
    {CommandId::ViewDesigner, "&Chord Designer", nullptr, MenuPlace::View, true},
    {CommandId::ViewFinder, "Chord &Finder", nullptr, MenuPlace::View, true},
    {CommandId::ViewLeftHanded, "&Left-Handed", nullptr, MenuPlace::ViewAfterSeparator, true},
    {CommandId::ZoomIn, "Zoom &In", nullptr, MenuPlace::ViewAfterSeparator},
    {CommandId::ZoomOut, "Zoom &Out", nullptr, MenuPlace::View},
    {CommandId::ZoomActualSize, "&Actual Size", nullptr, MenuPlace::View},
    {CommandId::HelpContents, "&Contents", "Help", MenuPlace::Help},
    {CommandId::About, "&About", nullptr, MenuPlace::Help},
};

}  // namespace

void MainWindow::createActions() {
  for (const CommandEntry& entry : kCommands) {
    const QString text = QString::fromUtf8(entry.text);
    auto* made = new QAction(text, this);
    made->setToolTip(entry.toolTip ? QString::fromUtf8(entry.toolTip)
                                   : QString(text).remove(QLatin1Char('&')));
    made->setIconVisibleInMenu(false);
    made->setCheckable(entry.checkable);
    made->setData(static_cast<int>(entry.id));
    const CommandId id = entry.id;
    connect(made, &QAction::triggered, this, [this, id] { runCommand(id); });
    actions_[id] = made;
  }
  QAction* help = action(CommandId::HelpContents);
  // F1 opens the manual from the frame and from every panel.
  help->setShortcut(QKeySequence(Qt::Key_F1));
  help->setShortcutContext(Qt::ApplicationShortcut);
  const auto shortcut = [this](CommandId id, QKeySequence keys) {
    action(id)->setShortcut(keys);
    action(id)->setShortcutContext(Qt::ApplicationShortcut);
  };
  shortcut(CommandId::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Plus));
  shortcut(CommandId::ZoomOut, QKeySequence(Qt::CTRL | Qt::Key_Minus));
  shortcut(CommandId::ZoomActualSize, QKeySequence(Qt::CTRL | Qt::Key_0));
  // Ctrl+= is Ctrl++ without Shift on most keyboards.
  action(CommandId::ZoomIn)
      ->setShortcuts(
          {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});

  action(CommandId::ScoreNew)->setIcon(toolbarIcon(ToolbarImage::NewScore));
  action(CommandId::ChordBookNew)->setIcon(toolbarIcon(ToolbarImage::NewChordBook));
  action(CommandId::ScoreOpen)->setIcon(toolbarIcon(ToolbarImage::Open));
  action(CommandId::ChordBookOpen)->setIcon(toolbarIcon(ToolbarImage::Open));
  action(CommandId::ScoreSave)->setIcon(toolbarIcon(ToolbarImage::Save));
  action(CommandId::ChordBookSave)->setIcon(toolbarIcon(ToolbarImage::Save));
  action(CommandId::ViewInstrument)->setIcon(toolbarIcon(ToolbarImage::Instrument));
  action(CommandId::ViewDesigner)->setIcon(toolbarIcon(ToolbarImage::Designer));
  action(CommandId::ViewFinder)->setIcon(toolbarIcon(ToolbarImage::Finder));
  action(CommandId::HelpContents)->setIcon(toolbarIcon(ToolbarImage::Help));
}

void MainWindow::createMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  QMenu* score = file->addMenu(QStringLiteral("&Score"));
  QMenu* chordBook = file->addMenu(QStringLiteral("Chord &Book"));
  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  for (const CommandEntry& entry : kCommands) {
    QAction* item = action(entry.id);
    switch (entry.place) {
      case MenuPlace::Score:
        score->addAction(item);
        break;
      case MenuPlace::ChordBook:
        chordBook->addAction(item);
        break;
      case MenuPlace::FileAfterSeparator:
        file->addSeparator();
        file->addAction(item);
        break;
      case MenuPlace::File:
        file->addAction(item);
        break;
      case MenuPlace::View:
        view->addAction(item);
        break;
      case MenuPlace::ViewAfterSeparator:
        view->addSeparator();
        view->addAction(item);
        break;
      case MenuPlace::Help:
        help->addAction(item);
        break;
    }
  }
}

void MainWindow::createToolbar() {
  toolbar_ = new QToolBar(QStringLiteral("Toolbar"), this);
  toolbar_->setMovable(false);
  toolbar_->setFloatable(false);
  toolbar_->setIconSize(QSize(16, 15));
  toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
  addToolBar(Qt::TopToolBarArea, toolbar_);
  const auto add = [this](CommandId id) {
    QAction* entry = action(id);
    toolbar_->addAction(entry);
    QWidget* button = toolbar_->widgetForAction(entry);
    button->setAccessibleName(entry->toolTip());
    // A click triggers the command through the action; a keyboard or screen
    // reader's toggle only flips the check. Once the toggle has settled, a
    // check that differs from what is shown runs the command.
    if (auto* tool = qobject_cast<QToolButton*>(button); tool != nullptr && entry->isCheckable()) {
      connect(
          tool, &QToolButton::toggled, this,
          [this, tool = QPointer<QToolButton>(tool), id] {
            if (tool && tool->isChecked() != panelShown(id)) {
              runCommand(id);
            }
          },
          Qt::QueuedConnection);
    }
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
  add(CommandId::ViewFinder);
  toolbar_->addSeparator();
  add(CommandId::HelpContents);
}

QAction* MainWindow::action(CommandId id) const {
  return actions_.at(id);
}

void MainWindow::runCommand(CommandId id) {
  switch (id) {
    case CommandId::ScoreNew:
      context_.session.open({DocumentKind::Score, {}});
      return;
    case CommandId::ChordBookNew:
      context_.session.open({DocumentKind::ChordBook, {}});
      return;
    case CommandId::ScoreOpen:
      return openWithDialog(DocumentKind::Score);
    case CommandId::ChordBookOpen:
      return openWithDialog(DocumentKind::ChordBook);
    case CommandId::ScoreClose:
      context_.session.close(DocumentKind::Score);
      return;
    case CommandId::ChordBookClose:
      context_.session.close(DocumentKind::ChordBook);
      return;
    case CommandId::ScoreSave:
      context_.session.save(DocumentKind::Score);
      return;
    case CommandId::ChordBookSave:
      context_.session.save(DocumentKind::ChordBook);
      return;
    case CommandId::ScoreSaveAs:
      context_.session.saveAs(DocumentKind::Score);
      return;
    case CommandId::ChordBookSaveAs:
      context_.session.saveAs(DocumentKind::ChordBook);
      return;
    case CommandId::LoadTexture:
      return loadTexture();
    case CommandId::ScorePrint:
    case CommandId::ScoreExportPdf:
    case CommandId::ScoreExportMidi:
    case CommandId::ChordBookPrint:
    case CommandId::ChordBookExportPdf:
    case CommandId::ExportChordDiagram:
      return runExportCommand(id, context_, *dialogs_, this);
    case CommandId::Exit:
      close();
      return;
    case CommandId::ViewMidiAmp:
      if (midiAmp_) {
        retire(midiAmp_, id);
      } else {
        createMidiAmpPanel();
      }
      return layOutPanels();
    case CommandId::ViewInstrument:
      if (instrument_) {
        retire(instrument_, id);
      } else {
        createInstrumentPanel();
      }
      return layOutPanels();
    case CommandId::ViewDesigner:
      return toggleDesigner();
    case CommandId::ViewFinder:
      if (finder_) {
        retire(finder_, id);
      } else {
        createFinderPanel();
      }
      return layOutPanels();
    case CommandId::ViewLeftHanded:
      context_.state.leftHanded = !context_.state.leftHanded;
      action(id)->setChecked(context_.state.leftHanded);
      context_.notifier.announceLeftHanded(context_.state.leftHanded);
      return;
    case CommandId::ZoomIn:
    case CommandId::ZoomOut: {
      const int now = context_.state.zoom;
      const auto above = std::upper_bound(std::begin(kZooms), std::end(kZooms), now);
      const auto atOrAbove = std::lower_bound(std::begin(kZooms), std::end(kZooms), now);
      if (id == CommandId::ZoomIn && above != std::end(kZooms)) {
        setZoom(*above);
      } else if (id == CommandId::ZoomOut && atOrAbove != std::begin(kZooms)) {
        setZoom(*(atOrAbove - 1));
      }
      return;
    }
    case CommandId::ZoomActualSize:
      return setZoom(100);
    case CommandId::HelpContents:
      return showHelp();
    case CommandId::About:
      return showAbout();
  }
}

// ---- Panels ---------------------------------------------------------------

void MainWindow::setZoom(int percent) {
  context_.state.zoom = percent;
  for (Panel* panel : panelsInLayoutOrder()) {
    panel->setZoom(percent);
  }
  action(CommandId::ZoomIn)->setEnabled(percent < kZooms[std::size(kZooms) - 1]);
  action(CommandId::ZoomOut)->setEnabled(percent > kZooms[0]);
  layOutPanels();
}

void MainWindow::dock(Panel* panel) {
  panel->setZoom(context_.state.zoom);
  auto* place = new PanelDock(panel, column_);
  connect(place, &PanelDock::placeChanged, this, &MainWindow::layOutPanels, Qt::QueuedConnection);
  column_->addDockWidget(Qt::TopDockWidgetArea, place, Qt::Vertical);
  layOutPanels();
}

void MainWindow::adopt(Panel* panel, CommandId viewCommand) {
  action(viewCommand)->setChecked(true);
  connect(panel, &QObject::destroyed, this, [this, viewCommand] { panelGone(viewCommand); });
  dock(panel);
}

void MainWindow::panelGone(CommandId viewCommand) {
  action(viewCommand)->setChecked(false);
  // Lay out once the panel has left entirely.
  QMetaObject::invokeMethod(this, &MainWindow::layOutPanels, Qt::QueuedConnection);
}

void MainWindow::createMidiAmpPanel() {
  auto* panel = new MidiAmpPanel(context_, this);
  midiAmp_ = panel;
  adopt(panel, CommandId::ViewMidiAmp);
}

void MainWindow::createInstrumentPanel() {
  auto* panel = new InstrumentPanel(context_, this);
  instrument_ = panel;
  adopt(panel, CommandId::ViewInstrument);
}

void MainWindow::createDesignerPanel() {
  auto* panel = new DesignerPanel(context_, this);
  designer_ = panel;
  adopt(panel, CommandId::ViewDesigner);
  // The Designer may hide itself; its View check follows it.
  designerObject_ = panel;
  panel->installEventFilter(this);
}

void MainWindow::createFinderPanel() {
  auto* panel = new ChordFinderPanel(context_, this);
  finder_ = panel;
  adopt(panel, CommandId::ViewFinder);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Compared as a plain object: the Designer may be half destroyed here. Only
  // its own show and hide count, not those of the window around it.
  if (watched == designerObject_.data() &&
      (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)) {
    designerShown_ = event->type() == QEvent::ShowToParent;
    action(CommandId::ViewDesigner)->setChecked(designerShown_);
  }
  return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::panelShown(CommandId viewCommand) const {
  switch (viewCommand) {
    case CommandId::ViewMidiAmp:
      return midiAmp_ != nullptr;
    case CommandId::ViewInstrument:
      return instrument_ != nullptr;
    case CommandId::ViewDesigner:
      return designer_ != nullptr && designerShown_;
    case CommandId::ViewFinder:
      return finder_ != nullptr;
    default:
      return false;
  }
}

void MainWindow::toggleDesigner() {
  DesignerPanel* designer = designer_;
  if (!designer) {
    action(CommandId::ViewDesigner)->setChecked(false);
    return;
  }
  designerShown_ = designer->isHidden();
  designer->setVisible(designerShown_);
  action(CommandId::ViewDesigner)->setChecked(designerShown_);
}

QList<Panel*> MainWindow::panelsInLayoutOrder() const {
  QList<Panel*> panels;
  const auto add = [&panels](Panel* panel) {
    if (panel) {
      panels.append(panel);
    }
  };
  add(midiAmp_.data());
  add(instrument_.data());
  add(documentPanel(DocumentKind::ChordBook));
  add(documentPanel(DocumentKind::Score));
  add(designer_.data());
  add(finder_.data());
  return panels;
}

void MainWindow::layOutPanels() {
  // Docked again in the column's order, whichever panel came last; a panel
  // torn off floats where the user put it.
  for (Panel* panel : panelsInLayoutOrder()) {
    auto* place = qobject_cast<PanelDock*>(panel->parentWidget());
    if (place == nullptr || place->isFloating()) {
      continue;
    }
    column_->addDockWidget(Qt::TopDockWidgetArea, place, Qt::Vertical);
  }
  fitToColumn();
}

void MainWindow::fitToColumn() {
  if (isMaximized() || isFullScreen()) {
    return;
  }
  column_->layout()->activate();
  layout()->activate();
  // The menu bar, the toolbar and whatever else the window has around its
  // column, as laid out now.
  const QSize bars = size() - scroll_->maximumViewportSize();
  const QSize column = column_->minimumSizeHint();
  QSize wanted(std::max(column.width() + bars.width(), menuBar()->sizeHint().width()),
               column.height() + bars.height());
  // A column taller than the screen scrolls instead of leaving it.
  const QRect available = screen()->availableGeometry();
  const QSize decoration = frameGeometry().size() - size();
  const int tallest = available.height() - decoration.height();
  if (wanted.height() > tallest) {
    wanted = QSize(wanted.width() + scroll_->verticalScrollBar()->sizeHint().width(), tallest);
  }
  if (wanted.width() > available.width() - decoration.width()) {
    // Narrower than the column, the window scrolls sideways too.
    wanted = QSize(
        available.width() - decoration.width(),
        std::min(tallest, wanted.height() + scroll_->horizontalScrollBar()->sizeHint().height()));
  }
  resize(wanted);
  // Grown past the screen's edge where it stood, the window steps back onto
  // the screen (window managers leave a window where it is when the program
  // resizes it).
  const QRect outline(frameGeometry().topLeft(), wanted + decoration);
  const QPoint inside(
      std::max(available.left(), std::min(outline.left(), available.right() + 1 - outline.width())),
      std::max(available.top(),
               std::min(outline.top(), available.bottom() + 1 - outline.height())));
  if (inside != outline.topLeft()) {
    move(inside);
  }
}

void MainWindow::repaintAll() {
  update();
  column_->update();
  for (Panel* panel : panelsInLayoutOrder()) {
    panel->update();
  }
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The window manager's frame arrives after the window: fit again once it
  // is known, so that the column fits the screen with it.
  QMetaObject::invokeMethod(this, &MainWindow::fitToColumn, Qt::QueuedConnection);
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
  for (const CommandId id : documentExportCommands(kind)) {
    action(id)->setEnabled(enabled);
  }
}

DesignerPanel* MainWindow::designerPanel() const {
  return designer_;
}

InstrumentPanel* MainWindow::instrumentPanel() const {
  return instrument_;
}

ChordFinderPanel* MainWindow::finderPanel() const {
  return finder_;
}

MidiAmpPanel* MainWindow::midiAmpPanel() const {
  return midiAmp_;
}

DocumentPanel* MainWindow::documentView(DocumentKind kind) const {
  return dynamic_cast<DocumentPanel*>(documentPanel(kind));
}

void MainWindow::requestOpen(const OpenRequest& request) {
  context_.session.request(request);
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

void MainWindow::runWaitingCommands() {
  if (context_.session.runWaiting()) {
    waitingTimer_->stop();
  } else {
    waitingTimer_->start();
  }
}

void MainWindow::openWithDialog(DocumentKind kind) {
  if (const std::optional<OpenRequest> request =
          openDocumentDialog(context_.session, *dialogs_, kind)) {
    context_.session.open(*request);
  }
}

SessionHost::Answer MainWindow::askToSave(DocumentKind kind, const std::string& title) {
  switch (
      showMessage(saveChangesQuestion(documentKindInfo(kind).name, QString::fromStdString(title)),
                  {MessageIcon::None, MessageButtons::YesNoCancel})) {
    case MessageAnswer::Yes:
      return Answer::Yes;
    case MessageAnswer::No:
      return Answer::No;
    case MessageAnswer::Ok:
    case MessageAnswer::Cancel:
      break;
  }
  return Answer::Cancel;
}

bool MainWindow::askToCloseUnsaved() {
  return showMessage(QStringLiteral("Score is locked: the changes cannot be saved. Close anyway?"),
                     {MessageIcon::Exclamation, MessageButtons::OkCancel}) == MessageAnswer::Ok;
}

std::optional<std::filesystem::path> MainWindow::chooseSaveTarget(DocumentKind kind) {
  return saveDocumentAsDialog(context_.session, *dialogs_, kind);
}

void MainWindow::reportFailure(const std::string& text) {
  showMessage(QString::fromStdString(text), {MessageIcon::Exclamation, MessageButtons::Ok});
}

bool MainWindow::busy() const {
  return QApplication::activeModalWidget() != nullptr || messageBoxOpen();
}

void MainWindow::documentOpened(DocumentKind kind) {
  // A document owns the instrument, so the Instrument panel steps aside.
  if (instrument_) {
    retire(instrument_, CommandId::ViewInstrument);
  }
  const auto maker = makers_.find(kind);
  if (maker != makers_.end() && maker->second) {
    Panel* panel = maker->second(context_, this);
    documents_[kind] = panel;
    if (panel) {
      dock(panel);
    }
  }
  setDocumentCommandsEnabled(kind, true);
  context_.notifier.announceDocuments();
}

void MainWindow::documentClosing(DocumentKind kind) {
  if (DocumentPanel* view = documentView(kind)) {
    view->documentClosing();
  }
}

void MainWindow::documentClosed(DocumentKind kind) {
  // The document is gone: its panel hears nothing more and leaves once the
  // handler that may be running in it has returned.
  if (Panel* panel = documentPanel(kind)) {
    QObject::disconnect(&context_.notifier, nullptr, panel, nullptr);
    panel->hide();
    panel->deleteLater();
  }
  documents_.erase(kind);
  setDocumentCommandsEnabled(kind, false);
  context_.notifier.announceDocuments();
  QMetaObject::invokeMethod(this, &MainWindow::layOutPanels, Qt::QueuedConnection);
}

void MainWindow::documentSaved(DocumentKind kind) {
  if (DocumentPanel* view = documentView(kind)) {
    view->showTitle();
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
  if (!context_.session.closeAll()) {
    event->ignore();
    return;
  }
  closeRemainingPanels();
  event->accept();
}

void MainWindow::closeRemainingPanels() {
  if (instrument_) {
    retire(instrument_, CommandId::ViewInstrument);
  }
  if (designer_) {
    retire(designer_, CommandId::ViewDesigner);
  }
  if (finder_) {
    retire(finder_, CommandId::ViewFinder);
  }
  if (midiAmp_) {
    retire(midiAmp_, CommandId::ViewMidiAmp);
  }
  if (help_) {
    help_->close();
  }
}

}  // namespace fretlets

// A seeded random walk over the real window: clicks on every control and
// fretboard cell, keys, menu and toolbar commands, file dialogs answered
// into a scratch folder, modal dialogs poked and closed, drops, hand-overs
// and the clock moved on under playback. After every save the file must
// hold exactly what the window's document holds.
//   fretlets-monkey [--steps N] [--seed N]
// A failure prints its seed and step; the same seed walks the same way.

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QListWidget>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <random>

#include "documents/chord_book_file.h"
#include "documents/score_file.h"
#include "gui/designer/fretboard_view.h"
#include "panel_records.h"
#include "support/gui/document_panel_fixture.h"

namespace fretlets {
namespace {

constexpr CommandId kCommands[] = {
    CommandId::ScoreNew,        CommandId::ScoreOpen,      CommandId::ScoreClose,
    CommandId::ScoreSave,       CommandId::ScoreSaveAs,    CommandId::ChordBookNew,
    CommandId::ChordBookOpen,   CommandId::ChordBookClose, CommandId::ChordBookSave,
    CommandId::ChordBookSaveAs, CommandId::LoadTexture,    CommandId::ViewMidiAmp,
    CommandId::ViewInstrument,  CommandId::ViewDesigner,   CommandId::About,
};

constexpr int kKeys[] = {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Up,     Qt::Key_Down,
                         Qt::Key_Left,   Qt::Key_Right,  Qt::Key_Space,  Qt::Key_Tab,
                         Qt::Key_PageUp, Qt::Key_Home,   Qt::Key_Delete, Qt::Key_A};

class Monkey {
 public:
  Monkey(unsigned seed, QTemporaryDir& scratch)
      : random_(seed), scratch_(scratch.path().toStdString()) {
    placeBeside(records_.state, records_.session, scratch_);
    for (const char* sample : {"Guitar chords.cbk", "Waltz in G.score", "Four chords in C.score"}) {
      std::filesystem::copy_file(document_test::sample(sample), scratch_ / sample);
    }
    setMessageHandler([this](const QString&, MessageFlags) {
      constexpr MessageAnswer answers[] = {MessageAnswer::Ok, MessageAnswer::Cancel,
                                           MessageAnswer::Yes, MessageAnswer::No};
      return answers[pick(4)];
    });
    frame_ = std::make_unique<MainWindow>(records_.context);
    frame_->setDocumentPanelMaker(DocumentKind::Score, makeScorePanel);
    frame_->setDocumentPanelMaker(DocumentKind::ChordBook, makeChordBookPanel);
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs_ = dialogs.get();
    frame_->setFileDialogs(std::move(dialogs));
    frame_->show();
    // The MIDI Amp switches on two seconds in, before the walk starts.
    QTest::qWait(2200);
    modalPoker_.setInterval(0);
    QObject::connect(&modalPoker_, &QTimer::timeout, [this] { pokeModal(); });
  }

  ~Monkey() {
    frame_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setMessageHandler({});
  }

  // One step; an empty answer when all is well, else what went wrong.
  std::string step() {
    dialogs_->answers.clear();
    dialogs_->answers.push_back(dialogAnswer());
    modalPoker_.start();
    const int kind = pick(100);
    std::string fault;
    if (kind < 45) {
      if (const std::vector<QWidget*> controls = controlsOf(frame_.get()); !controls.empty()) {
        use(controls[pick(controls.size())]);
      }
    } else if (kind < 60) {
      if (auto* board = frame_->findChild<FretboardView*>(); board && board->isVisible()) {
        const QPoint at(static_cast<int>(pick(board->width())),
                        static_cast<int>(pick(board->height())));
        last_ = "fretboard";
        QTest::mouseClick(board, pick(5) ? Qt::LeftButton : Qt::RightButton, {}, at);
      }
    } else if (kind < 70) {
      last_ = "key";
      QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : frame_.get();
      QTest::keyClick(target, static_cast<Qt::Key>(kKeys[pick(std::size(kKeys))]));
    } else if (kind < 88) {
      const CommandId id = kCommands[pick(std::size(kCommands))];
      last_ = "command " + std::to_string(static_cast<int>(id));
      frame_->runCommand(id);
      settle();
      fault = checkSaved(id);
    } else if (kind < 93) {
      last_ = "time";
      records_.timers.advance(std::chrono::milliseconds(pick(3000)));
    } else if (kind < 97) {
      last_ = "drop";
      QMimeData data;
      data.setUrls({QUrl::fromLocalFile(QString::fromStdString(someFile().string()))});
      QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(frame_.get(), &event);
    } else {
      last_ = "hand-over";
      frame_->acceptHandOver(QString::fromStdString(someFile().string()));
    }
    settle();
    modalPoker_.stop();
    records_.output.clear();
    if (fault.empty() && QApplication::activeModalWidget() != nullptr) {
      fault = "a modal window was left open";
    }
    return fault;
  }

  std::string lastAction() const { return last_; }

 private:
  std::size_t pick(std::size_t count) {
    return std::uniform_int_distribution<std::size_t>(0, count - 1)(random_);
  }

  // A file the walk knows: a sample, a saved file, or a name not yet used.
  std::filesystem::path someFile() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(scratch_)) {
      files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    if (files.empty() || pick(4) == 0) {
      return scratch_ / ("walk " + std::to_string(pick(8)) + (pick(2) ? ".cbk" : ".score"));
    }
    return files[pick(files.size())];
  }

  std::optional<QString> dialogAnswer() {
    switch (pick(6)) {
      case 0:
        return std::nullopt;  // the user cancels
      case 1:
        return QString::fromStdString((scratch_ / "no folder" / "x.score").string());
      default:
        return QString::fromStdString(someFile().string());
    }
  }

  std::vector<QWidget*> controlsOf(QWidget* root) {
    std::vector<QWidget*> found;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
      if (widget->isVisible() && widget->isEnabled() &&
          (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
           qobject_cast<QAbstractSpinBox*>(widget) || qobject_cast<QSlider*>(widget) ||
           qobject_cast<QLineEdit*>(widget) || qobject_cast<QListWidget*>(widget))) {
        found.push_back(widget);
      }
    }
    return found;
  }

  // Real input on one control: a click where it lies, keys where it takes
  // them, typing into a text box.
  void use(QWidget* control) {
    last_ = control->metaObject()->className() + std::string(" ") +
            control->accessibleName().toStdString();
    if (auto* box = qobject_cast<QLineEdit*>(control)) {
      box->setFocus();
      QTest::keyClicks(box, QString::fromLatin1("Cm7b5#/ E9é").left(static_cast<int>(pick(12))));
      QTest::keyClick(box, pick(2) ? Qt::Key_Return : Qt::Key_Tab);
    } else if (qobject_cast<QComboBox*>(control) || qobject_cast<QAbstractSpinBox*>(control) ||
               qobject_cast<QListWidget*>(control)) {
      control->setFocus();
      QTest::keyClick(control, pick(2) ? Qt::Key_Down : Qt::Key_Up);
    } else {
      const QPoint at(static_cast<int>(pick(std::max(1, control->width()))),
                      static_cast<int>(pick(std::max(1, control->height()))));
      QTest::mouseClick(control, Qt::LeftButton, {}, at);
    }
  }

  // A dialog waiting for its answer (About, Load Texture, a score's
  // properties) gets a few inputs, then OK or Cancel.
  void pokeModal() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      return;
    }
    for (std::size_t i = pick(4); i > 0; --i) {
      const std::vector<QWidget*> controls = controlsOf(dialog);
      if (!controls.empty()) {
        QWidget* control = controls[pick(controls.size())];
        if (qobject_cast<QAbstractButton*>(control) == nullptr) {
          use(control);
        }
      }
    }
    if (pick(2)) {
      dialog->accept();
    } else {
      dialog->reject();
    }
  }

  // A save that went through left the document unchanged: its file holds
  // exactly the bytes of what the window shows.
  std::string checkSaved(CommandId id) {
    const bool book = id == CommandId::ChordBookSave || id == CommandId::ChordBookSaveAs;
    const bool score = id == CommandId::ScoreSave || id == CommandId::ScoreSaveAs;
    DocumentSession& session = records_.session;
    const DocumentKind kind = book ? DocumentKind::ChordBook : DocumentKind::Score;
    if ((!book && !score) || !session.isOpen(kind) || session.modified(kind)) {
      return {};
    }
    const std::filesystem::path path = session.file(kind)->path;
    if (path.empty()) {
      return {};
    }
    const std::vector<std::uint8_t> shown =
        book ? chordBookBytes(session.chordBook()->book, records_.instrument)
             : scoreBytes(session.score()->score, records_.instrument, session.userName());
    const std::string onDisk = textOf(path);
    if (onDisk != std::string(shown.begin(), shown.end())) {
      return "the saved " + path.filename().string() + " differs from the window's document";
    }
    const QString caption = frame_->documentPanel(kind)->windowTitle();
    if (!caption.endsWith(QString::fromStdString(path.filename().string()))) {
      return "the caption " + caption.toStdString() + " does not name the saved file";
    }
    return {};
  }

  std::mt19937 random_;
  std::filesystem::path scratch_;
  PanelRecords<> records_;
  std::unique_ptr<MainWindow> frame_;
  ScriptedDialogs* dialogs_ = nullptr;
  QTimer modalPoker_;
  std::string last_;
};

}  // namespace
}  // namespace fretlets

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  unsigned steps = 2000;
  unsigned seed = std::random_device{}();
  for (int i = 1; i < argc; i += 2) {
    const std::string option = argv[i];
    unsigned* value = option == "--steps" ? &steps : option == "--seed" ? &seed : nullptr;
    const char* text = i + 1 < argc ? argv[i + 1] : "";
    const char* end = text + std::strlen(text);
    if (value == nullptr || *text == 0 || std::from_chars(text, end, *value).ptr != end) {
      std::fprintf(stderr, "usage: fretlets-monkey [--steps N] [--seed N]\n");
      return 2;
    }
  }
  std::printf("fretlets-monkey: seed %u, %u steps\n", seed, steps);
  std::fflush(stdout);
  QTemporaryDir scratch;
  fretlets::Monkey monkey(seed, scratch);
  for (unsigned step = 1; step <= steps; ++step) {
    const std::string fault = monkey.step();
    if (std::getenv("FRETLETS_MONKEY_TRACE") != nullptr) {
      std::printf("%u %s\n", step, monkey.lastAction().c_str());
    }
    if (!fault.empty()) {
      std::printf("fretlets-monkey: seed %u, step %u (%s): %s\n", seed, step,
                  monkey.lastAction().c_str(), fault.c_str());
      return 1;
    }
  }
  std::printf("fretlets-monkey: %u steps, no fault\n", steps);
  return 0;
}

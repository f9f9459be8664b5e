#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/app_records.h"
#include "app/main_window.h"
#include "gui/chordbook/chord_book_panel.h"
#include "gui/common/file_dialogs.h"
#include "gui/common/show_message.h"
#include "gui/designer/designer_panel.h"
#include "gui/instrument/instrument_panel.h"
#include "gui/midi_amp/midi_amp_panel.h"
#include "gui/score/score_panel.h"
#include "gui_application.h"
#include "music/chord_fixture.h"
#include "sound/midi_device.h"
#include "support/document_test_support.h"

namespace fretlets {

// Runs the event loop until condition holds or about two seconds passed.
template <typename Condition>
bool waitFor(Condition condition) {
  for (int i = 0; i < 200 && !condition(); ++i) {
    QTest::qWait(10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  return condition();
}

// Runs the event loop until the posted work, deletions included, is done.
inline void settle() {
  for (int i = 0; i < 5; ++i) {
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// Dialog answers given in advance; the requests are kept for inspection.
class ScriptedDialogs : public FileDialogs {
 public:
  std::optional<QString> openPath(const FileDialogRequest& request) override {
    return answer(request);
  }
  std::optional<QString> savePath(const FileDialogRequest& request) override {
    return answer(request);
  }

  std::deque<std::optional<QString>> answers;
  std::vector<FileDialogRequest> requests;

 private:
  std::optional<QString> answer(const FileDialogRequest& request) {
    requests.push_back(request);
    std::optional<QString> next;
    if (!answers.empty()) {
      next.swap(answers.front());
      answers.pop_front();
    }
    return next;
  }
};

using document_test::textOf;

using test::fretlet;

// Fresh records and a shown frame for each test, with the program folder in
// a scratch folder, the real Chord Book and Score, and every message and file
// dialog recorded and answered from a script.
class DocumentPanelTest : public ::testing::Test {
 public:
  void SetUp() override {
    testApplication();
    ASSERT_TRUE(folder_.isValid());
    placeBeside(state(), session(), folder());
    setMessageHandler([this](const QString& text, MessageFlags) {
      // The MIDI Amp's switch-on two seconds in finds no output on a test
      // machine; a slow test sees its warning, a fast one does not.
      if (text == QStringLiteral("Can't open Midi Mapper")) {
        return MessageAnswer::Ok;
      }
      messages_.append(text);
      const MessageAnswer answer = answers_.isEmpty() ? MessageAnswer::Ok : answers_.takeFirst();
      // Runs once, while the box is open.
      if (const std::function<void()> during = std::exchange(duringMessage_, nullptr)) {
        during();
      }
      return answer;
    });
    frame_ = std::make_unique<MainWindow>(records_.context());
    // The real panels, each opening noted with its path.
    for (const DocumentKind kind : kDocumentKinds) {
      frame_->setDocumentPanelMaker(kind, [this, kind](AppContext& context, QWidget* owner) {
        opened_.emplace_back(kind, context.session.file(kind)->path);
        return kind == DocumentKind::Score ? makeScorePanel(context, owner)
                                           : makeChordBookPanel(context, owner);
      });
    }
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs_ = dialogs.get();
    frame_->setFileDialogs(std::move(dialogs));
    frame_->show();
    frame_->layOutPanels();
  }

  void TearDown() override {
    frame_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setMessageHandler({});
  }

  AppState& state() { return records_.context().state; }
  DocumentSession& session() { return records_.context().session; }
  DesignerChord& chord() { return records_.context().chord; }
  DesignerPanel* designer() { return frame_->designerPanel(); }
  QLineEdit* designerBox(const char* name) { return control<QLineEdit>(designer(), name); }
  std::filesystem::path folder() const { return folder_.path().toStdString(); }
  QString path(const char* name) const { return pathToQString(folder() / name); }

  // The panels shown in the window's column, top to bottom; a torn-off panel
  // floats outside it.
  QList<QWidget*> panels() {
    QList<QWidget*> result;
    for (QWidget* panel : {static_cast<QWidget*>(frame_->midiAmpPanel()),
                           static_cast<QWidget*>(frame_->instrumentPanel()),
                           static_cast<QWidget*>(frame_->documentPanel(DocumentKind::ChordBook)),
                           static_cast<QWidget*>(frame_->documentPanel(DocumentKind::Score)),
                           static_cast<QWidget*>(designer())}) {
      if (panel && panel->isVisibleTo(frame_.get()) && panel->window() == frame_.get()) {
        result.append(panel);
      }
    }
    return result;
  }

  // The shown panels stand in order in the window's column, flush left, each
  // just below the caption strip under the one before it. The window and its
  // frame lie on the screen; a column taller than the window scrolls, and a
  // window that fits its column leaves no gap under the last panel.
  void expectStacked() {
    const QRect screen = frame_->screen()->availableGeometry();
    const QRect outline = frame_->frameGeometry();
    EXPECT_TRUE(screen.contains(outline))
        << "window " << outline.x() << "," << outline.y() << " " << outline.width() << "x"
        << outline.height() << " screen " << screen.width() << "x" << screen.height();
    const QScrollBar* bar = frame_->findChild<QScrollArea*>()->verticalScrollBar();
    const QWidget* viewport = frame_->findChild<QScrollArea*>()->viewport();
    const QRect view(viewport->mapToGlobal(QPoint(0, 0)), viewport->size());
    int bottom = view.top() - 1 - bar->value();
    for (QWidget* panel : panels()) {
      const QRect place(panel->mapToGlobal(QPoint(0, 0)), panel->size());
      SCOPED_TRACE(panel->windowTitle().toStdString());
      EXPECT_GT(place.top(), bottom);
      EXPECT_LT(place.top(), bottom + 32);
      EXPECT_EQ(place.left(), view.left());
      EXPECT_LE(place.right(), view.right());
      bottom = place.bottom();
    }
    const int columnBottom = bottom - view.top() + bar->value();
    ASSERT_GT(columnBottom, 0);
    if (bar->isVisible()) {
      EXPECT_GT(columnBottom, view.height());
    } else {
      EXPECT_LE(columnBottom, view.height());
      EXPECT_LE(view.height() - columnBottom, 12);
    }
  }

  // A press of a button that must be enabled, and a row chosen from a list,
  // as the user makes them.
  void click(QPushButton* button) {
    ASSERT_TRUE(button->isEnabled()) << button->text().toStdString();
    button->click();
    settle();
  }
  void choose(QComboBox* list, int row) {
    list->setCurrentIndex(row);
    emit list->activated(row);
    settle();
  }
  void run(CommandId id) {
    frame_->runCommand(id);
    settle();
  }
  void open(DocumentKind kind, const std::filesystem::path& path) {
    frame_->requestOpen({kind, path});
    settle();
  }
  // Files dropped on the frame from a file manager.
  void drop(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame_.get(), &enter);
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame_.get(), &event);
    settle();
  }
  // A copy of a sample file in the test's folder.
  std::filesystem::path copyOfSample(const char* name) {
    const std::filesystem::path copy = folder() / name;
    std::filesystem::copy_file(document_test::sample(name), copy);
    return copy;
  }
  // Puts a fingering into the Designer, as the user would by clicking.
  void designerShows(const FretletRecord& record) {
    applyFretlet(record, chord(), records_.context().instrument.strings());
    records_.context().notifier.loadChord();
  }

  QTemporaryDir folder_;
  AppRecords records_;
  std::unique_ptr<MainWindow> frame_;
  ScriptedDialogs* dialogs_ = nullptr;
  std::vector<std::pair<DocumentKind, std::filesystem::path>> opened_;
  QStringList messages_;
  QList<MessageAnswer> answers_;
  std::function<void()> duringMessage_;
};

}  // namespace fretlets

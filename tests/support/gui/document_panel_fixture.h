#pragma once

#include <QLineEdit>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gui/chordbook/chord_book_panel.h"
#include "gui/common/command_id.h"
#include "gui/common/file_dialogs.h"
#include "gui/common/notifier.h"
#include "gui/designer/designer_panel.h"
#include "gui/score/score_panel.h"
#include "models/document_session.h"
#include "music/designer_chord.h"
#include "music/fretlet_record.h"
#include "music/instrument.h"
#include "support/gui/frame_fixture.h"

namespace fretlets {

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

inline const std::filesystem::path kSampleFolder =
    std::filesystem::path(FRETLETS_SOURCE_DIR) / "resources" / "samples";

inline std::string bytesOf(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline FretletRecord fingering(std::array<std::int8_t, kStringSlots> frets, std::int8_t root = 0) {
  FretletRecord record;
  record.rootString = root;
  record.frets = frets;
  return record;
}

// The frame with the real Chord Book and Score, every box and file dialog
// scripted.
class DocumentPanelTest : public FrameTest {
 public:
  void SetUp() override {
    FrameTest::SetUp();
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
    showFrame();
  }

  DesignerPanel* designer() { return frame_->designerPanel(); }
  DocumentSession& session() { return records_.context().session; }
  Notifier& notifier() { return records_.context().notifier; }
  DesignerChord& chord() { return records_.context().chord; }

  QLineEdit* designerBox(const char* name) { return control<QLineEdit>(designer(), name); }

  // Runs the event loop until the posted work, deletions included, is done.
  void settle() {
    for (int i = 0; i < 5; ++i) {
      QApplication::processEvents();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  }
  void run(CommandId id) {
    frame_->runCommand(id);
    settle();
  }
  void open(DocumentKind kind, const std::filesystem::path& path) {
    frame_->requestOpen({kind, path});
    settle();
  }
  // A copy of a sample file in the test's folder.
  std::filesystem::path copyOfSample(const char* name) {
    const std::filesystem::path copy = folder() / name;
    std::filesystem::copy_file(kSampleFolder / name, copy);
    return copy;
  }
  // Puts a fingering into the Designer, as the user would by clicking.
  void designerShows(const FretletRecord& record) {
    applyFretlet(record, chord(), records_.context().instrument.strings());
    notifier().loadChord();
  }

  ScriptedDialogs* dialogs_ = nullptr;
  std::vector<std::pair<DocumentKind, std::filesystem::path>> opened_;
};

}  // namespace fretlets

#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "app/main_window.h"
#include "gui/common/app_state.h"
#include "gui/common/document_kind.h"
#include "gui/common/document_panel.h"
#include "gui/common/file_dialogs.h"
#include "gui/common/panel.h"
#include "gui/common/show_message.h"

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

// What the fake document panels did, across their lifetimes.
struct DocumentLog {
  std::vector<std::pair<DocumentKind, std::filesystem::path>> opened;  // path taken at creation
  std::vector<std::filesystem::path> saves;
  bool saveSucceeds = true;
};

// A document panel as the Chord Book and Score panels behave towards the
// frame: it takes the requested path when made, asks "Save changes?" when
// told to close, and saves where it is told.
class FakeDocumentPanel : public Panel, public DocumentPanel {
 public:
  FakeDocumentPanel(AppContext& context, QWidget* frame, DocumentKind kind, DocumentLog& log)
      : Panel(context,
              kind == DocumentKind::Score ? QStringLiteral("Score") : QStringLiteral("Chord Book"),
              QSize(264, 40), QStringLiteral("axe.bmp"), frame),
        kind_(kind),
        log_(log) {
    DocumentSlot& slot = documentSlot(context.state, kind);
    slot.path = slot.requestedPath;
    slot.title = slot.requestedTitle;
    slot.requestedPath.clear();
    slot.requestedTitle.clear();
    log_.opened.emplace_back(kind, slot.path);
  }

  bool closeAskingToSave() override {
    const QString text = kind_ == DocumentKind::Score ? QStringLiteral("Score changed")
                                                      : QStringLiteral("Chord book changed");
    if (showMessage(text, {MessageIcon::Question, MessageButtons::YesNoCancel}) ==
        MessageAnswer::Cancel) {
      context_.state.closing = false;
      return false;
    }
    deleteLater();
    return true;
  }

  bool save(const std::filesystem::path& target) override {
    log_.saves.push_back(target);
    return log_.saveSucceeds;
  }

 private:
  DocumentKind kind_;
  DocumentLog& log_;
};

inline void giveFakeDocuments(MainWindow& frame, DocumentLog& log) {
  for (const DocumentKind kind : {DocumentKind::Score, DocumentKind::ChordBook}) {
    frame.setDocumentPanelMaker(kind, [kind, &log](AppContext& context, QWidget* owner) {
      return new FakeDocumentPanel(context, owner, kind, log);
    });
  }
}

}  // namespace fretlets

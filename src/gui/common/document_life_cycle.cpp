#include "gui/common/document_life_cycle.h"

#include <exception>
#include <utility>

#include "app/main_window.h"
#include "documents/byte_stream.h"
#include "documents/text_codec.h"
#include "gui/common/app_state.h"
#include "gui/common/document_panel.h"
#include "gui/common/show_message.h"
#include "gui/instrument/instrument_panel.h"

namespace fretlets {

void takeRequestedFile(DocumentSlot& slot) {
  slot.path = std::exchange(slot.requestedPath, {});
  slot.title = std::exchange(slot.requestedTitle, {});
}

void releaseDocument(AppState& state, DocumentKind kind) {
  DocumentSlot& slot = documentSlot(state, kind);
  slot.path.clear();
  slot.title.clear();
  const bool otherOpen =
      kind == DocumentKind::Score ? !state.chordBookPanel.isNull() : !state.scorePanel.isNull();
  if (state.instrumentPanel && !otherOpen) {
    state.instrumentPanel->unlock();
  }
}

QString saveChangesQuestion(const QString& kindName, const QString& title) {
  QString text = kindName + QLatin1Char(' ');
  if (!title.isEmpty()) {
    text += QLatin1Char('"') + title + QStringLiteral("\" ");
  }
  return text + QStringLiteral("has changed. Save the changes?");
}

bool confirmDocumentClose(AppState& state, DocumentKind kind, const QString& kindName,
                          const std::function<bool()>& isModified) {
  if (!isModified()) {
    return true;
  }
  DocumentSlot& slot = documentSlot(state, kind);
  switch (showMessage(saveChangesQuestion(kindName, slot.title),
                      {MessageIcon::None, MessageButtons::YesNoCancel})) {
    case MessageAnswer::No:
      return true;
    case MessageAnswer::Yes:
      if (state.mainWindow) {
        state.mainWindow->runCommand(documentKindInfo(kind).saveCommand);
      }
      // Still changed: the save failed (and said so) or Save As was
      // cancelled.
      if (!isModified()) {
        return true;
      }
      break;
    case MessageAnswer::Ok:
    case MessageAnswer::Cancel:
      break;
  }
  abandonDocumentClose(state, kind);
  return false;
}

void abandonDocumentClose(AppState& state, DocumentKind kind) {
  state.closing = false;
  DocumentSlot& slot = documentSlot(state, kind);
  slot.requestedPath.clear();
  slot.requestedTitle.clear();
}

void requestDocumentClose(AppState& state, DocumentKind kind, DocumentPanel& panel) {
  if (state.mainWindow) {
    state.mainWindow->runCommand(documentKindInfo(kind).closeCommand);
  } else {
    panel.closeAskingToSave();
  }
}

bool runFileOperation(const std::function<void()>& operation, const QString& fallbackText) {
  QString failure;
  try {
    operation();
    return true;
  } catch (const FormatError& error) {
    failure = QString::fromUtf8(error.what());
  } catch (const std::exception&) {
    failure = fallbackText;
  }
  showMessage(failure, {MessageIcon::Exclamation, MessageButtons::Ok});
  return false;
}

std::string documentText(const QString& text, std::size_t maxBytes) {
  std::string bytes = utf8ToWindows1252(text.toStdString());
  if (bytes.size() > maxBytes) {
    bytes.resize(maxBytes);
  }
  return bytes;
}

QString screenText(std::string_view text) {
  return QString::fromStdString(windows1252ToUtf8(text));
}

}  // namespace fretlets

#pragma once

#include <QString>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "gui/common/document_kind.h"

namespace fretlets {

struct AppState;
struct DocumentSlot;
class DocumentPanel;

// The steps every document panel takes alike when it opens, saves and
// closes its document.

// A document panel takes over the file its slot was asked to open: the
// requested path and title become the slot's own, and the request is gone.
void takeRequestedFile(DocumentSlot& slot);

// A document panel of kind went: its slot names no file, and the instrument
// is free again unless a document of the other kind still holds it.
void releaseDocument(AppState& state, DocumentKind kind);

// The question a changed document asks before it goes: the kind of
// document, its file title in quotes when it has one, then "has changed.
// Save the changes?".
QString saveChangesQuestion(const QString& kindName, const QString& title);

// Asks whether a changed document is to be saved before it closes, with
// Yes, No and Cancel. Yes runs the kind's Save command on the frame (Save As
// for a document that has no file yet). Returns true when the document may
// go: it was not changed, the user said No, or the save went through (the
// document is no longer changed afterwards).
//
// Otherwise the close is abandoned, and with it whatever waited for it: a
// shutdown in progress and a pending open of another file. That happens on
// Cancel, on a Save As the user cancelled, and on a save that failed, so
// that no work is lost.
bool confirmDocumentClose(AppState& state, DocumentKind kind, const QString& kindName,
                          const std::function<bool()>& isModified);

// A document stays open: whatever waited for it to close is abandoned with
// the close, a shutdown in progress and a pending open of another file alike.
void abandonDocumentClose(AppState& state, DocumentKind kind);

// The close box of a document panel: runs the kind's Close command, so that
// the frame follows the close; without a frame the panel is asked directly.
void requestDocumentClose(AppState& state, DocumentKind kind, DocumentPanel& panel);

// Runs a read or write of a document file. A failure is shown to the user
// with its own text and false is returned; the caller leaves its document as
// it was.
bool runFileOperation(const std::function<void()>& operation, const QString& fallbackText);

// Unicode text from a box to the documents' 8-bit text of at most maxBytes
// bytes; a character the documents cannot store becomes "?".
std::string documentText(const QString& text, std::size_t maxBytes);
// The documents' 8-bit text for the screen.
QString screenText(std::string_view text);

}  // namespace fretlets

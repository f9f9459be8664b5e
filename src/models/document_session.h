#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "documents/chord_book.h"
#include "documents/score.h"

namespace fretlets {

struct InstrumentState;

// The two kinds of document the program opens and saves.
enum class DocumentKind { Score, ChordBook };
inline constexpr DocumentKind kDocumentKinds[] = {DocumentKind::Score, DocumentKind::ChordBook};

// Where an open document lives: empty until it is named.
struct DocumentFile {
  std::filesystem::path path;
  // The file name of path, as captions and questions show it.
  std::string title() const { return path.filename().string(); }
};

struct ChordBookDocument {
  ChordBook book;
  DocumentFile file;
  bool modified() const { return book.modified(); }
};

struct ScoreDocument {
  Score score;
  DocumentFile file;
  bool changed = false;
  bool modified() const { return changed; }
};

// A document to open: its kind and the path it was named by (absolute); an
// empty path opens a new, unnamed document.
struct OpenRequest {
  DocumentKind kind;
  std::filesystem::path path;
};

// What the session asks of the user and tells the windows. The program
// answers with its boxes and dialogs; tests answer from a script.
class SessionHost {
 public:
  enum class Answer { Yes, No, Cancel };

  virtual ~SessionHost() = default;
  // A changed document is about to close: save it first?
  virtual Answer askToSave(DocumentKind kind, const std::string& title) = 0;
  // A changed score that may not be saved (locked under another name) is
  // about to close: true closes it all the same.
  virtual bool askToCloseUnsaved() = 0;
  // The file to save a document as, or nothing when the user cancelled.
  virtual std::optional<std::filesystem::path> chooseSaveTarget(DocumentKind kind) = 0;
  virtual void reportFailure(const std::string& text) = 0;
  // A box or dialog waits for an answer: requests wait their turn.
  virtual bool busy() const = 0;

  virtual void documentOpened(DocumentKind kind) = 0;
  // Before the user is asked anything about closing: a score stops playing.
  virtual void documentClosing(DocumentKind kind) = 0;
  virtual void documentClosed(DocumentKind kind) = 0;
  // Saved under a name, possibly a new one.
  virtual void documentSaved(DocumentKind kind) = 0;
};

// The open chord book and score, and everything their life takes: opening
// (a document of the kind already open closes first, asking to save),
// saving, closing, the program's close sequence, and the requests that
// wait while a box is open. An open document owns the instrument and tuning.
class DocumentSession {
 public:
  // What a new score starts as: this year's rights and the patch in use.
  using BlankScore = std::function<Score()>;

  DocumentSession(InstrumentState& instrument, std::string userName, BlankScore blankScore,
                  const std::filesystem::path& startFolder);

  void setHost(SessionHost* host) { host_ = host; }

  // Opens now, or after the box or dialog that is open has been answered.
  void request(const OpenRequest& request);
  // Runs the requests that waited; true when none is left waiting.
  bool runWaiting();
  bool hasWaiting() const { return !waiting_.empty(); }

  // False when nothing was opened: the user kept the open document, or the
  // file could not be read (the failure was reported).
  bool open(const OpenRequest& request);
  // False when the document stays: the user cancelled, or a save failed.
  bool close(DocumentKind kind);
  // Saves to the document's file, or asks for one first; true when written.
  bool save(DocumentKind kind);
  bool saveAs(DocumentKind kind);
  bool saveTo(DocumentKind kind, const std::filesystem::path& target);
  // The program is closing: every document closes, the score first. False
  // when one stays, which ends the close.
  bool closeAll();
  bool closing() const { return closing_; }

  bool isOpen(DocumentKind kind) const;
  bool anyOpen() const { return book_.has_value() || score_.has_value(); }
  bool modified(DocumentKind kind) const;
  const DocumentFile* file(DocumentKind kind) const;
  ChordBookDocument* chordBook() { return book_ ? &*book_ : nullptr; }
  ScoreDocument* score() { return score_ ? &*score_ : nullptr; }

  // Where the Open and Save As dialogs of a kind start.
  const std::filesystem::path& folder(DocumentKind kind) const;
  void setFolder(DocumentKind kind, const std::filesystem::path& folder);
  // The account that new scores are signed with and locks belong to.
  const std::string& userName() const { return userName_; }
  void setUserName(std::string name) { userName_ = std::move(name); }

 private:
  bool confirmClose(DocumentKind kind);
  bool write(DocumentKind kind, const std::filesystem::path& target);
  // Runs a read or write; a failure is reported with its own text (or
  // fallback) and false returned.
  bool runFileOperation(const std::function<void()>& operation, std::string_view fallback);

  InstrumentState& instrument_;
  std::string userName_;
  BlankScore blankScore_;
  SessionHost* host_ = nullptr;
  std::optional<ChordBookDocument> book_;
  std::optional<ScoreDocument> score_;
  std::filesystem::path bookFolder_;
  std::filesystem::path scoreFolder_;
  std::deque<OpenRequest> waiting_;
  bool closing_ = false;
};

}  // namespace fretlets

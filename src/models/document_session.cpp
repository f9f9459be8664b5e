#include "models/document_session.h"

#include <exception>
#include <utility>

#include "documents/byte_stream.h"
#include "documents/chord_book_file.h"
#include "documents/score_file.h"
#include "music/instrument.h"

namespace fretlets {

DocumentSession::DocumentSession(InstrumentState& instrument, std::string userName,
                                 BlankScore blankScore, const std::filesystem::path& startFolder)
    : instrument_(instrument),
      userName_(std::move(userName)),
      blankScore_(std::move(blankScore)),
      bookFolder_(startFolder),
      scoreFolder_(startFolder) {}

void DocumentSession::request(const OpenRequest& request) {
  waiting_.push_back(request);
  runWaiting();
}

bool DocumentSession::runWaiting() {
  while (!waiting_.empty()) {
    if (host_->busy()) {
      return false;
    }
    const OpenRequest next = waiting_.front();
    waiting_.pop_front();
    open(next);
  }
  return true;
}

bool DocumentSession::open(const OpenRequest& request) {
  const DocumentKind kind = request.kind;
  if (isOpen(kind) && !close(kind)) {
    return false;
  }
  const std::filesystem::path& path = request.path;
  if (kind == DocumentKind::ChordBook) {
    ChordBook book(instrument_.strings());
    if (!path.empty() &&
        !runFileOperation(
            [&] { book = openOrCreateChordBook(path, instrument_, score_.has_value()); },
            kErrorReading)) {
      return false;
    }
    book_.emplace(ChordBookDocument{std::move(book), {path}});
  } else {
    Score score = blankScore_();
    if (!path.empty()) {
      const Score blank = score;
      if (!runFileOperation(
              [&] {
                score = openOrCreateScore(path, instrument_, book_.has_value(), userName_, blank);
              },
              kErrorReading)) {
        return false;
      }
    }
    score_.emplace(ScoreDocument{std::move(score), {path}, false});
  }
  host_->documentOpened(kind);
  return true;
}

bool DocumentSession::close(DocumentKind kind) {
  if (!isOpen(kind)) {
    return true;
  }
  host_->documentClosing(kind);
  if (!confirmClose(kind)) {
    // The program's close waited for this one and ends with it.
    closing_ = false;
    return false;
  }
  if (kind == DocumentKind::ChordBook) {
    book_.reset();
  } else {
    score_.reset();
  }
  host_->documentClosed(kind);
  return true;
}

bool DocumentSession::confirmClose(DocumentKind kind) {
  if (!modified(kind)) {
    return true;
  }
  if (kind == DocumentKind::Score && !score_->score.canSave()) {
    // Saving is refused for a score locked under another name, so the
    // changes would go without a word: the user decides.
    return host_->askToCloseUnsaved();
  }
  switch (host_->askToSave(kind, file(kind)->title())) {
    case SessionHost::Answer::No:
      return true;
    case SessionHost::Answer::Yes:
      // Still changed: the save failed (and said so) or Save As was
      // cancelled.
      return save(kind) && !modified(kind);
    case SessionHost::Answer::Cancel:
      break;
  }
  return false;
}

bool DocumentSession::save(DocumentKind kind) {
  if (!isOpen(kind)) {
    return false;
  }
  const std::filesystem::path target = file(kind)->path;
  return target.empty() ? saveAs(kind) : saveTo(kind, target);
}

bool DocumentSession::saveAs(DocumentKind kind) {
  if (!isOpen(kind)) {
    return false;
  }
  const std::optional<std::filesystem::path> target = host_->chooseSaveTarget(kind);
  return target && saveTo(kind, *target);
}

bool DocumentSession::saveTo(DocumentKind kind, const std::filesystem::path& target) {
  if (!isOpen(kind) || !write(kind, target)) {
    return false;
  }
  // The document takes the new name only once it was written there.
  if (kind == DocumentKind::ChordBook) {
    book_->file.path = target;
    book_->book.clearModified();
  } else {
    score_->file.path = target;
    score_->changed = false;
  }
  setFolder(kind, target.parent_path());
  host_->documentSaved(kind);
  return true;
}

bool DocumentSession::write(DocumentKind kind, const std::filesystem::path& target) {
  if (kind == DocumentKind::ChordBook) {
    return runFileOperation([&] { writeChordBook(book_->book, instrument_, target); },
                            kErrorWriting);
  }
  if (!score_->score.canSave()) {
    host_->reportFailure("Score is locked");
    return false;
  }
  return runFileOperation([&] { writeScore(score_->score, instrument_, userName_, target); },
                          kErrorWriting);
}

bool DocumentSession::closeAll() {
  closing_ = true;
  for (const DocumentKind kind : kDocumentKinds) {
    if (!close(kind)) {
      return false;
    }
  }
  return true;
}

bool DocumentSession::runFileOperation(const std::function<void()>& operation,
                                       std::string_view fallback) {
  std::string failure;
  try {
    operation();
    return true;
  } catch (const FormatError& error) {
    failure = error.what();
  } catch (const std::exception&) {
    failure = fallback;
  }
  host_->reportFailure(failure);
  return false;
}

bool DocumentSession::isOpen(DocumentKind kind) const {
  return kind == DocumentKind::ChordBook ? book_.has_value() : score_.has_value();
}

bool DocumentSession::modified(DocumentKind kind) const {
  if (kind == DocumentKind::ChordBook) {
    return book_ && book_->modified();
  }
  return score_ && score_->modified();
}

const DocumentFile* DocumentSession::file(DocumentKind kind) const {
  if (kind == DocumentKind::ChordBook) {
    return book_ ? &book_->file : nullptr;
  }
  return score_ ? &score_->file : nullptr;
}

const std::filesystem::path& DocumentSession::folder(DocumentKind kind) const {
  return kind == DocumentKind::ChordBook ? bookFolder_ : scoreFolder_;
}

void DocumentSession::setFolder(DocumentKind kind, const std::filesystem::path& folder) {
  (kind == DocumentKind::ChordBook ? bookFolder_ : scoreFolder_) = folder;
}

}  // namespace fretlets

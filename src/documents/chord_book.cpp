#include "documents/chord_book.h"

#include <iterator>
#include <utility>

#include "music/chord_name.h"
#include "music/designer_chord.h"

namespace fretlets {
namespace {

// Insertion sort by moving nodes. Neither ordering of a book is a strict
// weak ordering (equal fretlets compare "before" each other, differing root
// strings and names like "2", "5", "1" form cycles), which std::sort must
// not be given. This sort only ever steps one node back past a neighbour
// that belongs after it, so it ends for any comparison, always gives the
// same result for the same input, is stable, and for a consistent ordering
// gives exactly the sorted order. On a sequence that is already in order
// with one node appended it costs one pass.
template <typename T, typename BelongsBefore>
void sortByInsertion(std::list<T>& items, BelongsBefore belongsBefore) {
  if (items.empty()) {
    return;
  }
  for (auto it = std::next(items.begin()); it != items.end();) {
    const auto following = std::next(it);
    auto place = it;
    while (place != items.begin() && belongsBefore(*it, *std::prev(place))) {
      --place;
    }
    if (place != it) {
      items.splice(place, items, it);
    }
    it = following;
  }
}

}  // namespace

ChordBook::ChordBook(const ChordBook& other)
    : stringCount_(other.stringCount_),
      chords_(other.chords_),
      chordIndex_(other.chordIndex_),
      fretletIndex_(other.fretletIndex_),
      listChanged_(other.listChanged_),
      modified_(other.modified_) {
  reseat();
}

ChordBook::ChordBook(ChordBook&& other) noexcept
    : stringCount_(other.stringCount_),
      chords_(std::move(other.chords_)),
      chordIndex_(other.chordIndex_),
      fretletIndex_(other.fretletIndex_),
      listChanged_(other.listChanged_),
      modified_(other.modified_) {
  reseat();
  other.clear();
}

ChordBook& ChordBook::operator=(const ChordBook& other) {
  if (this != &other) {
    ChordBook copy(other);
    *this = std::move(copy);
  }
  return *this;
}

ChordBook& ChordBook::operator=(ChordBook&& other) noexcept {
  if (this != &other) {
    stringCount_ = other.stringCount_;
    chords_ = std::move(other.chords_);
    chordIndex_ = other.chordIndex_;
    fretletIndex_ = other.fretletIndex_;
    listChanged_ = other.listChanged_;
    modified_ = other.modified_;
    reseat();
    other.clear();
  }
  return *this;
}

void ChordBook::reseat() {
  if (chords_.empty()) {
    currentChord_ = chords_.end();
    chordIndex_ = 0;
    fretletIndex_ = 1;
    return;
  }
  currentChord_ = std::next(chords_.begin(), chordIndex_);
  currentFretlet_ = std::next(currentChord_->fretlets.begin(), fretletIndex_ - 1);
}

void ChordBook::setCursor(Chords::iterator chord, Fretlets::iterator fretlet) {
  currentChord_ = chord;
  currentFretlet_ = fretlet;
  chordIndex_ = static_cast<int>(std::distance(chords_.begin(), chord));
  fretletIndex_ = static_cast<int>(std::distance(chord->fretlets.begin(), fretlet)) + 1;
}

bool ChordBook::findChord(std::string_view name) {
  int index = 0;
  for (auto chord = chords_.begin(); chord != chords_.end(); ++chord, ++index) {
    if (chord->name.view() == name) {
      currentChord_ = chord;
      chordIndex_ = index;
      currentFretlet_ = chord->fretlets.begin();
      fretletIndex_ = 1;
      return true;
    }
  }
  return false;
}

bool ChordBook::findFretlet(const FretletRecord& fretlet) {
  if (empty()) {
    return false;
  }
  int index = 1;
  Fretlets& fretlets = currentChord_->fretlets;
  for (auto it = fretlets.begin(); it != fretlets.end(); ++it, ++index) {
    if (sameFretlet(*it, fretlet, stringCount_)) {
      currentFretlet_ = it;
      fretletIndex_ = index;
      return true;
    }
  }
  return false;
}

void ChordBook::insertChord(std::string_view name) {
  chords_.push_back(BookChord{ChordTypeName(name), {}});
  const auto inserted = std::prev(chords_.end());
  sortByInsertion(chords_, [](const BookChord& chord, const BookChord& earlier) {
    return chordNameBefore(chord.name.view(), earlier.name.view());
  });
  currentChord_ = inserted;
  chordIndex_ = static_cast<int>(std::distance(chords_.begin(), inserted));
  listChanged_ = true;
}

void ChordBook::insertFretlet(const FretletRecord& fretlet) {
  Fretlets& fretlets = currentChord_->fretlets;
  fretlets.push_back(fretlet);
  const auto inserted = std::prev(fretlets.end());
  // fretletBefore answers "before or equal", so a fretlet moves back only
  // past neighbours that are not before it; equal ones keep their order.
  sortByInsertion(fretlets, [this](const FretletRecord& f, const FretletRecord& earlier) {
    return !fretletBefore(earlier, f, stringCount_);
  });
  setCursor(currentChord_, inserted);
}

bool ChordBook::addFretlet(std::string_view name, const DesignerChord& designer) {
  const FretletRecord fretlet = captureFretlet(designer, stringCount_);
  const ChordTypeName typeName(name);
  if (findChord(typeName.view())) {
    if (findFretlet(fretlet)) {
      return false;
    }
  } else {
    insertChord(typeName.view());
  }
  insertFretlet(fretlet);
  modified_ = true;
  return true;
}

bool ChordBook::updateFretlet(std::string_view name, const DesignerChord& designer) {
  if (empty()) {
    return false;
  }
  const auto oldChord = currentChord_;
  const auto oldFretlet = currentFretlet_;
  const int oldChordIndex = chordIndex_;
  const int oldFretletIndex = fretletIndex_;
  if (!addFretlet(name, designer)) {
    currentChord_ = oldChord;
    currentFretlet_ = oldFretlet;
    chordIndex_ = oldChordIndex;
    fretletIndex_ = oldFretletIndex;
    return false;
  }
  const auto newChord = currentChord_;
  const auto newFretlet = currentFretlet_;
  // The new fretlet may have landed before the old one, in its chord or in
  // the chord list, so the old one's indices are counted afresh.
  setCursor(oldChord, oldFretlet);
  deleteFretlet();
  setCursor(newChord, newFretlet);
  return true;
}

DeleteOutcome ChordBook::deleteFretlet() {
  if (empty()) {
    return DeleteOutcome::DocumentEmpty;
  }
  DeleteOutcome outcome = DeleteOutcome::Kept;
  Fretlets& fretlets = currentChord_->fretlets;
  const auto following = fretlets.erase(currentFretlet_);
  if (!fretlets.empty()) {
    if (following == fretlets.end()) {
      currentFretlet_ = std::prev(fretlets.end());
      --fretletIndex_;
    } else {
      currentFretlet_ = following;
    }
  } else {
    currentChord_ = chords_.erase(currentChord_);
    listChanged_ = true;
    outcome = DeleteOutcome::ChordTypeRemoved;
    if (currentChord_ == chords_.end() && !chords_.empty()) {
      currentChord_ = std::prev(chords_.end());
      --chordIndex_;
    }
    if (chords_.empty()) {
      chordIndex_ = 0;
      outcome = DeleteOutcome::DocumentEmpty;
    } else {
      currentFretlet_ = currentChord_->fretlets.begin();
    }
    fretletIndex_ = 1;
  }
  modified_ = true;
  return outcome;
}

void ChordBook::selectChord(int index) {
  if (index < 0 || index >= static_cast<int>(chords_.size())) {
    return;
  }
  const auto chord = std::next(chords_.begin(), index);
  setCursor(chord, chord->fretlets.begin());
}

bool ChordBook::nextFretlet() {
  if (empty()) {
    return false;
  }
  if (std::next(currentFretlet_) != currentChord_->fretlets.end()) {
    ++currentFretlet_;
    ++fretletIndex_;
    return false;
  }
  if (std::next(currentChord_) == chords_.end()) {
    return false;
  }
  ++currentChord_;
  ++chordIndex_;
  currentFretlet_ = currentChord_->fretlets.begin();
  fretletIndex_ = 1;
  return true;
}

bool ChordBook::previousFretlet() {
  if (empty()) {
    return false;
  }
  if (currentFretlet_ != currentChord_->fretlets.begin()) {
    --currentFretlet_;
    --fretletIndex_;
    return false;
  }
  if (currentChord_ == chords_.begin()) {
    return false;
  }
  --currentChord_;
  --chordIndex_;
  currentFretlet_ = std::prev(currentChord_->fretlets.end());
  fretletIndex_ = static_cast<int>(currentChord_->fretlets.size());
  return true;
}

bool ChordBook::showsDesignerChord(const DesignerChord& designer) const {
  return !empty() &&
         sameFretlet(*currentFretlet_, captureFretlet(designer, stringCount_), stringCount_);
}

int ChordBook::fretletCount() const {
  return empty() ? 0 : static_cast<int>(currentChord_->fretlets.size());
}

void ChordBook::loadCurrentIntoDesigner(DesignerChord& designer) const {
  if (!empty()) {
    applyFretlet(*currentFretlet_, designer, stringCount_);
  }
}

const BookChord& ChordBook::currentChord() const {
  static const BookChord kNoChord;
  return empty() ? kNoChord : *currentChord_;
}

const FretletRecord& ChordBook::currentFretlet() const {
  static const FretletRecord kNoFretlet;
  return empty() ? kNoFretlet : *currentFretlet_;
}

void ChordBook::clear() {
  chords_.clear();
  currentChord_ = chords_.end();
  chordIndex_ = 0;
  fretletIndex_ = 1;
  listChanged_ = true;
}

void ChordBook::appendChord(BookChord chord) {
  chords_.push_back(std::move(chord));
}

void ChordBook::finishLoading() {
  chordIndex_ = 0;
  fretletIndex_ = 1;
  reseat();
  listChanged_ = true;
  modified_ = false;
}

std::size_t ChordBook::totalFretlets() const {
  std::size_t count = 0;
  for (const BookChord& chord : chords_) {
    count += chord.fretlets.size();
  }
  return count;
}

}  // namespace fretlets

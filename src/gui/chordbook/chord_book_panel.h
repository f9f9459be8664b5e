#pragma once

#include <string>
#include <vector>

#include "gui/common/document_panel.h"
#include "gui/common/panel.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace fretlets {

class ChordBook;
struct BookFiling;
struct ChordBookDocument;

// The Chord Book: browses the open book one fretlet at a time, copies the
// current fretlet into the Chord Designer (which draws, names and plays it)
// and files the Designer's chord under the type its name box shows. The
// panel is a view of the session's open book.
class ChordBookPanel : public Panel, public DocumentPanel {
  Q_OBJECT

 public:
  ChordBookPanel(AppContext& context, ChordBookDocument& document, QWidget* frame);

  void showTitle() override;

  QComboBox* chordTypeList() const { return chordTypes_; }
  QLineEdit* indexBox() const { return index_; }
  QLineEdit* countBox() const { return count_; }
  QPushButton* previousButton() const { return previous_; }
  QPushButton* nextButton() const { return next_; }
  QPushButton* addButton() const { return add_; }
  QPushButton* updateButton() const { return update_; }
  QPushButton* deleteButton() const { return delete_; }

 protected:
  void silence() override;
  void closeRequested() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createControls();
  // The Designer named its chord again.
  void designerChordChanged();
  void updateButtons();
  void showCurrent();
  void showChordList();
  void clearDisplay();
  // The chord type the Designer's name shows, as the book stores it.
  std::string designerTypeName() const;

  void addChord();
  void addChords(const std::vector<BookFiling>& filings);
  void updateChord();
  void deleteChord();
  void step(bool forward);
  void chordChosen(int index);

  ChordBookDocument& document_;
  ChordBook& book_;
  QComboBox* chordTypes_ = nullptr;
  QLineEdit* index_ = nullptr;
  QLineEdit* count_ = nullptr;
  QPushButton* previous_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* update_ = nullptr;
  QPushButton* delete_ = nullptr;
};

// The maker the frame creates the Chord Book with, on the session's book.
Panel* makeChordBookPanel(AppContext& context, QWidget* frame);

}  // namespace fretlets

#pragma once

#include <QString>
#include <filesystem>
#include <string>

#include "documents/chord_book.h"
#include "gui/common/document_panel.h"
#include "gui/common/panel.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace fretlets {

// The Chord Book: browses the open book one fretlet at a time, copies the
// current fretlet into the Chord Designer (which draws, names and plays it)
// and files the Designer's chord under the type its name box shows. The
// panel is the open book: it exists exactly while a book is open.
class ChordBookPanel : public Panel, public DocumentPanel {
  Q_OBJECT

 public:
  ChordBookPanel(AppContext& context, QWidget* frame);
  ~ChordBookPanel() override;

  // Takes over the requested file of the chord book slot and reads it, first
  // creating an empty book there when nothing is at the path. Returns false
  // when the file could not be read (the message was shown); the panel is
  // then to go without having changed anything.
  bool open();

  bool closeAskingToSave() override;
  bool save(const std::filesystem::path& target) override;

  // The Designer named its chord again.
  void designerChordChanged();

  const ChordBook& book() const { return book_; }
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
  void updateButtons();
  void showTitle(const QString& title);
  void showCurrent();
  void showChordList();
  void clearDisplay();
  // The chord type the Designer's name shows, as the book stores it.
  std::string designerTypeName() const;

  void addChord();
  void updateChord();
  void deleteChord();
  void step(bool forward);
  void chordChosen(int index);

  ChordBook book_;
  QComboBox* chordTypes_ = nullptr;
  QLineEdit* index_ = nullptr;
  QLineEdit* count_ = nullptr;
  QPushButton* previous_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* update_ = nullptr;
  QPushButton* delete_ = nullptr;
};

// The maker the frame creates the Chord Book with: the panel, recorded in
// the application state, on its book; nothing when the book could not be
// read.
Panel* makeChordBookPanel(AppContext& context, QWidget* frame);

}  // namespace fretlets

#pragma once

#include <QPointer>
#include <filesystem>

class QWidget;

namespace fretlets {

struct AppContext;

// What the frame asks of a panel that holds a document (the Chord Book and
// the Score). Such a panel is also a Panel; the frame creates it through the
// maker it was given for the kind, and learns of its end from its
// destroyed() signal: the close sequence and a pending reopen continue
// from there, so the panel never calls back into the frame to close. The
// one exception is a Yes to the save question, which runs the kind's Save
// command (confirmDocumentClose in document_life_cycle.h does the asking
// for every kind).
class DocumentPanel {
 public:
  virtual ~DocumentPanel() = default;

  // Close, asking to save a changed document first. Returns false when the
  // user cancelled (the panel stays and clears AppState::closing); true when
  // the panel goes, deleting itself later.
  virtual bool closeAskingToSave() = 0;

  // Write the document to target. Returns true only when the file was
  // written; a failure has been shown to the user. The frame makes target
  // the slot's path, title and folder only after a success, so a failed
  // Save As keeps the old target.
  virtual bool save(const std::filesystem::path& target) = 0;
};

// Makes a document panel, records it where the application state keeps it,
// and has it open the slot's requested file. Returns nothing when the file
// could not be read: the panel is gone again, having changed nothing.
template <typename PanelType>
PanelType* openDocumentPanel(AppContext& context, QWidget* frame, QPointer<PanelType>& recorded) {
  auto* panel = new PanelType(context, frame);
  recorded = panel;
  if (!panel->open()) {
    delete panel;
    return nullptr;
  }
  return panel;
}

}  // namespace fretlets

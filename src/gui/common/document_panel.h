#pragma once

namespace fretlets {

// What the frame tells a panel that shows a document (the Chord Book and the
// Score). The document belongs to the session; the panel is a view of it,
// made by the frame when the document opened and removed when it closed. A
// close box on the panel asks the session to close the document.
class DocumentPanel {
 public:
  virtual ~DocumentPanel() = default;

  // The document is about to close: whatever runs on it stops.
  virtual void documentClosing() {}
  // The document has a new name or was saved: the caption follows.
  virtual void showTitle() = 0;
};

}  // namespace fretlets

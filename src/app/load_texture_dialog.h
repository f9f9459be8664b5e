#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace fretlets {

struct AppState;

// Load Texture: the textures beside the program in a list that is always
// open under a field where a name can also be typed. OK makes the field's
// text the texture name (an empty one removes the textures); the caller
// repaints every window.
class LoadTextureDialog : public QDialog {
  Q_OBJECT

 public:
  LoadTextureDialog(AppState& state, QWidget* owner);

  QLineEdit* nameField() const { return name_; }
  QListWidget* list() const { return list_; }

 private:
  void accept() override;

  AppState& state_;
  QLineEdit* name_;
  QListWidget* list_;
};

}  // namespace fretlets

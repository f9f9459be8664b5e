#pragma once

#include <QDialog>

namespace fretlets {

struct AppState;

// The About box: the program's name and version and a few words on it.
class AboutBox : public QDialog {
  Q_OBJECT

 public:
  AboutBox(const AppState& state, QWidget* owner);
};

}  // namespace fretlets

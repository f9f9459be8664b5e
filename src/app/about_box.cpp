#include "app/about_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/common/app_state.h"
#include "gui/common/dialog_units.h"

namespace fretlets {

AboutBox::AboutBox(const AppState& state, QWidget* owner) : QDialog(owner) {
  setWindowTitle(QStringLiteral("About Fretlets"));
  setWindowModality(Qt::ApplicationModal);
  const DialogUnits units(font());
  setFixedSize(units.x(140), units.y(90));

  auto* version = new QLineEdit(state.versionTitle, this);
  version->setReadOnly(true);
  version->setAlignment(Qt::AlignCenter);
  version->setFrame(false);
  version->setGeometry(units.rect(6, 6, 128, 10));
  version->setAccessibleName(QStringLiteral("Version"));

  const auto line = [&](const QString& text, int y) {
    auto* label = new QLabel(text, this);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(units.rect(6, y, 128, 10));
    label->setAccessibleName(text);
  };
  line(QStringLiteral("Chords for fretted and bowed strings"), 16);
  line(QStringLiteral("Build, name, hear and file fingerings"), 50);
  line(QStringLiteral("Made with Qt, FluidSynth and RtMidi"), 60);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(units.rect(59, 72, 22, 12));
  ok->setAccessibleName(ok->text());
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace fretlets

#include "app/load_texture_dialog.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "gui/common/app_state.h"
#include "gui/common/dialog_units.h"
#include "gui/common/texture.h"

namespace fretlets {

LoadTextureDialog::LoadTextureDialog(AppState& state, QWidget* owner)
    : QDialog(owner), state_(state), name_(new QLineEdit(this)), list_(new QListWidget(this)) {
  setWindowTitle(QStringLiteral("Load Texture"));
  setWindowModality(Qt::ApplicationModal);
  const DialogUnits units(font());
  setFixedSize(units.x(112), units.y(96));

  // The field and its list share the box at 6, 6, 100 x 64.
  const QRect box = units.rect(6, 6, 100, 64);
  const int fieldHeight = name_->sizeHint().height();
  name_->setGeometry(box.x(), box.y(), box.width(), fieldHeight);
  list_->setGeometry(box.x(), box.y() + fieldHeight, box.width(), box.height() - fieldHeight);
  name_->setAccessibleName(QStringLiteral("Texture name"));
  list_->setAccessibleName(QStringLiteral("Textures"));
  list_->addItems(textureNames(state_));
  connect(list_, &QListWidget::currentTextChanged, name_, &QLineEdit::setText);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(units.rect(11, 76, 40, 14));
  ok->setAccessibleName(ok->text());
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setGeometry(units.rect(61, 76, 40, 14));
  cancel->setAccessibleName(cancel->text());
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  name_->setFocus();
}

void LoadTextureDialog::accept() {
  state_.textureName = name_->text();
  QDialog::accept();
}

}  // namespace fretlets

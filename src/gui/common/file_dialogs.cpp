#include "gui/common/file_dialogs.h"

#include <QFileDialog>

namespace fretlets {
namespace {

std::optional<QString> runDialog(QWidget* owner, const FileDialogRequest& request,
                                 QFileDialog::AcceptMode mode) {
  QFileDialog dialog(owner, QString(), request.startFolder, request.filter);
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setAcceptMode(mode);
  // Open may name a file that does not exist yet; the caller asks first.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(request.suffix);
  // The caller asks before replacing a file, with the program's own box.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return dialog.selectedFiles().constFirst();
}

}  // namespace

std::optional<QString> QtFileDialogs::openPath(const FileDialogRequest& request) {
  return runDialog(owner_, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtFileDialogs::savePath(const FileDialogRequest& request) {
  return runDialog(owner_, request, QFileDialog::AcceptSave);
}

}  // namespace fretlets

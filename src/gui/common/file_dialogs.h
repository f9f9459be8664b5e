#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace fretlets {

// What an Open or Save As dialog is asked for.
struct FileDialogRequest {
  QString filter;       // "Score Files (*.score)"
  QString startFolder;  // where the dialog opens
  QString suffix;       // the default extension, without its dot
};

// The file dialogs behind a small interface, so tests can script the
// choices. Each returns the chosen path, or nothing when the user cancelled.
// Prompts (create a new file, replace an existing one) are the caller's.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  virtual std::optional<QString> openPath(const FileDialogRequest& request) = 0;
  virtual std::optional<QString> savePath(const FileDialogRequest& request) = 0;
};

// The desktop's file dialogs, application-modal over the frame.
class QtFileDialogs : public FileDialogs {
 public:
  explicit QtFileDialogs(QWidget* owner) : owner_(owner) {}
  std::optional<QString> openPath(const FileDialogRequest& request) override;
  std::optional<QString> savePath(const FileDialogRequest& request) override;

 private:
  QWidget* owner_;
};

}  // namespace fretlets

#include "app/file_commands.h"

#include <QFileInfo>

#include "gui/common/file_dialogs.h"
#include "gui/common/show_message.h"
#include "models/document_session.h"

namespace fretlets {
namespace {

std::optional<OpenRequest> recognise(const QString& path) {
  const std::optional<DocumentKind> kind = documentKindOf(path);
  if (!kind || path.isEmpty()) {
    return std::nullopt;
  }
  return OpenRequest{*kind, qStringToPath(path)};
}

FileDialogRequest dialogRequest(DocumentSession& session, DocumentKind kind) {
  const DocumentKindInfo& info = documentKindInfo(kind);
  return {info.filter, pathToQString(session.folder(kind)), info.suffix};
}

// A typed name without the kind's extension gets it, as the dialogs do.
QString withSuffix(const QString& path, DocumentKind kind) {
  const QString dotted = QLatin1Char('.') + documentKindInfo(kind).suffix;
  return path.endsWith(dotted) ? path : path + dotted;
}

}  // namespace

std::optional<OpenRequest> parseCommandLine(DocumentSession& session, const QStringList& arguments,
                                            const std::filesystem::path& currentFolder) {
  if (arguments.isEmpty()) {
    return std::nullopt;
  }
  std::optional<OpenRequest> request = recognise(arguments.constFirst());
  if (!request) {
    return std::nullopt;
  }
  request->path = (currentFolder / request->path).lexically_normal();
  session.setFolder(request->kind, currentFolder);
  return request;
}

std::optional<OpenRequest> openDocumentDialog(DocumentSession& session, FileDialogs& dialogs,
                                              DocumentKind kind) {
  const std::optional<QString> chosen = dialogs.openPath(dialogRequest(session, kind));
  if (!chosen || chosen->isEmpty()) {
    return std::nullopt;
  }
  QString path = *chosen;
  if (!QFileInfo::exists(path)) {
    path = withSuffix(path, kind);
  }
  if (!QFileInfo::exists(path)) {
    const QString text = QStringLiteral("%1\nThis file does not exist.\nCreate the file?")
                             .arg(QFileInfo(path).fileName());
    if (showMessage(text, {MessageIcon::Question, MessageButtons::YesNo}) != MessageAnswer::Yes) {
      return std::nullopt;
    }
  }
  const std::filesystem::path absolute = qStringToPath(QFileInfo(path).absoluteFilePath());
  session.setFolder(kind, absolute.parent_path());
  return OpenRequest{kind, absolute};
}

bool mayReplace(const QString& path) {
  if (!QFileInfo::exists(path)) {
    return true;
  }
  const QString text = QStringLiteral("%1 already exists.\nDo you want to replace it?")
                           .arg(QFileInfo(path).fileName());
  return showMessage(text, {MessageIcon::Warning, MessageButtons::YesNo, true}) ==
         MessageAnswer::Yes;
}

std::optional<std::filesystem::path> saveDocumentAsDialog(DocumentSession& session,
                                                          FileDialogs& dialogs, DocumentKind kind) {
  const std::optional<QString> chosen = dialogs.savePath(dialogRequest(session, kind));
  if (!chosen || chosen->isEmpty()) {
    return std::nullopt;
  }
  const QString path = withSuffix(*chosen, kind);
  if (!mayReplace(path)) {
    return std::nullopt;
  }
  return qStringToPath(QFileInfo(path).absoluteFilePath());
}

std::optional<OpenRequest> openDroppedFiles(const QList<QUrl>& urls) {
  if (urls.isEmpty() || !urls.constFirst().isLocalFile()) {
    return std::nullopt;
  }
  return recognise(urls.constFirst().toLocalFile());
}

std::optional<OpenRequest> openHandedOverFile(const QString& path) {
  // The second start made the path absolute; anything else is refused.
  if (!QFileInfo(path).isAbsolute()) {
    return std::nullopt;
  }
  return recognise(path);
}

}  // namespace fretlets

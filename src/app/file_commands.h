#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <filesystem>
#include <optional>

#include "gui/common/document_kind.h"

namespace fretlets {

class FileDialogs;

// The program's arguments (without the program name): the first one is the
// path of a chord book or score, taken as given and made absolute against
// currentFolder. A recognised path also makes currentFolder the start folder
// of its kind's dialogs. Anything else opens nothing and is not reported.
std::optional<OpenRequest> parseCommandLine(DocumentSession& session, const QStringList& arguments,
                                            const std::filesystem::path& currentFolder);

// The Open dialog of a kind: start in the kind's folder; a name that does not
// exist yet is offered for creation first. On a choice the folder follows
// it and the request to open is returned.
std::optional<OpenRequest> openDocumentDialog(DocumentSession& session, FileDialogs& dialogs,
                                              DocumentKind kind);

// The Save As dialog of a kind: the chosen path with the kind's extension,
// after asking before replacing an existing file. The document takes the
// new path only once it was written there.
// A file already at path is replaced only when the user says Yes (the
// default is No).
bool mayReplace(const QString& path);

std::optional<std::filesystem::path> saveDocumentAsDialog(DocumentSession& session,
                                                          FileDialogs& dialogs, DocumentKind kind);

// Files dropped on the frame: only the first one counts, and only when it is
// a local chord book or score.
std::optional<OpenRequest> openDroppedFiles(const QList<QUrl>& urls);

// A path handed over by a second start: a chord book or score, or nothing.
std::optional<OpenRequest> openHandedOverFile(const QString& path);

}  // namespace fretlets

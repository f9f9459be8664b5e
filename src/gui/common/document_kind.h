#pragma once

#include <QString>
#include <filesystem>
#include <optional>

#include "gui/common/command_id.h"
#include "models/document_session.h"

namespace fretlets {

// What the windows show of a kind of document.
struct DocumentKindInfo {
  QString name;    // as captions and questions call it
  QString filter;  // the file dialogs' filter
  QString suffix;  // the extension without its dot
  CommandId closeCommand;
  CommandId saveCommand;
  CommandId saveAsCommand;
};

const DocumentKindInfo& documentKindInfo(DocumentKind kind);

// The kind a path names by its ending: ".cbk" is a chord book, ".score" a
// score. Case matters, so "SONG.SCORE" is neither.
std::optional<DocumentKind> documentKindOf(const QString& path);

QString pathToQString(const std::filesystem::path& path);
std::filesystem::path qStringToPath(const QString& path);
// The file name of a path, as captions show it.
QString fileTitle(const std::filesystem::path& path);

}  // namespace fretlets

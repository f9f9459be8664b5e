#pragma once

#include <QString>
#include <filesystem>
#include <optional>

#include "gui/common/command_id.h"

namespace fretlets {

struct AppState;
struct DocumentSlot;

// The two kinds of document the program opens and saves.
enum class DocumentKind { Score, ChordBook };

struct DocumentKindInfo {
  QString filter;        // the file dialogs' filter
  QString suffix;        // the extension without its dot
  CommandId newCommand;  // the command every open ends in
  CommandId closeCommand;
  CommandId saveCommand;
  CommandId saveAsCommand;
};

const DocumentKindInfo& documentKindInfo(DocumentKind kind);
DocumentSlot& documentSlot(AppState& state, DocumentKind kind);

// The kind a path names by its ending: ".cbk" is a chord book, ".score" a
// score. Case matters, so "SONG.SCORE" is neither.
std::optional<DocumentKind> documentKindOf(const QString& path);

QString pathToQString(const std::filesystem::path& path);
std::filesystem::path qStringToPath(const QString& path);
// The file name of a path, as captions show it.
QString fileTitle(const std::filesystem::path& path);

}  // namespace fretlets

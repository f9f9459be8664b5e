#include "gui/common/document_kind.h"

namespace fretlets {

const DocumentKindInfo& documentKindInfo(DocumentKind kind) {
  static const DocumentKindInfo score{
      QStringLiteral("Score"), QStringLiteral("Score Files (*.score)"),
      QStringLiteral("score"), CommandId::ScoreClose,
      CommandId::ScoreSave,    CommandId::ScoreSaveAs};
  static const DocumentKindInfo chordBook{
      QStringLiteral("Chord Book"), QStringLiteral("Chordbook Files (*.cbk)"),
      QStringLiteral("cbk"),        CommandId::ChordBookClose,
      CommandId::ChordBookSave,     CommandId::ChordBookSaveAs};
  return kind == DocumentKind::Score ? score : chordBook;
}

std::optional<DocumentKind> documentKindOf(const QString& path) {
  // The chord book test comes first; both compare exactly, case included.
  if (path.endsWith(QStringLiteral(".cbk"), Qt::CaseSensitive)) {
    return DocumentKind::ChordBook;
  }
  if (path.endsWith(QStringLiteral(".score"), Qt::CaseSensitive)) {
    return DocumentKind::Score;
  }
  return std::nullopt;
}

QString pathToQString(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

std::filesystem::path qStringToPath(const QString& path) {
  // Linux file names are bytes; the program's locale is UTF-8.
  return std::filesystem::path(path.toStdString());
}

QString fileTitle(const std::filesystem::path& path) {
  return pathToQString(path.filename());
}

}  // namespace fretlets

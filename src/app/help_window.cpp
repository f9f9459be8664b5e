#include "app/help_window.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "gui/common/document_kind.h"

namespace fretlets {

HelpWindow::HelpWindow(QWidget* owner) : QTextBrowser(owner) {
  setWindowFlag(Qt::Window);
  setWindowTitle(QStringLiteral("Fretlets Help"));
  setAccessibleName(QStringLiteral("Fretlets Help"));
  setOpenExternalLinks(true);
  resize(720, 640);
}

bool HelpWindow::showContents(const std::filesystem::path& contentsPage) {
  const QString page = pathToQString(contentsPage);
  if (!QFileInfo(page).isFile()) {
    return false;
  }
  // The manual's own style sheet, which the browser does not load by itself.
  QFile styles(pathToQString(contentsPage.parent_path() / "manual.css"));
  if (styles.open(QIODevice::ReadOnly)) {
    document()->setDefaultStyleSheet(QString::fromUtf8(styles.readAll()));
  }
  setSource(QUrl::fromLocalFile(page));
  show();
  raise();
  activateWindow();
  return true;
}

std::filesystem::path manualContents(const std::filesystem::path& programFolder) {
  return programFolder / "help" / "index.html";
}

}  // namespace fretlets

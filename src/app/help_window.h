#pragma once

#include <QTextBrowser>
#include <filesystem>

namespace fretlets {

// The manual, bundled beside the program, in a window of its own.
class HelpWindow : public QTextBrowser {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* owner);

  // Shows the manual's contents page. False (and nothing shown) when the
  // manual is not where it belongs.
  bool showContents(const std::filesystem::path& contentsPage);
};

// The manual's contents page beside the program.
std::filesystem::path manualContents(const std::filesystem::path& programFolder);

}  // namespace fretlets

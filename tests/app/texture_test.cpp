#include <QListWidget>
#include <QTextBrowser>
#include <QTimer>

#include "app/help_window.h"
#include "app/load_texture_dialog.h"
#include "gui/common/command_id.h"
#include "gui/common/texture.h"
#include "support/gui/document_panel_fixture.h"

namespace fretlets {
namespace {

const QColor kLight(250, 240, 200);
const QColor kDark(60, 30, 10);

class Textures : public DocumentPanelTest {
 public:
  void SetUp() override {
    DocumentPanelTest::SetUp();
    // A 2x2 tile, light on the diagonal, so a painted pixel shows which
    // corner of the tile it came from.
    std::filesystem::create_directories(folder() / "textures" / "wood");
    QImage tile(2, 2, QImage::Format_RGB32);
    tile.fill(kDark);
    tile.setPixelColor(0, 0, kLight);
    tile.setPixelColor(1, 1, kLight);
    ASSERT_TRUE(tile.save(path("textures/wood/amp.bmp"), "BMP"));
    std::filesystem::create_directories(folder() / "textures" / "Slate");
    std::filesystem::create_directories(folder() / "textures" / "apple");
    std::ofstream(folder() / "textures" / "readme.txt") << "not a texture";
    frame_->resize(frame_->width(), 200);
  }
};

TEST_F(Textures, LoadTextureListsTheFoldersAndPaintsTheChoiceOrNothing) {
  struct Row {
    int chosen;  // a row of the list, or -1 for the name typed
    const char* typed;
    const char* button;
    const char* name;
    bool textured;
  };
  for (const Row& row : {Row{2, "", "OK", "wood", true}, Row{-1, "apple", "Cancel", "wood", true},
                         Row{-1, "velvet", "OK", "velvet", false}, Row{2, "", "OK", "wood", true},
                         Row{-1, "", "OK", "", false}}) {
    SCOPED_TRACE(std::string(row.button) + " " + row.name);
    // Load Texture, and the open dialog worked.
    QTimer::singleShot(0, [&row] {
      auto* open = qobject_cast<LoadTextureDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(open, nullptr);
      LoadTextureDialog& dialog = *open;
      QStringList listed;
      for (int i = 0; i < dialog.list()->count(); ++i) {
        listed.append(dialog.list()->item(i)->text());
      }
      EXPECT_EQ(listed, (QStringList{"apple", "Slate", "wood"}));
      if (row.chosen >= 0) {
        dialog.list()->setCurrentRow(row.chosen);
      } else {
        dialog.nameField()->setText(QString::fromUtf8(row.typed));
      }
      QTest::mouseClick(control<QPushButton>(&dialog, row.button), Qt::LeftButton);
    });
    frame_->runCommand(CommandId::LoadTexture);
    EXPECT_EQ(state().textureName, QString::fromUtf8(row.name));
    // The tile repeats from the top-left corner: a pixel's colour follows
    // the parity of its position.
    const QImage image = frame_->centralWidget()->grab().toImage();
    const int y = image.height() - 3;
    if (row.textured) {
      EXPECT_EQ(image.pixelColor(20, y), (y % 2 == 0) ? kLight : kDark);
      EXPECT_EQ(image.pixelColor(21, y), (y % 2 == 0) ? kDark : kLight);
    } else {
      EXPECT_NE(image.pixelColor(20, y), kLight);
      EXPECT_NE(image.pixelColor(20, y), kDark);
    }
  }
}

TEST_F(Textures, TheTexturePathDoesNotDependOnTheCurrentFolder) {
  state().textureName = QStringLiteral("wood");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder() / "textures" / "apple");
  const QImage tile = fretlets::loadTexture(state(), QStringLiteral("amp.bmp"));
  std::filesystem::current_path(before);
  EXPECT_EQ(tile.size(), QSize(2, 2));
}

TEST_F(Textures, F1OpensTheManualAtItsContents) {
  frame_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
  // No manual yet: the user is told where it should be.
  QTest::keyClick(frame_.get(), Qt::Key_F1);
  ASSERT_EQ(messages_.size(), 1);
  EXPECT_TRUE(messages_[0].contains(QStringLiteral("help/index.html")));

  std::filesystem::create_directories(folder() / "help");
  std::ofstream(folder() / "help" / "index.html") << "<h1>Contents</h1><a href='x.html'>x</a>";
  std::ofstream(folder() / "help" / "x.html") << "<h1>Elsewhere</h1>";
  QTest::keyClick(frame_.get(), Qt::Key_F1);
  ASSERT_NE(frame_->helpWindow(), nullptr);
  EXPECT_TRUE(frame_->helpWindow()->isVisible());
  frame_->helpWindow()->setSource(
      QUrl::fromLocalFile(QString::fromStdString((folder() / "help" / "x.html").string())));
  // Help > Contents comes back to the contents page.
  frame_->runCommand(CommandId::HelpContents);
  EXPECT_TRUE(frame_->helpWindow()->source().toLocalFile().endsWith(QStringLiteral("index.html")));
  EXPECT_TRUE(frame_->helpWindow()->toPlainText().contains(QStringLiteral("Contents")));
  EXPECT_EQ(messages_.size(), 1);
}

}  // namespace
}  // namespace fretlets

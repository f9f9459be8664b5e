#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest/QTest>
#include <fstream>

#include "app/about_box.h"
#include "app/help_window.h"
#include "app/load_texture_dialog.h"
#include "gui/common/command_id.h"
#include "gui/common/texture.h"
#include "support/gui/frame_fixture.h"

namespace fretlets {
namespace {

const QColor kLight(250, 240, 200);
const QColor kDark(60, 30, 10);

// A 2x2 tile, light on the diagonal, so a painted pixel shows which corner
// of the tile it came from.
void writeTile(const std::filesystem::path& file) {
  std::filesystem::create_directories(file.parent_path());
  QImage tile(2, 2, QImage::Format_RGB32);
  tile.setPixelColor(0, 0, kLight);
  tile.setPixelColor(1, 1, kLight);
  tile.setPixelColor(1, 0, kDark);
  tile.setPixelColor(0, 1, kDark);
  ASSERT_TRUE(tile.save(QString::fromStdString(file.string()), "BMP"));
}

class Textures : public FrameTest {
 public:
  void SetUp() override {
    FrameTest::SetUp();
    writeTile(folder() / "textures" / "wood" / "amp.bmp");
    std::filesystem::create_directories(folder() / "textures" / "Slate");
    std::filesystem::create_directories(folder() / "textures" / "apple");
    std::ofstream(folder() / "textures" / "readme.txt") << "not a texture";
    showFrame();
    frame_->resize(frame_->width(), 200);
  }

  // Runs Load Texture and lets act work the open dialog.
  void runLoadTexture(const std::function<void(LoadTextureDialog&)>& act) {
    QTimer::singleShot(0, [act] {
      auto* dialog = qobject_cast<LoadTextureDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      act(*dialog);
    });
    frame_->runCommand(CommandId::LoadTexture);
  }

  // The frame's client area below its toolbar, as painted.
  QImage canvas() { return frame_->centralWidget()->grab().toImage(); }
  QColor framePixel(int x, int y) { return canvas().pixelColor(x, y); }
};

QPushButton* buttonNamed(QWidget& dialog, const QString& text) {
  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
    if (button->text() == text) {
      return button;
    }
  }
  return nullptr;
}

TEST_F(Textures, LoadTextureListsTheFoldersAndRepaintsWithTheChoice) {
  QStringList listed;
  runLoadTexture([&listed](LoadTextureDialog& dialog) {
    for (int row = 0; row < dialog.list()->count(); ++row) {
      listed.append(dialog.list()->item(row)->text());
    }
    EXPECT_TRUE(dialog.nameField()->text().isEmpty());
    dialog.list()->setCurrentRow(2);
    QTest::mouseClick(buttonNamed(dialog, QStringLiteral("OK")), Qt::LeftButton);
  });
  EXPECT_EQ(listed, (QStringList{QStringLiteral("apple"), QStringLiteral("Slate"),
                                 QStringLiteral("wood")}));
  EXPECT_EQ(state().textureName, QStringLiteral("wood"));
  // The tile repeats from the top-left corner: the pixel's colour follows
  // the parity of its position.
  const QImage image = canvas();
  const int y = image.height() - 3;
  EXPECT_EQ(image.pixelColor(20, y), (y % 2 == 0) ? kLight : kDark);
  EXPECT_EQ(image.pixelColor(21, y), (y % 2 == 0) ? kDark : kLight);
}

TEST_F(Textures, AMissingOrEmptyNameRemovesTheTexture) {
  for (const QString& typed : {QStringLiteral("velvet"), QString()}) {
    SCOPED_TRACE(typed.toStdString());
    state().textureName = QStringLiteral("wood");
    frame_->repaint();
    const QColor textured = framePixel(20, 2);
    ASSERT_TRUE(textured == kLight || textured == kDark);
    runLoadTexture([&typed](LoadTextureDialog& dialog) {
      dialog.nameField()->setText(typed);
      QTest::mouseClick(buttonNamed(dialog, QStringLiteral("OK")), Qt::LeftButton);
    });
    EXPECT_EQ(state().textureName, typed);
    const QColor plain = framePixel(20, 2);
    EXPECT_NE(plain, kLight);
    EXPECT_NE(plain, kDark);
  }
  // Cancel changes nothing.
  state().textureName = QStringLiteral("wood");
  runLoadTexture([](LoadTextureDialog& dialog) {
    dialog.nameField()->setText(QStringLiteral("apple"));
    QTest::mouseClick(buttonNamed(dialog, QStringLiteral("Cancel")), Qt::LeftButton);
  });
  EXPECT_EQ(state().textureName, QStringLiteral("wood"));
}

TEST_F(Textures, TheTexturePathDoesNotDependOnTheCurrentFolder) {
  state().textureName = QStringLiteral("wood");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder() / "textures" / "apple");
  const QImage tile = fretlets::loadTexture(state(), QStringLiteral("amp.bmp"));
  std::filesystem::current_path(before);
  EXPECT_EQ(tile.size(), QSize(2, 2));
}

TEST(Label, TextOverATextureIsCutToTwentyFourCharacters) {
  EXPECT_EQ(labelText(QStringLiteral("Arpeggio delay in milliseconds")),
            QStringLiteral("Arpeggio delay in millis"));
  EXPECT_EQ(labelText(QStringLiteral("Vol")), QStringLiteral("Vol"));
}

TEST_F(Textures, AboutShowsTheVersion) {
  QString shown;
  QTimer::singleShot(0, [&shown] {
    auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shown = box->findChild<QLineEdit*>()->text();
    QTest::mouseClick(buttonNamed(*box, QStringLiteral("OK")), Qt::LeftButton);
  });
  frame_->runCommand(CommandId::About);
  EXPECT_EQ(shown, QStringLiteral("Fretlets 1.21"));
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

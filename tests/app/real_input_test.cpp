#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/file_commands.h"
#include "gui/designer/designer_panel.h"
#include "gui/score/score_panel.h"
#include "support/gui/document_panel_fixture.h"

namespace fretlets {
namespace {

// A screen reader flips a check through the control's toggle action: no
// click, no key.
void toggle(QWidget* control) {
  ASSERT_NE(control, nullptr);
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
  ASSERT_NE(accessible, nullptr);
  ASSERT_NE(accessible->actionInterface(), nullptr);
  ASSERT_TRUE(accessible->actionInterface()->actionNames().contains(
      QAccessibleActionInterface::toggleAction()));
  accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

using RealInput = DocumentPanelTest;

TEST_F(RealInput, EveryCheckToggledByAScreenReaderDoesWhatAClickWould) {
  designerShows(fingering({kNone, 3, 2, 0, 1, 0}));
  toggle(control<QPushButton>(designer(), "Bar the top fret"));
  EXPECT_TRUE(chord().barred);
  toggle(control<QPushButton>(designer(), "Hold strings down"));
  EXPECT_TRUE(chord().holdAll);
  toggle(control<QPushButton>(designer(), "Root on string 4"));
  EXPECT_EQ(designerBox("Chord root")->text().toStdString(), "E");
  toggle(control<QPushButton>(designer(), "Show enharmonic notes"));
  EXPECT_TRUE(chord().enharmonic);

  // The toolbar's checks open and close their panels.
  QToolBar* toolbar = frame_->findChild<QToolBar*>();
  for (const CommandId id : {CommandId::ViewInstrument, CommandId::ViewDesigner}) {
    auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(frame_->action(id)));
    for (const bool shown : {false, true}) {
      toggle(button);
      settle();
      EXPECT_EQ(id == CommandId::ViewInstrument ? frame_->instrumentPanel() != nullptr
                                                : designer()->isVisible(),
                shown);
      EXPECT_EQ(frame_->action(id)->isChecked(), shown);
    }
  }

  open(DocumentKind::Score, copyOfSample("Waltz in G.score"));
  auto* score = static_cast<ScorePanel*>(frame_->documentPanel(DocumentKind::Score));
  control<QPushButton>(score, "Run the score")->click();
  ASSERT_TRUE(score->playback().playing());
  toggle(control<QPushButton>(score, "Play/Stop(Esc)"));
  EXPECT_FALSE(score->playback().playing());
}

// Enter in the real box answers its default button: it must not replace a file.
TEST_F(RealInput, EnterDoesNotReplaceAnExistingFile) {
  setMessageHandler({});
  dialogs_->answers.emplace_back(QString::fromStdString(copyOfSample("Waltz in G.score").string()));
  QTimer enter;
  enter.callOnTimeout([] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      QTest::keyClick(box, Qt::Key_Return);
    }
  });
  enter.start(20);
  EXPECT_EQ(saveDocumentAsDialog(session(), *dialogs_, DocumentKind::Score), std::nullopt);
}

}  // namespace
}  // namespace fretlets

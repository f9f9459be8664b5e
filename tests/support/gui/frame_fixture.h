#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <functional>
#include <memory>
#include <utility>

#include "app/app_records.h"
#include "app/main_window.h"
#include "gui/common/app_state.h"
#include "gui/common/show_message.h"
#include "gui_application.h"

namespace fretlets {

// Runs the event loop until condition holds or about two seconds passed.
template <typename Condition>
bool waitFor(Condition condition) {
  for (int i = 0; i < 200 && !condition(); ++i) {
    QTest::qWait(10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  return condition();
}

// Fresh records and a shown frame for each test, with the program folder in a
// scratch folder and every message recorded and answered from a script.
class FrameTest : public ::testing::Test {
 public:
  void SetUp() override {
    testApplication();
    ASSERT_TRUE(folder_.isValid());
    placeBeside(state(), records_.context().session,
                std::filesystem::path(folder_.path().toStdString()));
    setMessageHandler([this](const QString& text, MessageFlags) {
      // The MIDI Amp's switch-on two seconds in finds no output on a test
      // machine; a slow test sees its warning, a fast one does not.
      if (text == QStringLiteral("Can't open Midi Mapper")) {
        return MessageAnswer::Ok;
      }
      messages_.append(text);
      const MessageAnswer answer = answers_.isEmpty() ? MessageAnswer::Ok : answers_.takeFirst();
      // Runs once, while the box is open.
      if (const std::function<void()> during = std::exchange(duringMessage_, nullptr)) {
        during();
      }
      return answer;
    });
    frame_ = std::make_unique<MainWindow>(records_.context());
  }

  void TearDown() override {
    frame_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setMessageHandler({});
  }

  void showFrame() {
    frame_->show();
    frame_->layOutPanels();
  }

  AppState& state() { return records_.context().state; }
  std::filesystem::path folder() const { return folder_.path().toStdString(); }

  QTemporaryDir folder_;
  AppRecords records_;
  std::unique_ptr<MainWindow> frame_;
  QStringList messages_;
  QList<MessageAnswer> answers_;
  std::function<void()> duringMessage_;
};

}  // namespace fretlets

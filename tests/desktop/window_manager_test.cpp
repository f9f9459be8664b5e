#include "support/gui/document_panel_fixture.h"

namespace fretlets {
namespace {

// The real window on a virtual X screen with a real window manager, which
// decides where the window goes and how large its frame is. Started by
// under_window_manager.sh, once at scale 1 and once at scale 2.
class UnderWindowManager : public DocumentPanelTest {
 public:
  void SetUp() override {
    testApplication();
    ASSERT_EQ(QGuiApplication::platformName().toStdString(), "xcb")
        << "run through under_window_manager.sh";
    DocumentPanelTest::SetUp();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
  }

  // The window manager answers in its own time.
  void settleWithManager() {
    for (int i = 0; i < 4; ++i) {
      settle();
      QTest::qWait(100);
    }
  }
};

TEST_F(UnderWindowManager, TheWindowStaysOnScreenWithItsPanelsInOrder) {
  using T = UnderWindowManager;
  const auto command = [](CommandId id) { return [id](T& t) { t.run(id); }; };
  const std::vector<std::pair<const char*, std::function<void(T&)>>> steps = {
      {"start", [](T&) {}},
      {"New Chord Book", command(CommandId::ChordBookNew)},
      {"Open Score", [](T& t) { t.open(DocumentKind::Score, t.copyOfSample("Waltz in G.score")); }},
      {"View Chord Designer off", command(CommandId::ViewDesigner)},
      {"View Chord Designer on", command(CommandId::ViewDesigner)},
      {"the score's close box",
       [](T& t) { t.frame_->documentPanel(DocumentKind::Score)->close(); }},
      {"View MIDI Amp off", command(CommandId::ViewMidiAmp)},
      {"Close Chord Book", command(CommandId::ChordBookClose)},
      {"View Instrument on", command(CommandId::ViewInstrument)},
      {"View MIDI Amp on", command(CommandId::ViewMidiAmp)},
      {"New Score", command(CommandId::ScoreNew)},
      {"Open Chord Book",
       [](T& t) { t.open(DocumentKind::ChordBook, t.copyOfSample("Guitar chords.cbk")); }},
      {"minimised and restored",
       [](T& t) {
         t.frame_->showMinimized();
         t.settleWithManager();
         t.frame_->showNormal();
       }},
  };
  for (const auto& [what, act] : steps) {
    SCOPED_TRACE(what);
    act(*this);
    settleWithManager();
    expectStacked();
  }
  EXPECT_TRUE(messages_.isEmpty()) << messages_.join(QStringLiteral("; ")).toStdString();
}

}  // namespace
}  // namespace fretlets

#include "models/document_session.h"

#include <deque>

#include "music/designer_chord.h"
#include "support/document_test_support.h"

namespace fretlets {
namespace {
namespace fs = std::filesystem;

// Answers from a script; every question and event is logged in order.
struct ScriptedHost : SessionHost {
  Answer askToSave(DocumentKind, const std::string& title) override {
    log.push_back("ask " + title);
    return next(answers, Answer::Cancel);
  }
  bool askToCloseUnsaved() override {
    log.push_back("ask unsaved");
    return next(answers, Answer::Cancel) == Answer::Yes;
  }
  std::optional<fs::path> chooseSaveTarget(DocumentKind) override {
    log.push_back("choose");
    return next(targets, std::optional<fs::path>());
  }
  void reportFailure(const std::string& text) override { log.push_back("failed " + text); }
  bool busy() const override { return isBusy; }
  void documentOpened(DocumentKind) override { log.push_back("opened"); }
  void documentClosing(DocumentKind) override { log.push_back("closing"); }
  void documentClosed(DocumentKind) override { log.push_back("closed"); }
  void documentSaved(DocumentKind) override { log.push_back("saved"); }
  template <typename T>
  static T next(std::deque<T>& queue, T fallback) {
    if (!queue.empty()) {
      fallback = queue.front();
      queue.pop_front();
    }
    return fallback;
  }
  std::deque<Answer> answers;
  std::deque<std::optional<fs::path>> targets;
  std::vector<std::string> log;
  bool isBusy = false;
};

// The life of a document is the same for both kinds.
class Session : public document_test::FolderTest<::testing::TestWithParam<DocumentKind>> {
 protected:
  void SetUp() override {
    FolderTest::SetUp();
    session_.setHost(&host_);
  }
  DocumentKind kind() const { return GetParam(); }
  fs::path file(const char* stem) const {
    return folder_ / (std::string(stem) + (kind() == DocumentKind::Score ? ".score" : ".cbk"));
  }
  void change() {
    if (kind() == DocumentKind::Score) {
      session_.score()->changed = true;
    } else {
      session_.chordBook()->book.addFretlet("maj", DesignerChord{});
    }
  }
  std::vector<std::string> takeLog() { return std::exchange(host_.log, {}); }
  InstrumentState instrument_;
  ScriptedHost host_;
  DocumentSession session_{instrument_, "ann", [] { return Score("", {}); }, "/start"};
};

using Log = std::vector<std::string>;

TEST_P(Session, ClosingAChangedDocumentAsksAndKeepsItUnlessSavedOrDropped) {
  ASSERT_TRUE(session_.open({kind(), file("Tune")}));
  EXPECT_TRUE(fs::exists(file("Tune")));  // a missing file is created
  change();
  takeLog();
  const std::string ask = "ask " + file("Tune").filename().string();
  host_.answers = {SessionHost::Answer::Cancel};
  EXPECT_FALSE(session_.closeAll());
  EXPECT_FALSE(session_.closing());
  EXPECT_TRUE(session_.isOpen(kind()));
  EXPECT_EQ(takeLog(), (Log{"closing", ask}));
  // Yes with a save that fails keeps it open and changed.
  fs::remove_all(folder_);
  host_.answers = {SessionHost::Answer::Yes};
  EXPECT_FALSE(session_.close(kind()));
  EXPECT_TRUE(session_.modified(kind()));
  EXPECT_EQ(takeLog().size(), 3u);  // closing, the question, the failure
  fs::create_directories(folder_);
  host_.answers = {SessionHost::Answer::Yes};
  EXPECT_TRUE(session_.close(kind()));
  EXPECT_TRUE(fs::exists(file("Tune")));
  EXPECT_FALSE(session_.isOpen(kind()));
  EXPECT_EQ(takeLog(), (Log{"closing", ask, "saved", "closed"}));
}

TEST_P(Session, SaveAsTakesTheNameOnlyOnceWritten) {
  ASSERT_TRUE(session_.open({kind(), {}}));
  change();
  host_.targets = {std::nullopt, folder_ / "missing" / "x", file("Named")};
  EXPECT_FALSE(session_.save(kind()));  // unnamed: Save As, cancelled
  EXPECT_FALSE(session_.saveAs(kind()));
  EXPECT_TRUE(session_.file(kind())->path.empty());
  EXPECT_EQ(session_.folder(kind()), "/start");
  EXPECT_TRUE(session_.saveAs(kind()));
  EXPECT_EQ(session_.file(kind())->path, file("Named"));
  EXPECT_EQ(session_.folder(kind()), folder_);
  EXPECT_FALSE(session_.modified(kind()));
}

TEST_P(Session, RequestsWaitWhileABoxIsOpen) {
  host_.isBusy = true;
  session_.request({kind(), file("Later")});
  EXPECT_FALSE(session_.isOpen(kind()));
  EXPECT_FALSE(session_.runWaiting());
  host_.isBusy = false;
  EXPECT_TRUE(session_.runWaiting());
  EXPECT_EQ(session_.file(kind())->path, file("Later"));
  EXPECT_FALSE(session_.hasWaiting());
}

INSTANTIATE_TEST_SUITE_P(BothKinds, Session,
                         ::testing::Values(DocumentKind::Score, DocumentKind::ChordBook));

TEST(SessionClose, TheScoreIsAskedFirstAndALockedScoreAsksToDropItsChanges) {
  InstrumentState instrument;
  ScriptedHost host;
  DocumentSession session(instrument, "ann", [] { return Score("", {}); }, {});
  session.setHost(&host);
  session.open({DocumentKind::ChordBook, {}});
  session.open({DocumentKind::Score, {}});
  session.chordBook()->book.addFretlet("maj", DesignerChord{});
  session.score()->changed = true;
  session.score()->score.locked = true;
  session.score()->score.ownedByUser = false;
  host.log.clear();
  host.answers = {SessionHost::Answer::Yes, SessionHost::Answer::No};
  EXPECT_TRUE(session.closeAll());
  EXPECT_EQ(host.log, (Log{"closing", "ask unsaved", "closed", "closing", "ask ", "closed"}));
  EXPECT_TRUE(session.closing());
}

}  // namespace
}  // namespace fretlets

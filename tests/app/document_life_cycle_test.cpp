#include <QPushButton>
#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gui/common/command_id.h"
#include "support/gui/document_panel_fixture.h"

namespace fretlets {
namespace {

namespace fs = std::filesystem;

// What the life cycle of a document needs to know of its kind.
struct Kind {
  DocumentKind kind;
  const char* name;  // as captions and questions say it
  const char* sample;
  const char* extension;
  CommandId newId, openId, closeId, saveId;
  const char* changeButton;  // a change the user makes with the Designer's chord
};
const Kind kKinds[] = {
    {DocumentKind::Score, "Score", "Waltz in G.score", "score", CommandId::ScoreNew,
     CommandId::ScoreOpen, CommandId::ScoreClose, CommandId::ScoreSave, "Insert after"},
    {DocumentKind::ChordBook, "Chord Book", "Guitar chords.cbk", "cbk", CommandId::ChordBookNew,
     CommandId::ChordBookOpen, CommandId::ChordBookClose, CommandId::ChordBookSave, "Add chord"},
};

void PrintTo(const Kind& kind, std::ostream* out) {
  *out << kind.name;
}

class DocumentLifeCycle : public DocumentPanelTest, public ::testing::WithParamInterface<Kind> {
 public:
  const Kind& kind() const { return GetParam(); }
  QWidget* panel() { return frame_->documentPanel(kind().kind); }
  fs::path file(const char* name) { return folder() / text(name); }
  // A row's text with %k the kind's name, %f its sample and %e its extension.
  std::string text(std::string row) const {
    for (const auto& [key, value] : {std::pair{"%k", kind().name}, std::pair{"%f", kind().sample},
                                     std::pair{"%e", kind().extension}}) {
      for (std::size_t at; (at = row.find(key)) != std::string::npos;) {
        row.replace(at, 2, value);
      }
    }
    return row;
  }
  void change() {
    designerShows(fingering({3, 2, 0, 0, 0, 3}));
    // A type of its own each time: a chord book refuses a fretlet twice.
    designerBox("Chord type")->setText(QStringLiteral("type %1").arg(++changes_));
    control<QPushButton>(panel(), kind().changeButton)->click();
    settle();
  }
  // The file dialog will pick path and the box answer; then the command runs.
  void runPicking(CommandId id, const fs::path& path, MessageAnswer answer) {
    dialogs_->answers.push_back(QString::fromStdString(path.string()));
    answers_ = {answer};
    run(id);
  }
  void closeProgram(MessageAnswer answer) {
    answers_ = {answer};
    frame_->close();
    settle();
  }

  // The messages shown since the last call, all but the save questions as "box".
  std::string asked() {
    std::string result;
    for (const QString& message : std::exchange(messages_, {})) {
      result += (result.empty() ? "" : "|") + (message.contains(QStringLiteral("Save the changes?"))
                                                   ? message.toStdString()
                                                   : std::string("box"));
    }
    return result;
  }
  // The document's caption, * when changed; - without one; "closing" when
  // the program is on its way out, "gone" once its window and every panel
  // went.
  std::string shown() {
    std::string result = panel() ? "[" + panel()->windowTitle().toStdString() + "]" : "-";
    result += session().modified(kind().kind) ? "*" : "";
    result += session().closing() ? " closing" : "";
    const bool gone = !frame_->isVisible() && waitFor([this] {
      return !frame_->midiAmpPanel() && !frame_->designerPanel();
    });
    return result + (gone ? " gone" : "");
  }
  // The files of the folder written since the last call.
  std::string written() {
    std::string result;
    std::map<std::string, std::string> now;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder())) {
      if (entry.is_regular_file()) {
        now[entry.path().filename().string()] = bytesOf(entry.path());
      }
    }
    for (const auto& [name, bytes] : now) {
      if (!files_.contains(name) || files_[name] != bytes) {
        result += (result.empty() ? "" : " ") + name;
      }
    }
    files_ = now;
    return result;
  }

  struct Row {
    const char* act;
    std::function<void(DocumentLifeCycle&)> run;
    const char* asked;
    const char* shown;
    const char* written;
  };
  void play(const std::vector<Row>& rows) {
    written();
    for (const Row& row : rows) {
      SCOPED_TRACE(row.act);
      row.run(*this);
      EXPECT_EQ(asked(), text(row.asked));
      EXPECT_EQ(shown(), text(row.shown));
      EXPECT_EQ(written(), text(row.written));
    }
  }

  std::map<std::string, std::string> files_;
  int changes_ = 0;
};

const char* const kAsk = "%k has changed. Save the changes?";
const char* const kAskSample = "%k \"%f\" has changed. Save the changes?";

TEST_P(DocumentLifeCycle, NewOpenSaveAndCloseAskBeforeAChangeIsLost) {
  const fs::path sample = copyOfSample(kind().sample);
  std::ofstream(file("Garbage.%e"), std::ios::binary) << "not a document at all";
  fs::create_symlink(folder() / "nowhere" / "x", file("Dangling.%e"));
  using T = DocumentLifeCycle;
  play({
      {"an unreadable file stays as it is",
       [](T& t) { t.open(t.kind().kind, t.file("Garbage.%e")); }, "box", "-", ""},
      {"so does a link to nothing", [](T& t) { t.open(t.kind().kind, t.file("Dangling.%e")); },
       "box", "-", ""},
      {"New", [](T& t) { t.run(t.kind().newId); }, "", "[%k - ]", ""},
      {"a change", [](T& t) { t.change(); }, "", "[%k - ]*", ""},
      {"Close asks; Yes saves as the name chosen, with its extension",
       [](T& t) { t.runPicking(t.kind().closeId, t.folder() / "Fresh", MessageAnswer::Yes); }, kAsk,
       "-", "Fresh.%e"},
      {"Open names a missing file; No to creating it",
       [](T& t) { t.runPicking(t.kind().openId, t.file("Made.%e"), MessageAnswer::No); }, "box",
       "-", ""},
      {"Yes creates it",
       [](T& t) { t.runPicking(t.kind().openId, t.file("Made.%e"), MessageAnswer::Yes); }, "box",
       "[%k - Made.%e]", "Made.%e"},
      {"Open", [&sample](T& t) { t.open(t.kind().kind, sample); }, "", "[%k - %f]", ""},
      {"a missing path is a new document; No leaves the change unwritten",
       [](T& t) {
         t.change();
         t.answers_ = {MessageAnswer::No};
         t.open(t.kind().kind, t.file("Other.%e"));
       },
       kAskSample, "[%k - Other.%e]", "Other.%e"},
      {"Save writes a named document in place",
       [](T& t) {
         t.change();
         t.run(t.kind().saveId);
       },
       "", "[%k - Other.%e]", "Other.%e"},
      {"a save that fails keeps the change",
       [](T& t) {
         t.change();
         const_cast<DocumentFile*>(t.session().file(t.kind().kind))->path =
             t.folder() / "gone" / "x";
         t.run(t.kind().saveId);
       },
       "box", "[%k - Other.%e]*", ""},
      {"and the program's close that waited for it",
       [](T& t) { t.closeProgram(MessageAnswer::Yes); },
       "%k \"x\" has changed. Save the changes?|box", "[%k - Other.%e]*", ""},
      {"and the open that waited for it",
       [](T& t) {
         t.answers_ = {MessageAnswer::Yes};
         t.open(t.kind().kind, t.file("Another.%e"));
       },
       "%k \"x\" has changed. Save the changes?|box", "[%k - Other.%e]*", ""},
      {"Cancel keeps the program", [](T& t) { t.closeProgram(MessageAnswer::Cancel); },
       "%k \"x\" has changed. Save the changes?", "[%k - Other.%e]*", ""},
      {"No to New drops the change; an unchanged document goes without a question",
       [](T& t) {
         t.answers_ = {MessageAnswer::No};
         t.run(t.kind().newId);
         t.open(t.kind().kind, t.file("Fresh.%e"));
         t.change();
       },
       "%k \"x\" has changed. Save the changes?", "[%k - Fresh.%e]*", ""},
      {"a Save As cancelled keeps the program",
       [](T& t) {
         t.answers_ = {MessageAnswer::No};
         t.run(t.kind().newId);
         t.change();
         t.closeProgram(MessageAnswer::Yes);
       },
       "%k \"Fresh.%e\" has changed. Save the changes?|%k has changed. Save the changes?",
       "[%k - ]*", ""},
      {"No lets the program go", [](T& t) { t.closeProgram(MessageAnswer::No); }, kAsk,
       "- closing gone", ""},
  });
  EXPECT_FALSE(fs::exists(folder() / "nowhere"));
}

INSTANTIATE_TEST_SUITE_P(BothKinds, DocumentLifeCycle, ::testing::ValuesIn(kKinds),
                         [](const auto& info) {
                           return info.param.kind == DocumentKind::Score ? "Score" : "ChordBook";
                         });

}  // namespace
}  // namespace fretlets

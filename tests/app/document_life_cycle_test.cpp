#include <map>
#include <sstream>

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
  fs::path file(const std::string& name) { return folder() / text(name); }
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
    designerShows(fretlet({3, 2, 0, 0, 0, 3}));
    // A type of its own each time: a chord book refuses a fretlet twice.
    designerBox("Chord type")->setText(QStringLiteral("type %1").arg(++changes_));
    click(control<QPushButton>(panel(), kind().changeButton));
  }
  // Runs steps, split by |: "pick NAME" makes the next file dialog pick NAME,
  // Yes, No or Cancel will answer the next box, New, Open, Close and Save run
  // the kind's command, "open NAME" opens NAME, "change" changes the document,
  // "quit" closes the program and "lose the file" moves its path away.
  void perform(const std::string& steps) {
    std::istringstream in(steps);
    for (std::string step; std::getline(in, step, '|');) {
      const std::map<std::string, MessageAnswer> answers{{"Yes", MessageAnswer::Yes},
                                                         {"No", MessageAnswer::No},
                                                         {"Cancel", MessageAnswer::Cancel}};
      const std::map<std::string, CommandId> commands{{"New", kind().newId},
                                                      {"Open", kind().openId},
                                                      {"Close", kind().closeId},
                                                      {"Save", kind().saveId}};
      const std::string name = step.substr(step.find(' ') + 1);
      if (step.starts_with("pick ")) {
        dialogs_->answers.push_back(QString::fromStdString(file(name).string()));
      } else if (step.starts_with("open ")) {
        open(kind().kind, file(name));
      } else if (answers.contains(step)) {
        answers_ = {answers.at(step)};
      } else if (commands.contains(step)) {
        run(commands.at(step));
      } else if (step == "change") {
        change();
      } else if (step == "quit") {
        frame_->close();
        settle();
      } else {
        ASSERT_EQ(step, "lose the file");
        const_cast<DocumentFile*>(session().file(kind().kind))->path = folder() / "gone" / "x";
      }
    }
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
        now[entry.path().filename().string()] = textOf(entry.path());
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
    const char* steps;
    const char* asked;
    const char* shown;
    const char* written;
  };
  void play(const std::vector<Row>& rows) {
    written();
    for (const Row& row : rows) {
      SCOPED_TRACE(row.act);
      perform(text(row.steps));
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
  copyOfSample(kind().sample);
  std::ofstream(file("Garbage.%e"), std::ios::binary) << "not a document at all";
  fs::create_symlink(folder() / "nowhere" / "x", file("Dangling.%e"));
  const char* const kAskX = "%k \"x\" has changed. Save the changes?";
  play({
      {"an unreadable file stays as it is", "open Garbage.%e", "box", "-", ""},
      {"so does a link to nothing", "open Dangling.%e", "box", "-", ""},
      {"New", "New", "", "[%k - ]", ""},
      {"a change", "change", "", "[%k - ]*", ""},
      {"Close asks; Yes saves as the name chosen, with its extension", "pick Fresh|Yes|Close", kAsk,
       "-", "Fresh.%e"},
      {"Open names a missing file; No to creating it", "pick Made.%e|No|Open", "box", "-", ""},
      {"Yes creates it", "pick Made.%e|Yes|Open", "box", "[%k - Made.%e]", "Made.%e"},
      {"Open", "open %f", "", "[%k - %f]", ""},
      {"a missing path is a new document; No leaves the change unwritten",
       "change|No|open Other.%e", kAskSample, "[%k - Other.%e]", "Other.%e"},
      {"Save writes a named document in place", "change|Save", "", "[%k - Other.%e]", "Other.%e"},
      {"a save that fails keeps the change", "change|lose the file|Save", "box", "[%k - Other.%e]*",
       ""},
      {"and the program's close that waited for it", "Yes|quit",
       "%k \"x\" has changed. Save the changes?|box", "[%k - Other.%e]*", ""},
      {"and the open that waited for it", "Yes|open Another.%e",
       "%k \"x\" has changed. Save the changes?|box", "[%k - Other.%e]*", ""},
      {"Cancel keeps the program", "Cancel|quit", kAskX, "[%k - Other.%e]*", ""},
      {"No to New drops the change; an unchanged document goes without a question",
       "No|New|open Fresh.%e|change", kAskX, "[%k - Fresh.%e]*", ""},
      {"a Save As cancelled keeps the program", "No|New|change|Yes|quit",
       "%k \"Fresh.%e\" has changed. Save the changes?|%k has changed. Save the changes?",
       "[%k - ]*", ""},
      {"No lets the program go", "No|quit", kAsk, "- closing gone", ""},
  });
  EXPECT_FALSE(fs::exists(folder() / "nowhere"));
}

INSTANTIATE_TEST_SUITE_P(BothKinds, DocumentLifeCycle, ::testing::ValuesIn(kKinds),
                         [](const auto& info) {
                           return info.param.kind == DocumentKind::Score ? "Score" : "ChordBook";
                         });

}  // namespace
}  // namespace fretlets

// The program as a whole: its command line, its records, its end when memory
// runs out, a second start handing over to the first, and what it installs.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <thread>

#include "app/app_records.h"
#include "app/file_commands.h"
#include "app/out_of_memory.h"
#include "gui/common/show_message.h"
#include "gui_application.h"
#include "sound/timer_service.h"
#include "support/document_test_support.h"

namespace fretlets {
namespace {

using document_test::textOf;
using std::chrono::milliseconds;
namespace fs = std::filesystem;

TEST(CommandLine, TheFirstArgumentOpensAChordBookOrScoreByItsExactEnding) {
  const fs::path here = "/home/player/music";
  const fs::path samples = "/opt/fretlets/samples";
  struct Row {
    QStringList arguments;
    std::optional<DocumentKind> kind;
    fs::path path;
  };
  const std::string longName(300, 'x');
  const std::vector<Row> rows = {
      {{QStringLiteral("Blues.cbk")}, DocumentKind::ChordBook, here / "Blues.cbk"},
      {{QStringLiteral("../Waltz.score")}, DocumentKind::Score, "/home/player/Waltz.score"},
      {{QStringLiteral("/abs/Tune.score"), QStringLiteral("other.cbk")},
       DocumentKind::Score,
       "/abs/Tune.score"},
      // The system took the quotes off already: nothing more is stripped.
      {{QStringLiteral("\"quoted.cbk\"")}, std::nullopt, {}},
      {{QStringLiteral("BOOK.CBK")}, std::nullopt, {}},
      {{QStringLiteral("notes.txt"), QStringLiteral("x.cbk")}, std::nullopt, {}},
      {{}, std::nullopt, {}},
      // Paths are Unicode and not cut at any length.
      {{QStringLiteral("Gitarrengriffe äöü ♯.cbk")},
       DocumentKind::ChordBook,
       here / "Gitarrengriffe äöü ♯.cbk"},
      {{QString::fromStdString(longName + ".score")},
       DocumentKind::Score,
       here / (longName + ".score")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments.join(QLatin1Char(' ')).toStdString());
    AppState state;
    InstrumentState instrument;
    DocumentSession session(instrument, "", [] { return Score("", {}); }, {});
    placeBeside(state, session, "/opt/fretlets");
    const std::optional<OpenRequest> request = parseCommandLine(session, row.arguments, here);
    ASSERT_EQ(request.has_value(), row.kind.has_value());
    if (request) {
      EXPECT_EQ(request->kind, *row.kind);
      EXPECT_EQ(request->path, row.path);
    }
    // The kind's dialogs start where the program was started; the other's
    // stay beside the program.
    EXPECT_EQ(session.folder(DocumentKind::ChordBook),
              row.kind == DocumentKind::ChordBook ? here : samples);
    EXPECT_EQ(session.folder(DocumentKind::Score),
              row.kind == DocumentKind::Score ? here : samples);
  }
}

TEST(AppRecords, TimersRunOnTheGuiThreadAndTheRecordsGoWithACallbackOnItsWay) {
  testApplication();
  auto records = std::make_unique<AppRecords>();
  TimerService& timers = records->context().timers;
  const auto gui = std::this_thread::get_id();
  bool ranOnGui = false;
  timers.schedule(milliseconds(1), [&] { ranOnGui = std::this_thread::get_id() == gui; });
  EXPECT_TRUE(QTest::qWaitFor([&] { return ranOnGui; }));

  timers.schedule(milliseconds(1), [] { ADD_FAILURE() << "ran after the records went"; });
  std::this_thread::sleep_for(milliseconds(30));  // the timing thread now waits for the GUI
  records.reset();
  QTest::qWait(30);
}

TEST(OutOfMemoryDeathTest, ShowsTheMessageAndExitsWithOne) {
  EXPECT_EXIT(
      {
        setMessageHandler([](const QString& text, MessageFlags flags) {
          std::fprintf(stderr, "%s %d\n", qPrintable(text), static_cast<int>(flags.icon));
          return MessageAnswer::Ok;
        });
        installOutOfMemoryHandler();
        outOfMemory();
      },
      ::testing::ExitedWithCode(1), "Out Of Memory 2");
}

// The timing and SoundFont threads must not open a box: the GUI thread shows it.
TEST(OutOfMemoryDeathTest, AnotherThreadHandsTheMessageToTheGuiThread) {
  EXPECT_EXIT(
      {
        testApplication();
        const std::thread::id gui = std::this_thread::get_id();
        setMessageHandler([gui](const QString& text, MessageFlags) {
          std::fprintf(stderr, "%s, GUI thread %d\n", qPrintable(text),
                       std::this_thread::get_id() == gui);
          return MessageAnswer::Ok;
        });
        installOutOfMemoryHandler();
        std::thread([] { outOfMemory(); }).detach();
        QCoreApplication::exec();
      },
      ::testing::ExitedWithCode(1), "Out Of Memory, GUI thread 1");
}

// Two real copies of the program (the test build, on a socket of its own).
class HandOver : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    socket_ = folder_.filePath(QStringLiteral("fretlets.socket"));
  }

  void TearDown() override {
    for (auto& copy : copies_) {
      copy->kill();
      copy->waitForFinished(5000);
    }
  }

  // Starts a copy in the scratch folder with the given arguments.
  QProcess& start(const QStringList& arguments) {
    auto copy = std::make_unique<QProcess>();
    copy->setWorkingDirectory(folder_.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    copy->setProcessEnvironment(environment);
    copy->start(QStringLiteral(FRETLETS_BIN_DIR "/fretlets-handover-helper"),
                QStringList{socket_} + arguments);
    copies_.push_back(std::move(copy));
    return *copies_.back();
  }

  // Reads what a running copy printed until a line equals expected, giving
  // a copy slowed down by a sanitizer on a busy machine half a minute.
  static bool saw(QProcess& copy, const QString& expected, QStringList* lines = nullptr) {
    for (int i = 0; i < 300; ++i) {
      while (copy.canReadLine()) {
        const QString line = QString::fromUtf8(copy.readLine()).trimmed();
        if (lines) {
          lines->append(line);
        }
        if (line == expected) {
          return true;
        }
      }
      copy.waitForReadyRead(100);
    }
    return false;
  }
  // A later copy that hands its arguments over and exits at once.
  void handsOver(const QStringList& arguments) {
    QProcess& copy = start(arguments);
    ASSERT_TRUE(copy.waitForFinished(30000));
    EXPECT_EQ(copy.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(copy.exitCode(), 0);
    EXPECT_FALSE(copy.readAllStandardOutput().contains("ready"));
  }
  QString opens(const char* kind, const char* name) const {
    return QStringLiteral("open %1 %2").arg(kind, QDir(folder_.path()).filePath(name));
  }

  QTemporaryDir folder_;
  QString socket_;
  std::vector<std::unique_ptr<QProcess>> copies_;
};

TEST_F(HandOver, ASecondStartHandsItsPathToTheFirstAndExits) {
  QProcess& first = start({});
  ASSERT_TRUE(saw(first, QStringLiteral("ready")));
  // A relative path is made absolute where it was given.
  handsOver({QStringLiteral("Waltz in G.score")});
  EXPECT_TRUE(saw(first, opens("score", "Waltz in G.score")));
  // Without a path (or with something that is no document) the first copy
  // only comes forward; nothing opens.
  handsOver({});
  handsOver({QStringLiteral("notes.txt")});
  handsOver({QStringLiteral("Blues.cbk")});
  QStringList lines;
  EXPECT_TRUE(saw(first, opens("book", "Blues.cbk"), &lines));
  EXPECT_EQ(lines.size(), 1) << lines.join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(HandOver, ASocketLeftByACrashedCopyDoesNotStopTheNextStart) {
  QProcess& crashed = start({});
  ASSERT_TRUE(saw(crashed, QStringLiteral("ready")));
  crashed.kill();
  crashed.waitForFinished(5000);
  ASSERT_TRUE(QFile::exists(socket_));

  QProcess& next = start({QStringLiteral("Blues.cbk")});
  ASSERT_TRUE(saw(next, QStringLiteral("ready")));
  EXPECT_TRUE(saw(next, opens("book", "Blues.cbk")));
  // And it took the socket over: a later start hands over to it.
  handsOver({QStringLiteral("Tune.score")});
  EXPECT_TRUE(saw(next, opens("score", "Tune.score")));
}

bool has(const fs::path& file, const std::string& part) {
  return textOf(file).find(part) != std::string::npos;
}

TEST(Install, PutsTheProgramItsFilesAndItsDesktopEntryInPlace) {
  QTemporaryDir scratch;
  ASSERT_TRUE(scratch.isValid());
  const fs::path prefix = scratch.path().toStdString();
  const fs::path build = fs::path(FRETLETS_BIN_DIR).parent_path();
  const std::string command = "cmake --install '" + build.string() + "' --prefix '" +
                              prefix.string() + "' > '" + (prefix / "install.log").string() +
                              "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << textOf(prefix / "install.log");

  // The link on the path leads to the program, which finds everything
  // beside itself.
  const fs::path link = prefix / "bin" / "fretlets";
  ASSERT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(fs::is_regular_file(prefix / "bin" / "fretlets-cli"));
  const fs::path folder = fs::canonical(link).parent_path();
  EXPECT_NE(folder, prefix / "bin");
  EXPECT_TRUE(fs::is_regular_file(folder / "samples" / "Guitar chords.cbk"));
  EXPECT_TRUE(fs::is_regular_file(folder / "help" / "index.html"));
  // Every chord type of the program's table is in the manual.
  const std::string types = textOf(folder / "help" / "chord-types.html");
  const std::regex row("<tr><td>");
  EXPECT_EQ(
      std::distance(std::sregex_iterator(types.begin(), types.end(), row), std::sregex_iterator()),
      229);

  const fs::path entry = prefix / "share" / "applications" / "fretlets.desktop";
  EXPECT_TRUE(has(entry, "Exec=fretlets %f"));
  EXPECT_TRUE(
      has(entry, "MimeType=application/x-fretlets-chordbook;application/x-fretlets-score;"));
  const fs::path kinds = prefix / "share" / "mime" / "packages" / "fretlets.xml";
  EXPECT_TRUE(has(kinds, "pattern=\"*.cbk\""));
  EXPECT_TRUE(has(kinds, "pattern=\"*.score\""));
  // The desktop's own tool reads the kinds as a file manager will.
  if (std::system("command -v update-mime-database > /dev/null") == 0) {
    const std::string update =
        "update-mime-database '" + (prefix / "share" / "mime").string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(update.c_str()), 0);
    const fs::path globs = prefix / "share" / "mime" / "globs2";
    EXPECT_TRUE(has(globs, "application/x-fretlets-chordbook:*.cbk")) << textOf(globs);
    EXPECT_TRUE(has(globs, "application/x-fretlets-score:*.score")) << textOf(globs);
  }
  EXPECT_TRUE(fs::is_regular_file(prefix / "share" / "icons" / "hicolor" / "scalable" / "apps" /
                                  "fretlets.svg"));
}

}  // namespace
}  // namespace fretlets

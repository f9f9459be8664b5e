#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

namespace fretlets {
namespace {

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
    copy->setProcessChannelMode(QProcess::SeparateChannels);
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

  QString path(const QString& name) const { return QDir(folder_.path()).filePath(name); }

  QTemporaryDir folder_;
  QString socket_;
  std::vector<std::unique_ptr<QProcess>> copies_;
};

TEST_F(HandOver, ASecondStartHandsItsPathToTheFirstAndExits) {
  QProcess& first = start({});
  ASSERT_TRUE(saw(first, QStringLiteral("ready")));

  // A relative path is made absolute where it was given.
  QProcess& second = start({QStringLiteral("Waltz in G.score")});
  ASSERT_TRUE(second.waitForFinished(30000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_FALSE(second.readAllStandardOutput().contains("ready"));
  EXPECT_TRUE(saw(first, QStringLiteral("open score ") + path(QStringLiteral("Waltz in G.score"))));

  // Without a path (or with something that is no document) the first copy
  // only comes forward; nothing opens.
  for (const QStringList& arguments : {QStringList{}, QStringList{QStringLiteral("notes.txt")}}) {
    QProcess& next = start(arguments);
    ASSERT_TRUE(next.waitForFinished(30000));
    EXPECT_EQ(next.exitCode(), 0);
  }
  QProcess& last = start({QStringLiteral("Blues.cbk")});
  ASSERT_TRUE(last.waitForFinished(30000));
  QStringList lines;
  EXPECT_TRUE(saw(first, QStringLiteral("open book ") + path(QStringLiteral("Blues.cbk")), &lines));
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
  EXPECT_TRUE(saw(next, QStringLiteral("open book ") + path(QStringLiteral("Blues.cbk"))));
  // And it took the socket over: a later start hands over to it.
  QProcess& later = start({QStringLiteral("Tune.score")});
  ASSERT_TRUE(later.waitForFinished(30000));
  EXPECT_EQ(later.exitCode(), 0);
  EXPECT_TRUE(saw(next, QStringLiteral("open score ") + path(QStringLiteral("Tune.score"))));
}

}  // namespace
}  // namespace fretlets

// The single-instance check with real processes (test-helper-instance, which
// calls the program's IsAnotherInstance): a second start finds the first,
// has its window brought forward and ends; the first runs on; a first
// instance killed with SIGKILL never blocks the next start.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <memory>

#include <csignal>

namespace {

const QString kHelper = QStringLiteral(PF_BIN_DIR "/test-helper-instance");

class SingleInstance : public ::testing::Test {
 protected:
  std::unique_ptr<QProcess> Start(const QString& caption, bool minimized = false) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime_.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p->setProcessEnvironment(env);
    QStringList args{"TestMarker", caption};
    if (minimized) args << "minimized";
    p->start(kHelper, args);
    EXPECT_TRUE(p->waitForStarted(10000));
    return p;
  }

  // The next line the process prints, or "" when none comes in time.
  static QString NextLine(QProcess& p, int timeoutMs = 10000) {
    while (!p.canReadLine()) {
      if (!p.waitForReadyRead(timeoutMs)) return QString();
    }
    return QString::fromUtf8(p.readLine()).trimmed();
  }

  static void Kill(QProcess& p) {
    if (p.state() == QProcess::NotRunning) return;
    ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
    p.waitForFinished(10000);
  }

  QTemporaryDir runtime_;
};

TEST_F(SingleInstance, SecondStartRestoresTheFirstsMinimisedWindowAndEnds) {
  auto first = Start("Finder", /*minimized=*/true);
  ASSERT_EQ(NextLine(*first), "FIRST");
  auto second = Start("Finder");
  EXPECT_EQ(NextLine(*second), "SECOND");
  EXPECT_TRUE(second->waitForFinished(10000));
  EXPECT_EQ(second->exitCode(), 0);
  EXPECT_EQ(NextLine(*first), "RESTORED");
  EXPECT_EQ(first->state(), QProcess::Running);  // the first runs on
  // And it still answers later starts.
  auto third = Start("Finder");
  EXPECT_EQ(NextLine(*third), "SECOND");
  EXPECT_TRUE(third->waitForFinished(10000));
  Kill(*first);
}

TEST_F(SingleInstance, SecondStartRaisesTheFirstsWindow) {
  auto first = Start("Finder");
  ASSERT_EQ(NextLine(*first), "FIRST");
  auto second = Start("Finder");
  EXPECT_EQ(NextLine(*second), "SECOND");
  EXPECT_TRUE(second->waitForFinished(10000));
  EXPECT_EQ(NextLine(*first), "ACTIVATED");
  Kill(*first);
}

TEST_F(SingleInstance, ADifferentCaptionStillCountsAsAnotherInstance) {
  auto first = Start("Finder", true);
  ASSERT_EQ(NextLine(*first), "FIRST");
  auto second = Start("Another caption");
  EXPECT_EQ(NextLine(*second), "SECOND");
  EXPECT_TRUE(second->waitForFinished(10000));
  EXPECT_EQ(NextLine(*first, 1500), "");  // no window of that caption: untouched
  Kill(*first);
}

TEST_F(SingleInstance, LongCaptionsAreComparedWhole) {
  // 300 bytes of UTF-8, beyond a 256-byte buffer; a caption equal in its
  // first 256 bytes only must not match.
  const QString caption = QString(100, QChar(0xC6B0));
  const QString samePrefix = caption.left(90) + QString(10, QChar(0xAC00));
  ASSERT_EQ(caption.toUtf8().size(), 300);
  auto first = Start(caption, true);
  ASSERT_EQ(NextLine(*first), "FIRST");
  auto other = Start(samePrefix);
  EXPECT_EQ(NextLine(*other), "SECOND");
  EXPECT_TRUE(other->waitForFinished(10000));
  EXPECT_EQ(NextLine(*first, 1500), "");
  auto second = Start(caption);
  EXPECT_EQ(NextLine(*second), "SECOND");
  EXPECT_EQ(NextLine(*first), "RESTORED");
  Kill(*first);
}

TEST_F(SingleInstance, AKilledFirstInstanceNeverBlocksTheNextStart) {
  auto first = Start("Finder");
  ASSERT_EQ(NextLine(*first), "FIRST");
  Kill(*first);  // SIGKILL: no clean-up runs, the socket file stays behind
  auto next = Start("Finder", true);
  EXPECT_EQ(NextLine(*next), "FIRST");
  // The new first instance answers hand-overs over the stale socket's place.
  auto second = Start("Finder");
  EXPECT_EQ(NextLine(*second), "SECOND");
  EXPECT_EQ(NextLine(*next), "RESTORED");
  Kill(*next);
}

}  // namespace

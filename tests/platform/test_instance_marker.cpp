// The single-instance marker and its hand-over, within one process. Real
// second processes are in tests/app/test_single_instance.cpp.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <atomic>
#include <thread>

#include <sys/stat.h>

#include "platform/InstanceMarker.h"

namespace {

using platform::InstanceMarker;
using platform::MarkerState;

class InstanceMarkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = qgetenv("XDG_RUNTIME_DIR");
    ASSERT_TRUE(dir_.isValid());
    qputenv("XDG_RUNTIME_DIR", dir_.path().toLocal8Bit());
  }
  void TearDown() override { qputenv("XDG_RUNTIME_DIR", saved_); }

  // Runs RequestHandOver on another thread while this one serves events.
  int HandOver(const QString& name, const QString& caption) {
    std::atomic<int> result{-2};
    std::thread client([&] { result = InstanceMarker::RequestHandOver(name, caption, 3000); });
    QElapsedTimer clock;
    clock.start();
    while (result == -2 && clock.elapsed() < 10000)
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    client.join();
    return result;
  }

  QTemporaryDir dir_;
  QByteArray saved_;
};

TEST_F(InstanceMarkerTest, RuntimeFolderIsThePrivateXdgFolderElseAPerUserTmpFolder) {
  EXPECT_EQ(platform::UserRuntimeFolder(), dir_.path());
  chmod(QFile::encodeName(dir_.path()).constData(), 0755);  // not private: not used
  QString fallback = platform::UserRuntimeFolder();
  EXPECT_TRUE(fallback.startsWith("/tmp/postcode-finder-")) << fallback.toStdString();
  chmod(QFile::encodeName(dir_.path()).constData(), 0700);
  qunsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(platform::UserRuntimeFolder(), fallback);
}

TEST_F(InstanceMarkerTest, OnlyOneHolderAtATimeAndTheMarkerIsFreedWithIt) {
  auto first = std::make_unique<InstanceMarker>("TestMarker");
  EXPECT_EQ(first->Acquire(), MarkerState::kAcquired);
  EXPECT_TRUE(first->IsHeld());
  EXPECT_EQ(first->Acquire(), MarkerState::kAcquired);  // again: still ours

  InstanceMarker second("TestMarker");
  EXPECT_EQ(second.Acquire(), MarkerState::kHeldByAnother);
  EXPECT_FALSE(second.IsHeld());
  InstanceMarker other("OtherMarker");
  EXPECT_EQ(other.Acquire(), MarkerState::kAcquired);

  first.reset();
  EXPECT_EQ(second.Acquire(), MarkerState::kAcquired);
}

TEST_F(InstanceMarkerTest, ASymbolicLinkInPlaceOfTheLockFileIsNotFollowed) {
  const QString target = dir_.filePath("elsewhere");
  ASSERT_TRUE(QFile::link(target, InstanceMarker::LockPath("TestMarker")));
  InstanceMarker marker("TestMarker");
  EXPECT_EQ(marker.Acquire(), MarkerState::kUnavailable);
  EXPECT_FALSE(QFile::exists(target));
}

TEST_F(InstanceMarkerTest, HandOverWithoutAHolderGetsNoAnswer) {
  EXPECT_EQ(InstanceMarker::RequestHandOver("TestMarker", "caption", 500), -1);
}

TEST_F(InstanceMarkerTest, ListenOnlyWhileHeldAndOverAStaleSocketFile) {
  InstanceMarker marker("TestMarker");
  EXPECT_FALSE(marker.Listen([](const QString&) { return true; }));
  {
    QFile stale(InstanceMarker::SocketPath("TestMarker"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  }
  ASSERT_EQ(marker.Acquire(), MarkerState::kAcquired);
  EXPECT_TRUE(marker.Listen([](const QString&) { return true; }));
  EXPECT_EQ(HandOver("TestMarker", "x"), 1);
}

TEST_F(InstanceMarkerTest, TheHolderReceivesTheWholeCaption) {
  InstanceMarker marker("TestMarker");
  ASSERT_EQ(marker.Acquire(), MarkerState::kAcquired);
  QStringList received;
  ASSERT_TRUE(marker.Listen([&](const QString& c) {
    received << c;
    return c.startsWith("found");
  }));
  const QString longCaption = "found " + QString(400, QChar(0xAC00));  // 1206 bytes of UTF-8
  EXPECT_EQ(HandOver("TestMarker", longCaption), 1);
  EXPECT_EQ(HandOver("TestMarker", "missing"), 0);
  EXPECT_EQ(received, (QStringList{longCaption, "missing"}));
  // Too long for the hand-over: refused before anything is sent.
  EXPECT_EQ(InstanceMarker::RequestHandOver(
                "TestMarker", QString(platform::kMaxHandOverBytes + 1, QChar('a')), 500),
            -1);
  EXPECT_EQ(received.size(), 2);
}

TEST_F(InstanceMarkerTest, RestoreOrRaiseFindsTheWindowByItsWholeCaption) {
  QWidget window;
  window.setWindowTitle("Finder");
  window.showMinimized();
  QApplication::processEvents();
  EXPECT_FALSE(platform::RestoreOrRaiseWindow("Finder2"));
  EXPECT_FALSE(platform::RestoreOrRaiseWindow("Finde"));
  EXPECT_TRUE(window.isMinimized());
  EXPECT_TRUE(platform::RestoreOrRaiseWindow("Finder"));
  EXPECT_FALSE(window.isMinimized());
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(platform::RestoreOrRaiseWindow("Finder"));  // raised this time
  EXPECT_FALSE(window.isMinimized());
}

}  // namespace

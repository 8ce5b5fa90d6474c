// Exceptions escaping an event handler: under the grid (a key, a wheel turn,
// the scroll bar), in the window, in a timer tick and in a menu choice. Each
// is caught by the application object, shown once in a message box, and the
// program goes on handling events. This program has its own main: it needs
// the application's own QApplication.
#include <gtest/gtest.h>
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <stdexcept>

#include "FakeDataSet.h"
#include "app/Application.h"
#include "dataset/DBGrid.h"
#include "dataset/DataSource.h"
#include "platform/MessageBox.h"

namespace {

// A dataset whose moves fail while `failing` is set, as a table does whose
// file went bad under it.
class FailingDataSet : public FakeDataSet {
 public:
  using FakeDataSet::FakeDataSet;
  bool failing = false;
  int MoveRows(int n) override {
    if (failing) throw std::runtime_error("Cannot read the table: record 9 is gone");
    return FakeDataSet::MoveRows(n);
  }
};

class EscapedExceptions : public ::testing::Test {
 protected:
  void SetUp() override {
    data_.Open();
    source_.SetDataSet(&data_);
    grid_.SetDataSource(&source_);
    grid_.AddColumn(QStringLiteral("VALUE"));
    grid_.resize(300, 200);
    grid_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid_));
  }
  void TearDown() override { grid_.SetDataSource(nullptr); }
  // Lets the queued report run.
  void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  platform::MessageRecorder messages_;
  FailingDataSet data_{100};
  TDataSource source_;
  TDBGrid grid_;
};

TEST_F(EscapedExceptions, UnderTheGridEachShowsOnceAndTheGridGoesOn) {
  const QString text = QStringLiteral("Cannot read the table: record 9 is gone");
  data_.failing = true;
  QTest::keyClick(&grid_, Qt::Key_Down);
  Settle();
  EXPECT_EQ(messages_.Messages(), QStringList{text});

  messages_.Clear();
  QWheelEvent wheel(QPointF(50, 50), grid_.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(grid_.viewport(), &wheel);
  Settle();
  EXPECT_EQ(messages_.Messages(), QStringList{text}) << "a wheel turn";
  messages_.Clear();
  QScrollBar* bar = grid_.verticalScrollBar();
  ASSERT_TRUE(bar->isVisible());
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                    QPoint(bar->width() / 2, bar->height() - 20));
  Settle();
  EXPECT_EQ(messages_.Messages(), QStringList{text}) << "a click on the scroll bar";

  // Two failures before the first box is up: one box.
  messages_.Clear();
  QTest::keyClick(&grid_, Qt::Key_Down);
  QTest::keyClick(&grid_, Qt::Key_PageDown);
  Settle();
  EXPECT_EQ(messages_.Messages(), QStringList{text});

  // The program goes on: the next key moves the grid as usual.
  data_.failing = false;
  messages_.Clear();
  QTest::keyClick(&grid_, Qt::Key_Down);
  Settle();
  EXPECT_TRUE(messages_.Messages().isEmpty());
  EXPECT_EQ(data_.activeRecno(), 2);
}

TEST_F(EscapedExceptions, TimerTicksMenuChoicesAndWindowHandlers) {
  QTimer timer;
  int ticks = 0;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (++ticks == 1) throw std::runtime_error("tick failed");
  });
  timer.start(1);
  // The timer goes on ticking after the failure (QTRY_ macros would not fail
  // a GoogleTest test).
  for (int i = 0; i < 500 && ticks < 3; ++i) QTest::qWait(10);
  EXPECT_GE(ticks, 3);
  timer.stop();
  Settle();
  EXPECT_EQ(messages_.Messages(), QStringList{QStringLiteral("tick failed")});

  messages_.Clear();
  QMenu menu;
  QAction* copy = menu.addAction(QStringLiteral("우편번호 클립보드복사(&1)"));
  QObject::connect(copy, &QAction::triggered, [] { throw std::logic_error("menu failed"); });
  QMetaObject::invokeMethod(copy, &QAction::trigger, Qt::QueuedConnection);
  Settle();
  EXPECT_EQ(messages_.Messages(), QStringList{QStringLiteral("menu failed")});

  // Anything that is not a std::exception still ends as a message.
  messages_.Clear();
  QMetaObject::invokeMethod(
      &grid_, [] { throw 42; }, Qt::QueuedConnection);
  Settle();
  EXPECT_EQ(messages_.Messages(), QStringList{QStringLiteral("Unknown error")});
  EXPECT_TRUE(grid_.isVisible());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  app::TApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

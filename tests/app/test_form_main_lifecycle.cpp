// Creation, the start-up sequence and the end of the run with the settings
// file: caption, message switch, the file written at the end, the write
// error, and the close request of a second instance.
#include <QCheckBox>
#include <QDir>
#include <QExposeEvent>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWindow>
#include <vector>

#include "FormFixture.h"
#include "platform/InstanceMarker.h"

namespace {

class FormLifecycle : public FormFixture {
 protected:
  QString IniPath() const { return ProgramDir() + "/LOG/KOLBRENT.INI"; }
  void PutIni(const QByteArray& bytes) {
    QDir().mkpath(ProgramDir() + "/LOG");
    QFile f(IniPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QByteArray GetIni() const {
    QFile f(IniPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  // The sequence's own stages after the calendar text, without the postal
  // data (this program folder has no table): single instance, message
  // switch, focus.
  void Activate() {
    ShowActive();
    Form().CheckSingleInstance();
    Form().ApplyMessageSwitch();
    Form().FocusSearchBox();
  }
};

TEST_F(FormLifecycle, NoSettingsFileGivesDefaultsAndTheEndCreatesIt) {
  Activate();
  EXPECT_EQ(Form().windowTitle(), app::kDefaultCaption);
  EXPECT_TRUE(Form().CheckBoxMsg->isChecked());
  EXPECT_TRUE(QDir(ProgramDir() + "/LOG").exists());  // made by FormCreate
  EXPECT_FALSE(QFile::exists(IniPath()));
  form_.reset();
  EXPECT_EQ(GetIni(), QByteArray("[QORVA]\nMSG=Y\n"));
  EXPECT_TRUE(messages_.Messages().isEmpty());
}

TEST_F(FormLifecycle, UntickedBoxIsWrittenAsN) {
  Activate();
  Form().CheckBoxMsg->setChecked(false);
  form_.reset();
  EXPECT_EQ(GetIni(), QByteArray("[QORVA]\nMSG=N\n"));
}

TEST_F(FormLifecycle, MessageSwitchValues) {
  struct Case {
    const char* stored;
    bool ticked;
  } cases[] = {{"Y", true},    {"y", true}, {" y ", true}, {"N", false},
               {"yes", false}, {"", false}, {"1", false}};
  for (const Case& c : cases) {
    form_.reset();  // its end writes MSG, so before the file is put
    PutIni(QByteArray("[QORVA]\nMSG=") + c.stored + "\n");
    Activate();
    EXPECT_EQ(Form().CheckBoxMsg->isChecked(), c.ticked) << "MSG=" << c.stored;
  }
}

TEST_F(FormLifecycle, HandWrittenCaptionIsKeptAsStoredAndOtherLinesSurvive) {
  PutIni("; hand-made\n[qorva]\nCaption=Postal finder (my copy)\nmsg=n\n[Other]\nA=1\n");
  Activate();
  EXPECT_EQ(Form().windowTitle(), "Postal finder (my copy)");
  EXPECT_FALSE(Form().CheckBoxMsg->isChecked());
  Form().CheckBoxMsg->setChecked(true);
  form_.reset();
  EXPECT_EQ(
      GetIni(),
      QByteArray("; hand-made\n[qorva]\nCaption=Postal finder (my copy)\nMSG=Y\n[Other]\nA=1\n"));
}

TEST_F(FormLifecycle, OwnStagesEndWithTheFocusInTheSearchBox) {
  Activate();
  EXPECT_EQ(QApplication::focusWidget(), Form().edSearch);
  QApplication::processEvents();
  EXPECT_TRUE(Form().isVisible());  // the first instance stays
}

TEST_F(FormLifecycle, StartUpStagesRunInTheirOrder) {
  // Each stage is seen by its own effect, and at that moment the state the
  // other stages leave says which of them ran before it: the calendar text,
  // the single-instance marker, the open table, the message switch (MSG=N
  // unticks the box) and the focus in the search box.
  PutIni("[QORVA]\nMSG=N\n");
  PutPostalData();
  TFormMain& f = Form();
  f.InstanceMarkerName = QStringLiteral("TestMarkerStageOrder");
  const QString lock = platform::InstanceMarker::LockPath(f.InstanceMarkerName);
  ShowActive();
  f.MemoDisp->setFocus();  // nothing of the start-up disables it
  struct Seen {
    QString stage;
    bool calendar, marker, table, switched, focused;
    bool operator==(const Seen&) const = default;
  };
  std::vector<Seen> seen;
  auto note = [&](const char* stage) {
    seen.push_back({QString::fromLatin1(stage), !f.MemoDisp->toPlainText().isEmpty(),
                    QFile::exists(lock), f.Table1->Active(), !f.CheckBoxMsg->isChecked(),
                    QApplication::focusWidget() == f.edSearch});
  };
  QObject listening;  // ends the connections before seen goes
  QObject::connect(f.MemoDisp, &QPlainTextEdit::textChanged, &listening, [&] { note("calendar"); });
  f.Table1->AfterOpen = [&](TDataSet&) { note("postal"); };
  QObject::connect(f.CheckBoxMsg, &QCheckBox::toggled, &listening, [&] { note("switch"); });
  QObject::connect(qApp, &QApplication::focusChanged, &listening, [&](QWidget*, QWidget* now) {
    if (now == f.edSearch) note("focus");
  });
  ASSERT_FALSE(QFile::exists(lock));
  f.FormActivate();
  f.Table1->AfterOpen = nullptr;
  const std::vector<Seen> expected{
      {"calendar", true, false, false, false, false},
      {"postal", true, true, true, false, false},
      {"switch", true, true, true, true, false},
      {"focus", true, true, true, true, true},
  };
  ASSERT_EQ(seen.size(), expected.size());
  for (size_t i = 0; i < seen.size(); ++i)
    EXPECT_TRUE(seen[i] == expected[i])
        << i << ": " << seen[i].stage.toStdString() << " calendar " << seen[i].calendar
        << " marker " << seen[i].marker << " table " << seen[i].table << " switched "
        << seen[i].switched << " focused " << seen[i].focused;
  // The index was built on the way: its message is the only one.
  EXPECT_EQ(messages_.Messages(), QStringList{QStringLiteral("6개 키 생성")});
}

TEST_F(FormLifecycle, AMissingTableEndsTheSequenceAtThePostalStage) {
  PutIni("[QORVA]\nMSG=N\n");
  ShowActive();
  Form().DBGrid1->setFocus();
  Form().FormActivate();
  // The postal stage's error is shown; the message switch and the focus
  // stages after it do not run; the window stays open.
  EXPECT_EQ(messages_.Messages().size(), 1);
  EXPECT_TRUE(Form().CheckBoxMsg->isChecked());
  EXPECT_NE(QApplication::focusWidget(), Form().edSearch);
  EXPECT_FALSE(Form().InStartUp());
  QApplication::processEvents();
  EXPECT_TRUE(Form().isVisible());
  // The box never showed the stored N: the end of the run keeps it.
  form_.reset();
  EXPECT_EQ(GetIni(), QByteArray("[QORVA]\nMSG=N\n"));
  EXPECT_EQ(messages_.Messages().size(), 1);
}

TEST_F(FormLifecycle, AfterAFailedStartTheUsersChoiceIsStillWritten) {
  for (bool ticked : {false, true}) {
    form_.reset();
    PutIni("[QORVA]\nMSG=N\n");
    ShowActive();
    Form().FormActivate();  // ends at the postal stage: no table here
    ASSERT_TRUE(Form().CheckBoxMsg->isChecked());
    Form().CheckBoxMsg->setChecked(false);  // the user's clicks
    Form().CheckBoxMsg->setChecked(ticked);
    form_.reset();
    EXPECT_EQ(GetIni(), QByteArray(ticked ? "[QORVA]\nMSG=Y\n" : "[QORVA]\nMSG=N\n"));
  }
}

TEST_F(FormLifecycle, StartUpSequenceRunsOnceAfterTheFirstShow) {
  TFormMain& f = Form();
  f.SetActivateOnShow(true);
  EXPECT_FALSE(f.HasActivated());
  ShowActive();
  QApplication::processEvents();
  EXPECT_TRUE(f.HasActivated());
  f.CheckBoxMsg->setChecked(false);
  f.hide();
  f.show();
  QApplication::processEvents();
  f.FormActivate();
  EXPECT_FALSE(f.CheckBoxMsg->isChecked());  // the sequence did not run again
}

// Counts the paints of one window's widgets while alive.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
  ~PaintCounter() override { qApp->removeEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* w = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::Paint && w && w->window() == window_) ++paints;
    return false;
  }

 private:
  QWidget* window_;
};

// Keeps a window from being painted: its expose events go nowhere.
class ExposeBlocker : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Expose; }
};

TEST_F(FormLifecycle, TheStartUpSequenceWaitsForTheWindowsFirstPaint) {
  TFormMain& f = Form();
  f.SetActivateOnShow(true);
  PaintCounter counter(&f);
  // What the user has seen of the window when the first stage runs and when
  // the sequence's first message (the missing table's) comes up.
  int paintedAtStart = -1, paintedAtMessage = -1;
  QObject listening;
  QObject::connect(f.MemoDisp, &QPlainTextEdit::textChanged, &listening,
                   [&] { paintedAtStart = counter.paints; });
  messages_.whileShown = [&](const QString&) { paintedAtMessage = counter.paints; };
  f.winId();  // the window's handle, before it is shown
  ExposeBlocker blocker;
  f.windowHandle()->installEventFilter(&blocker);
  f.show();
  QTest::qWait(300);
  EXPECT_FALSE(f.HasActivated()) << "shown but not painted yet";
  EXPECT_EQ(counter.paints, 0);
  f.windowHandle()->removeEventFilter(&blocker);
  QExposeEvent expose{QRegion(f.rect())};
  QCoreApplication::sendEvent(f.windowHandle(), &expose);
  EXPECT_TRUE(QTest::qWaitFor([&] { return f.HasActivated() && !f.InStartUp(); }, 2000));
  EXPECT_GT(paintedAtStart, 0);
  EXPECT_GT(paintedAtMessage, 0);
  EXPECT_EQ(messages_.Messages().size(), 1);  // no table in this program folder
  messages_.whileShown = nullptr;
}

TEST_F(FormLifecycle, AWindowThatIsNeverPaintedStartsUpAllTheSame) {
  TFormMain& f = Form();
  f.SetActivateOnShow(true);
  f.winId();
  ExposeBlocker blocker;
  f.windowHandle()->installEventFilter(&blocker);
  f.show();
  EXPECT_TRUE(QTest::qWaitFor([&] { return f.HasActivated() && !f.InStartUp(); },
                              TFormMain::kFirstPaintWaitMs + 3000));
  EXPECT_FALSE(f.MemoDisp->toPlainText().isEmpty());
  f.windowHandle()->removeEventFilter(&blocker);
}

TEST_F(FormLifecycle, UnwritableSettingsShowTheErrorAndTheEndStillCompletes) {
  // LOG is a plain file: the folder can be neither created nor written into.
  {
    QFile blocker(ProgramDir() + "/LOG");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  }
  Activate();
  EXPECT_TRUE(Form().CheckBoxMsg->isChecked());
  form_.reset();
  EXPECT_EQ(messages_.Messages(),
            QStringList("Unable to write to " + ProgramDir() + "/LOG/KOLBRENT.INI"));
}

TEST_F(FormLifecycle, ASecondInstanceFinishesItsStartUpAndThenCloses) {
  PutIni("[QORVA]\nMSG=N\n");
  // Another holder of the marker, as a running first instance would be. A
  // name of its own: this process holds "TestMarker" since an earlier test.
  platform::InstanceMarker first("TestMarkerHeldElsewhere");
  ASSERT_EQ(first.Acquire(), platform::MarkerState::kAcquired);
  Form().InstanceMarkerName = "TestMarkerHeldElsewhere";
  Activate();
  // The stages after the check still ran...
  EXPECT_FALSE(Form().CheckBoxMsg->isChecked());
  EXPECT_EQ(QApplication::focusWidget(), Form().edSearch);
  EXPECT_TRUE(Form().isVisible());
  // ...and the window closes once the loop runs again.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Form().isVisible(); }, 2000));
  form_.reset();
  EXPECT_EQ(GetIni(), QByteArray("[QORVA]\nMSG=N\n"));
}

}  // namespace

// The life of the main window: creation, the start-up sequence after the
// first show, and the end of the run.
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

#include "app/FormMain.h"
#include "app/Settings.h"
#include "app/SingleInstance.h"
#include "app/StageRunner.h"

using app::RunStage;

void TFormMain::FormCreate() {
  RunStage(this, [this] { SelectMachineCollation(); }) &&
      RunStage(this, [this] { Timer1Timer(); }) &&
      RunStage(this, [this] { ApplyCaptionSetting(); });
}

void TFormMain::ApplyCaptionSetting() {
  app::EnsureSettingsFolder();
  setWindowTitle(app::ReadSettingAsStored(QString::fromLatin1(app::kSettingsSection),
                                          QString::fromLatin1(app::kCaptionKey),
                                          QString::fromLatin1(app::kDefaultCaption)));
}

void TFormMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  if (QScreen* s = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
  }
  if (!activateOnShow_) return;
  // The sequence waits for the first paint (see NoteFirstPaint), so that its
  // messages and the index build come over a window the user can already
  // see. A window that is never painted (started minimised, on another
  // desktop) starts up all the same after a while.
  awaitingFirstPaint_ = true;
  QTimer::singleShot(kFirstPaintWaitMs, this, [this] {
    awaitingFirstPaint_ = false;
    FormActivate();
  });
}

bool TFormMain::NoteFirstPaint(QObject* watched) {
  if (!awaitingFirstPaint_) return false;
  auto* painted = qobject_cast<QWidget*>(watched);
  if (!painted || painted->window() != this) return false;
  awaitingFirstPaint_ = false;
  // Queued: the rest of the window paints in the same pass and reaches the
  // screen before the sequence starts.
  QTimer::singleShot(0, this, &TFormMain::FormActivate);
  return true;
}

void TFormMain::FormActivate() {
  if (activated_) return;
  activated_ = true;
  inStartUp_ = true;
  RunStage(this, [this] { ShowCalendarText(); }) &&
      RunStage(this, [this] { CheckSingleInstance(); }) &&
      RunStage(this, [this] { OpenPostalData(); }) &&
      RunStage(this, [this] { ApplyMessageSwitch(); }) &&
      RunStage(this, [this] { FocusSearchBox(); });
  inStartUp_ = false;
  // A close asked for while the sequence ran takes effect now.
  if (closePending_) {
    closePending_ = false;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
  }
}

void TFormMain::CheckSingleInstance() {
  if (app::IsAnotherInstance(windowTitle(), InstanceMarkerName))
    // Queued: the rest of the sequence runs first, then the loop closes us.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TFormMain::ApplyMessageSwitch() {
  const QString value = app::ReadSetting(QString::fromLatin1(app::kSettingsSection),
                                         QString::fromLatin1(app::kMsgKey), QStringLiteral("Y"));
  CheckBoxMsg->setChecked(value == QLatin1String("Y"));
  messageSwitchKnown_ = true;
}

void TFormMain::FocusSearchBox() {
  edSearch->setFocus(Qt::OtherFocusReason);
}

void TFormMain::closeEvent(QCloseEvent* event) {
  if (inStartUp_ || importing_) {
    // An import is stopped (the table in use stays); the close follows.
    stopImport_ = importing_;
    closePending_ = true;
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void TFormMain::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  Timer1->stop();
  RunStage(this, [this] { ClosePostalData(); });
  // A start that ended before the switch was read (a missing table, a
  // missing engine) must not overwrite the stored value with the box's
  // initial tick.
  if (messageSwitchKnown_) RunStage(this, [this] { SaveMessageSwitch(); });
}

void TFormMain::SaveMessageSwitch() {
  app::WriteSetting(QString::fromLatin1(app::kSettingsSection), QString::fromLatin1(app::kMsgKey),
                    CheckBoxMsg->isChecked() ? QStringLiteral("Y") : QStringLiteral("N"));
}

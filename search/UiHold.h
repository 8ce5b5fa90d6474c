#pragma once
// Small guards for the long operations of the address search: each gives back
// what it took at every way out, also when the table component raises.
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "dataset/DataSet.h"

namespace search {

// Disables a widget for its lifetime and gives it back its enabled state.
class DisabledWhile {
 public:
  explicit DisabledWhile(QWidget* w) : w_(w), was_(w && w->isEnabled()) {
    if (w_) w_->setEnabled(false);
  }
  ~DisabledWhile() {
    if (w_) w_->setEnabled(was_);
  }
  DisabledWhile(const DisabledWhile&) = delete;
  DisabledWhile& operator=(const DisabledWhile&) = delete;

 private:
  QPointer<QWidget> w_;
  bool was_;
};

// Suspends a dataset's notifications to its display controls for a scope:
// what the window of rows shows is fetched once, when they resume.
class NotificationsSuspended {
 public:
  explicit NotificationsSuspended(TDataSet* d) : d_(d) { d_->SuspendViewNotifications(); }
  ~NotificationsSuspended() { d_->ResumeViewNotifications(); }
  NotificationsSuspended(const NotificationsSuspended&) = delete;
  NotificationsSuspended& operator=(const NotificationsSuspended&) = delete;

 private:
  TDataSet* d_;
};

// Starts a timer again when it goes out of scope (unless released first).
class TimerRestart {
 public:
  explicit TimerRestart(QTimer* t) : t_(t) {}
  ~TimerRestart() { Restart(); }
  void Restart() {
    if (t_) t_->start();
    t_ = nullptr;
  }
  TimerRestart(const TimerRestart&) = delete;
  TimerRestart& operator=(const TimerRestart&) = delete;

 private:
  QPointer<QTimer> t_;
};

// Lets pending events run between the steps of a long loop, but at most once a
// millisecond (a step of a few microseconds would otherwise spend most of its
// time asking the system for events; input and timers stay as prompt as a
// person can tell), and lets the window repaint at most once per frame:
// between frames its updates are off, so a step that scrolls the grid or
// moves a progress bar costs no painting.
class FramePacedEvents {
 public:
  static constexpr int kFrameMs = 16;
  static constexpr qint64 kEventsNs = 1000000;  // between two runs of the events

  explicit FramePacedEvents(QWidget* window);
  ~FramePacedEvents();
  FramePacedEvents(const FramePacedEvents&) = delete;
  FramePacedEvents& operator=(const FramePacedEvents&) = delete;

  // Runs the pending events unless they ran less than kEventsNs ago; once a
  // frame has passed, with a repaint.
  void Run();
  // Runs the pending events with a repaint now (before a message box, at the end).
  void Paint();
  int Frames() const { return frames_; }

 private:
  QPointer<QWidget> window_;
  bool wasEnabled_ = true;
  QElapsedTimer sinceFrame_;
  QElapsedTimer sinceEvents_;
  int frames_ = 0;
};

}  // namespace search

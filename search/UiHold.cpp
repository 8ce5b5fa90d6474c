#include "search/UiHold.h"

#include <QCoreApplication>

namespace search {

FramePacedEvents::FramePacedEvents(QWidget* window) : window_(window) {
  if (window_) {
    wasEnabled_ = window_->updatesEnabled();
    window_->setUpdatesEnabled(false);
  }
  sinceFrame_.start();
}

FramePacedEvents::~FramePacedEvents() {
  if (window_) window_->setUpdatesEnabled(wasEnabled_);
}

void FramePacedEvents::Run() {
  if (sinceFrame_.elapsed() >= kFrameMs) {
    Paint();
    return;
  }
  if (sinceEvents_.isValid() && sinceEvents_.nsecsElapsed() < kEventsNs) return;
  QCoreApplication::processEvents();
  sinceEvents_.start();
}

void FramePacedEvents::Paint() {
  if (window_ && wasEnabled_) {
    // Painted here and now: a repaint merely scheduled could come due only
    // once updates are off again.
    window_->setUpdatesEnabled(true);
    window_->repaint();
  }
  QCoreApplication::processEvents();
  if (window_) window_->setUpdatesEnabled(false);
  ++frames_;
  sinceFrame_.restart();
  sinceEvents_.start();
}

}  // namespace search

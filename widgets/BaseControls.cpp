#include "widgets/BaseControls.h"

#include <QPainter>

namespace widgets {

TUpdateControl::TUpdateControl(QWidget* parent) : QWidget(parent) {}

void TUpdateControl::EndUpdate(bool apply) {
  if (updateCount_ > 0) --updateCount_;
  if (updateCount_ == 0 && apply) UpdateReleased();
}

void TUpdateControl::EndLoad() {
  loading_ = false;
  AfterLoading();
}

void TUpdateControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  TCanvas canvas(painter, palette());
  // An opaque control owns every pixel; the few a frame leaves out take the
  // parent's background colour instead of stale content.
  if (testAttribute(Qt::WA_OpaquePaintEvent)) painter.fillRect(rect(), palette().window());
  painting_ = true;
  PaintLabel(canvas);
  painting_ = false;
}

TBaseGraphicControl::TBaseGraphicControl(QWidget* parent) : TBaseControl(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void TBaseGraphicControl::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  setAttribute(Qt::WA_OpaquePaintEvent, !transparent);
  RepaintNow();
}

void TBaseGraphicControl::RepaintNow() {
  if (UpdateCount() > 0) return;
  if (transparent_) {
    update();
  } else {
    PaintNow();
  }
}

void TBaseGraphicControl::PaintNow() {
  if (isVisible() && !IsPainting()) repaint();
}

TFramedGraphicControl::TFramedGraphicControl(QWidget* parent) : TBaseGraphicControl(parent) {
  bevel_.OnChange = [this](TNotifyObject&) { AppearanceChanged(); };
}

TFramedGraphicControl::~TFramedGraphicControl() {
  bevel_.OnChange = nullptr;
}

}  // namespace widgets

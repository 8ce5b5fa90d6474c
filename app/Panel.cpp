#include "app/Panel.h"

#include <QPainter>

namespace app {
namespace {

// Draws one bevel of width pixels just inside rect and returns the rect
// inside it.
QRect DrawBevel(QPainter& p, QRect rect, TPanelBevel bevel, int width, const QPalette& pal) {
  if (bevel == TPanelBevel::bvNone) return rect;
  if (bevel != TPanelBevel::bvSpace) {
    const QColor light = pal.color(QPalette::Light);
    const QColor dark = pal.color(QPalette::Dark);
    const QColor topLeft = bevel == TPanelBevel::bvRaised ? light : dark;
    const QColor bottomRight = bevel == TPanelBevel::bvRaised ? dark : light;
    QRect r = rect;
    for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
      p.setPen(topLeft);
      p.drawLine(r.left(), r.bottom(), r.left(), r.top());
      p.drawLine(r.left(), r.top(), r.right(), r.top());
      p.setPen(bottomRight);
      p.drawLine(r.right(), r.top(), r.right(), r.bottom());
      p.drawLine(r.right(), r.bottom(), r.left(), r.bottom());
      r.adjust(1, 1, -1, -1);
    }
  }
  return rect.adjusted(width, width, -width, -width);
}

}  // namespace

TPanel::TPanel(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Button);
}

void TPanel::SetBevels(TPanelBevel outer, TPanelBevel inner, int width) {
  outer_ = outer;
  inner_ = inner;
  width_ = qMax(0, width);
  const int b = BorderWidth();
  setContentsMargins(b, b, b, b);
  update();
}

int TPanel::BorderWidth() const {
  return (outer_ != TPanelBevel::bvNone ? width_ : 0) +
         (inner_ != TPanelBevel::bvNone ? width_ : 0);
}

void TPanel::SetCaption(const QString& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  update();
}

void TPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QRect r = DrawBevel(p, rect(), outer_, width_, palette());
  r = DrawBevel(p, r, inner_, width_, palette());
  if (!caption_.isEmpty()) {
    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(font());
    p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, caption_);
  }
}

}  // namespace app

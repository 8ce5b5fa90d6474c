#include "app/AlignLayout.h"

#include <QWidget>

namespace app {

TAlignLayout::TAlignLayout(QWidget* parent) : QLayout(parent) {
  setContentsMargins(0, 0, 0, 0);
  setSpacing(0);
  setSizeConstraint(QLayout::SetNoConstraint);
}

TAlignLayout::~TAlignLayout() {
  for (const Entry& e : items_) delete e.item;
}

void TAlignLayout::addWidget(QWidget* widget, TAlign align) {
  addChildWidget(widget);
  items_.append({new QWidgetItem(widget), align, widget->size()});
  invalidate();
}

void TAlignLayout::addItem(QLayoutItem* item) {
  items_.append({item, TAlign::alClient, QSize()});
}

QLayoutItem* TAlignLayout::itemAt(int index) const {
  return index >= 0 && index < items_.size() ? items_[index].item : nullptr;
}

QLayoutItem* TAlignLayout::takeAt(int index) {
  if (index < 0 || index >= items_.size()) return nullptr;
  return items_.takeAt(index).item;
}

QSize TAlignLayout::sizeHint() const {
  QWidget* w = parentWidget();
  return w ? w->size() : QSize(0, 0);
}

void TAlignLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  QRect free = contentsRect();
  auto visible = [](const Entry& e) { return e.item->widget() && !e.item->widget()->isHidden(); };
  for (TAlign pass :
       {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    for (const Entry& e : items_) {
      if (e.align != pass || !visible(e)) continue;
      QWidget* w = e.item->widget();
      const int h = qMax(0, qMin(e.extent.height(), free.height()));
      const int wd = qMax(0, qMin(e.extent.width(), free.width()));
      QRect r;
      switch (pass) {
        case TAlign::alTop:
          r = QRect(free.left(), free.top(), free.width(), h);
          free.setTop(r.bottom() + 1);
          break;
        case TAlign::alBottom:
          r = QRect(free.left(), free.bottom() + 1 - h, free.width(), h);
          free.setBottom(r.top() - 1);
          break;
        case TAlign::alLeft:
          r = QRect(free.left(), free.top(), wd, free.height());
          free.setLeft(r.right() + 1);
          break;
        case TAlign::alRight:
          r = QRect(free.right() + 1 - wd, free.top(), wd, free.height());
          free.setRight(r.left() - 1);
          break;
        case TAlign::alClient:
          r = free;
          break;
      }
      w->setGeometry(r);
    }
  }
}

}  // namespace app

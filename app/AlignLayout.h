#pragma once
// Edge alignment of child controls: top-aligned controls take the top of the
// container in the order they were added, bottom-aligned ones stack up from
// the bottom, then left and right ones share the height that remains, and
// the one client control fills what is left. Each keeps its own height
// (top, bottom) or width (left, right) as it was when added, cut only when
// the container is too small. Hidden controls take no room.
// Children that are not added keep the position they were given.
#include <QLayout>
#include <QList>

namespace app {

enum class TAlign { alTop, alBottom, alLeft, alRight, alClient };

class TAlignLayout : public QLayout {
 public:
  explicit TAlignLayout(QWidget* parent);
  ~TAlignLayout() override;

  void addWidget(QWidget* widget, TAlign align);

  void addItem(QLayoutItem* item) override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  int count() const override { return static_cast<int>(items_.size()); }
  void setGeometry(const QRect& rect) override;
  QSize sizeHint() const override;
  QSize minimumSize() const override { return QSize(0, 0); }

 private:
  struct Entry {
    QLayoutItem* item;
    TAlign align;
    QSize extent;  // the size given when added; the layout only ever cuts it
  };
  QList<Entry> items_;
};

}  // namespace app

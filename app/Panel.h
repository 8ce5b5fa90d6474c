#pragma once
// A panel with an outer and an inner bevel and an optional centred caption.
// A raised bevel is light at the top and left and dark at the bottom and
// right, a lowered one the other way round; a space bevel draws nothing but
// keeps its width. The contents margins equal the bevels' total width, so
// aligned children sit inside them.
#include <QString>
#include <QWidget>

namespace app {

enum class TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public QWidget {
  Q_OBJECT
 public:
  explicit TPanel(QWidget* parent = nullptr);

  TPanelBevel BevelOuter() const { return outer_; }
  TPanelBevel BevelInner() const { return inner_; }
  int BevelWidth() const { return width_; }
  void SetBevels(TPanelBevel outer, TPanelBevel inner, int width = 1);
  // Total width of the bevels on each side.
  int BorderWidth() const;

  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TPanelBevel outer_ = TPanelBevel::bvNone;
  TPanelBevel inner_ = TPanelBevel::bvNone;
  int width_ = 1;
  QString caption_;
};

}  // namespace app

// Control base classes of the LED label: a widget that paints through a
// TCanvas, the update count, the appearance hooks, transparency, the frame.
#pragma once

#include <QString>
#include <QWidget>

#include "widgets/BevelFrame.h"
#include "widgets/Canvas.h"

namespace widgets {

// A widget painting within its own bounds on its parent's surface, held in
// an update while its update count is above 0.
class TUpdateControl : public QWidget {
 public:
  explicit TUpdateControl(QWidget* parent = nullptr);

  void BeginUpdate() { ++updateCount_; }
  // Releases one hold; the last release runs UpdateReleased when apply is set.
  void EndUpdate(bool apply = true);
  int UpdateCount() const { return updateCount_; }

  // While loading, the stored settings are being applied and nothing paints;
  // EndLoad ends it and runs AfterLoading.
  void BeginLoad() { loading_ = true; }
  void EndLoad();
  bool IsLoading() const { return loading_; }

 protected:
  virtual void UpdateReleased() {}
  virtual void PaintLabel(TCanvas& canvas) { (void)canvas; }
  virtual void AfterLoading() {}
  bool IsPainting() const { return painting_; }

  void paintEvent(QPaintEvent* event) override;

 private:
  int updateCount_ = 0;
  bool loading_ = false;
  bool painting_ = false;
};

class TBaseControl : public TUpdateControl {
 public:
  using TUpdateControl::TUpdateControl;

  // React to a change of appearance.
  virtual void AppearanceChanged() {}
  // The text to show.
  virtual QString DisplayText() const { return QString(); }

 protected:
  void UpdateReleased() override { AppearanceChanged(); }
};

class TBaseGraphicControl : public TBaseControl {
 public:
  explicit TBaseGraphicControl(QWidget* parent = nullptr);

  // Pixels of the control's colour are left out, so the parent shows
  // through them; while false the control is opaque.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);

 protected:
  // Unless held in an update: invalidate when transparent (the parent's
  // background is drawn first), else paint at once.
  void RepaintNow();
  // Paints at once when visible (outside a paint already running).
  void PaintNow();

 private:
  bool transparent_ = false;
};

class TFramedGraphicControl : public TBaseGraphicControl {
 public:
  explicit TFramedGraphicControl(QWidget* parent = nullptr);
  ~TFramedGraphicControl() override;

  TBevelFrame& Bevel() { return bevel_; }
  const TBevelFrame& Bevel() const { return bevel_; }
  // Copies the other frame's settings; ends in AppearanceChanged.
  void SetBevel(const TBevelFrame& other) { bevel_.CopySettingsFrom(other); }

 private:
  TBevelFrame bevel_;
};

}  // namespace widgets

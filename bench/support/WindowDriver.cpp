#include "bench/support/WindowDriver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <algorithm>
#include <cstdio>

#include "dataset/DBGrid.h"

namespace benchsupport {
namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

double KeyToPaint(TFormMain& form, Qt::Key key, const QString& text) {
  auto* grid = static_cast<TDBGrid*>(form.DBGrid1);
  QElapsedTimer t;
  t.start();
  QTest::sendKeyEvent(QTest::Click, form.edSearch, key, text, Qt::NoModifier);
  QCoreApplication::processEvents();  // the search, once the key's events have run
  grid->viewport()->repaint();
  return t.nsecsElapsed() / 1e6;
}

}  // namespace

StartedWindow StartWindow(const QString& marker) {
  StartedWindow s;
  QElapsedTimer t;
  t.start();
  s.form = std::make_unique<TFormMain>();
  s.form->InstanceMarkerName = marker;
  s.form->SetActivateOnShow(false);
  PaintCounter gauge;
  s.form->Gauge1->installEventFilter(&gauge);
  s.form->show();
  if (!QTest::qWaitForWindowExposed(s.form.get()))
    std::fprintf(stderr, "bench: window not exposed\n");
  s.form->FormActivate();
  QCoreApplication::processEvents();
  s.ms = t.nsecsElapsed() / 1e6;
  s.form->Gauge1->removeEventFilter(&gauge);
  s.gaugePaints = gauge.paints;
  return s;
}

double SearchOnce(TFormMain& form, const QString& text) {
  form.edSearch->setFocus();  // the user's click in the box
  form.edSearch->setText(text);
  auto* grid = static_cast<TDBGrid*>(form.DBGrid1);
  QElapsedTimer t;
  t.start();
  QTest::keyClick(form.edSearch, Qt::Key_Return);
  grid->viewport()->repaint();
  return t.nsecsElapsed() / 1e6;
}

std::vector<double> TypeTexts(TFormMain& form, const QStringList& texts) {
  form.edSearch->setFocus();
  form.edSearch->clear();
  QCoreApplication::processEvents();
  std::vector<double> keys;
  for (const QString& q : texts) {
    for (QChar c : q) keys.push_back(KeyToPaint(form, Qt::Key_unknown, QString(c)));
    for (qsizetype i = 0; i < q.size(); ++i)
      keys.push_back(KeyToPaint(form, Qt::Key_Backspace, QString()));
  }
  return keys;
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

}  // namespace benchsupport

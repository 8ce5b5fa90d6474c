#pragma once
// The real main window driven as a user would, for the benchmarks: started
// offscreen until its search box can be used, searched with Return, and
// typed into key by key, every step timed until the grid has painted.
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "app/FormMain.h"

namespace benchsupport {

struct StartedWindow {
  std::unique_ptr<TFormMain> form;
  double ms = 0;        // creation of the form until the search box can be used
  int gaugePaints = 0;  // paints of the progress bar meanwhile
};

// Creates and shows the window (its single-instance marker named after
// marker) and runs its start-up; the program folder and the working
// directory are the caller's.
StartedWindow StartWindow(const QString& marker);

// One search from Return in the search box to the painted grid, in ms.
double SearchOnce(TFormMain& form, const QString& text);

// Types every text into the search box key by key and deletes it again key
// by key; the time of every key, from its event until the grid has painted
// what the search while typing found, in ms.
std::vector<double> TypeTexts(TFormMain& form, const QStringList& texts);

// The value below which the share p of the values lie (0 <= p <= 1).
double Percentile(std::vector<double> values, double p);

}  // namespace benchsupport

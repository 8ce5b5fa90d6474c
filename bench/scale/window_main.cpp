// bench-scale-window: the finder's window for bench-scale's window figures,
// a program of its own so that bench-scale and its other children stay free
// of Qt and the window's memory is its own.
//   bench-scale-window --build-index <folder>
//   bench-scale-window <folder> <searches...> -- <typed texts...>
// The table is folder/POSTCODE.DBF, the index folder/POSTCODE.FTS; prints
// FIGURE lines, and the slowest keys on standard error.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/Settings.h"
#include "bench/scale/ChildProcess.h"
#include "bench/support/WindowDriver.h"
#include "platform/MessageBox.h"

namespace {

// Anonymous memory of the process (its heap, stacks and private mappings,
// resident, dirty or clean), the "Anonymous:" line of smaps_rollup: the
// files it maps, the table and the index, are page cache and not counted.
double AnonymousMb() {
  std::ifstream in("/proc/self/smaps_rollup");
  for (std::string key; in >> key;) {
    double kb = 0;
    if (key == "Anonymous:" && in >> kb) return kb / 1024;
    in.ignore(1 << 10, '\n');
  }
  return -1;
}

// The box's text after each key of TypeTexts: each text typed, then deleted
// again; the slowest keys on standard error.
void SaySlowestKeys(const QStringList& typed, const std::vector<double>& keys) {
  std::vector<std::pair<double, QString>> slowest;
  size_t k = 0;
  for (const QString& t : typed)
    for (qsizetype i = 0; i < 2 * t.size() && k < keys.size(); ++i, ++k)
      slowest.emplace_back(keys[k], t.left(i < t.size() ? i + 1 : 2 * t.size() - i - 1));
  std::sort(slowest.rbegin(), slowest.rend());
  for (size_t i = 0; i < 5 && i < slowest.size(); ++i)
    std::fprintf(stderr, "bench-scale: slow key %.1f ms, the box then \"%s\"\n", slowest[i].first,
                 slowest[i].second.toUtf8().constData());
}

int Measure(const std::vector<std::string>& args) {
  using scalebench::ReportFigure;
  const auto at = std::find(args.begin() + 1, args.end(), "--");
  benchsupport::StartedWindow s = benchsupport::StartWindow(QStringLiteral("BenchScale"));
  ReportFigure("start_ms", s.ms);
  for (auto it = args.begin() + 1; it != at; ++it)
    benchsupport::SearchOnce(*s.form, QString::fromStdString(*it));
  ReportFigure("private_mb", AnonymousMb());
  QStringList typed;
  for (auto it = at + (at == args.end() ? 0 : 1); it != args.end(); ++it)
    typed << QString::fromStdString(*it);
  benchsupport::TypeTexts(*s.form, typed);  // warm-up
  const std::vector<double> keys = benchsupport::TypeTexts(*s.form, typed);
  ReportFigure("keystrokes", static_cast<double>(keys.size()));
  ReportFigure("keystroke_median_ms", benchsupport::Percentile(keys, 0.5));
  ReportFigure("keystroke_p95_ms", benchsupport::Percentile(keys, 0.95));
  ReportFigure("keystroke_max_ms", keys.empty() ? 0 : *std::max_element(keys.begin(), keys.end()));
  ReportFigure("after_typing_private_mb", AnonymousMb());
  SaySlowestKeys(typed, keys);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool buildIndex = argc == 3 && std::strcmp(argv[1], "--build-index") == 0;
  if (argc < 2 || (std::strcmp(argv[1], "--build-index") == 0 && !buildIndex)) {
    std::fprintf(stderr, "usage: bench-scale-window [--build-index] <folder> ...\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir runtime;
  qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  const std::vector<std::string> args(argv + (buildIndex ? 2 : 1), argv + argc);
  const QString folder = QString::fromStdString(args[0]);
  app::SetProgramFolder(folder);
  QDir::setCurrent(folder);
  platform::MessageRecorder messages;  // no message box waits for a click
  if (buildIndex) {
    benchsupport::StartWindow(QStringLiteral("BenchScaleIndex"));  // its first start builds it
    return 0;
  }
  return Measure(args);
}

// The program's own writers in a process of their own, so that a test can
// run them under the fault shim (fault_inject.c) and read what the user would
// have been told. Prints every message box text on a line of its own
// (carriage returns as " | ").
//   test-helper-faults index <table folder> [search text]
//       the postal-data stage of the start-up in the working directory (the
//       index opened, or built and saved), then the search, then the end
//   test-helper-faults setting <program folder> <value>
//       writes MSG to <program folder>/LOG/KOLBRENT.INI
#include <QApplication>
#include <QLineEdit>
#include <cstdio>
#include <exception>

#include "app/Settings.h"
#include "platform/MessageBox.h"
#include "search/Fts.h"
#include "search/PostalData.h"
#include "search/SearchRun.h"
#include "table/DbfTable.h"

namespace {

void Print(const QString& text) {
  QString line = text;
  line.replace(QLatin1Char('\r'), QLatin1String(" | "));
  std::printf("%s\n", qUtf8Printable(line));
  std::fflush(stdout);
}

int PostalData(const QString& folder, const QString& searchText) {
  TDbfTable table;
  table.SetName(QStringLiteral("Table1"));
  table.SetReadOnly(true);
  table.SetTableType(ttMTX);
  table.Loaded();
  TFts fts;
  TRecordBuffer record;
  TSearchText text{};
  QLineEdit box;
  TPostalParts p;
  p.Table1 = &table;
  p.Fts1 = &fts;
  p.RecordBuffer = &record;
  p.SearchText = &text;
  p.edSearch = &box;
  search::OpenPostalData(p, folder);
  if (!searchText.isEmpty()) {
    box.setText(searchText);
    std::printf("matches %d\n", search::RunSearch(p));
  }
  search::ClosePostalData(p);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() < 3) {
    std::fprintf(stderr, "usage: test-helper-faults index|setting ...\n");
    return 2;
  }
  platform::MessageRecorder messages;
  int result = 0;
  try {
    if (args[1] == QLatin1String("index")) {
      result = PostalData(args[2], args.value(3));
    } else if (args[1] == QLatin1String("setting") && args.size() == 4) {
      app::SetProgramFolder(args[2]);
      app::WriteSetting(QString::fromLatin1(app::kSettingsSection),
                        QString::fromLatin1(app::kMsgKey), args[3]);
      Print(QStringLiteral("written"));
    } else {
      result = 2;
    }
  } catch (const std::exception& e) {
    messages.Record(QString::fromUtf8(e.what()));
  }
  for (const QString& m : messages.Messages()) Print(m);
  return result;
}

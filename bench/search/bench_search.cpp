// bench-search: the real main window on the national table, offscreen, and
// on the table imported from the synthetic range files of about 600,000 rows
// (figures named large.*). Start-up until the search box can be used, with
// the index missing (built in the window) and present; then each search from
// Return in the search box until the grid has painted its rows, with the
// index and without one; then the search while typing: queries typed key by
// key (and deleted again), each key from its event to the painted grid.
//   bench-search [--screenshot out.png]   also saves the window after a search
//                                         for 개포1동
#include <QApplication>
#include <QByteArray>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "PostalImport.h"
#include "app/FormMain.h"
#include "app/Settings.h"
#include "bench/support/LargeRangeTable.h"
#include "bench/support/WindowDriver.h"
#include "platform/Cp949.h"
#include "platform/MessageBox.h"
#include "postal/TableTag.h"
#include "table/DbfTable.h"

namespace {

using benchsupport::Percentile;
using benchsupport::SearchOnce;

benchsupport::StartedWindow Start(int n) {
  return benchsupport::StartWindow(QStringLiteral("BenchSearch%1").arg(n));
}

void Bench(const char* name, double value, const char* unit) {
  std::printf("BENCH %s %.2f %s\n", name, value, unit);
  std::fflush(stdout);
}

// Types every query key by key and deletes it again key by key, rounds
// times; answers the time of every key.
std::vector<double> TypeQueries(TFormMain& form, int rounds) {
  const QStringList queries = {
      QStringLiteral("개포1동"),       QStringLiteral("서울 역삼"),
      QStringLiteral("강남구 개포"),   QStringLiteral("ㄱㅍ1ㄷ"),
      QStringLiteral("서울 ㄱㄴㄱ"),   QStringLiteral("ㅇㅅ3ㅊ ㅇㅍㅌ"),
      QStringLiteral("강남구역삼1동"), QStringLiteral("서울강남구개포"),
      QStringLiteral("우성3차아파트"), QStringLiteral("135-806"),
      QStringLiteral("명동2가 50"),    QStringLiteral("역삼동 650"),
  };
  std::vector<double> keys;
  for (int round = 0; round < rounds; ++round) {
    const std::vector<double> more = benchsupport::TypeTexts(form, queries);
    keys.insert(keys.end(), more.begin(), more.end());
  }
  return keys;
}

struct Word {
  const char* name;
  QString text;
};

// An address with its number, made from a record whose address ends in a
// range ("… 테헤란로 102∼152 (짝수)"): the words before the range, from the
// district on, and a number in the middle of it of the range's parity.
// Empty when the record has no such range.
QString AddressInOwnRange(TDbfTable& table, int32_t recno, bool withProvince) {
  table.SetRecno(recno);
  const QString etc = platform::FromCp949(table.FieldString(QStringLiteral("ETC"))).trimmed();
  QStringList words = etc.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  int range = -1;
  for (int i = 0; i < words.size(); ++i)
    if (words[i].contains(QChar(0x223C)) && words[i].at(0).isDigit()) range = i;
  if (range < 1) return {};
  const QStringList ends = words[range].split(QChar(0x223C));
  bool ok1 = false, ok2 = false;
  const int lo = ends[0].toInt(&ok1), hi = ends.value(1).toInt(&ok2);
  if (!ok1 || !ok2 || hi < lo) return {};
  int number = (lo + hi) / 2;
  if (range + 1 < words.size() && words[range + 1].startsWith(QLatin1Char('(')) &&
      (number - lo) % 2 != 0)
    ++number;  // odd or even as the range
  QStringList query = words.mid(withProvince ? 0 : 1, range - (withProvince ? 0 : 1));
  query << QString::number(number);
  return query.join(QLatin1Char(' '));
}

// The same from the first record at or after recno whose range has no
// sub-numbers (1171-4∼1203-1 has).
QString AddressInRange(TDbfTable& table, int32_t recno, bool withProvince) {
  for (int32_t n = recno; n < recno + 1000 && n <= table.RecCount(); ++n)
    if (QString a = AddressInOwnRange(table, n, withProvince); !a.isEmpty()) return a;
  return {};
}

// Each word searched a few times after a warm-up: the median and the worst
// run as <prefix><name>_ms and _max_ms, the worst of all as <prefix>max_ms.
template <size_t N>
double RunQueries(TFormMain& form, const std::string& prefix, const Word (&words)[N]) {
  constexpr int kRuns = 7;
  double worst = 0;
  for (const Word& w : words) {
    SearchOnce(form, w.text);  // warm-up
    std::vector<double> runs;
    for (int i = 0; i < kRuns; ++i) runs.push_back(SearchOnce(form, w.text));
    std::sort(runs.begin(), runs.end());
    worst = std::max(worst, runs.back());
    Bench((prefix + w.name + "_ms").c_str(), runs[kRuns / 2], "ms");
    Bench((prefix + w.name + "_max_ms").c_str(), runs.back(), "ms");
  }
  Bench((prefix + "max_ms").c_str(), worst, "ms");
  return worst;
}

// The table imported from the synthetic range files of about 600,000 rows,
// in a program folder of its own: the first start builds its index in the
// window, the second opens it; then the queries.
int BenchLargeTable(platform::MessageRecorder& messages) {
  QTemporaryDir program, work;
  std::string why;
  QElapsedTimer made;
  made.start();
  const std::string table = benchsupport::MakeLargeRangeTable(program.path().toStdString(), &why);
  if (table.empty()) {
    std::fprintf(stderr, "bench-search: the large table cannot be made: %s\n", why.c_str());
    return 1;
  }
  Bench("large.table_made_ms", made.nsecsElapsed() / 1e6, "ms");
  QElapsedTimer tag;
  tag.start();
  postal::TableTag(table);
  Bench("large.table_tag_ms", tag.nsecsElapsed() / 1e6, "ms");

  app::SetProgramFolder(program.path());
  QDir::setCurrent(work.path());
  messages.Clear();
  benchsupport::StartedWindow s = Start(3);
  const QString built = QStringLiteral("%1개 키 생성").arg(s.form->Table1->RecCount());
  if (s.form->Table1->RecCount() < 500000 || !messages.Messages().contains(built)) {
    std::fprintf(stderr, "bench-search: the large index was not built: %s\n",
                 messages.Messages().join(QLatin1Char('|')).toLocal8Bit().constData());
    return 1;
  }
  Bench("large.start.index_build_ms", s.ms, "ms");
  s.form.reset();
  s = Start(4);
  Bench("large.start.index_present_ms", s.ms, "ms");
  TFormMain& form = *s.form;
  form.CheckBoxMsg->setChecked(true);
  // A zone number of the table: the one of its 1000th record.
  form.Table1->SetRecno(1000);
  const QString zone =
      QString::fromLatin1(form.Table1->FieldString(QStringLiteral("ZIPCODE")).trimmed());
  form.Table1->First();
  const Word large[] = {
      {"dong", QStringLiteral("동")},
      {"seoul", QStringLiteral("서울")},
      {"road", QStringLiteral("역삼로")},
      {"zone", zone},
      {"gangnamgu_yeoksamdong", QStringLiteral("강남구 역삼동")},
      {"nomatch", QStringLiteral("없는주소말")},
  };
  RunQueries(form, "large.search.", large);
  // Addresses with their numbers, each in the range of one row (read with
  // no search in force: the last one left no record in view).
  form.Table1->Query("");
  const int32_t count = form.Table1->RecCount();
  const QString a1 = AddressInRange(*form.Table1, count / 7, false);
  const QString a2 = AddressInRange(*form.Table1, count / 3, true);
  const QString a3 = AddressInRange(*form.Table1, count / 2, false);
  const QString a4 = AddressInRange(*form.Table1, count - count / 5, true);
  form.Table1->First();
  const Word largeAddresses[] = {
      {"range_a", a1},
      {"range_b", a2},
      {"range_c", a3},
      {"range_d", a4},
      {"province_forms", QStringLiteral("서울특별시 강남구 역삼동")},
      {"place_row", QStringLiteral("강남구 역삼동 99999")},
  };
  for (const Word& w : largeAddresses)
    if (w.text.isEmpty()) std::fprintf(stderr, "bench-search: no range row for %s\n", w.name);
  RunQueries(form, "large.address.", largeAddresses);
  TypeQueries(form, 1);  // warm-up
  const std::vector<double> keys = TypeQueries(form, 1);
  Bench("live.large_keystroke_p95_ms", Percentile(keys, 0.95), "ms");
  Bench("live.large_keystroke_max_ms", *std::max_element(keys.begin(), keys.end()), "ms");
  s.form.reset();
  return 0;
}

// The government's real rows of 세종 (27,335 buildings, read from
// ../shared/data/real/ when it is there), imported into a program folder of
// its own; searched for a building, a road address with its number, a lot
// address and an envelope's address.
int BenchSejong(platform::MessageRecorder& messages) {
  const std::string sejong =
      std::string(PF_SOURCE_DIR) + "/../shared/data/real/rnaddrkor_sejong.txt";
  if (!std::filesystem::exists(sejong)) {
    std::fprintf(stderr, "bench-search: no %s, sejong.* left out\n", sejong.c_str());
    return 0;
  }
  QTemporaryDir program, work;
  postal::ImportSummary summary;
  std::string error;
  if (!postal::ImportFiles({sejong}, program.path().toStdString() + "/POSTCODE.DBF", {}, &summary,
                           &error)) {
    std::fprintf(stderr, "bench-search: %s\n", error.c_str());
    return 1;
  }
  app::SetProgramFolder(program.path());
  QDir::setCurrent(work.path());
  messages.Clear();
  benchsupport::StartedWindow s = Start(5);  // builds the index
  s.form.reset();
  s = Start(6);
  TFormMain& form = *s.form;
  form.CheckBoxMsg->setChecked(true);
  const Word words[] = {
      {"building", QStringLiteral("수루배마을5단지 상가동")},
      {"road_number", QStringLiteral("한누리대로 1811")},
      {"lot", QStringLiteral("반곡동 47-1")},
      {"envelope", QStringLiteral("세종특별자치시 한누리대로 1811 (반곡동)")},
      {"province_forms", QStringLiteral("세종시 조치원읍")},
      {"ri", QStringLiteral("연기면 세종리")},
  };
  Bench("sejong.search_max_ms", RunQueries(form, "sejong.search.", words), "ms");
  s.form.reset();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  platform::MessageRecorder messages;
  QTemporaryDir program, work, runtime;
  qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  std::filesystem::copy_file(std::string(PF_BIN_DIR) + "/POSTCODE.DBF",
                             program.path().toStdString() + "/POSTCODE.DBF");
  app::SetProgramFolder(program.path());
  QDir::setCurrent(work.path());

  benchsupport::StartedWindow s = Start(1);
  if (!messages.Messages().contains(QStringLiteral("52144개 키 생성"))) {
    std::fprintf(stderr, "bench-search: the index was not built: %s\n",
                 messages.Messages().join(QLatin1Char('|')).toLocal8Bit().constData());
    return 1;
  }
  Bench("start.index_build_ms", s.ms, "ms");
  Bench("start.index_build_gauge_paints", s.gaugePaints, "paints");
  s.form.reset();

  s = Start(2);
  Bench("start.index_present_ms", s.ms, "ms");
  QElapsedTimer tag;  // the share of the table's tag in the start with the index present
  tag.start();
  postal::TableTag(program.path().toStdString() + "/POSTCODE.DBF");
  Bench("start.table_tag_ms", tag.nsecsElapsed() / 1e6, "ms");
  TFormMain& form = *s.form;
  form.CheckBoxMsg->setChecked(true);  // the count message is part of the run (recorded)

  const Word national[] = {
      {"seoul", QStringLiteral("서울")},
      {"yeoksam", QStringLiteral("역삼")},
      {"apateu", QStringLiteral("아파트")},
      {"135-8", QStringLiteral("135-8")},
      {"dong", QStringLiteral("동")},
      {"gangnamgu_gaepo", QStringLiteral("강남구 개포")},
      {"nomatch", QStringLiteral("없는주소말")},
  };
  RunQueries(form, "search.", national);
  const Word addresses[] = {
      {"block", QStringLiteral("개포1동 주공아파트 25동")},
      {"lot_in_range", QStringLiteral("명동2가 50")},
      {"place_row", QStringLiteral("중구 명동2가 200")},
      {"dong_place", QStringLiteral("역삼동 650")},
      {"province_forms", QStringLiteral("서울특별시 강남구 역삼동")},
      {"province_forms_b", QStringLiteral("전라북도 전주시 완산구")},
      {"mountain", QStringLiteral("황금2동 산120")},
      {"code", QStringLiteral("135080")},
      {"glued", QStringLiteral("명동2가50")},
      {"reference", QStringLiteral("강남구 개포1동 (주공아파트)")},
      {"seoul_number", QStringLiteral("서울 130")},
  };
  RunQueries(form, "address.", addresses);

  TypeQueries(form, 1);  // warm-up
  const std::vector<double> keys = TypeQueries(form, 3);
  Bench("live.keystrokes", static_cast<double>(keys.size()), "keys");
  Bench("live.keystroke_median_ms", Percentile(keys, 0.5), "ms");
  Bench("live.keystroke_p95_ms", Percentile(keys, 0.95), "ms");
  Bench("live.keystroke_max_ms", *std::max_element(keys.begin(), keys.end()), "ms");

  if (argc == 3 && QByteArray(argv[1]) == "--screenshot") {
    SearchOnce(form, QStringLiteral("개포1동"));
    messages.Clear();
    QCoreApplication::processEvents();
    if (!form.grab().save(QString::fromLocal8Bit(argv[2]))) {
      std::fprintf(stderr, "bench-search: cannot write %s\n", argv[2]);
      return 1;
    }
  }

  // Without a usable index (it could not be built or saved): every record of
  // the table is confirmed. Slower by design; measured so that it stays usable.
  form.Fts1.FtsClose();
  form.Fts1.IndexHandle = 0;
  for (const Word& w : {national[0], national[1], national[5]}) {
    std::vector<double> runs;
    for (int i = 0; i < 3; ++i) runs.push_back(SearchOnce(form, w.text));
    std::sort(runs.begin(), runs.end());
    Bench((std::string("search.no_index_") + w.name + "_ms").c_str(), runs[1], "ms");
  }
  s.form.reset();
  if (BenchSejong(messages) != 0) return 1;
  const int large = BenchLargeTable(messages);
  app::SetProgramFolder(QString());
  return large;
}

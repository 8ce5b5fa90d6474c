// postcode-import [-o TABLE.DBF] [--no-index] FILE...
//
// Turns the current postal data into the finder's postal table: Korea
// Post's address DB and the government's road-name address DB (a record per
// building), Korea Post's range files, and the zips they are downloaded in
// (PostalImport.h). Without -o the finder's own table is replaced and kept as
// POSTCODE.DBF.bak (the shipped table beside the program once as
// POSTCODE.DBF.orig). Bad input stops the import with FILE:LINE: what is
// wrong, and the existing table stays byte for byte as it was. The new
// table's index is built where the finder looks for it (ImportIndex.h).
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ImportIndex.h"
#include "PostalImport.h"
#include "TablePath.h"
#include "TextEncoding.h"
#include "platform/RunFolders.h"
#include "platform/StandardStreams.h"

namespace {

constexpr char kUsage[] =
    "usage: postcode-import [-o TABLE.DBF] [--no-index] FILE...\n"
    "Makes the postal table from Korea Post's address DB (one file per province),\n"
    "the government's road-name address DB (rnaddrkor_*.txt), Korea Post's\n"
    "road-name and lot-number range files, or the zips they come in. Without -o the\n"
    "finder's own table is replaced (beside the program, or\n"
    "~/.local/share/postcode-finder/ for an installed program), the old one kept\n"
    "beside it as POSTCODE.DBF.bak, and the shipped table beside the program once\n"
    "as POSTCODE.DBF.orig. The table's index is built too, where the finder looks\n"
    "for it (~/.cache/postcode-finder/ for an installed program, else the working\n"
    "directory), or beside a table named with -o as NAME.FTS; --no-index leaves\n"
    "it to the finder's next start.\n";

// Messages name files and fields as the user gave them; what a terminal
// would take for a command is shown escaped.
void Print(std::FILE* out, const std::string& text) {
  const std::string shown = postal::PrintableText(text);
  std::fwrite(shown.data(), 1, shown.size(), out);
  std::fputc('\n', out);
}

// A progress line on stderr, only on a terminal and at most ten times a second.
class Progress {
 public:
  Progress() : shown_(::isatty(STDERR_FILENO) == 1) {}
  bool Show(const postal::ImportProgress& p) {
    if (!shown_) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(100)) return true;
    last_ = now;
    const std::string line = p.stage == postal::ImportStage::kReading
                                 ? postal::PrintableText(std::string(p.file)) + ": " +
                                       std::to_string(p.rowsDone) + " rows"
                                 : "writing " + std::to_string(p.rowsDone) + " of " +
                                       std::to_string(p.rowsTotal) + " records";
    std::fprintf(stderr, "\r\033[Kpostcode-import: %s", line.c_str());
    std::fflush(stderr);
    return true;
  }
  void Clear() {
    if (shown_) std::fprintf(stderr, "\r\033[K");
  }

 private:
  bool shown_;
  std::chrono::steady_clock::time_point last_{};
};

std::string DateText(const postal::DbfDate& d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
  return buf;
}

}  // namespace

int main(int argc, char** argv) {
  if (!platform::EnsureStandardStreams()) return 1;
  std::string output;
  bool outputGiven = false;
  bool buildIndex = true;
  std::vector<std::string> files;
  bool optionsEnd = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (!optionsEnd && (arg == "-h" || arg == "--help")) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (!optionsEnd && arg == "-o") {
      // One table, named: an empty name would fall back to the finder's own.
      if (i + 1 == argc || outputGiven || argv[i + 1][0] == '\0') {
        std::fputs(kUsage, stderr);
        return 2;
      }
      outputGiven = true;
      output = argv[++i];
    } else if (!optionsEnd && arg == "--no-index") {
      buildIndex = false;
    } else if (!optionsEnd && arg == "--") {
      optionsEnd = true;
    } else if (!optionsEnd && arg.size() > 1 && arg[0] == '-') {
      Print(stderr, "postcode-import: unknown option " + arg);
      std::fputs(kUsage, stderr);
      return 2;
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  postal::ImportTarget target;
  if (outputGiven)
    target = postal::NamedImportTarget(output);  // the user's own: nothing kept beside it
  else
    target = postal::DefaultImportTarget();
  if (target.table.empty()) {
    std::fprintf(stderr,
                 "postcode-import: no folder for the table (the program's folder is unknown, or "
                 "the user's data folder cannot be made); name the table with -o\n");
    return 1;
  }

  const auto started = std::chrono::steady_clock::now();
  Progress progress;
  postal::ImportOptions options;
  options.backups = target.backups;
  options.progress = [&](const postal::ImportProgress& p) { return progress.Show(p); };
  postal::ImportSummary summary;
  std::string error;
  const bool ok = postal::ImportFiles(files, target.table, options, &summary, &error);
  progress.Clear();
  if (!ok) {
    Print(stderr, error);
    Print(stderr, "postcode-import: no table written; " + target.table + " is as it was");
    return 1;
  }
  if (!summary.warning.empty()) Print(stderr, "postcode-import: " + summary.warning);

  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::string line = "postcode-import: rows read:";
  for (size_t i = 0; i < summary.files.size(); ++i)
    line += " " + summary.files[i].name + " " + std::to_string(summary.files[i].rows) +
            (i + 1 < summary.files.size() ? "," : ";");
  char tail[64];
  std::snprintf(tail, sizeof tail, " in %.2f s", seconds);
  Print(stdout, line + " " + std::to_string(summary.records) + " records written to " +
                    target.table + tail);
  std::string fields;
  for (const postal::DbfField& f : summary.fields)
    fields += (fields.empty() ? "" : ", ") + f.name + " C(" + std::to_string(f.width) + ")";
  Print(stdout, "postcode-import: fields " + fields + "; dated " + DateText(summary.date) +
                    (summary.dateFromData ? ", the date of the data"
                                          : ", the day of the import (the files name no date)"));
  if (!summary.leftOut.empty()) {
    std::string left;
    for (const std::string& m : summary.leftOut) left += (left.empty() ? "" : ", ") + m;
    Print(stdout, "postcode-import: left out, not text files: " + left);
  }
  if (buildIndex && !target.index.empty()) {
    // The table is written whatever becomes of its index: a failure here
    // leaves the build to the finder's next start.
    const auto indexStarted = std::chrono::steady_clock::now();
    if (postal::BuildImportedIndex(platform::ExecutableFolder(), target.table, target.index,
                                   &error)) {
      std::snprintf(
          tail, sizeof tail, " in %.2f s",
          std::chrono::duration<double>(std::chrono::steady_clock::now() - indexStarted).count());
      Print(stdout, "postcode-import: index " + target.index + " built" + tail);
    } else {
      Print(stderr, "postcode-import: warning: no index built for " + target.table + " (" + error +
                        "); the finder builds it when it next starts");
    }
  }
  return 0;
}

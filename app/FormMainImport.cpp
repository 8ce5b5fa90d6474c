// New postal data from the window: files dropped on it, or chosen through
// the grid's menu, imported into the table the program reads with the
// progress bar of the search strip; the new table is searched at once.
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <exception>
#include <optional>

#include "PostalImport.h"
#include "TablePath.h"
#include "app/FormMain.h"
#include "app/Settings.h"
#include "app/UserFolders.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"
#include "search/LiveSearch.h"
#include "search/UiHold.h"
#include "table/DbfTable.h"

namespace {

// The local files of a drop, or none when it carries anything else.
QStringList LocalFiles(const QMimeData* data) {
  QStringList files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) return {};
    files << url.toLocalFile();
  }
  return files;
}

// What the import takes of the search strip, given back at every way out.
class ImportStrip {
 public:
  ImportStrip(QCheckBox* message, QProgressBar* gauge, QWidget* search, QWidget* button,
              QWidget* grid)
      : message_(message), gauge_(gauge), search_(search), button_(button), grid_(grid) {
    message_->hide();
    gauge_->setValue(0);
    gauge_->show();
  }
  ~ImportStrip() {
    gauge_->hide();
    gauge_->setValue(0);
    message_->show();
  }
  ImportStrip(const ImportStrip&) = delete;
  ImportStrip& operator=(const ImportStrip&) = delete;

 private:
  QCheckBox* message_;
  QProgressBar* gauge_;
  // Nothing may search or move the table while the import runs.
  search::DisabledWhile search_, button_, grid_;
  platform::BusyCursor busy_;
};

}  // namespace

std::function<QStringList(QWidget*)>& TFormMain::ImportFileChooser() {
  static std::function<QStringList(QWidget*)> chooser = [](QWidget* parent) {
    return QFileDialog::getOpenFileNames(
        parent, QStringLiteral("우편번호 자료 가져오기"), QString(),
        QStringLiteral("우편번호 자료 (*.zip *.txt);;모든 파일 (*)"));
  };
  return chooser;
}

void TFormMain::ImportDataClick() {
  const QStringList files = ImportFileChooser()(this);
  if (!files.isEmpty()) ImportData(files);
}

void TFormMain::dragEnterEvent(QDragEnterEvent* event) {
  if (!LocalFiles(event->mimeData()).isEmpty() && activated_ && !inStartUp_ && !importing_)
    event->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent* event) {
  const QStringList files = LocalFiles(event->mimeData());
  if (files.isEmpty()) return;
  event->acceptProposedAction();
  // After the drop has ended: the desktop that dragged waits for it.
  QTimer::singleShot(0, this, [this, files] { ImportData(files); });
}

bool TFormMain::ImportData(const QStringList& paths) {
  if (paths.isEmpty() || importing_ || inStartUp_ || !activated_) return false;
  const postal::ImportTarget target =
      postal::ImportTargetFor(app::ToLocalPath(app::ProgramFolder()));
  if (target.table.empty()) {
    platform::ShowMessage(this, QStringLiteral("우편번호 자료를 쓸 폴더가 없습니다."));
    return false;
  }
  LiveSearch->Cancel();
  importing_ = true;
  stopImport_ = false;
  std::vector<std::string> inputs;
  for (const QString& p : paths) inputs.push_back(QFile::encodeName(p).toStdString());
  postal::ImportOptions options;
  options.backups = target.backups;
  postal::ImportSummary summary;
  std::string error;
  bool imported = false;
  {
    ImportStrip strip(CheckBoxMsg, Gauge1, edSearch, butFilt, DBGrid1);
    search::FramePacedEvents events(this);
    options.progress = [&](const postal::ImportProgress& progress) {
      // Reading and then writing, each its own run of the bar.
      const size_t total = std::max<size_t>(1, progress.rowsTotal);
      Gauge1->setMaximum(static_cast<int>(std::min<size_t>(total, INT32_MAX)));
      Gauge1->setValue(static_cast<int>(std::min(progress.rowsDone, total)));
      events.Run();
      return !stopImport_;
    };
    imported = postal::ImportFiles(inputs, target.table, options, &summary, &error);
    events.Paint();
  }
  importing_ = false;
  if (!imported) {
    if (!stopImport_)
      platform::ShowMessage(this, QStringLiteral("우편번호 자료를 가져오지 못했습니다.\r\r") +
                                      QString::fromStdString(error) +
                                      QStringLiteral("\r\r지금까지의 자료로 계속 찾습니다."));
  } else {
    // The new table in place of the old one, its index made as at a start.
    ClosePostalData();
    try {
      OpenPostalData();
    } catch (const std::exception& e) {
      platform::ShowMessage(this, QString::fromUtf8(e.what()));
      imported = false;
    }
  }
  if (imported) {
    QString note = QStringLiteral("우편번호 자료 %1개를 가져왔습니다.").arg(summary.records);
    if (!summary.warning.empty())
      note += QStringLiteral("\r\r") + QString::fromStdString(summary.warning);
    platform::ShowMessage(this, note);
    // What the box holds, searched in the new table.
    search::TComposedText composed;
    composed.text = edSearch->text();
    LiveSearch->Request(composed);
  }
  if (closePending_) {
    closePending_ = false;
    QTimer::singleShot(0, this, &QWidget::close);
  }
  return imported;
}

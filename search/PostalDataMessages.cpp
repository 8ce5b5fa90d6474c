#include "search/PostalDataMessages.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include "libs/ftsindex/ftsindex.h"
#include "platform/MessageBox.h"
#include "search/PostalData.h"
#include "table/DbfTable.h"

namespace search {

namespace {

// Where the index is looked for: the working directory.
QString IndexLocation() {
  const QString folder = QDir::currentPath();
  return folder.isEmpty() ? QStringLiteral("(현재 작업 폴더)/") + QLatin1String(kIndexFileName)
                          : QDir(folder).absoluteFilePath(QLatin1String(kIndexFileName));
}

// Why the library could not create, write or read the index file.
QString IndexFailureReason(int32_t error) {
  switch (error) {
    case FTS_ERR_IO: {
      const QString folder = QDir::currentPath();
      if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return QStringLiteral("작업 폴더가 없습니다.");
      if (!QFileInfo(folder).isWritable())
        return QStringLiteral("작업 폴더에 쓰기 권한이 없습니다.");
      const QStorageInfo disk(folder);
      if (disk.isValid() && disk.bytesAvailable() < 1024 * 1024)
        return QStringLiteral("디스크 공간이 부족합니다.");
      return QStringLiteral("파일을 쓰거나 읽는 중에 오류가 났습니다.");
    }
    case FTS_ERR_FULL:
      return QStringLiteral("메모리가 부족합니다.");
    case FTS_ERR_FORMAT:
      return QStringLiteral("파일이 손상되었습니다.");
    default:
      return QStringLiteral("오류 %1").arg(error);
  }
}

}  // namespace

void ShowIndexUnusable(TPostalParts& p, const QString& headline, int32_t error) {
  platform::ShowMessage(p.owner,
                        headline + QStringLiteral("\r\r인덱스 파일: ") + IndexLocation() +
                            QStringLiteral("\r이유: ") + IndexFailureReason(error) +
                            QStringLiteral("\r\r인덱스 없이 찾습니다.\r찾을 때마다 모든 자료를 "
                                           "확인하므로 조금 느립니다."));
}

void WarnIfTableIsCut(TPostalParts& p) {
  const int32_t present = p.Table1->RecCount(), stated = p.Table1->HeaderRecCount();
  if (stated <= present) return;
  platform::ShowMessage(
      p.owner, QStringLiteral("우편번호 자료 파일이 잘려 있습니다: ") + p.Table1->TablePath() +
                   QStringLiteral("\r\r파일에 적힌 %1개 중 온전한 %2개 자료만 있습니다. 있는 "
                                  "%2개 자료로 찾습니다.\r프로그램을 다시 설치하시면 됩니다.")
                       .arg(stated)
                       .arg(present));
}

}  // namespace search

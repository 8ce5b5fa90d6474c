#include "search/ResultActions.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include "platform/Cp949.h"
#include "search/SearchText.h"
#include "search/TableStamp.h"
#include "table/DbfTable.h"

namespace search {
namespace {

// The hidden edit box is the clipboard's vehicle: its whole text, selected
// and copied, reaches the clipboard as plain text.
void CopyThroughEditTemp(TPostalParts& p, const QByteArray& cp949) {
  const QString text = platform::FromCp949(cp949);
  if (!p.EditTemp) {
    QApplication::clipboard()->setText(text);
    return;
  }
  p.EditTemp->setText(text);
  p.EditTemp->selectAll();
  p.EditTemp->copy();
}

}  // namespace

void Post1Click(TPostalParts& p) {
  // A five-digit zone number leaves two blanks in the seven-byte field; they
  // are no part of the code.
  CopyThroughEditTemp(p, TrimTrailingBlanks(p.Table1->FieldString(QStringLiteral("ZIPCODE"))));
}

void Juso2Click(TPostalParts& p) {
  CopyThroughEditTemp(p, TrimTrailingBlanks(p.Table1->FieldString(QStringLiteral("ETC"))));
}

void CopyRowClick(TPostalParts& p) {
  CopyThroughEditTemp(p, TrimTrailingBlanks(p.Table1->FieldString(QStringLiteral("ZIPCODE"))) +
                             ' ' +
                             TrimTrailingBlanks(p.Table1->FieldString(QStringLiteral("ETC"))));
}

std::optional<QString> RecordPositionCaption(TDbfTable& table) {
  if (table.State() != dsBrowse) return std::nullopt;
  return QString::number(table.Recno()) + QStringLiteral(" / ") + QString::number(table.RecCount());
}

QString LoadedTableToolTip(TDbfTable& table) {
  const QString path = table.TablePath();
  QString text = QFileInfo(path).fileName() + QStringLiteral(": ");
  if (const auto stamp = ReadTableStamp(QFile::encodeName(path).toStdString()))
    text += QStringLiteral("%1-%2-%3, ")
                .arg(stamp->year, 4, 10, QLatin1Char('0'))
                .arg(stamp->month, 2, 10, QLatin1Char('0'))
                .arg(stamp->day, 2, 10, QLatin1Char('0'));
  return text + QString::number(table.RecCount()) + QStringLiteral("개 레코드");
}

}  // namespace search

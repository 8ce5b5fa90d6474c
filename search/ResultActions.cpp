#include "search/ResultActions.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include "platform/Cp949.h"
#include "postal/EngineTable.h"
#include "search/SearchText.h"
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

// True when the grid shows the current record: a row to copy.
bool HasRow(TPostalParts& p) {
  return p.Table1 && p.Table1->IsOpen() && !p.Table1->IsEmpty();
}

}  // namespace

void Post1Click(TPostalParts& p) {
  if (!HasRow(p)) return;
  // A five-digit zone number leaves two blanks in the seven-byte field; they
  // are no part of the code.
  CopyThroughEditTemp(p, TrimTrailingBlanks(p.Table1->FieldString(QStringLiteral("ZIPCODE"))));
}

void Juso2Click(TPostalParts& p) {
  if (!HasRow(p)) return;
  CopyThroughEditTemp(p, TrimTrailingBlanks(p.Table1->FieldString(QStringLiteral("ETC"))));
}

void CopyRowClick(TPostalParts& p) {
  if (!HasRow(p)) return;
  CopyThroughEditTemp(p, TrimTrailingBlanks(p.Table1->FieldString(QStringLiteral("ZIPCODE"))) +
                             ' ' +
                             TrimTrailingBlanks(p.Table1->FieldString(QStringLiteral("ETC"))));
}

void CopyFieldClick(TPostalParts& p, const QString& fieldName) {
  if (!HasRow(p) || !p.Table1->FindField(fieldName)) return;
  CopyThroughEditTemp(p, TrimTrailingBlanks(p.Table1->FieldString(fieldName)));
}

std::optional<QString> RecordPositionCaption(TDbfTable& table) {
  if (table.State() != dsBrowse) return std::nullopt;
  return QString::number(table.Recno()) + QStringLiteral(" / ") + QString::number(table.RecCount());
}

QString LoadedTableToolTip(TDbfTable& table) {
  const QString path = table.TablePath();
  QString text = QFileInfo(path).fileName() + QStringLiteral(": ");
  if (const std::string date = postal::DateText(table.LastUpdate().toStdString()); !date.empty())
    text += QString::fromStdString(date) + QStringLiteral(", ");
  return text + QString::number(table.RecCount()) + QStringLiteral("개 레코드");
}

}  // namespace search

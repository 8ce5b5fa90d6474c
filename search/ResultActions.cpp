#include "search/ResultActions.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

#include "platform/Cp949.h"
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

}  // namespace

void Post1Click(TPostalParts& p) {
  CopyThroughEditTemp(p, p.Table1->FieldString(QStringLiteral("ZIPCODE")));
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

}  // namespace search

// The result grid.
#include <QColor>
#include <QMenu>
#include <QResizeEvent>
#include <algorithm>

#include "app/Fonts.h"
#include "app/FormMain.h"
#include "dataset/Field.h"
#include "table/DbfTable.h"

namespace {

// The address column as designed holds the 83 bytes of the six-digit table's
// ETC field.
constexpr int kAddressColumnWidth = 590;
constexpr int kAddressFieldBytes = 83;

}  // namespace

// Creates DBGrid1 as a child of the form, with its columns, fonts and options;
// the layout, the popup menu and the tab order are applied to it afterwards.
// CreateDataComponents connects it to DataSource1.
void TFormMain::CreateGrid() {
  DBGrid1 = new TDBGrid(this);
  DBGrid1->setFrameShape(QFrame::NoFrame);
  DBGrid1->setFont(app::GridFont(13));
  DBGrid1->SetFontColor(Qt::black);
  DBGrid1->SetTitleFont(app::GridFont(13, true));
  DBGrid1->SetTitleColor(QColor(128, 0, 0));
  DBGrid1->SetOptions(dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                      dgRowSelect | dgConfirmDelete | dgCancelOnExit);
  DBGrid1->AddColumn(QStringLiteral("ZIPCODE"), QStringLiteral("우편번호"));
  DBGrid1->AddColumn(QStringLiteral("DDD"), QString(), 50);  // titled with the field name
  DBGrid1->AddColumn(QStringLiteral("ETC"), QStringLiteral("전체주소"), kAddressColumnWidth);
}

void TFormMain::PopupRowMenu() {
  const int row = DBGrid1->CurrentRow();
  const QRect at = row >= 0 ? DBGrid1->RowRect(row) : DBGrid1->viewport()->rect();
  // Below the row, where a menu opened by the mouse on that row would start.
  PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(QPoint(at.left() + 16, at.bottom())));
}

void TFormMain::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The address column takes what the window gains beyond its designed width
  // (and gives it back), keeping any width the user gave it.
  const int gained = width() - laidOutWidth_;
  laidOutWidth_ = width();
  if (gained == 0 || !DBGrid1) return;
  for (int c = 0; c < DBGrid1->ColumnCount(); ++c)
    if (DBGrid1->ColumnFieldName(c) == QLatin1String("ETC"))
      DBGrid1->SetColumnWidth(c, std::max(4, DBGrid1->ColumnWidth(c) + gained));
}

// A table with longer addresses (one imported from the range files) widens the
// column in proportion, so that its longest address shows whole; the grid then
// scrolls sideways. It never becomes narrower than designed.
void TFormMain::FitAddressColumn() {
  const TField* etc =
      Table1 && Table1->IsOpen() ? Table1->FindField(QStringLiteral("ETC")) : nullptr;
  if (!etc) return;
  // What the window has gained beyond its designed width stays the column's.
  const int width =
      std::max(kAddressColumnWidth,
               (kAddressColumnWidth * etc->Size() + kAddressFieldBytes - 1) / kAddressFieldBytes) +
      (laidOutWidth_ - kClientWidth);
  for (int c = 0; c < DBGrid1->ColumnCount(); ++c)
    if (DBGrid1->ColumnFieldName(c) == QLatin1String("ETC")) DBGrid1->SetColumnWidth(c, width);
}

namespace {

// The title of a further field's column.
QString TitleOf(const QString& fieldName) {
  if (fieldName == QLatin1String("JIBUN")) return QStringLiteral("지번주소");
  if (fieldName == QLatin1String("ENG")) return QStringLiteral("영문주소");
  return fieldName;
}

}  // namespace

void TFormMain::ShowTableColumns() {
  DBGrid1->ClearColumns();
  DBGrid1->AddColumn(QStringLiteral("ZIPCODE"), QStringLiteral("우편번호"));
  DBGrid1->AddColumn(QStringLiteral("DDD"), QString(), 50);
  DBGrid1->AddColumn(QStringLiteral("ETC"), QStringLiteral("전체주소"), kAddressColumnWidth);
  FitAddressColumn();
  const bool open = Table1 && Table1->IsOpen();
  if (open) {
    for (int i = 0; i < Table1->FieldCount(); ++i) {
      const TField* f = Table1->Fields(i);
      const QString name = f->FieldName();
      if (name == QLatin1String("ZIPCODE") || name == QLatin1String("DDD") ||
          name == QLatin1String("ETC"))
        continue;
      // As wide for its bytes as the address column is for its own.
      DBGrid1->AddColumn(name, TitleOf(name),
                         std::max(80, (kAddressColumnWidth * f->Size() + kAddressFieldBytes - 1) /
                                          kAddressFieldBytes));
    }
  }
  Jibun3->setVisible(open && Table1->FindField(QStringLiteral("JIBUN")));
  Eng4->setVisible(open && Table1->FindField(QStringLiteral("ENG")));
}

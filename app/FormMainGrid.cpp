// The result grid.
#include <QColor>

#include "app/Fonts.h"
#include "app/FormMain.h"

// Creates DBGrid1 as a child of the form, with its columns, fonts and options;
// the layout, the popup menu and the tab order are applied to it afterwards.
// CreateDataComponents connects it to DataSource1.
void TFormMain::CreateGrid() {
  DBGrid1 = new TDBGrid(this);
  DBGrid1->setFrameShape(QFrame::NoFrame);
  DBGrid1->setFont(app::GulimFont(13));
  DBGrid1->SetFontColor(Qt::black);
  DBGrid1->SetTitleFont(app::GulimFont(13, true));
  DBGrid1->SetTitleColor(QColor(128, 0, 0));
  DBGrid1->SetOptions(dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                      dgRowSelect | dgConfirmDelete | dgCancelOnExit);
  DBGrid1->AddColumn(QStringLiteral("ZIPCODE"), QStringLiteral("우편번호"));
  DBGrid1->AddColumn(QStringLiteral("DDD"), QString(), 50);  // titled with the field name
  DBGrid1->AddColumn(QStringLiteral("ETC"), QStringLiteral("전체주소"), 590);
}

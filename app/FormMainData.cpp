// Creation of the data components declared in FormMainData.h.
#include "app/FormMain.h"
#include "postal/PostalFiles.h"

void TFormMain::CreateDataComponents() {
  Table1 = new TDbfTable;
  Table1->SetName(QStringLiteral("Table1"));
  Table1->SetReadOnly(true);
  Table1->SetTableType(ttMTX);
  Table1->SetOEMTranslate(false);
  Table1->SetAutoCalcFields(false);
  Table1->SetPassword(QString::fromLatin1(postal::kTablePassword));

  DataSource1 = new TDataSource(this);
  DataSource1->setObjectName(QStringLiteral("DataSource1"));
  DataSource1->SetAutoEdit(false);
  DataSource1->SetDataSet(Table1);
  connect(DataSource1, &TDataSource::DataChange, this, [this] { DataSource1DataChange(); });
  DBGrid1->SetDataSource(DataSource1);

  // Loaded from the form: with local access this loads the database engine,
  // whose loader reports a missing library and ends the application.
  Table1->Loaded();
}

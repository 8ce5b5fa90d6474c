// The result grid.
#include "app/FormMain.h"

// Creates DBGrid1 as a child of the form; the layout, the popup menu and the
// tab order are applied to it afterwards.
void TFormMain::CreateGrid() {
  DBGrid1 = new QWidget(this);
  DBGrid1->setFocusPolicy(Qt::StrongFocus);
  DBGrid1->setFont(QFont(font()));
}

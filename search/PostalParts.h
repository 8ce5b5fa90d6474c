#pragma once
// The widgets and components that the postal-data stages, the search run and
// the result actions act on. The main window owns them all and hands them over
// through this struct, so that the address search depends on no window class.
#include <QString>
#include <vector>

#include "postal/FieldCrossings.h"
#include "postal/SearchText.h"

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QTimer;
class QWidget;
class TDbfTable;
class TFts;

// The search text: CP949, zero-terminated, so at most 255 bytes of text.
using TSearchText = postal::SearchText;
// One raw record followed by its terminating zero byte (RecordSize + 1 bytes);
// empty while no table is open.
using TRecordBuffer = std::vector<char>;

struct TPostalParts {
  QWidget* owner = nullptr;  // owner of the message boxes; its window repaints during the build
  TDbfTable* Table1 = nullptr;
  TFts* Fts1 = nullptr;
  TRecordBuffer* RecordBuffer = nullptr;
  TSearchText* SearchText = nullptr;
  // What the open index knows of the table's fields (set when it is opened).
  postal::FieldCrossings* Crossings = nullptr;
  QLineEdit* edSearch = nullptr;
  QWidget* butFilt = nullptr;
  QProgressBar* Gauge1 = nullptr;
  QCheckBox* CheckBoxMsg = nullptr;
  QTimer* Timer1 = nullptr;
  QWidget* DBGrid1 = nullptr;
  QLineEdit* EditTemp = nullptr;  // the clipboard vehicle
  QWidget* panRecPos = nullptr;   // the record position display
  QString publisherUrl;           // quoted in the not-found message
};

#pragma once
// The main window. Its construction and layout are in FormMain.cpp; the
// handlers live in one file per concern:
//   FormMainLifecycle.cpp   FormCreate, FormActivate, FormDestroy and their
//                           own stages (caption, single instance, message
//                           switch, focus)
//   FormMainKeys.cpp        key preview: FormKeyDown, edSearchKeyDown,
//                           butFiltClick
//   FormMainBanner.cpp      the banner picture and Image1Click
//   FormMainClock.cpp       the LED displays and Timer1Timer
//   FormMainCalendar.cpp    ShowCalendarText
//   FormMainGrid.cpp        CreateGrid (the result grid DBGrid1)
//   FormMainEngine.cpp      SelectMachineCollation
//   FormMainPostalData.cpp  OpenPostalData, ClosePostalData
//   FormMainSearch.cpp      SearchEntry, RunSearch, Post1Click, Juso2Click,
//                           CopyRowClick, DataSource1DataChange
//   FormMainLiveSearch.cpp  the search while typing, the match count in the
//                           grid's title row and the highlighted matches
//   FormMainImport.cpp      new postal data from files dropped on the window
//                           or chosen in the grid's menu
//   FormMainData.h/.cpp     the data components and CreateDataComponents
#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/FormMainData.h"
#include "app/SearchBox.h"
#include "dataset/DBGrid.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QKeyEvent;
class QTimer;

namespace widgets {
class TLedLabel;
}  // namespace widgets

namespace app {
class TAlignLayout;
class TPanel;
}  // namespace app

namespace search {
class TLiveSearch;
class TMatchHighlight;
}  // namespace search

class TFormMain : public QWidget, public TFormMainData {
  Q_OBJECT
 public:
  // Creates every component, then the data components, then runs
  // FormCreate. The window is not shown.
  explicit TFormMain(QWidget* parent = nullptr);
  // Runs FormDestroy unless it has run already.
  ~TFormMain() override;

  // The size of the client area as designed; the window is never smaller.
  static constexpr int kClientWidth = 736;
  static constexpr int kClientHeight = 566;
  // The address column's width at the designed size; a wider window widens it.
  static constexpr int kAddressColumnWidth = 590;

  // ---- Search strip
  app::TPanel* Panel2 = nullptr;        // top, 33 high
  QLabel* labSearch = nullptr;          // 12, 11; 102 x 12
  app::TSearchBox* edSearch = nullptr;  // 119, 7; 162 x 20
  QPushButton* butFilt = nullptr;       // 283, 7; 78 x 22
  app::TPanel* Panel3 = nullptr;        // right, 320 x 33
  QProgressBar* Gauge1 = nullptr;       // in Panel3: 8, 8; 187 x 17; hidden
  QCheckBox* CheckBoxMsg = nullptr;     // in Panel3: 104, 9; 88 x 17
  app::TPanel* panRecPos = nullptr;     // in Panel3: 200, 7; 103 x 23; caption "0 / 0"

  // ---- Result grid: fills the space between the strip and the bottom bands.
  // The data-aware grid over Table1 through DataSource1 (CreateGrid).
  TDBGrid* DBGrid1 = nullptr;

  // ---- Clock and calendar band
  app::TPanel* PanelBOTTOM = nullptr;          // bottom, above Panel1, 99 high
  app::TPanel* PanelLED = nullptr;             // left, 282 x 95
  widgets::TLedLabel* LedLabelDate = nullptr;  // in PanelLED: 0, 0; 282 x 51
  widgets::TLedLabel* LedLabelTime = nullptr;  // in PanelLED: 0, 46; 282 x 51
  QPlainTextEdit* MemoDisp = nullptr;          // fills the rest; read-only

  // ---- Banner band
  app::TPanel* Panel1 = nullptr;  // bottom, 54 high
  QLabel* Image1 = nullptr;       // left, 177 x 54; the banner picture, centred
  app::TPanel* Panel4 = nullptr;  // right, 552 x 54
  QLabel* Label3 = nullptr;       // in Panel4: 16, 22; 537 x 16
  QLabel* Label4 = nullptr;       // in Panel4: 14, 39; 529 x 16; right-justified

  // ---- Without a band
  QLineEdit* EditTemp = nullptr;  // hidden, 121 x 21; the clipboard vehicle
  QMenu* PopupMenu1 = nullptr;    // the grid's popup menu
  QAction* Post1 = nullptr;       // "우편번호 클립보드복사(&1)" -> Post1Click
  QAction* Juso2 = nullptr;       // "전체주소 클립보드복사(&2)" -> Juso2Click
  // Beside them, shown when the table has the field: the lot address and the
  // English address; then the import of new postal data.
  QAction* Jibun3 = nullptr;       // "지번주소 클립보드복사(&3)"
  QAction* Eng4 = nullptr;         // "영문주소 클립보드복사(&4)"
  QAction* ImportData5 = nullptr;  // "우편번호 자료 가져오기…" -> ImportDataClick
  QTimer* Timer1 = nullptr;        // 2000 ms, running from creation -> Timer1Timer

  // The marker name of the single-instance check; tests set their own.
  QString InstanceMarkerName;

  // ---- Lifecycle (FormMainLifecycle.cpp)
  void FormCreate();
  // The start-up sequence. Runs once, after the window's first paint
  // following its first show, or kFirstPaintWaitMs after that show when
  // nothing of it is painted (unless switched off with
  // SetActivateOnShow(false)); calling it again does nothing. A stage that
  // raises ends the sequence with its message shown; the window stays open.
  void FormActivate();
  static constexpr int kFirstPaintWaitMs = 2000;
  // The end of the run; runs once, from the destructor at the latest.
  void FormDestroy();
  bool HasActivated() const { return activated_; }
  bool InStartUp() const { return inStartUp_; }
  void SetActivateOnShow(bool on) { activateOnShow_ = on; }

  // The stages, in the order they run. FormCreate: the engine's collation,
  // the clock displays (Timer1Timer), the caption. FormActivate: the
  // calendar text, the single-instance check, the postal data, the message
  // switch, the focus. FormDestroy: the postal data closed, the message
  // switch saved.
  //
  // Own stages of the lifecycle.
  void ApplyCaptionSetting();  // the caption from the settings file
  void CheckSingleInstance();  // closes this window when another instance runs
  void ApplyMessageSwitch();   // CheckBoxMsg from the stored MSG
  void FocusSearchBox();       // the focus to edSearch
  void SaveMessageSwitch();    // MSG stored, once the box holds a known value

  // Stages owned by the other layers (each in its own file).
  void SelectMachineCollation();  // FormMainEngine.cpp
  void ShowCalendarText();        // today's calendar text in MemoDisp (FormMainCalendar.cpp)
  void OpenPostalData();          // table, record buffer, index (FormMainPostalData.cpp)
  void ClosePostalData();         // index, record buffer, table (FormMainPostalData.cpp)
  // The widgets and components the address search acts on (FormMainPostalData.cpp).
  TPostalParts SearchParts();

  // ---- Keyboard (FormMainKeys.cpp). key is a Qt::Key.
  void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
  void edSearchKeyDown(int key, Qt::KeyboardModifiers modifiers);
  void butFiltClick();

  // ---- Search and result actions (FormMainSearch.cpp)
  // The search entry, run by Return in edSearch and by butFilt.
  void SearchEntry();
  void RunSearch();
  void Post1Click();
  void Juso2Click();
  // Ctrl+C in the grid: the current row's postal code and address.
  void CopyRowClick();
  void DataSource1DataChange();

  // ---- Search while typing (FormMainLiveSearch.cpp)
  // Every change of the search box's composed text asks for it; the newest
  // text is searched once the queued events have run.
  search::TLiveSearch* LiveSearch = nullptr;
  // Shows a search's answer (a match count, 0 for none, search::kWholeTable
  // for a blank box) in the grid's title row, and its matches highlighted.
  void ShowSearchResult(int matches);
  const search::TMatchHighlight& MatchHighlight() const { return *highlight_; }

  // ---- Clock (FormMainClock.cpp)
  void CreateLedDisplays();
  void Timer1Timer();

  // ---- Grid (FormMainGrid.cpp)
  void CreateGrid();
  // Gives grid the popup menu PopupMenu1 (done for DBGrid1 at creation).
  void AttachPopupMenu(QWidget* grid);
  // Shift+F10 and the menu key: PopupMenu1 at the grid's current row.
  void PopupRowMenu();
  // Widens the address column for a table whose ETC is longer than the
  // six-digit table's (run once the table is open).
  void FitAddressColumn();
  // The columns of the open table: the designed three, then one for each
  // further field (the lot address, the English address, ...), reached by
  // scrolling sideways; the copy items of those fields in the menu.
  void ShowTableColumns();

  // ---- New postal data (FormMainImport.cpp)
  // The grid menu's item: the files chosen in a dialog, imported.
  void ImportDataClick();
  // Imports Korea Post's or the government's files (or their zips) into the
  // table the program reads, with the progress bar, then searches the new
  // table at once; the table in use stays until the new one is whole, and a
  // failed import leaves it in use and says which file, line and what. True
  // when the new table is open.
  bool ImportData(const QStringList& paths);
  // What ImportDataClick asks for the files (tests answer without a dialog).
  static std::function<QStringList(QWidget* parent)>& ImportFileChooser();

  // ---- Data components (FormMainData.cpp)
  void CreateDataComponents();

  // ---- Banner (FormMainBanner.cpp)
  // Decodes <program folder>/banner.jpg into Image1; an unusable file leaves
  // the picture empty.
  void LoadBanner();
  void LoadBannerFrom(const QString& path);
  const QImage& BannerImage() const { return banner_; }
  // Opens the publisher's page; when the desktop cannot open it, says why,
  // once in a run.
  void Image1Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateComponents();
  void CreateSearchStrip();
  void CreateClockBand();
  void CreateBannerBand();
  void SetTabOrders();
  bool HandleKeyPreview(QObject* watched, QEvent* event);
  // Return on the focused 찾기 button, the grid's menu and copy keys; true
  // when the key was used.
  bool HandleDesktopKeys(QObject* watched, QKeyEvent* key);
  // A context-menu event from the keyboard on the grid; true when used.
  bool HandleKeyboardMenu(QObject* watched, QEvent* event);
  void CreateLiveSearch();
  bool HandleBannerClick(QObject* watched, QEvent* event);
  // Queues the start-up sequence at the first paint of a widget of this
  // window after the first show; true when it did.
  bool NoteFirstPaint(QObject* watched);

  app::TAlignLayout* formLayout_ = nullptr;
  QImage banner_;
  std::unique_ptr<search::TMatchHighlight> highlight_;
  int laidOutWidth_ = kClientWidth;   // the width the address column was last fitted to
  bool browserFailureShown_ = false;  // the banner's "no browser" message, shown once
  bool activateOnShow_ = true;
  bool shownOnce_ = false;
  bool awaitingFirstPaint_ = false;
  bool activated_ = false;
  bool inStartUp_ = false;
  bool closePending_ = false;
  bool importing_ = false;  // ImportData runs; a close request stops it
  bool stopImport_ = false;
  bool destroyed_ = false;
  // The box holds the stored switch (the start-up sequence read it) or the
  // user's choice; only then does the end of the run write it back.
  bool messageSwitchKnown_ = false;
};

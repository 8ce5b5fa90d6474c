// Construction and layout of the main window.
#include "app/FormMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "app/AlignLayout.h"
#include "app/Fonts.h"
#include "app/Panel.h"
#include "app/Publisher.h"
#include "app/SingleInstance.h"
#include "search/LiveSearch.h"
#include "search/MatchHighlight.h"
#include "search/ResultActions.h"

using app::TAlign;
using app::TPanel;
using app::TPanelBevel;

namespace {

const QColor kBlack(0, 0, 0);
const QColor kNavy(0, 0, 128);

void SetTextColor(QWidget* w, const QColor& color) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::WindowText, color);
  pal.setColor(QPalette::Text, color);
  pal.setColor(QPalette::ButtonText, color);
  w->setPalette(pal);
}

template <typename T>
T* Make(QWidget* parent, const char* name, int left, int top, int width, int height) {
  T* w = new T(parent);
  w->setObjectName(QLatin1String(name));
  w->setGeometry(left, top, width, height);
  return w;
}

}  // namespace

TFormMain::TFormMain(QWidget* parent)
    : QWidget(parent), InstanceMarkerName(QString::fromLatin1(app::kInstanceMarkerName)) {
  setObjectName(QStringLiteral("FormMain"));
  // Postal data files dropped on the window are imported (FormMainImport.cpp).
  setAcceptDrops(true);
  CreateComponents();
  CreateDataComponents();
  CreateLiveSearch();
  FormCreate();
}

TFormMain::~TFormMain() {
  qApp->removeEventFilter(this);
  FormDestroy();
}

void TFormMain::CreateComponents() {
  resize(kClientWidth, kClientHeight);
  setMinimumSize(kClientWidth, kClientHeight);
  setFont(app::DefaultFont());
  SetTextColor(this, kBlack);
  // Button-face background.
  QPalette pal = palette();
  pal.setColor(QPalette::Window, pal.color(QPalette::Button));
  setPalette(pal);
  setAutoFillBackground(true);

  // Bands in the order they are laid out: the top band, the two bottom
  // bands from the bottom up, then the grid in what remains.
  formLayout_ = new app::TAlignLayout(this);
  CreateSearchStrip();
  CreateBannerBand();
  CreateClockBand();
  CreateGrid();
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  AttachPopupMenu(DBGrid1);
  formLayout_->addWidget(Panel2, TAlign::alTop);
  formLayout_->addWidget(Panel1, TAlign::alBottom);
  formLayout_->addWidget(PanelBOTTOM, TAlign::alBottom);
  formLayout_->addWidget(DBGrid1, TAlign::alClient);

  EditTemp = Make<QLineEdit>(this, "EditTemp", 0, 0, 121, 21);
  EditTemp->hide();

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(2000);
  connect(Timer1, &QTimer::timeout, this, &TFormMain::Timer1Timer);
  Timer1->start();

  SetTabOrders();
  // Key preview: every key of this window passes FormKeyDown first.
  qApp->installEventFilter(this);
}

void TFormMain::CreateSearchStrip() {
  Panel2 = Make<TPanel>(this, "Panel2", 0, 0, kClientWidth, 33);

  labSearch = Make<QLabel>(Panel2, "labSearch", 12, 11, 102, 12);
  labSearch->setText(QStringLiteral("전체 검색어[F5] :"));
  labSearch->setFont(app::GulimFont(12));
  labSearch->setToolTip(QStringLiteral("Enter a search value and press Return"));

  edSearch = Make<app::TSearchBox>(Panel2, "edSearch", 119, 7, 162, 20);
  edSearch->setFrame(false);
  {
    // Frameless on the strip's button face, a disabled box (while the index
    // is built) would vanish; it keeps its field and greys only its text.
    QPalette pal = edSearch->palette();
    pal.setColor(QPalette::Disabled, QPalette::Base, pal.color(QPalette::Active, QPalette::Base));
    edSearch->setPalette(pal);
  }
  edSearch->setFont(app::GulimFont(13));
  edSearch->setToolTip(QStringLiteral("찾을 문자를 입력하세요. 빈칸이면 전체자료를 보여줍니다"));

  butFilt = Make<QPushButton>(Panel2, "butFilt", 283, 7, 78, 22);
  butFilt->setText(QStringLiteral("찾기"));
  butFilt->setFont(app::GulimFont(12));
  butFilt->setAutoDefault(false);
  connect(butFilt, &QPushButton::clicked, this, &TFormMain::butFiltClick);

  Panel3 = Make<TPanel>(Panel2, "Panel3", kClientWidth - 320, 0, 320, 33);
  auto* strip = new app::TAlignLayout(Panel2);
  strip->addWidget(Panel3, TAlign::alRight);

  Gauge1 = Make<QProgressBar>(Panel3, "Gauge1", 8, 8, 187, 17);
  Gauge1->setRange(0, 0);
  Gauge1->setValue(0);
  Gauge1->setTextVisible(false);
  Gauge1->hide();

  CheckBoxMsg = Make<QCheckBox>(Panel3, "CheckBoxMsg", 104, 9, 88, 17);
  CheckBoxMsg->setText(QStringLiteral("메세지 보기"));
  CheckBoxMsg->setFont(app::GulimFont(12));
  CheckBoxMsg->setChecked(true);
  connect(CheckBoxMsg, &QCheckBox::toggled, this, [this] { messageSwitchKnown_ = true; });

  panRecPos = Make<TPanel>(Panel3, "panRecPos", 200, 7, 103, 23);
  panRecPos->SetBevels(TPanelBevel::bvSpace, TPanelBevel::bvLowered);
  panRecPos->SetCaption(QStringLiteral("0 / 0"));
  panRecPos->setFont(app::GulimFont(13));
}

void TFormMain::CreateClockBand() {
  PanelBOTTOM = Make<TPanel>(this, "PanelBOTTOM", 0, kClientHeight - 54 - 99, kClientWidth, 99);
  PanelBOTTOM->SetBevels(TPanelBevel::bvRaised, TPanelBevel::bvLowered);
  auto* band = new app::TAlignLayout(PanelBOTTOM);

  PanelLED = Make<TPanel>(PanelBOTTOM, "PanelLED", 2, 2, 282, 95);
  band->addWidget(PanelLED, TAlign::alLeft);
  CreateLedDisplays();

  MemoDisp = Make<QPlainTextEdit>(PanelBOTTOM, "MemoDisp", 284, 2, kClientWidth - 286, 95);
  MemoDisp->setReadOnly(true);
  MemoDisp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MemoDisp->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  MemoDisp->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  MemoDisp->setLineWidth(1);
  MemoDisp->setFont(app::GulimFont(13));
  QPalette pal = MemoDisp->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Button));
  pal.setColor(QPalette::Text, pal.color(QPalette::WindowText));
  MemoDisp->setPalette(pal);
  band->addWidget(MemoDisp, TAlign::alClient);
}

void TFormMain::CreateBannerBand() {
  Panel1 = Make<TPanel>(this, "Panel1", 0, kClientHeight - 54, kClientWidth, 54);
  auto* band = new app::TAlignLayout(Panel1);

  Image1 = Make<QLabel>(Panel1, "Image1", 0, 0, 177, 54);
  Image1->setAlignment(Qt::AlignCenter);
  Image1->setCursor(Qt::PointingHandCursor);
  band->addWidget(Image1, TAlign::alLeft);

  Panel4 = Make<TPanel>(Panel1, "Panel4", kClientWidth - 552, 0, 552, 54);
  band->addWidget(Panel4, TAlign::alRight);

  Label3 = Make<QLabel>(Panel4, "Label3", 16, 22, 537, 16);
  Label3->setText(QString::fromUtf8(app::kPublisherProductsLine));
  Label4 = Make<QLabel>(Panel4, "Label4", 14, 39, 529, 16);
  Label4->setText(QString::fromUtf8(app::kPublisherNameLine));
  Label4->setAlignment(Qt::AlignRight | Qt::AlignTop);
  for (QLabel* label : {Label3, Label4}) {
    label->setFont(app::GulimFont(12));
    SetTextColor(label, kNavy);
    label->setCursor(Qt::PointingHandCursor);
  }
  for (QWidget* w : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(Panel4),
                     static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label4)})
    w->installEventFilter(this);

  LoadBanner();
}

void TFormMain::AttachPopupMenu(QWidget* grid) {
  if (!PopupMenu1) {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Post1 = PopupMenu1->addAction(QStringLiteral("우편번호 클립보드복사(&1)"));
    Post1->setObjectName(QStringLiteral("Post1"));
    Juso2 = PopupMenu1->addAction(QStringLiteral("전체주소 클립보드복사(&2)"));
    Juso2->setObjectName(QStringLiteral("Juso2"));
    connect(Post1, &QAction::triggered, this, &TFormMain::Post1Click);
    connect(Juso2, &QAction::triggered, this, &TFormMain::Juso2Click);
    Jibun3 = PopupMenu1->addAction(QStringLiteral("지번주소 클립보드복사(&3)"));
    Jibun3->setObjectName(QStringLiteral("Jibun3"));
    Jibun3->setVisible(false);
    Eng4 = PopupMenu1->addAction(QStringLiteral("영문주소 클립보드복사(&4)"));
    Eng4->setObjectName(QStringLiteral("Eng4"));
    Eng4->setVisible(false);
    connect(Jibun3, &QAction::triggered, this, [this] {
      TPostalParts parts = SearchParts();
      search::CopyFieldClick(parts, QStringLiteral("JIBUN"));
    });
    connect(Eng4, &QAction::triggered, this, [this] {
      TPostalParts parts = SearchParts();
      search::CopyFieldClick(parts, QStringLiteral("ENG"));
    });
    PopupMenu1->addSeparator();
    ImportData5 = PopupMenu1->addAction(QStringLiteral("우편번호 자료 가져오기…"));
    ImportData5->setObjectName(QStringLiteral("ImportData5"));
    connect(ImportData5, &QAction::triggered, this, &TFormMain::ImportDataClick);
  }
  grid->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(grid, &QWidget::customContextMenuRequested, this,
          [this, grid](const QPoint& pos) { PopupMenu1->popup(grid->mapToGlobal(pos)); });
}

// Form level: Panel1, DBGrid1, Panel2, PanelBOTTOM, EditTemp; in Panel2:
// edSearch, Panel3, butFilt; in Panel3: Gauge1, panRecPos, CheckBoxMsg; in
// PanelBOTTOM: PanelLED, MemoDisp. Panel1 holds nothing that takes the focus.
void TFormMain::SetTabOrders() {
  QWidget* chain[] = {DBGrid1,     edSearch, Gauge1,   panRecPos,
                      CheckBoxMsg, butFilt,  MemoDisp, EditTemp};
  for (size_t i = 0; i + 1 < std::size(chain); ++i) setTabOrder(chain[i], chain[i + 1]);
}

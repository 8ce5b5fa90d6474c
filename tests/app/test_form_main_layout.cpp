// The main window against its layout tables: bands, positions, sizes, fonts,
// colours, captions, hints, visibility and the tab order.
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include "FormFixture.h"
#include "app/Fonts.h"
#include "app/Panel.h"
#include "app/Publisher.h"

namespace {

using app::TPanelBevel;

class FormLayout : public FormFixture {};

TEST_F(FormLayout, ClientAreaAndBands) {
  ShowActive();
  TFormMain& f = Form();
  EXPECT_EQ(f.size(), QSize(736, 566));
  EXPECT_EQ(f.Panel2->geometry(), QRect(0, 0, 736, 33));
  EXPECT_EQ(f.Panel1->geometry(), QRect(0, 512, 736, 54));
  EXPECT_EQ(f.PanelBOTTOM->geometry(), QRect(0, 413, 736, 99));
  EXPECT_EQ(f.DBGrid1->geometry(), QRect(0, 33, 736, 380));
  EXPECT_EQ(f.DBGrid1->objectName(), "DBGrid1");
}

TEST_F(FormLayout, CentredOnTheScreenWhenFirstShown) {
  ShowActive();
  const QRect screen = Form().screen()->availableGeometry();
  const QPoint offset = Form().frameGeometry().center() - screen.center();
  EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
}

TEST_F(FormLayout, BandsFollowAResize) {
  ShowActive();
  TFormMain& f = Form();
  f.resize(1000, 700);
  QApplication::processEvents();
  EXPECT_EQ(f.Panel2->geometry(), QRect(0, 0, 1000, 33));
  EXPECT_EQ(f.Panel3->geometry(), QRect(680, 0, 320, 33));
  EXPECT_EQ(f.Panel1->geometry(), QRect(0, 646, 1000, 54));
  EXPECT_EQ(f.PanelBOTTOM->geometry(), QRect(0, 547, 1000, 99));
  EXPECT_EQ(f.DBGrid1->geometry(), QRect(0, 33, 1000, 514));
  EXPECT_EQ(f.Panel4->geometry(), QRect(448, 0, 552, 54));
  EXPECT_EQ(f.MemoDisp->geometry(), QRect(284, 2, 714, 95));
  // Smaller than the bands: nothing gets a negative size, and the designed
  // sizes come back when the window grows again.
  f.resize(200, 100);
  QApplication::processEvents();
  EXPECT_GE(f.DBGrid1->height(), 0);
  f.resize(736, 566);
  QApplication::processEvents();
  EXPECT_EQ(f.PanelBOTTOM->geometry(), QRect(0, 413, 736, 99));
  EXPECT_EQ(f.Panel1->geometry(), QRect(0, 512, 736, 54));
}

TEST_F(FormLayout, SearchStrip) {
  ShowActive();
  TFormMain& f = Form();
  EXPECT_EQ(f.labSearch->geometry(), QRect(12, 11, 102, 12));
  EXPECT_EQ(f.labSearch->text(), QString::fromUtf8("전체 검색어[F5] :"));
  EXPECT_EQ(f.labSearch->toolTip(), "Enter a search value and press Return");
  EXPECT_EQ(f.edSearch->geometry(), QRect(119, 7, 162, 20));
  EXPECT_FALSE(f.edSearch->hasFrame());
  EXPECT_EQ(f.edSearch->toolTip(),
            QString::fromUtf8("찾을 문자를 입력하세요. 빈칸이면 전체자료를 보여줍니다"));
  EXPECT_EQ(f.butFilt->geometry(), QRect(283, 7, 78, 22));
  EXPECT_EQ(f.butFilt->text(), QString::fromUtf8("찾기"));
  EXPECT_TRUE(f.butFilt->toolTip().isEmpty());
  EXPECT_EQ(f.Panel3->geometry(), QRect(416, 0, 320, 33));
  EXPECT_EQ(f.Panel3->BorderWidth(), 0);
  EXPECT_EQ(f.Gauge1->parentWidget(), f.Panel3);
  EXPECT_EQ(f.Gauge1->geometry(), QRect(8, 8, 187, 17));
  EXPECT_TRUE(f.Gauge1->isHidden());
  EXPECT_EQ(f.CheckBoxMsg->geometry(), QRect(104, 9, 88, 17));
  EXPECT_EQ(f.CheckBoxMsg->text(), QString::fromUtf8("메세지 보기"));
  EXPECT_TRUE(f.CheckBoxMsg->isChecked());
  EXPECT_TRUE(f.CheckBoxMsg->isVisible());
  EXPECT_EQ(f.panRecPos->geometry(), QRect(200, 7, 103, 23));
  EXPECT_EQ(f.panRecPos->Caption(), "0 / 0");
  EXPECT_EQ(f.panRecPos->BevelInner(), TPanelBevel::bvLowered);
  EXPECT_EQ(f.panRecPos->BevelOuter(), TPanelBevel::bvSpace);
}

TEST_F(FormLayout, ClockAndBannerBands) {
  ShowActive();
  TFormMain& f = Form();
  EXPECT_EQ(f.PanelBOTTOM->BevelOuter(), TPanelBevel::bvRaised);
  EXPECT_EQ(f.PanelBOTTOM->BevelInner(), TPanelBevel::bvLowered);
  EXPECT_EQ(f.PanelLED->geometry(), QRect(2, 2, 282, 95));
  EXPECT_EQ(f.PanelLED->BorderWidth(), 0);
  // Looked up by name, so that this holds whatever kind of display it is.
  auto* date = f.PanelLED->findChild<QWidget*>("LedLabelDate");
  auto* time = f.PanelLED->findChild<QWidget*>("LedLabelTime");
  ASSERT_TRUE(date && time);
  EXPECT_EQ(date->geometry(), QRect(0, 0, 282, 51));
  EXPECT_EQ(time->geometry(), QRect(0, 46, 282, 51));
  EXPECT_EQ(f.MemoDisp->geometry(), QRect(284, 2, 450, 95));
  EXPECT_TRUE(f.MemoDisp->isReadOnly());
  EXPECT_EQ(f.MemoDisp->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(f.MemoDisp->palette().color(QPalette::Base),
            f.MemoDisp->palette().color(QPalette::Button));

  EXPECT_EQ(f.Panel1->BorderWidth(), 0);
  EXPECT_EQ(f.Image1->geometry(), QRect(0, 0, 177, 54));
  EXPECT_EQ(f.Image1->alignment(), Qt::AlignCenter);
  EXPECT_EQ(f.Panel4->geometry(), QRect(184, 0, 552, 54));
  EXPECT_EQ(f.Label3->geometry(), QRect(16, 22, 537, 16));
  EXPECT_EQ(f.Label4->geometry(), QRect(14, 39, 529, 16));
  EXPECT_TRUE(f.Label4->alignment() & Qt::AlignRight);
  EXPECT_EQ(f.Label3->text(), QString::fromUtf8(app::kPublisherProductsLine));
  EXPECT_TRUE(f.Label4->text().contains(app::kPublisherUrl));
  for (QLabel* l : {f.Label3, f.Label4})
    EXPECT_EQ(l->palette().color(QPalette::WindowText), QColor(0, 0, 128));
}

TEST_F(FormLayout, FontsAreGulimCheWithTheKoreanFallbackAtTheirPixelSizes) {
  TFormMain& f = Form();
  const QStringList families = app::GulimFamilies();
  ASSERT_FALSE(families.isEmpty());
  EXPECT_EQ(families.front(), "GulimChe");
  EXPECT_EQ(families.back(), "NanumGothicCoding");
  struct Expect {
    QWidget* w;
    int px;
  } expected[] = {{&f, 13},         {f.labSearch, 12},   {f.edSearch, 13},
                  {f.butFilt, 12},  {f.CheckBoxMsg, 12}, {f.panRecPos, 13},
                  {f.MemoDisp, 13}, {f.Label3, 12},      {f.Label4, 12}};
  for (const Expect& e : expected) {
    EXPECT_EQ(e.w->font().pixelSize(), e.px) << e.w->objectName().toStdString();
    EXPECT_EQ(e.w->font().families(), families) << e.w->objectName().toStdString();
  }
  // The grid's list puts a face with every character of the tables before
  // NanumGothicCoding (test_form_grid_rows.cpp).
  EXPECT_EQ(f.DBGrid1->font().pixelSize(), 13);
  EXPECT_EQ(f.DBGrid1->font().families(), app::GridFamilies());
  // On this system's fonts the list resolves to an installed Korean face.
  const QString used = QFontInfo(f.edSearch->font()).family();
  EXPECT_TRUE(families.contains(used)) << used.toStdString();
}

TEST_F(FormLayout, GridColumnsTitlesAndFonts) {
  TFormMain& f = Form();
  TDBGrid& g = *f.DBGrid1;
  ASSERT_EQ(g.ColumnCount(), 3);
  EXPECT_EQ(g.ColumnFieldName(0), "ZIPCODE");
  EXPECT_EQ(g.ColumnFieldName(1), "DDD");
  EXPECT_EQ(g.ColumnFieldName(2), "ETC");
  EXPECT_EQ(g.ColumnTitle(0), QString::fromUtf8("우편번호"));
  EXPECT_EQ(g.ColumnTitle(1), "DDD");  // the field name
  EXPECT_EQ(g.ColumnTitle(2), QString::fromUtf8("전체주소"));
  EXPECT_EQ(g.ColumnWidth(1), 50);
  EXPECT_EQ(g.ColumnWidth(2), 590);
  EXPECT_EQ(g.TitleFont().pixelSize(), 13);
  EXPECT_TRUE(g.TitleFont().bold());
  EXPECT_EQ(g.TitleFont().families(), app::GridFamilies());
  EXPECT_EQ(g.TitleColor(), QColor(128, 0, 0));
  EXPECT_EQ(g.FontColor(), QColor(Qt::black));
  EXPECT_EQ(g.Options(), dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines |
                             dgTabs | dgRowSelect | dgConfirmDelete | dgCancelOnExit);
  // The postal code has no width of its own: it follows its title in a
  // larger title font, while the other two keep theirs.
  const int zipWidth = g.ColumnWidth(0);
  g.SetTitleFont(app::GridFont(40, true));
  EXPECT_GT(g.ColumnWidth(0), zipWidth);
  EXPECT_EQ(g.ColumnWidth(1), 50);
  EXPECT_EQ(g.ColumnWidth(2), 590);
}

TEST_F(FormLayout, ComponentsWithoutABand) {
  TFormMain& f = Form();
  EXPECT_TRUE(f.EditTemp->isHidden());
  EXPECT_EQ(f.EditTemp->size(), QSize(121, 21));
  EXPECT_EQ(f.Timer1->interval(), 2000);
  EXPECT_TRUE(f.Timer1->isActive());
  ASSERT_NE(f.PopupMenu1, nullptr);
  // The two copies first, in this order; the lot and English copies and the
  // import come after them.
  const QList<QAction*> items = f.PopupMenu1->actions();
  ASSERT_EQ(items.size(), 6);
  EXPECT_EQ(items[0], f.Post1);
  EXPECT_EQ(items[1], f.Juso2);
  EXPECT_EQ(items[2], f.Jibun3);
  EXPECT_EQ(items[3], f.Eng4);
  EXPECT_TRUE(items[4]->isSeparator());
  EXPECT_EQ(items[5], f.ImportData5);
  EXPECT_EQ(f.Post1->text(), QString::fromUtf8("우편번호 클립보드복사(&1)"));
  EXPECT_EQ(f.Juso2->text(), QString::fromUtf8("전체주소 클립보드복사(&2)"));
  EXPECT_EQ(f.DBGrid1->contextMenuPolicy(), Qt::CustomContextMenu);
}

TEST_F(FormLayout, BackgroundIsButtonFace) {
  TFormMain& f = Form();
  EXPECT_TRUE(f.autoFillBackground());
  EXPECT_EQ(f.palette().color(QPalette::Window), f.palette().color(QPalette::Button));
}

TEST_F(FormLayout, TabOrderFollowsTheBandsAndTheirControls) {
  ShowActive();
  TFormMain& f = Form();
  // Panel1 holds nothing focusable; then DBGrid1, the strip (edSearch,
  // Panel3's CheckBoxMsg, butFilt), the clock band's MemoDisp; EditTemp is
  // hidden.
  QList<QWidget*> order;
  QWidget* w = f.DBGrid1;
  do {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() && w->window() == &f)
      order << w;
    w = w->nextInFocusChain();
  } while (w != f.DBGrid1);
  QList<QWidget*> expected{f.DBGrid1, f.edSearch, f.CheckBoxMsg, f.butFilt, f.MemoDisp};
  EXPECT_EQ(order, expected);

  f.DBGrid1->setFocus();
  QStringList visited;
  for (int i = 0; i < 5; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << QApplication::focusWidget()->objectName();
  }
  EXPECT_EQ(visited, (QStringList{"edSearch", "CheckBoxMsg", "butFilt", "MemoDisp", "DBGrid1"}));
}

TEST_F(FormLayout, BannerPictureIsCentredInImage1) {
  TFormMain& f = Form();
  f.LoadBannerFrom(PF_SOURCE_DIR "/data/banner.jpg");
  ASSERT_FALSE(f.BannerImage().isNull());
  EXPECT_EQ(f.BannerImage().size(), QSize(177, 54));
  EXPECT_FALSE(f.Image1->pixmap().isNull());
  f.LoadBannerFrom(ProgramDir() + "/missing.jpg");
  EXPECT_TRUE(f.BannerImage().isNull());
  EXPECT_TRUE(f.Image1->pixmap().isNull());
}

TEST_F(FormLayout, HandCursorOnlyOnThePictureAndTheLabels) {
  TFormMain& f = Form();
  EXPECT_EQ(f.Image1->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(f.Label3->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(f.Label4->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_NE(f.Panel4->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_NE(f.Panel1->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(FormLayout, BannerClicksOpenThePublisherOnce) {
  ShowActive();
  TFormMain& f = Form();
  QTest::mouseClick(f.Image1, Qt::LeftButton);
  QTest::mouseClick(f.Label3, Qt::LeftButton);
  QTest::mouseClick(f.Label4, Qt::LeftButton);
  QTest::mouseClick(f.Panel4, Qt::LeftButton, {}, QPoint(3, 3));  // outside the labels
  EXPECT_EQ(urls_.Urls(), QStringList(4, QString(app::kPublisherUrl)));
  urls_.Clear();
  QTest::mouseClick(f.Image1, Qt::RightButton);
  QTest::mouseClick(f.MemoDisp->viewport(), Qt::LeftButton);
  QTest::mouseClick(f.Panel2, Qt::LeftButton);
  EXPECT_TRUE(urls_.Urls().isEmpty());
  EXPECT_TRUE(messages_.Messages().isEmpty());  // every address was opened
}

TEST_F(FormLayout, ADisabledSearchBoxStillShowsItsField) {
  // Disabled while the index is built; frameless, it must not vanish into
  // the strip's button face.
  ShowActive();
  TFormMain& f = Form();
  const QColor field = f.edSearch->palette().color(QPalette::Active, QPalette::Base);
  ASSERT_NE(field, f.palette().color(QPalette::Button));
  f.edSearch->setEnabled(false);
  const QImage shown = f.edSearch->grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(shown.width() - 4, shown.height() / 2)), field);
  EXPECT_EQ(QColor(shown.pixel(shown.width() / 2, 2)), field);
}

TEST_F(FormLayout, ABannerClickWithoutABrowserSaysWhyOnce) {
  ShowActive();
  TFormMain& f = Form();
  urls_.opens = false;  // as a desktop without a browser or xdg-open answers
  QTest::mouseClick(f.Image1, Qt::LeftButton);
  ASSERT_EQ(messages_.Messages().size(), 1);
  const QString said = messages_.Messages().front();
  EXPECT_TRUE(
      said.startsWith(QString::fromUtf8("웹 페이지를 열 수 없습니다: ") + app::kPublisherUrl))
      << said.toStdString();
  EXPECT_TRUE(said.contains(QString::fromUtf8("웹 브라우저를 찾지 못했습니다")))
      << said.toStdString();
  // Later clicks try again, without repeating the message.
  QTest::mouseClick(f.Label4, Qt::LeftButton);
  QTest::mouseClick(f.Image1, Qt::LeftButton);
  EXPECT_EQ(urls_.Urls().size(), 3);
  EXPECT_EQ(messages_.Messages().size(), 1);
}

}  // namespace

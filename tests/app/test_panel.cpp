// The bevelled panel and the edge alignment of the window's bands.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "app/AlignLayout.h"
#include "app/Panel.h"

namespace {

using app::TAlign;
using app::TPanel;
using app::TPanelBevel;

QImage Render(TPanel& panel) {
  QImage image(panel.size(), QImage::Format_RGB32);
  image.fill(Qt::magenta);
  panel.render(&image);
  return image;
}

TEST(Panel, RaisedOuterAndLoweredInnerBevels) {
  TPanel panel;
  panel.resize(20, 10);
  panel.SetBevels(TPanelBevel::bvRaised, TPanelBevel::bvLowered);
  const QColor light = panel.palette().color(QPalette::Light);
  const QColor dark = panel.palette().color(QPalette::Dark);
  const QColor face = panel.palette().color(QPalette::Button);
  ASSERT_NE(light, dark);
  QImage image = Render(panel);
  // Outer ring: light top and left, dark bottom and right.
  EXPECT_EQ(image.pixel(5, 0), (light).rgb());
  EXPECT_EQ(image.pixel(0, 5), (light).rgb());
  EXPECT_EQ(image.pixel(5, 9), (dark).rgb());
  EXPECT_EQ(image.pixel(19, 5), (dark).rgb());
  // Inner ring the other way round.
  EXPECT_EQ(image.pixel(5, 1), (dark).rgb());
  EXPECT_EQ(image.pixel(1, 5), (dark).rgb());
  EXPECT_EQ(image.pixel(5, 8), (light).rgb());
  EXPECT_EQ(image.pixel(18, 5), (light).rgb());
  EXPECT_EQ(image.pixel(10, 5), (face).rgb());
  EXPECT_EQ(panel.BorderWidth(), 2);
  EXPECT_EQ(panel.contentsMargins(), QMargins(2, 2, 2, 2));
}

TEST(Panel, SpaceBevelKeepsItsWidthButDrawsNothing) {
  TPanel panel;
  panel.resize(20, 10);
  panel.SetBevels(TPanelBevel::bvSpace, TPanelBevel::bvLowered);
  const QColor face = panel.palette().color(QPalette::Button);
  QImage image = Render(panel);
  EXPECT_EQ(image.pixel(5, 0), (face).rgb());
  EXPECT_EQ(image.pixel(5, 1), (panel.palette().color(QPalette::Dark)).rgb());
  EXPECT_EQ(panel.BorderWidth(), 2);
}

TEST(Panel, NoBevelDrawsOnlyTheFace) {
  TPanel panel;
  panel.resize(8, 8);
  QImage image = Render(panel);
  const QColor face = panel.palette().color(QPalette::Button);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(image.pixel(x, 0), (face).rgb());
  EXPECT_EQ(panel.BorderWidth(), 0);
}

TEST(AlignLayout, EdgesStackInOrderAndTheClientFillsTheRest) {
  TPanel container;
  container.SetBevels(TPanelBevel::bvRaised, TPanelBevel::bvNone);  // 1-pixel margin
  auto* layout = new app::TAlignLayout(&container);
  QWidget* top = new QWidget(&container);
  top->resize(10, 5);
  QWidget* bottom1 = new QWidget(&container);
  bottom1->resize(10, 7);
  QWidget* bottom2 = new QWidget(&container);
  bottom2->resize(10, 3);
  QWidget* left = new QWidget(&container);
  left->resize(4, 10);
  QWidget* right = new QWidget(&container);
  right->resize(6, 10);
  QWidget* client = new QWidget(&container);
  QWidget* loose = new QWidget(&container);
  loose->setGeometry(3, 4, 5, 6);
  layout->addWidget(top, TAlign::alTop);
  layout->addWidget(bottom1, TAlign::alBottom);
  layout->addWidget(bottom2, TAlign::alBottom);
  layout->addWidget(left, TAlign::alLeft);
  layout->addWidget(right, TAlign::alRight);
  layout->addWidget(client, TAlign::alClient);
  container.resize(102, 52);
  layout->setGeometry(container.contentsRect());
  EXPECT_EQ(top->geometry(), QRect(1, 1, 100, 5));
  EXPECT_EQ(bottom1->geometry(), QRect(1, 44, 100, 7));
  EXPECT_EQ(bottom2->geometry(), QRect(1, 41, 100, 3));
  EXPECT_EQ(left->geometry(), QRect(1, 6, 4, 35));
  EXPECT_EQ(right->geometry(), QRect(95, 6, 6, 35));
  EXPECT_EQ(client->geometry(), QRect(5, 6, 90, 35));
  EXPECT_EQ(loose->geometry(), QRect(3, 4, 5, 6));

  // A hidden control takes no room.
  bottom1->hide();
  layout->setGeometry(container.contentsRect());
  EXPECT_EQ(bottom2->geometry(), QRect(1, 48, 100, 3));
  EXPECT_EQ(client->geometry(), QRect(5, 6, 90, 42));
}

}  // namespace

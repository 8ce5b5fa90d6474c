// Behaviour of the LED label: settings, text, sizing and when it paints.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWidget>

#include "WidgetTestSupport.h"
#include "widgets/LedLabel.h"

using namespace widgets;
using namespace widgets_test;

namespace {
// Counts the paints that reach the label.
class CountingLabel : public TLedLabel {
 public:
  using TLedLabel::TLedLabel;
  int paints = 0;

 protected:
  void PaintLabel(TCanvas& canvas) override {
    ++paints;
    TLedLabel::PaintLabel(canvas);
  }
};

struct Shown {
  QWidget parent;
  CountingLabel* label;
  Shown() : label(new CountingLabel(&parent)) {
    parent.resize(400, 200);
    parent.show();
    // Let the window be exposed, so that a repaint paints at once.
    for (int i = 0; i < 20 && label->paints == 0; ++i) {
      QCoreApplication::processEvents();
      QCoreApplication::sendPostedEvents();
    }
    label->paints = 0;
  }
};
}  // namespace

TEST(LedLabel, InitialValues) {
  TLedLabel label;
  EXPECT_EQ(label.size(), QSize(30, 30));
  EXPECT_FALSE(label.Transparent());
  EXPECT_TRUE(label.testAttribute(Qt::WA_OpaquePaintEvent));
  EXPECT_FALSE(label.AutoSize());
  EXPECT_EQ(label.Digits(), 2);
  EXPECT_EQ(label.Value(), 0);
  EXPECT_EQ(label.Style(), lsString);
  EXPECT_EQ(label.Color(), clBlack);
  EXPECT_EQ(label.Caption(), QString());
  EXPECT_TRUE(label.isEnabled());
  EXPECT_EQ(label.Bevel().Extent(), 0);
  EXPECT_EQ(label.UpdateCount(), 0);
}

TEST(LedLabel, FormatValue) {
  TLedLabel label;
  EXPECT_EQ(label.FormatValue(7), "07");
  EXPECT_EQ(label.FormatValue(123), "--");
  EXPECT_EQ(label.FormatValue(-5), "-5");
  EXPECT_EQ(label.FormatValue(0), "00");
  label.SetDigits(3);
  EXPECT_EQ(label.FormatValue(-5), "0-5");
  EXPECT_EQ(label.FormatValue(-100), "---");
  EXPECT_EQ(label.FormatValue(INT32_MIN), "---");
  label.SetDigits(0);  // refused
  EXPECT_EQ(label.Digits(), 3);
}

TEST(LedLabel, DisplayTextFollowsStyle) {
  TLedLabel label;
  label.SetCaption("12:34");
  label.SetValue(7);
  EXPECT_EQ(label.DisplayText(), "12:34");
  label.SetStyle(lsInteger);
  EXPECT_EQ(label.DisplayText(), "07");
}

TEST(LedLabel, AutoSizeWithTheClockSettings) {
  TLedLabel label;
  UseClockLook(label);
  label.SetCaption("2026.12.09");
  label.SetAutoSize(true);
  EXPECT_EQ(label.size(), QSize(281, 51));
  label.SetCaption("  07:05 03");
  EXPECT_EQ(label.size(), QSize(281, 51));
  label.SetCaption("12:34");
  EXPECT_EQ(label.size(), QSize(5 * 27 + 11, 51));
  label.LED().SetThickness(2);  // a settings change resizes too
  EXPECT_EQ(label.size(), QSize(5 * 22 + 11, 2 * 10 + 14 + 10));
}

TEST(LedLabel, ValueRepaintsOnlyInIntegerStyleAndNeverResizes) {
  Shown s;
  CountingLabel& label = *s.label;
  label.SetAutoSize(true);
  label.SetCaption("1");
  const QSize stringSize = label.size();
  label.paints = 0;
  label.SetValue(5);
  EXPECT_EQ(label.paints, 0);
  EXPECT_EQ(label.size(), stringSize);
  label.SetStyle(lsInteger);
  const QSize integerSize = label.size();
  EXPECT_EQ(integerSize.width(), 2 * label.LED().DigitCellWidth() + 1);
  label.paints = 0;
  label.SetValue(6);
  EXPECT_EQ(label.paints, 1);
  label.SetValue(6);
  EXPECT_EQ(label.paints, 1);
  label.resize(200, 40);  // a value never resizes, even under AutoSize
  label.SetValue(-7);
  EXPECT_EQ(label.paints, 2);
  EXPECT_EQ(label.size(), QSize(200, 40));
}

TEST(LedLabel, AppearanceChangesPaintAtOnceUnlessHeldOrTransparent) {
  Shown s;
  CountingLabel& label = *s.label;
  label.SetCaption("1");
  EXPECT_EQ(label.paints, 1);
  label.BeginUpdate();
  label.SetCaption("2");
  label.LED().SetThickness(3);
  label.Bevel().SetStyleOuter(bvRaised);
  EXPECT_EQ(label.paints, 1);
  label.EndUpdate();
  EXPECT_EQ(label.paints, 2);
  label.SetTransparent(true);
  EXPECT_FALSE(label.testAttribute(Qt::WA_OpaquePaintEvent));
  const int before = label.paints;
  label.SetCaption("3");  // invalidated: painted with the parent's next paint
  EXPECT_EQ(label.paints, before);
  label.SetTransparent(false);
  EXPECT_TRUE(label.testAttribute(Qt::WA_OpaquePaintEvent));
}

TEST(LedLabel, NothingPaintsWhileLoading) {
  TLedLabel label;
  UseClockLook(label);
  label.BeginLoad();
  label.SetCaption("2026.12.09");
  label.resize(100, 60);
  const QImage loading = Render(label);
  EXPECT_EQ(CountColor(loading, QColor(0, 0, 128)), 0);
  label.EndLoad();
  EXPECT_EQ(label.size(), QSize(100, 60));  // no AutoSize: kept
  EXPECT_GT(CountColor(Render(label), QColor(0, 0, 128)), 0);
}

TEST(LedLabel, AfterLoadingFitsTheText) {
  TLedLabel label;
  label.BeginLoad();
  label.SetCaption("123");
  label.SetAutoSize(true);
  label.resize(10, 10);
  label.EndLoad();
  EXPECT_EQ(label.size(), QSize(3 * 19 + 1, 28));
}

TEST(LedLabel, ColorIsTheLedBackground) {
  TLedLabel label;
  label.SetColor(clNavy);
  EXPECT_EQ(label.Color(), clNavy);
  EXPECT_EQ(label.LED().BackgroundColor(), clNavy);
}

TEST(LedLabel, LedAndBevelAssignmentCopySettings) {
  TLedLabel source;
  UseClockLook(source);
  TLedLabel label;
  label.SetAutoSize(true);
  label.SetCaption("88");
  label.SetLED(source.LED());
  EXPECT_EQ(label.LED().Thickness(), 3);
  EXPECT_EQ(label.LED().ActiveColor(), clWhite);
  EXPECT_EQ(label.LED().BackgroundColor(), clBlack);  // follows the label's Color
  EXPECT_EQ(label.size(), QSize(2 * 27 + 1, 41));
  label.SetBevel(source.Bevel());
  EXPECT_EQ(label.Bevel().StyleOuter(), bvFrameLowered);
  EXPECT_EQ(label.Bevel().Extent(), 5);
  EXPECT_EQ(label.size(), QSize(2 * 27 + 11, 51));
}

TEST(LedLabel, DoubleByteCharactersTakeOneBlankCellPerByte) {
  TLedLabel label;
  label.SetAutoSize(true);
  label.SetCaption(QString::fromUtf8("가"));  // B0 A1
  EXPECT_EQ(label.size(), QSize(2 * 19 + 1, 28));
  // U+AC02 is 81 41 in the code page: its trail byte must not show an "A".
  label.SetCaption(QString::fromUtf8("A\uAC02"));
  EXPECT_EQ(label.size(), QSize(3 * 19 + 1, 28));
  EXPECT_EQ(label.LED().LastText(), QByteArray("A\x81\xA1"));
}

TEST(LedLabel, PaintingKeepsAnUpdateHoldOfTheLed) {
  TLedLabel label;
  label.resize(40, 40);
  label.LED().BeginUpdate();
  label.SetColor(clTeal);  // the LED takes it while held: no notification
  Render(label);
  EXPECT_TRUE(label.LED().IsUpdating());
  EXPECT_EQ(label.LED().BackgroundColor(), clTeal);
  label.LED().EndUpdate(false);
  EXPECT_FALSE(label.LED().IsUpdating());
}

// Decoding of the banner through libjpeg: the shipped picture, and damaged or
// unsuitable files, which must give an empty image and nothing worse.
// Fixtures other than the shipped banner are made here with ImageMagick.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "app/JpegBanner.h"

namespace {

const QString kBanner = QStringLiteral(PF_SOURCE_DIR "/data/banner.jpg");

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs ImageMagick's convert; returns its standard output.
QByteArray Convert(const QStringList& args, bool* ok) {
  QProcess p;
  p.start("convert", args);
  *ok = p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
  return p.readAllStandardOutput();
}

TEST(JpegBanner, ShippedBannerDecodesAtItsSize) {
  QImage image = app::LoadJpegFile(kBanner);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(177, 54));
}

TEST(JpegBanner, PixelsAgreeWithImageMagick) {
  QImage image = app::LoadJpegFile(kBanner);
  ASSERT_FALSE(image.isNull());
  for (QPoint p : {QPoint(3, 50), QPoint(20, 20), QPoint(120, 10), QPoint(170, 45)}) {
    bool ok = false;
    QByteArray rgb = Convert(
        {kBanner, "-crop", QString("1x1+%1+%2").arg(p.x()).arg(p.y()), "-depth", "8", "rgb:-"},
        &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(rgb.size(), 3);
    QColor ours = image.pixelColor(p);
    // Decoders may differ by rounding in the colour conversion and upsampling.
    EXPECT_NEAR(ours.red(), static_cast<unsigned char>(rgb[0]), 6) << p.x() << "," << p.y();
    EXPECT_NEAR(ours.green(), static_cast<unsigned char>(rgb[1]), 6);
    EXPECT_NEAR(ours.blue(), static_cast<unsigned char>(rgb[2]), 6);
  }
}

TEST(JpegBanner, TruncatedDataGivesAnEmptyImage) {
  const QByteArray whole = ReadFile(kBanner);
  ASSERT_GT(whole.size(), 1000);
  for (qsizetype cut :
       {qsizetype(1), qsizetype(2), qsizetype(100), whole.size() / 2, whole.size() - 3})
    EXPECT_TRUE(app::DecodeJpeg(whole.left(cut)).isNull()) << "cut at " << cut;
}

TEST(JpegBanner, CorruptDataGivesAnEmptyImage) {
  const QByteArray whole = ReadFile(kBanner);
  QByteArray badMagic = whole;
  badMagic[1] = 'X';
  EXPECT_TRUE(app::DecodeJpeg(badMagic).isNull());
  EXPECT_TRUE(app::DecodeJpeg(QByteArray(4000, '\xFF')).isNull());
  EXPECT_TRUE(app::DecodeJpeg(QByteArray("not a picture at all")).isNull());
  EXPECT_TRUE(app::DecodeJpeg(QByteArray()).isNull());
  // Garbage in the middle of the entropy-coded data: any outcome but a crash
  // or a read past the buffer is acceptable; sanitizer builds check that.
  QByteArray scrambled = whole;
  for (qsizetype i = whole.size() / 3; i < whole.size() - 2; i += 7) scrambled[i] = char(0x5A ^ i);
  (void)app::DecodeJpeg(scrambled);
}

TEST(JpegBanner, MissingFileGivesAnEmptyImage) {
  EXPECT_TRUE(app::LoadJpegFile("/nonexistent/banner.jpg").isNull());
}

TEST(JpegBanner, GreyPicturesDecodeAndCmykOrHugeOnesAreRefused) {
  QTemporaryDir dir;
  bool ok = false;
  const QString grey = dir.filePath("grey.jpg");
  Convert({"-size", "20x10", "xc:gray50", "-colorspace", "Gray", grey}, &ok);
  ASSERT_TRUE(ok);
  QImage g = app::LoadJpegFile(grey);
  ASSERT_FALSE(g.isNull());
  EXPECT_EQ(g.size(), QSize(20, 10));
  EXPECT_NEAR(g.pixelColor(5, 5).red(), 127, 3);
  EXPECT_EQ(g.pixelColor(5, 5).red(), g.pixelColor(5, 5).blue());

  const QString cmyk = dir.filePath("cmyk.jpg");
  Convert({"-size", "20x10", "xc:red", "-colorspace", "CMYK", cmyk}, &ok);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(app::LoadJpegFile(cmyk).isNull());

  const QString wide = dir.filePath("wide.jpg");
  Convert({"-size", QString("%1x8").arg(app::kMaxJpegSide + 1), "xc:white", wide}, &ok);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(app::LoadJpegFile(wide).isNull());
}

}  // namespace

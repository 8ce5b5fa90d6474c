#pragma once
// Decoding of the banner picture through libjpeg. Any fault in the data (a
// truncated or corrupt file, a colour space libjpeg cannot turn into RGB, a
// picture too large for a banner) gives an empty image, never a crash.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace app {

// Pictures wider or higher than this are refused before any pixel memory is
// allocated.
inline constexpr int kMaxJpegSide = 4096;

// The file name of the banner beside the executable.
inline constexpr char kBannerFileName[] = "banner.jpg";

QImage DecodeJpeg(const QByteArray& bytes);
QImage LoadJpegFile(const QString& path);

}  // namespace app

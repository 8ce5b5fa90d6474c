// libFuzzer target over the banner decoding path: any bytes as banner.jpg,
// through libjpeg into a QImage. Built and run by scripts/fuzz-all.
// Beyond "no crash": a picture is either refused (null) or within the
// banner's size limit, in the RGB format the window draws.
#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <cstdlib>

#include "app/JpegBanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QImage image = app::DecodeJpeg(
      QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  if (image.isNull()) return 0;
  if (image.width() > app::kMaxJpegSide || image.height() > app::kMaxJpegSide ||
      image.format() != QImage::Format_RGB888)
    abort();
  return 0;
}

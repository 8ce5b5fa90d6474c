#include "app/JpegBanner.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace app {
namespace {

// libjpeg reports errors by calling error_exit, which must not return; we
// jump back to Decode. Warnings (a premature end of data among them, which
// libjpeg would otherwise pad with grey) are treated as errors too.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void OnMessage(j_common_ptr info, int level) {
  if (level < 0) OnError(info);
}

void Quiet(j_common_ptr) {}

// Only plain C objects live in this frame, so the longjmp skips no
// destructor; the image is owned by the caller.
bool Decode(const unsigned char* data, unsigned long size, QImage* image) {
  jpeg_decompress_struct info;
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  errors.base.emit_message = OnMessage;
  errors.base.output_message = Quiet;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, size);
  jpeg_read_header(&info, TRUE);
  if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxJpegSide ||
      info.image_height > kMaxJpegSide) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  if (info.output_components != 3) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  *image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                  QImage::Format_RGB888);
  if (image->isNull()) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& bytes) {
  if (bytes.isEmpty()) return QImage();
  QImage image;
  if (!Decode(reinterpret_cast<const unsigned char*>(bytes.constData()),
              static_cast<unsigned long>(bytes.size()), &image))
    return QImage();
  return image;
}

QImage LoadJpegFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QImage();
  // A banner is a few kilobytes; anything this large is not one.
  if (file.size() > 16 * 1024 * 1024) return QImage();
  return DecodeJpeg(file.readAll());
}

}  // namespace app

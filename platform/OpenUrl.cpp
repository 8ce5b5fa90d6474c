#include "platform/OpenUrl.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {
namespace {
UrlRecorder* g_recorder = nullptr;
}

UrlRecorder::UrlRecorder() : previous_(g_recorder) {
  g_recorder = this;
}
UrlRecorder::~UrlRecorder() {
  g_recorder = previous_;
}

bool OpenUrl(QWidget* /*owner*/, const QString& url) {
  if (g_recorder) return g_recorder->Record(url);
  return QDesktopServices::openUrl(QUrl(url));
}

}  // namespace platform

#pragma once
// Opening a web address in the desktop's browser. Tests install a recorder so
// that no browser is started.
#include <QString>
#include <QStringList>

class QWidget;

namespace platform {

// Asks the desktop to open url; false when it has no way to (no browser, no
// xdg-open). A browser that is started and then fails is not seen here.
bool OpenUrl(QWidget* owner, const QString& url);

// While alive, OpenUrl records its addresses here instead of opening them,
// and answers `opens`.
class UrlRecorder {
 public:
  UrlRecorder();
  ~UrlRecorder();
  UrlRecorder(const UrlRecorder&) = delete;
  UrlRecorder& operator=(const UrlRecorder&) = delete;

  const QStringList& Urls() const { return urls_; }
  void Clear() { urls_.clear(); }
  bool Record(const QString& url) {
    urls_.append(url);
    return opens;
  }

  bool opens = true;

 private:
  QStringList urls_;
  UrlRecorder* previous_;
};

}  // namespace platform

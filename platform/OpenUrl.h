#pragma once
// Opening a web address in the desktop's browser. Tests install a recorder so
// that no browser is started.
#include <QString>
#include <QStringList>

class QWidget;

namespace platform {

// Asks the desktop to open url; the result is not reported.
void OpenUrl(QWidget* owner, const QString& url);

// While alive, OpenUrl records its addresses here instead of opening them.
class UrlRecorder {
 public:
  UrlRecorder();
  ~UrlRecorder();
  UrlRecorder(const UrlRecorder&) = delete;
  UrlRecorder& operator=(const UrlRecorder&) = delete;

  const QStringList& Urls() const { return urls_; }
  void Clear() { urls_.clear(); }
  void Record(const QString& url) { urls_.append(url); }

 private:
  QStringList urls_;
  UrlRecorder* previous_;
};

}  // namespace platform

#pragma once
// Modal message boxes with one OK button. Tests install a recorder in place
// of the real box so that no test ever waits on a person.
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace platform {

// Shows text in a modal box with an OK button and returns when it is closed.
// A carriage return alone starts a new line.
void ShowMessage(QWidget* owner, const QString& text);

// While alive, ShowMessage records its texts here instead of showing a box.
class MessageRecorder {
 public:
  MessageRecorder();
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  const QStringList& Messages() const { return messages_; }
  void Clear() { messages_.clear(); }
  void Record(const QString& text) {
    messages_.append(text);
    if (whileShown) whileShown(text);
  }

  // Runs at the moment a box would be up, so that a test can look at the
  // program's state while the user reads the message.
  std::function<void(const QString&)> whileShown;

 private:
  QStringList messages_;
  MessageRecorder* previous_;
};

}  // namespace platform

#pragma once
// The search box: a single-line edit that also tells its text as the user
// sees it while an input method composes a syllable (the preedit, shown at
// the cursor but not yet part of the text).
#include <QLineEdit>
#include <QString>

namespace app {

class TSearchBox : public QLineEdit {
  Q_OBJECT
 public:
  explicit TSearchBox(QWidget* parent = nullptr);

  // text() with the preedit at the cursor.
  QString ComposedText() const;
  const QString& Preedit() const { return preedit_; }
  // Where the preedit stands in ComposedText().
  int PreeditStart() const { return preeditStart_; }

 signals:
  // Every change of ComposedText(): typing, deleting, pasting, setText, and
  // each step of a composition.
  void ComposedTextChanged();

 protected:
  void inputMethodEvent(QInputMethodEvent* event) override;

 private:
  QString preedit_;
  int preeditStart_ = 0;
  bool inInputMethodEvent_ = false;
};

}  // namespace app

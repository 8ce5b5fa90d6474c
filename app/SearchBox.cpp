#include "app/SearchBox.h"

#include <QInputMethodEvent>

namespace app {

TSearchBox::TSearchBox(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, [this] {
    // A change from outside a composition (typing, setText) ends any preedit.
    if (inInputMethodEvent_) return;
    preedit_.clear();
    emit ComposedTextChanged();
  });
}

QString TSearchBox::ComposedText() const {
  QString composed = text();
  if (!preedit_.isEmpty()) composed.insert(preeditStart_, preedit_);
  return composed;
}

void TSearchBox::inputMethodEvent(QInputMethodEvent* event) {
  const QString before = ComposedText();
  inInputMethodEvent_ = true;
  QLineEdit::inputMethodEvent(event);
  inInputMethodEvent_ = false;
  // The line edit shows the preedit at the cursor, after the committed text.
  preedit_ = event->preeditString();
  preeditStart_ = std::min(cursorPosition(), static_cast<int>(text().size()));
  if (ComposedText() != before) emit ComposedTextChanged();
}

}  // namespace app

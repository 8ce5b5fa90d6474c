// Key preview of the main window: every key pressed in any of its controls
// reaches FormKeyDown first and then goes on to the control. The same
// application-wide filter also sees the window's first paint, the banner's
// clicks and the grid's context menu from the keyboard.
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "app/FormMain.h"

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint) NoteFirstPaint(watched);
  if (event->type() == QEvent::KeyPress && HandleKeyPreview(watched, event)) return true;
  if (event->type() == QEvent::MouseButtonRelease && HandleBannerClick(watched, event)) return true;
  if (event->type() == QEvent::ContextMenu && HandleKeyboardMenu(watched, event)) return true;
  return QWidget::eventFilter(watched, event);
}

bool TFormMain::HandleKeyboardMenu(QObject* watched, QEvent* event) {
  // The X11 platform turns the menu key into a context-menu event of its own,
  // placed at the middle of the focused widget, and once the menu is open
  // the key itself goes to the menu; from the keyboard the menu opens at the
  // current row all the same.
  if (!DBGrid1 || (watched != DBGrid1 && watched != DBGrid1->viewport())) return false;
  if (static_cast<QContextMenuEvent*>(event)->reason() != QContextMenuEvent::Keyboard) return false;
  PopupRowMenu();
  return true;
}

bool TFormMain::HandleKeyPreview(QObject* watched, QEvent* event) {
  // A key goes first to the focus widget (or to the window when nothing in
  // it has the focus) and is then passed up to the parents; only that first
  // delivery is previewed, so each key is seen once.
  QWidget* first = QApplication::focusWidget();
  if (!first || first->window() != this) first = this;
  if (watched != first) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  FormKeyDown(key->key(), key->modifiers());
  if (watched == edSearch) edSearchKeyDown(key->key(), key->modifiers());
  return HandleDesktopKeys(watched, key);  // otherwise the control gets the key as well
}

bool TFormMain::HandleDesktopKeys(QObject* watched, QKeyEvent* key) {
  const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
  if (watched == butFilt && enter && modifiers == Qt::NoModifier) {
    if (!key->isAutoRepeat()) butFilt->click();
    return true;
  }
  if (watched != DBGrid1) return false;
  const bool shiftF10 = key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier;
  if (key->key() == Qt::Key_Menu || shiftF10) {
    PopupRowMenu();
    return true;
  }
  if (key->matches(QKeySequence::Copy)) {
    CopyRowClick();
    return true;
  }
  return false;
}

void TFormMain::FormKeyDown(int key, Qt::KeyboardModifiers) {
  switch (key) {
    case Qt::Key_F5:
      edSearch->selectAll();
      edSearch->setFocus(Qt::ShortcutFocusReason);
      break;
    case Qt::Key_Escape:
      close();
      break;
    default:
      break;
  }
}

void TFormMain::edSearchKeyDown(int key, Qt::KeyboardModifiers) {
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return;
  SearchEntry();
}

void TFormMain::butFiltClick() {
  SearchEntry();
}

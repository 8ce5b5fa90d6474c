#pragma once
// The busy cursor for the whole application, restored by the destructor so
// that every way out of a long operation gives the normal cursor back.
#include <QApplication>
#include <QCursor>

namespace platform {

class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace platform

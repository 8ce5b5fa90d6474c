// A settings file KOLBRENT.INI in a folder of the test's own, written and
// read back as bytes.
#pragma once
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

class IniFolder : public ::testing::Test {
 protected:
  QString Path() const { return dir_.filePath("KOLBRENT.INI"); }
  void Put(const QByteArray& bytes) {
    QFile f(Path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  // The file's bytes, or "<missing>".
  QByteArray Get() const {
    QFile f(Path());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  QTemporaryDir dir_;
};

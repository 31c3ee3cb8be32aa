#pragma once
#include "CAppsString.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <QFile>
#include <QString>

inline CAppsString str(const QString& s) { return CAppsString::fromQString(s); }

inline void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

inline QByteArray readFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
  return f.readAll();
}

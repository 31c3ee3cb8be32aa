#include "ApplicationDirectory.h"

#include "FileUtility.h"
#include "NString.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <sys/stat.h>

namespace {

CAppsString collapsed(const NString& name) {
  CAppsString s = FileUtility::convertSeparators(CAppsString::fromNString(name));
  while (s.indexOf("//") >= 0) s.replaceAll("//", "/");
  return s;
}

bool within(const QString& root, const QString& path) {
  if (path == root) return true;
  const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
  return path.startsWith(prefix);
}

}  // namespace

bool ApplicationDirectory::isValidName(const NString& name) {
  if (name.isEmpty()) return false;
  const TChar* u = name.units();
  for (TInt32 i = 0; i < name.length(); ++i) {
    const TChar c = u[i];
    if (c == 0 || c == ':' || c == '|') return false;
    if (c == '.' && i + 1 < name.length() && u[i + 1] == '.') return false;
  }
  return true;
}

CAppsString ApplicationDirectory::join(const NString& name) const {
  return FileUtility::join(iPath, collapsed(name));
}

QString ApplicationDirectory::root() const {
  const QString given = iPath.toQString();
  const QString canonical = QFileInfo(given).canonicalFilePath();
  return canonical.isEmpty() ? QDir::cleanPath(QDir(given).absolutePath()) : canonical;
}

// Walks the components below the directory; a link met on the way must
// resolve to an existing place inside. Once a component does not exist
// nothing further can be a link.
bool ApplicationDirectory::staysInside(const CAppsString& relative) const {
  const QString base = root();
  QString current = iPath.toQString();
  const QStringList parts = relative.toQString().split(QLatin1Char('/'), Qt::SkipEmptyParts);
  for (const QString& part : parts) {
    if (part == QLatin1String(".")) continue;
    current += QLatin1Char('/') + part;
    const QFileInfo info(current);
    if (info.isSymLink()) {
      const QString target = info.canonicalFilePath();
      if (target.isEmpty() || !within(base, target)) return false;
    } else if (!info.exists()) {
      break;
    }
  }
  return true;
}

bool ApplicationDirectory::resolve(const NString& name, CAppsString& out) const {
  if (!isValidName(name)) return false;
  const CAppsString relative = collapsed(name);
  if (!staysInside(relative)) return false;
  out = FileUtility::join(iPath, relative);
  return true;
}

bool ApplicationDirectory::resolveWritable(const NString& name, CAppsString& out) const {
  if (!resolve(name, out)) return false;
  struct stat st;
  const QByteArray path = QFile::encodeName(out.toQString());
  return ::stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink <= 1;
}

bool ApplicationDirectory::resolveEntry(const NString& name, CAppsString& out) const {
  if (!resolve(name, out)) return false;
  const QStringList parts = collapsed(name).toQString().split(QLatin1Char('/'), Qt::SkipEmptyParts);
  for (const QString& part : parts)
    if (part != QLatin1String(".")) return true;
  return false;
}

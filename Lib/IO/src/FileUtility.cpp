#include "FileUtility.h"

#include "Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TChar FileUtility::separator() {
  static const TChar kSeparator = QDir::separator().unicode();
  return kSeparator;
}

Str16 FileUtility::convertSeparators(const Str16& path) {
  Str16 result(path);
  if (separator() == '\\') {
    result.replaceAll("/", "\\");
  } else if (separator() == '/') {
    result.replaceAll("\\", "/");
  } else {
    VM_ASSERT(false);
  }
  return result;
}

Str16 FileUtility::ensureTrailingSeparator(const Str16& path) {
  if (path.endsWith("\\") || path.endsWith("/")) return path;
  Str16 result(path);
  result.append(separator());
  return result;
}

Str16 FileUtility::join(const Str16& directory, const Str16& name) {
  if (directory.isEmpty()) return name;
  Str16 result = ensureTrailingSeparator(directory);
  if (name.startsWith("/") || name.startsWith("\\")) result.append(name.substring(1));
  else result.append(name);
  return result;
}

Str16 FileUtility::parentPath(const Str16& path) { return Str16::fromQString(QFileInfo(path.toQString()).path()); }

bool FileUtility::isRelative(const Str16& path) { return QFileInfo(convertSeparators(path).toQString()).isRelative(); }

bool FileUtility::usable(const Str16& path, QString& out) {
  if (path.isEmpty()) return false;
  out = convertSeparators(path).toQString();
  return !QFileInfo(out).isRelative();
}

bool FileUtility::fileExists(const Str16& path) { return !path.isEmpty() && QFile::exists(path.toQString()); }

bool FileUtility::directoryExists(const Str16& path) {
  QString p;
  return usable(path, p) && QDir(p).exists();
}

bool FileUtility::makePath(const Str16& path) {
  QString p;
  return usable(path, p) && QDir().mkpath(p);
}

bool FileUtility::deleteFile(const Str16& path) {
  QString p;
  return usable(path, p) && QFile::remove(p);
}

bool FileUtility::moveFile(const Str16& source, const Str16& target) {
  QString from, to;
  if (!usable(source, from) || !usable(target, to)) return false;
  const QString directory = QFileInfo(to).path();
  if (!QDir(directory).exists() && !QDir().mkpath(directory)) return false;
  return QFile::rename(from, to);
}

bool FileUtility::renameDirectory(const Str16& first, const Str16& second) {
  QString newName, oldName;
  if (!usable(first, newName) || !usable(second, oldName)) return false;
  return QDir().rename(oldName, newName);
}

bool FileUtility::getFileListing(const Str16& directory, Vec<Str16>& list, bool skipHidden) {
  QString p;
  if (!usable(directory, p)) return false;
  list.clear();
  QDir dir(p);
  if (!dir.exists()) return false;
  const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::NoSort);
  for (const QFileInfo& entry : entries) {
    if (!entry.isFile()) continue;
    const Str16 str = Str16::fromQString(entry.fileName());
    VM_ASSERT(str != "..");
    if (skipHidden && str.startsWith(".")) continue;
    list.append(str);
  }
  return true;
}

bool FileUtility::getDirectoryListing(const Str16& directory, Vec<Str16>& list, bool skipHidden) {
  QString p;
  if (!usable(directory, p)) return false;
  list.clear();
  QDir dir(p);
  if (!dir.exists()) return false;
  const QFileInfoList entries =
      dir.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::NoSort);
  for (const QFileInfo& entry : entries) {
    const Str16 str = Str16::fromQString(entry.fileName());
    if (str == "..") continue;
    if (skipHidden && str.startsWith(".")) continue;
    list.append(str);
  }
  return true;
}

bool FileUtility::deleteDirectory(const Str16& path) {
  QString p;
  if (!usable(path, p)) return false;
  if (p.contains(QStringLiteral(".."))) return false;
  // A link to a directory is not the tree to delete: remove the link only.
  const QFileInfo info(p);
  if (info.isSymLink()) return QFile::remove(p);
  if (!info.isDir()) return false;
  return deleteTree(p);
}

// Everything that is not a real directory (files, links of every kind,
// dangling links, device files) is unlinked; real directories recurse.
// The first failure ends the walk.
bool FileUtility::deleteTree(const QString& path) {
  QDir dir(path);
  const QFileInfoList entries =
      dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
  for (const QFileInfo& entry : entries) {
    if (entry.isSymLink() || !entry.isDir()) {
      if (!QFile::remove(dir.filePath(entry.fileName()))) return false;
    }
  }
  for (const QFileInfo& entry : entries) {
    if (!entry.isSymLink() && entry.isDir()) {
      if (!deleteTree(dir.filePath(entry.fileName()))) return false;
    }
  }
  return QDir().rmdir(path);
}

#pragma once
// The application directory and the names an application may use in it.
//
// A name is valid when it is not empty and holds none of "..", ":", "|"
// and no NUL unit (the platform call would cut the path short there). It
// resolves under the directory with separators converted and runs of
// slashes collapsed, so an absolute form lands inside too. A valid name
// is still refused when a symbolic link on its way (the last component
// included, dangling or not) leads outside the directory. Opening for
// writing also refuses a regular file with more than one link: a hard link
// planted in the directory may share its data with a file outside.
#include "CAppsString.h"

class NString;
class QString;

class ApplicationDirectory {
 public:
  explicit ApplicationDirectory(const CAppsString& path) : iPath(path) {}

  const CAppsString& path() const { return iPath; }

  static bool isValidName(const NString& name);
  // The path a name stands for, without any check (also what the
  // "Failed to open" message prints).
  CAppsString join(const NString& name) const;
  // Valid and inside: the resolved path in out.
  bool resolve(const NString& name, CAppsString& out) const;
  // As resolve, and not the directory itself: removing or renaming that
  // would change an entry of its parent, outside.
  bool resolveEntry(const NString& name, CAppsString& out) const;
  // As resolve, and not a regular file that has other hard links (deleting
  // or renaming such a name only changes the directory, and stays allowed).
  bool resolveWritable(const NString& name, CAppsString& out) const;

 private:
  bool staysInside(const CAppsString& relative) const;
  QString root() const;

  CAppsString iPath;
};

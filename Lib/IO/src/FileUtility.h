#pragma once
// FileUtility: path helpers and file-system operations behind the host's
// file services. Operations that touch the file system (fileExists
// excepted) refuse empty and relative paths with false and convert
// separators first. Failures are results, never raises.
#include "CAppsString.h"
#include "Vec.h"

typedef CAppsString Str16;

class FileUtility {
 public:
  static TChar separator();
  static Str16 convertSeparators(const Str16& path);
  static Str16 ensureTrailingSeparator(const Str16& path);
  static Str16 join(const Str16& directory, const Str16& name);
  static Str16 parentPath(const Str16& path);
  static bool isRelative(const Str16& path);

  // Unchanged path, relative ones included.
  static bool fileExists(const Str16& path);
  static bool directoryExists(const Str16& path);
  static bool makePath(const Str16& path);
  static bool deleteFile(const Str16& path);
  // Creates the target's directory when missing.
  static bool moveFile(const Str16& source, const Str16& target);
  // The directory named by `second` takes the name `first`.
  static bool renameDirectory(const Str16& first, const Str16& second);
  // Names only, in the platform's order; symbolic links are not listed.
  static bool getFileListing(const Str16& directory, Vec<Str16>& list, bool skipHidden);
  static bool getDirectoryListing(const Str16& directory, Vec<Str16>& list, bool skipHidden);
  // Removes the directory and everything below it. A symbolic link met on
  // the way (or given as the path) is removed itself, never followed.
  static bool deleteDirectory(const Str16& path);

 private:
  // Empty or relative paths are refused; others come back converted.
  static bool usable(const Str16& path, QString& out);
  static bool deleteTree(const QString& path);
};

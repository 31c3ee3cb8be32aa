#include "FileUtility.h"
#include "IoTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

namespace {
QSet<QString> names(const Vec<Str16>& list) {
  QSet<QString> out;
  for (const Str16& s : list) out.insert(s.toQString());
  return out;
}
}  // namespace

TEST(FileUtilityPaths, SeparatorsJoinParent) {
  EXPECT_EQ(FileUtility::separator(), '/');
  EXPECT_EQ(FileUtility::convertSeparators("a\\b/c\\"), "a/b/c/");
  EXPECT_EQ(FileUtility::ensureTrailingSeparator("/a"), "/a/");
  EXPECT_EQ(FileUtility::ensureTrailingSeparator("/a\\"), "/a\\");
  EXPECT_EQ(FileUtility::join("", "x"), "x");
  EXPECT_EQ(FileUtility::join("/app", "/data.bin"), "/app/data.bin");
  EXPECT_EQ(FileUtility::join("/app/", "\\data.bin"), "/app/data.bin");
  EXPECT_EQ(FileUtility::join("/app", "d/e"), "/app/d/e");
  EXPECT_EQ(FileUtility::parentPath("/a/b/c.txt"), "/a/b");
  EXPECT_TRUE(FileUtility::isRelative("a/b"));
  EXPECT_FALSE(FileUtility::isRelative("\\a\\b"));
}

TEST(FileUtilityOps, RefuseEmptyAndRelativePaths) {
  Vec<Str16> list;
  EXPECT_FALSE(FileUtility::directoryExists(""));
  EXPECT_FALSE(FileUtility::directoryExists("."));
  EXPECT_FALSE(FileUtility::makePath("rel-made-xyz"));
  EXPECT_FALSE(QFileInfo::exists(QStringLiteral("rel-made-xyz")));
  EXPECT_FALSE(FileUtility::deleteFile("x"));
  EXPECT_FALSE(FileUtility::moveFile("/tmp/a", "b"));
  EXPECT_FALSE(FileUtility::getFileListing(".", list, false));
  EXPECT_FALSE(FileUtility::deleteDirectory(""));
  EXPECT_FALSE(FileUtility::fileExists(""));
}

TEST(FileUtilityOps, ExistsMakeMoveRename) {
  QTemporaryDir tmp;
  const QString root = tmp.path();
  EXPECT_TRUE(FileUtility::makePath(str(root + "/m/n")));
  EXPECT_TRUE(FileUtility::directoryExists(str(root + "\\m\\n")));
  writeFile(root + "/m/f.txt", "x");
  EXPECT_TRUE(FileUtility::fileExists(str(root + "/m/f.txt")));
  EXPECT_TRUE(FileUtility::moveFile(str(root + "/m/f.txt"), str(root + "/new/dir/g.txt")));
  EXPECT_EQ(readFile(root + "/new/dir/g.txt"), "x");
  EXPECT_FALSE(FileUtility::fileExists(str(root + "/m/f.txt")));
  EXPECT_TRUE(FileUtility::deleteFile(str(root + "/new/dir/g.txt")));
  EXPECT_FALSE(FileUtility::deleteFile(str(root + "/new/dir/g.txt")));
  // The second argument is renamed to the first.
  EXPECT_TRUE(FileUtility::renameDirectory(str(root + "/renamed"), str(root + "/m")));
  EXPECT_TRUE(QFileInfo(root + "/renamed/n").isDir());
  EXPECT_FALSE(QFileInfo::exists(root + "/m"));
}

TEST(FileUtilityOps, ListingsSkipHiddenAndLinks) {
  QTemporaryDir tmp;
  const QString root = tmp.path();
  writeFile(root + "/a.txt", "a");
  writeFile(root + "/.hidden", "h");
  QDir().mkpath(root + "/sub");
  QDir().mkpath(root + "/.cache");
  QFile::link(root + "/a.txt", root + "/link.txt");
  QFile::link(root + "/sub", root + "/linkdir");

  Vec<Str16> files, dirs;
  ASSERT_TRUE(FileUtility::getFileListing(str(root), files, false));
  EXPECT_EQ(names(files), (QSet<QString>{"a.txt", ".hidden"}));
  ASSERT_TRUE(FileUtility::getFileListing(str(root), files, true));   // cleared first
  EXPECT_EQ(names(files), QSet<QString>{"a.txt"});
  ASSERT_TRUE(FileUtility::getDirectoryListing(str(root), dirs, false));
  EXPECT_EQ(names(dirs), (QSet<QString>{"sub", ".cache"}));
  ASSERT_TRUE(FileUtility::getDirectoryListing(str(root), dirs, true));
  EXPECT_EQ(names(dirs), QSet<QString>{"sub"});
  EXPECT_FALSE(FileUtility::getFileListing(str(root + "/missing"), files, false));
}

TEST(FileUtilityDelete, RemovesTheWholeTree) {
  QTemporaryDir tmp;
  const QString tree = tmp.path() + "/tree";
  QDir().mkpath(tree + "/x/y/.z");
  writeFile(tree + "/top.txt", "1");
  writeFile(tree + "/.dot", "2");
  writeFile(tree + "/x/y/.z/deep", "3");
  EXPECT_FALSE(FileUtility::deleteDirectory(str(tmp.path() + "/tree/x/../x")));
  EXPECT_TRUE(QFileInfo::exists(tree + "/x/y/.z/deep"));
  EXPECT_TRUE(FileUtility::deleteDirectory(str(tree)));
  EXPECT_FALSE(QFileInfo::exists(tree));
  EXPECT_FALSE(FileUtility::deleteDirectory(str(tree)));
  EXPECT_FALSE(FileUtility::deleteDirectory(str(tmp.path() + "/nothing")));
}

TEST(FileUtilityDelete, NeverFollowsSymbolicLinks) {
  QTemporaryDir tmp;
  const QString outside = tmp.path() + "/outside";
  const QString tree = tmp.path() + "/tree";
  QDir().mkpath(outside + "/keep");
  writeFile(outside + "/precious.txt", "p");
  QDir().mkpath(tree + "/inner");
  ASSERT_TRUE(QFile::link(outside, tree + "/inner/to-outside"));
  ASSERT_TRUE(QFile::link(outside + "/precious.txt", tree + "/file-link"));
  ASSERT_TRUE(QFile::link(tmp.path() + "/gone", tree + "/dangling"));

  EXPECT_TRUE(FileUtility::deleteDirectory(str(tree)));
  EXPECT_FALSE(QFileInfo::exists(tree));
  EXPECT_EQ(readFile(outside + "/precious.txt"), "p");
  EXPECT_TRUE(QFileInfo(outside + "/keep").isDir());

  // A link given as the path itself: the link goes, its target stays.
  ASSERT_TRUE(QFile::link(outside, tmp.path() + "/top-link"));
  EXPECT_TRUE(FileUtility::deleteDirectory(str(tmp.path() + "/top-link")));
  EXPECT_FALSE(QFileInfo(tmp.path() + "/top-link").isSymLink());
  EXPECT_EQ(readFile(outside + "/precious.txt"), "p");
}

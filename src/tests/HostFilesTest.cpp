// The host's file services on a real directory: what refused names leave
// untouched, appending, listings, recursive delete and the log file.
#include "FileInputStream.h"
#include "HostTestSupport.h"
#include "OutputStream.h"

#include <memory>
#include <unistd.h>

using hosttest::Sandbox;
using hosttest::readFile;
using hosttest::writeFile;

namespace {

NString n(const char* s) { return NString(s); }

class HostFiles : public ::testing::Test {
 protected:
  Sandbox box;
  HostServices host{box.appPath()};
};

TEST_F(HostFiles, InvalidNamesFailWithoutTouchingTheFileSystem) {
  writeFile(box.inside("b"), "keep");
  writeFile(box.inside("c:x"), "keep");
  writeFile(box.inside("x|y"), "keep");
  for (const char* name : {"a/../b", "c:x", "x|y", ""}) {
    EXPECT_FALSE(host.fileExists(n(name))) << name;
    EXPECT_FALSE(host.deleteFile(n(name))) << name;
    EXPECT_EQ(host.openOutputStream(n(name), 1), nullptr) << name;
  }
  EXPECT_EQ(readFile(box.inside("b")), "keep");
  EXPECT_EQ(readFile(box.inside("c:x")), "keep");
  EXPECT_EQ(readFile(box.inside("x|y")), "keep");
}

TEST_F(HostFiles, NothingOutsideIsReachedThroughALink) {
  writeFile(box.outside("outside/secret"), "secret");
  writeFile(box.inside("mine"), "mine");
  QDir().mkpath(box.inside("sub"));
  hosttest::link(box.outside("outside"), box.inside("out"));
  hosttest::link(box.outside("outside/planted"), box.inside("dangling"));

  EXPECT_EQ(host.openOutputStream(n("out/new"), 1), nullptr);
  EXPECT_EQ(host.openOutputStream(n("dangling"), 0), nullptr);
  EXPECT_EQ(host.openInputStream(n("out/secret")), nullptr);
  EXPECT_FALSE(host.makePath(n("out/made")));
  EXPECT_FALSE(host.deleteFile(n("out/secret")));
  EXPECT_FALSE(host.deleteDirectory(n("out")));
  EXPECT_FALSE(host.moveFile(n("mine"), n("out/mine")));
  EXPECT_FALSE(host.moveFile(n("out/secret"), n("stolen")));
  EXPECT_FALSE(host.renameDirectory(n("sub"), n("out/sub")));
  EXPECT_FALSE(host.setLogFile(n("out/log")));
  Vec<NString> files, dirs;
  EXPECT_FALSE(host.listDirectory(n("out"), files, dirs));

  EXPECT_EQ(QDir(box.outside("outside")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
            QStringList{"secret"});
  EXPECT_EQ(readFile(box.outside("outside/secret")), "secret");
  EXPECT_EQ(readFile(box.inside("mine")), "mine");
}

// A hard link planted in the directory shares its data with a file
// outside: opening it for writing (or as the log) is refused, while the
// name itself can still be renamed or deleted.
TEST_F(HostFiles, NothingOutsideIsWrittenThroughAHardLink) {
  writeFile(box.outside("outside/secret"), "secret");
  ASSERT_EQ(::link(QFile::encodeName(box.outside("outside/secret")).constData(),
                   QFile::encodeName(box.inside("planted")).constData()), 0);
  EXPECT_EQ(host.openOutputStream(n("planted"), 1), nullptr);
  EXPECT_EQ(host.openOutputStream(n("planted"), 0), nullptr);
  EXPECT_FALSE(host.setLogFile(n("planted")));
  std::unique_ptr<NERIM::InputStream> in(host.openInputStream(n("planted")));
  EXPECT_NE(in, nullptr);
  EXPECT_EQ(readFile(box.outside("outside/secret")), "secret");
  EXPECT_TRUE(host.moveFile(n("planted"), n("moved")));
  EXPECT_TRUE(host.deleteFile(n("moved")));
  EXPECT_EQ(readFile(box.outside("outside/secret")), "secret");
  // A file with one name is written as before.
  std::unique_ptr<NERIM::OutputStream> out(host.openOutputStream(n("own"), 1));
  EXPECT_NE(out, nullptr);
}

TEST_F(HostFiles, OpeningWithoutTruncationAppends) {
  writeFile(box.inside("f"), "abc");
  std::unique_ptr<NERIM::OutputStream> s(host.openOutputStream(n("f"), 0));
  ASSERT_TRUE(s);
  EXPECT_EQ(s->position(), 3);
  s->write(reinterpret_cast<const TUint8*>("d"), 1);
  s.reset();
  EXPECT_EQ(readFile(box.inside("f")), "abcd");

  s.reset(host.openOutputStream(n("f"), 1));
  s->write(reinterpret_cast<const TUint8*>("d"), 1);
  s.reset();
  EXPECT_EQ(readFile(box.inside("f")), "d");

  s.reset(host.openOutputStream(n("new/dir/f"), 0));   // missing file and directories are created
  ASSERT_TRUE(s);
  EXPECT_EQ(s->size(), 0);
}

TEST_F(HostFiles, ListingsLeaveOutHiddenNamesAndAppend) {
  writeFile(box.inside("d/a"), "");
  writeFile(box.inside("d/.h"), "");
  QDir().mkpath(box.inside("d/sub"));
  QDir().mkpath(box.inside("d/.hsub"));
  Vec<NString> files, dirs;
  files.append(n("earlier"));
  ASSERT_TRUE(host.listDirectory(n("d"), files, dirs));
  ASSERT_EQ(files.size(), 2);
  EXPECT_TRUE(files[0] == n("earlier"));
  EXPECT_TRUE(files[1] == n("a"));
  ASSERT_EQ(dirs.size(), 1);
  EXPECT_TRUE(dirs[0] == n("sub"));

  EXPECT_FALSE(host.listDirectory(n("missing"), files, dirs));
  EXPECT_EQ(files.size(), 2);
  EXPECT_EQ(dirs.size(), 1);
}

TEST_F(HostFiles, RecursiveDeleteRefusesDotDotAndTheDirectoryItself) {
  writeFile(box.inside("tree/a/b"), "x");
  writeFile(box.outside("sibling/keep"), "keep");
  hosttest::link(box.outside("sibling"), box.inside("tree/a/link"));
  for (const char* name : {"tree/..", "..", "../sibling", "/", "."}) EXPECT_FALSE(host.deleteDirectory(n(name))) << name;
  EXPECT_TRUE(QFile::exists(box.inside("tree/a/b")));

  EXPECT_TRUE(host.deleteDirectory(n("tree")));
  EXPECT_FALSE(QFile::exists(box.inside("tree")));
  EXPECT_EQ(readFile(box.outside("sibling/keep")), "keep");   // the link went, not its target
  EXPECT_TRUE(QDir(box.app).exists());
}

TEST_F(HostFiles, LogLinesGoToStandardErrorAndTheLogFile) {
  // A Latin-1 letter and one beyond Latin-1 (U+4E16): both sinks get UTF-8.
  const TChar units[] = {'h', 0xE9, 'i', 0x4E16};
  const NString message = NString::fromUnits(units, 0, 3);
  ASSERT_TRUE(host.setLogFile(n("logs//run.log")));
  testing::internal::CaptureStderr();
  host.log(message);
  host.log(NString());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "LOG: h\xC3\xA9i\xE4\xB8\x96\nLOG: \n");

  EXPECT_FALSE(host.setLogFile(n("a|b")));   // refused: the current file stays
  host.log(n("second"));
  ASSERT_TRUE(host.setLogFile(NString()));
  host.log(n("not in the file"));
  EXPECT_EQ(readFile(box.inside("logs/run.log")), "LOG: h\xC3\xA9i\xE4\xB8\x96\nLOG: second\n");
}

TEST_F(HostFiles, ExitingKeepsTheLogLines) {
  ASSERT_TRUE(host.setLogFile(n("exit.log")));
  EXPECT_EXIT(
      {
        host.log(n("last words"));
        host.exitApplication();
      },
      testing::ExitedWithCode(0), "LOG: last words");
  EXPECT_EQ(readFile(box.inside("exit.log")), "LOG: last words\n");
}

}  // namespace

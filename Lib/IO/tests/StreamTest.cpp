#include "FileInputStream.h"
#include "FileOutputStream.h"
#include "IoTestSupport.h"
#include "MemoryInputStream.h"
#include "MemoryOutputStream.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace NERIM;

TEST(FileOutputStream, RelativePathFailsWithoutTouchingTheDisk) {
  FileOutputStream out;
  EXPECT_FALSE(out.open(QStringLiteral("relative-dir-xyz/file.bin")));
  EXPECT_FALSE(out.isOpen());
  EXPECT_FALSE(QFileInfo::exists(QStringLiteral("relative-dir-xyz")));
  EXPECT_FALSE(out.writeByte(1));
  EXPECT_FALSE(out.open(QString()));
}

TEST(FileStreams, CreateChainWriteAndReadBack) {
  QTemporaryDir tmp;
  const QString path = tmp.filePath(QStringLiteral("a/b/c/data.bin"));
  {
    FileOutputStream out;
    ASSERT_TRUE(out.open(path));
    EXPECT_TRUE(out.writeByte(0xFF));
    const TUint8 bytes[] = {1, 2, 3};
    EXPECT_TRUE(out.write(bytes, 3));
    EXPECT_TRUE(out.write(nullptr, 0));
    EXPECT_EQ(out.position(), 4);
    EXPECT_TRUE(out.seek(4));
    EXPECT_FALSE(out.seek(5));
    EXPECT_TRUE(out.seek(1));
    EXPECT_TRUE(out.writeByte(9));
    out.close();
    EXPECT_FALSE(out.isOpen());
    EXPECT_FALSE(out.writeByte(1));
  }
  EXPECT_EQ(readFile(path), QByteArray("\xff\x09\x02\x03", 4));

  FileInputStream in;
  ASSERT_TRUE(in.open(str(path)));
  EXPECT_EQ(in.size(), 4);
  EXPECT_EQ(in.readByte(), 0xFF);
  TUint8 buf[3] = {0, 0, 0};
  EXPECT_FALSE(in.read(buf, 4));            // only 3 left
  EXPECT_TRUE(in.seek(1));
  EXPECT_TRUE(in.read(buf, 3));
  EXPECT_EQ(buf[2], 3);
  EXPECT_TRUE(in.atEnd());
  EXPECT_EQ(in.readByte(), -1);
  EXPECT_TRUE(in.read(buf, 0));
  EXPECT_TRUE(in.seek(4));                  // exactly the size
  EXPECT_FALSE(in.seek(5));
  EXPECT_FALSE(in.seek(-1));
  in.close();
  EXPECT_TRUE(in.atEnd());                  // no file object
  EXPECT_EQ(in.readByte(), -1);
  EXPECT_FALSE(in.seek(0));
  EXPECT_FALSE(in.open(tmp.filePath(QStringLiteral("missing"))));
}

TEST(FileOutputStream, OpeningTruncates) {
  QTemporaryDir tmp;
  const QString path = tmp.filePath(QStringLiteral("t.bin"));
  writeFile(path, "old contents");
  FileOutputStream out;
  ASSERT_TRUE(out.open(path));
  EXPECT_EQ(out.size(), 0);
  out.close();
  EXPECT_EQ(readFile(path), QByteArray());
}

TEST(MemoryOutputStream, AppendsOverwritesAndRefusesGaps) {
  Vec<TUint8> target;
  MemoryOutputStream out(&target, false);
  EXPECT_TRUE(out.writeByte('a'));
  EXPECT_EQ(target.capacity(), 8);          // vector growth (0 * 5) / 4 + 8
  const TUint8 bc[] = {'b', 'c'};
  EXPECT_TRUE(out.write(bc, 2));
  EXPECT_TRUE(out.seek(1));
  EXPECT_TRUE(out.writeByte('X'));
  EXPECT_EQ(out.position(), 2);
  EXPECT_TRUE(out.seek(3));                 // position = size appends
  EXPECT_TRUE(out.writeByte('d'));
  EXPECT_EQ(out.size(), 4);
  EXPECT_FALSE(out.seek(5));
  EXPECT_FALSE(out.writeByte('e'));
  EXPECT_FALSE(out.write(bc, 2));
  EXPECT_FALSE(out.seek(-1));
  EXPECT_EQ(out.position(), 5);
  ASSERT_EQ(target.size(), 4);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(target.data()), 4), "aXcd");
  out.close();
  EXPECT_EQ(target.size(), 4);              // not owned: survives close
}

TEST(MemoryOutputStream, OwnedTargetGoesWithClose) {
  MemoryOutputStream out;
  EXPECT_TRUE(out.writeByte(1));
  out.close();
  EXPECT_EQ(out.target(), nullptr);
  EXPECT_FALSE(out.writeByte(2));
  EXPECT_EQ(out.size(), 0);
}

TEST(MemoryInputStream, ReadsAndEnds) {
  MemoryInputStream in;
  EXPECT_FALSE(in.isOpen());
  const TUint8 data[] = {10, 20, 30};
  in.setBuffer(data, 3);
  EXPECT_TRUE(in.isOpen());
  EXPECT_EQ(in.readByte(), 10);
  TUint8 buf[2];
  EXPECT_TRUE(in.read(buf, 2));
  EXPECT_EQ(buf[1], 30);
  EXPECT_TRUE(in.atEnd());
  EXPECT_EQ(in.readByte(), 0);              // past the end: 0, not -1
  EXPECT_TRUE(in.seek(2));
  EXPECT_FALSE(in.read(buf, 2));
  EXPECT_EQ(in.position(), 3);              // a failed read leaves it at the end
  EXPECT_FALSE(in.seek(3));
  EXPECT_EQ(in.position(), 3);
  EXPECT_FALSE(in.seek(-1));
  in.close();
  EXPECT_TRUE(in.isOpen());

  Vec<TUint8> v;
  v.append(7);
  in.setBuffer(v);
  v[0] = 8;                                 // the stream keeps its own copy
  EXPECT_EQ(in.readByte(), 7);
  EXPECT_DEATH(in.setBuffer(nullptr, 0), "aBuffer");
}

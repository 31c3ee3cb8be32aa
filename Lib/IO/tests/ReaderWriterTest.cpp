#include "CAppsFileReader.h"
#include "CAppsFileWriter.h"
#include "IoTestSupport.h"
#include "MemoryOutputStream.h"

#include <QTemporaryDir>

TEST(CAppsFileReader, WithoutStreamEverythingIsFalse) {
  CAppsFileReader reader;
  TUint8 b;
  Vec<TUint8> v;
  CAppsString s;
  EXPECT_FALSE(reader.isOpen());
  EXPECT_TRUE(reader.atEnd());
  EXPECT_EQ(reader.size(), 0);
  EXPECT_FALSE(reader.seek(0));
  EXPECT_FALSE(reader.readByte(b));
  EXPECT_FALSE(reader.readIntoByteVector(v));
  EXPECT_FALSE(reader.readString(1, s));
}

TEST(CAppsFileReader, MemoryBlock) {
  const TUint8 data[] = {'h', 'e', 'l', 'l', 'o'};
  CAppsFileReader reader(data, 5);
  ASSERT_TRUE(reader.isOpen());
  TUint8 b = 0;
  EXPECT_TRUE(reader.readByte(b));
  EXPECT_EQ(b, 'h');
  EXPECT_TRUE(reader.skip(1));
  CAppsString s;
  EXPECT_TRUE(reader.readString(2, s));
  EXPECT_EQ(s, "ll");
  EXPECT_FALSE(reader.seek(-1));

  Vec<TUint8> v;
  v.append('>');
  EXPECT_FALSE(reader.readIntoByteVector(v, 2));   // one byte left
  EXPECT_EQ(v.size(), 1);                           // shrunk back
  EXPECT_TRUE(reader.seek(1));
  EXPECT_TRUE(reader.readIntoByteVector(v));        // the rest
  EXPECT_EQ(v.size(), 5);
  EXPECT_EQ(v[4], 'o');
  EXPECT_FALSE(reader.readByte(b));
  EXPECT_TRUE(reader.readIntoByteVector(v, 0));
  reader.close();
  EXPECT_FALSE(reader.isOpen());
}

TEST(CAppsFileWriter, WritesLowBytesAndSlices) {
  QTemporaryDir tmp;
  const QString path = tmp.filePath(QStringLiteral("sub/out.txt"));
  {
    CAppsFileWriter writer(str(path));
    ASSERT_TRUE(writer.isOpen());
    EXPECT_EQ(writer.fileName().toQString(), path);
    const TChar euro[] = {0x20AC, 0};
    EXPECT_TRUE(writer.writeString(CAppsString(euro)));
    EXPECT_TRUE(writer.writeLine("ab"));
    Vec<TUint8> bytes;
    for (TUint8 c : {'0', '1', '2', '3'}) bytes.append(c);
    EXPECT_TRUE(writer.writeBytes(bytes, 1, 2));
    EXPECT_TRUE(writer.writeBytes(bytes, 3, -1));
    EXPECT_TRUE(writer.writeBytes(bytes, 9, 0));
    EXPECT_FALSE(writer.writeBytes(bytes, -1, 1));
    EXPECT_FALSE(writer.writeBytes(bytes, 3, 2));
    EXPECT_TRUE(writer.writeByte('!'));
    EXPECT_EQ(writer.position(), 8);
  }
  EXPECT_EQ(readFile(path), QByteArray("\xac" "ab\n123!"));

  CAppsFileReader reader(str(path));
  EXPECT_TRUE(reader.isOpen());
  EXPECT_EQ(reader.size(), 8);
  CAppsFileReader missing(str(tmp.filePath(QStringLiteral("none"))));
  EXPECT_FALSE(missing.isOpen());
}

TEST(CAppsFileWriter, OverAMemoryStream) {
  Vec<TUint8> target;
  CAppsFileWriter writer(new NERIM::MemoryOutputStream(&target, false));
  EXPECT_TRUE(writer.writeByteBufferToFile(reinterpret_cast<const TUint8*>("xyz"), 3));
  EXPECT_TRUE(writer.seek(3));
  EXPECT_FALSE(writer.seek(4));
  EXPECT_FALSE(writer.seek(-1));
  EXPECT_EQ(target.size(), 3);
  EXPECT_DEATH(writer.writeByteBufferToFile(nullptr, -1), "aNumberOfBytes >= 0");
  writer.close();
  EXPECT_FALSE(writer.writeByte(1));
}

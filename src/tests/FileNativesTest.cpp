// The file and stream groups on a machine's state over the real host
// services: messages and codes, positioning, appending, listings, and
// holders the collector frees.
#include "HostTestSupport.h"
#include "VectorStore.h"

#include <cstring>

using hosttest::readFile;
using hosttest::writeFile;

namespace {

enum Group { OUTPUT = 21, WRITER = 22, INPUT = 23, READER = 24, FILESYSTEM = 25 };
constexpr TUint32 kTrue = static_cast<TUint32>(-1);

class FileNatives : public ::testing::Test {
 protected:
  TUint32 bytes(const char* text) {
    return vectors::newVectorCell(bench.heap(), 1, false, reinterpret_cast<const TUint8*>(text),
                                  static_cast<TInt32>(std::strlen(text)));
  }
  std::string text(TUint32 vectorCell) {
    const vectors::VectorStore v(native::load(vectorCell), 1);
    return v.count() ? std::string(reinterpret_cast<const char*>(v.at(0)), v.count()) : std::string();
  }
  TUint32 writer(const char* name, bool append) {
    const TUint32 w = bench.cell();
    bench.push(w).push(bench.string(name)).push(append ? kTrue : 0).call(WRITER, 1);
    return w;
  }
  TUint32 reader(const char* name) {
    const TUint32 r = bench.cell();
    bench.push(r).push(bench.string(name)).call(READER, 1);
    return r;
  }
  TUint32 query(Group g, TInt32 op, TUint32 object) {
    bench.push(object).call(g, op);
    return bench.pop();
  }
  std::string read(TUint32 r, TInt32 count) {
    bench.push(r).push(static_cast<TUint32>(count)).call(INPUT, 3);
    return text(bench.pop());
  }
  void write(TUint32 w, const char* data) { bench.push(w).push(bytes(data)).call(OUTPUT, 3); }
  std::vector<std::string> names(TInt32 op, const char* path) {
    bench.push(bench.string(path)).call(FILESYSTEM, op);
    const vectors::VectorStore v(native::load(bench.pop()), 4);
    std::vector<std::string> out;
    for (TInt32 i = 0; i < v.count(); ++i)
      out.push_back(CAppsString::fromNString(native::stringAt(native::load(v.addressOf(i)))).toQString().toStdString());
    return out;
  }

  hosttest::Sandbox box;
  hosttest::RecordingHost host{box.appPath()};
  hosttest::NativeBench bench{&host};
};

TEST_F(FileNatives, WriteSeekAndReadBack) {
  const TUint32 w = writer("f", false);
  write(w, "abcdef");
  bench.push(w).push(2).push(static_cast<TUint32>(-1)).push(bytes("xyzw")).call(OUTPUT, 4);   // "zw"
  EXPECT_EQ(query(WRITER, 3, w), 8u);
  bench.push(w).push(1).call(WRITER, 2);
  write(w, "B");
  EXPECT_EQ(query(WRITER, 4, w), 8u);
  bench.push(w).call(OUTPUT, 1);
  EXPECT_EQ(readFile(box.inside("f")), "aBcdefzw");

  const TUint32 r = reader("f");
  EXPECT_EQ(query(READER, 4, r), 8u);
  bench.push(r).push(3).call(READER, 2);
  EXPECT_EQ(read(r, 0), "");
  EXPECT_EQ(query(READER, 3, r), 3u);
  EXPECT_EQ(read(r, 4), "defz");
  EXPECT_EQ(bench.depth(), 0);
  EXPECT_EQ(hosttest::raised(ERR_IO, [&] { read(r, 2); }), "IOException");   // one byte left
}

TEST_F(FileNatives, AppendKeepsTheBytesAndStartsAtTheEnd) {
  writeFile(box.inside("f"), "abc");
  TUint32 w = writer("f", true);
  EXPECT_EQ(query(WRITER, 3, w), 3u);
  write(w, "d");
  bench.push(w).call(OUTPUT, 1);
  EXPECT_EQ(readFile(box.inside("f")), "abcd");
  w = writer("f", false);
  bench.push(w).call(OUTPUT, 1);
  EXPECT_EQ(readFile(box.inside("f")), "");
  writeFile(box.inside("g"), "old");
  bench.push(bench.string("g")).call(FILESYSTEM, 7);
  EXPECT_EQ(readFile(box.inside("g")), "");
}

TEST_F(FileNatives, PositioningRulesInTheirOrder) {
  const TUint32 none = bench.cell();
  const std::string negative = hosttest::raised(ERR_INVALID_ARGUMENT, [&] {
    bench.push(none).push(static_cast<TUint32>(-1)).call(READER, 2);
  });
  EXPECT_EQ(negative, "InvalidArgumentException: Position is less than zero: -1");
  EXPECT_EQ(hosttest::raised(ERR_IO, [&] { query(READER, 3, none); }), "IOException: File is not open");
  writeFile(box.inside("f"), "abc");
  const TUint32 w = writer("f", true);
  EXPECT_EQ(hosttest::raised(ERR_VM, [&] { query(READER, 3, w); }), "VMException: Invalid TYPEID");
  EXPECT_EQ(hosttest::raised(ERR_VM, [&] { read(w, 1); }), "VMException: Invalid TYPEID");
  const TUint32 r = reader("f");
  EXPECT_EQ(hosttest::raised(ERR_IO, [&] { bench.push(r).push(4).call(READER, 2); }), "IOException");
  bench.push(r).call(INPUT, 1);
  EXPECT_EQ(query(INPUT, 2, r), 0u);   // closed, the holder stays
  EXPECT_EQ(hosttest::raised(ERR_IO, [&] { query(READER, 4, r); }), "IOException: File is not open");
  EXPECT_EQ(hosttest::raised(ERR_VM, [&] { bench.push(r).call(READER, 5); }), "VMException: FileReader: 5");
}

TEST_F(FileNatives, OpeningAndStreamMessages) {
  EXPECT_EQ(hosttest::raised(ERR_INVALID_ARGUMENT, [&] { reader(""); }), "InvalidArgumentException: Filename is empty");
  EXPECT_EQ(hosttest::raised(ERR_IO, [&] { reader("nothere"); }), "IOException: Could not open file: nothere");
  EXPECT_EQ(hosttest::raised(ERR_IO, [&] { writer("a|b", false); }), "IOException");

  const TUint32 none = bench.cell();
  EXPECT_EQ(query(INPUT, 2, none), 0u);
  bench.push(none).call(INPUT, 1);   // no holder: nothing to close
  EXPECT_EQ(hosttest::raised(ERR_IO, [&] { write(none, "x"); }), "IOException: File is not open");
  EXPECT_EQ(hosttest::raised(ERR_INVALID_ARGUMENT, [&] { read(none, -1); }),
            "InvalidArgumentException: The number of bytes should be non-negative");

  const TUint32 w = writer("f", false);
  EXPECT_EQ(query(OUTPUT, 2, w), kTrue);
  hosttest::raised(ERR_RANGE, [&] { bench.push(w).push(1).push(5).push(bytes("abc")).call(OUTPUT, 4); });
  bench.push(w).call(OUTPUT, 1);
  EXPECT_EQ(hosttest::raised(ERR_IO, [&] { bench.push(w).push(0).push(1).push(bytes("abc")).call(OUTPUT, 4); }),
            "IOException: File is not open");
}

TEST_F(FileNatives, FileSystemOperations) {
  bench.push(bench.string("")).call(FILESYSTEM, 1);
  EXPECT_EQ(bench.pop(), 0u);
  EXPECT_EQ(host.existsQueries, 0);

  bench.push(bench.string("d/sub")).call(FILESYSTEM, 8);
  writeFile(box.inside("d/one"), "1");
  writeFile(box.inside("d/.hidden"), "");
  EXPECT_EQ(names(6, "d"), (std::vector<std::string>{"one"}));
  EXPECT_EQ(names(5, "d"), (std::vector<std::string>{"sub"}));
  EXPECT_EQ(hosttest::raised(ERR_IO, [&] { names(6, "missing"); }), "IOException");

  bench.push(bench.string("d/one")).push(bench.string("e/two")).call(FILESYSTEM, 9);
  EXPECT_EQ(readFile(box.inside("e/two")), "1");
  bench.push(bench.string("e")).push(bench.string("f")).call(FILESYSTEM, 10);
  bench.push(bench.string("f/two")).call(FILESYSTEM, 1);
  EXPECT_EQ(bench.pop(), kTrue);
  bench.push(bench.string("f")).call(FILESYSTEM, 4);
  EXPECT_FALSE(QFile::exists(box.inside("f")));

  EXPECT_EQ(hosttest::raised(ERR_IO, [&] { bench.push(bench.string("gone")).call(FILESYSTEM, 3); }), "IOException");
  EXPECT_EQ(hosttest::raised(ERR_INVALID_ARGUMENT, [&] { bench.push(bench.string("")).call(FILESYSTEM, 3); }),
            "InvalidArgumentException: Path is empty");
  EXPECT_EQ(hosttest::raised(ERR_INVALID_ARGUMENT, [&] {
              bench.push(bench.string("")).push(bench.string("x")).call(FILESYSTEM, 9);
            }),
            "InvalidArgumentException: Source filename is empty");
}

TEST_F(FileNatives, ACollectedHolderClosesItsFile) {
  const int before = hosttest::openDescriptors();
  const TUint32 w = writer("kept-open", false);
  write(w, "written");
  reader("kept-open");
  bench.heap().removeRoot(w);
  bench.heap().collect();
  EXPECT_EQ(readFile(box.inside("kept-open")), "written");
  EXPECT_EQ(hosttest::openDescriptors(), before + 1);   // the reader's cell is still rooted
}

}  // namespace

#include "CAppsFileReader.h"
#include "CAppsFileWriter.h"
#include "Errors.h"
#include "MemoryOutputStream.h"
#include "TraceNodes.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using Trace::TraceLog;

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

TraceLog::DateTimeNode date() {
  TraceLog::DateTimeNode d;
  d.year = 2010;
  const TUint8 f[5] = {12, 31, 23, 59, 58};
  for (int i = 0; i < 5; ++i) d.fields[i] = f[i];
  return d;
}

// Records written into memory.
class Memory {
 public:
  Memory() : writer(new NERIM::MemoryOutputStream(&bytes, false)) {}
  Vec<TUint8> bytes;
  CAppsFileWriter writer;
  void header(const char* name = "") { TraceLog::writeHeader(writer, name, 7, date(), -2); }
  void raw(std::initializer_list<int> extra) {
    for (int b : extra) writer.writeByte(static_cast<TUint8>(b));
  }
  TInt32 be32(TInt32 at) const {
    return static_cast<TInt32>((TUint32(bytes[at]) << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3]);
  }
};

// Reads bytes as a file; returns the error text ("" on success).
QString readBack(const Vec<TUint8>& bytes, TraceLog& log, TInt32 mode = 1) {
  CAppsFileReader reader(bytes.data(), bytes.size());
  CAppsString error;
  const bool ok = TraceLog::readFile(log, reader, &error, mode);
  EXPECT_EQ(ok, error.isEmpty());
  return error.toQString();
}

QString readBack(const Vec<TUint8>& bytes) {
  TraceLog log;
  return readBack(bytes, log);
}

const QString kAt = QStringLiteral("Error while reading location: ");

}  // namespace

TEST(TraceLogWrite, LengthsAndByteOrder) {
  Memory m;
  m.header();
  ASSERT_EQ(m.bytes.size(), 36);
  EXPECT_EQ(m.bytes[0], TraceLog::HEADER_NODE);
  EXPECT_EQ(m.be32(1), 31);                // empty name
  EXPECT_EQ(m.bytes[5], 1);
  EXPECT_EQ(m.bytes[6], 0);
  EXPECT_EQ(m.bytes[7], TraceLog::STRING_NODE);
  EXPECT_EQ(m.be32(8), 0);
  EXPECT_EQ(m.be32(12), 7);
  EXPECT_EQ(m.bytes[16], TraceLog::DATE_TIME_NODE);
  EXPECT_EQ(m.be32(17), 7);
  EXPECT_EQ(m.bytes[21], 2010 >> 8);
  EXPECT_EQ(m.be32(28), -1);               // 64-bit -2: high word first
  EXPECT_EQ(m.be32(32), -2);

  const TInt32 start = m.bytes.size();
  const TInt64 before = TraceLog::currentTime();
  TraceLog::writeMethodCall(m.writer, 0x01020304, -1);
  EXPECT_EQ(m.bytes[start], TraceLog::METHOD_CALL_NODE);
  EXPECT_EQ(m.be32(start + 1), 16);
  const TInt64 time = (TInt64(m.be32(start + 5)) << 32) | TUint32(m.be32(start + 9));
  EXPECT_GE(time, before);
  EXPECT_LE(time, TraceLog::currentTime());
  EXPECT_EQ(m.bytes[start + 13], 1);
  EXPECT_EQ(m.bytes[start + 16], 4);

  struct { void (*write)(CAppsFileWriter&); TInt32 length; } records[] = {
    {[](CAppsFileWriter& w) { TraceLog::writeMethodReturn(w, 1); }, 12},
    {[](CAppsFileWriter& w) { TraceLog::writeGarbageCollection(w, 1, 2, 3); }, 24},
    {[](CAppsFileWriter& w) { TraceLog::writeStopTrace(w, 1); }, 12},
    {[](CAppsFileWriter& w) { TraceLog::writeStartTrace(w, 1, 2); }, 16},
    {[](CAppsFileWriter& w) { TraceLog::writeMessage(w, 1, "abc"); }, 23},
    {[](CAppsFileWriter& w) { TraceLog::writeExceptionThrown(w, 1, 2, 3); }, 20},
    {[](CAppsFileWriter& w) { TraceLog::writeExceptionCaught(w, 1, 2); }, 16},
    {[](CAppsFileWriter& w) {
       Vec<TUint8> data;
       data.append(9);
       data.append(8);
       TraceLog::writeBinary(w, 1, 2, 3, "ab", data, 4, 5);
     }, 42 + 4 + 2},
  };
  for (auto& r : records) {
    const TInt32 at = m.bytes.size();
    r.write(m.writer);
    EXPECT_EQ(m.be32(at + 1), r.length);
    EXPECT_EQ(m.bytes.size() - at, 5 + r.length);
  }
}

TEST(TraceLogWrite, FailedWriteRaisesCode7) {
  CAppsFileWriter closed(static_cast<NERIM::OutputStream*>(nullptr));
  try {
    TraceLog::writeStopTrace(closed, 1);
    FAIL();
  } catch (const ErrorHandlingException&) {
    EXPECT_EQ(currentErrorCode(), ERR_IO);
  }
}

TEST(TraceLogRead, RoundTripThroughAFile) {
  QTemporaryDir tmp;
  const CAppsString path = CAppsString::fromQString(tmp.filePath(QStringLiteral("trace.bin")));
  const TChar euro[] = {0x20AC, 'x', 0};
  {
    CAppsFileWriter w(path);
    ASSERT_TRUE(w.isOpen());
    TraceLog::writeHeader(w, CAppsString(euro), 42, date(), 0x123456789LL);
    TraceLog::writeStartTrace(w, 1, 2);
    TraceLog::writeMessage(w, 3, CAppsString(euro));
    Vec<TUint8> data;
    for (int i = 0; i < 5; ++i) data.append(static_cast<TUint8>(i * 50));
    TraceLog::writeBinary(w, 4, 5, -6, "name", data, 7, 8);
    TraceLog::writeGarbageCollection(w, 9, 10, 1LL << 40);
    TraceLog::writeExceptionThrown(w, 11, 12, 13);
    TraceLog::writeExceptionCaught(w, 14, 15);
    TraceLog::writeMethodCall(w, 16, 17);
    TraceLog::writeMethodReturn(w, 18);
    TraceLog::writeStopTrace(w, 19);
  }
  CAppsFileReader reader(path);
  TraceLog log;
  CAppsString error;
  ASSERT_TRUE(TraceLog::readFile(log, reader, &error, 1)) << error.toQString().toStdString();
  const TraceLog::HeaderNode& h = log.header();
  EXPECT_EQ(h.first, 1);
  EXPECT_EQ(h.name.text, CAppsString(euro));
  EXPECT_EQ(h.value, 42);
  EXPECT_EQ(h.date.year, 2010);
  EXPECT_EQ(h.date.fields[4], 58);
  EXPECT_EQ(h.value64, 0x123456789LL);

  const Vec<TraceLog::NodeBase*>& n = log.nodes();
  ASSERT_EQ(n.size(), 9);
  const TInt32 types[] = {106, 107, 101, 104, 108, 109, 102, 103, 105};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(n[i]->type(), types[i]);
  auto* start = static_cast<TraceLog::StartTraceNode*>(n[0]);
  EXPECT_EQ(start->value2, 2);
  EXPECT_GT(start->time, 0);
  EXPECT_EQ(static_cast<TraceLog::MessageNode*>(n[1])->message.text, CAppsString(euro));
  auto* bin = static_cast<TraceLog::BinaryNode*>(n[2]);
  EXPECT_EQ(bin->value1, 4);
  EXPECT_EQ(bin->value2, 5);
  EXPECT_EQ(bin->value64, -6);
  EXPECT_EQ(bin->name.text, "name");
  ASSERT_EQ(bin->data.bytes.size(), 5);
  EXPECT_EQ(bin->data.bytes[4], 200);
  EXPECT_EQ(bin->value4, 8);
  EXPECT_EQ(static_cast<TraceLog::GarbageCollectionNode*>(n[3])->value64, 1LL << 40);
  EXPECT_EQ(static_cast<TraceLog::ExceptionThrownNode*>(n[4])->value3, 13);
  EXPECT_EQ(static_cast<TraceLog::StopTraceNode*>(n[8])->value1, 19);

  TraceLog headerOnly;
  CAppsFileReader again(path);
  EXPECT_TRUE(TraceLog::readFile(headerOnly, again, nullptr, 0));
  EXPECT_EQ(headerOnly.nodes().size(), 0);
}

TEST(TraceLogRead, LongerLengthIsSkippedOddStringByteIgnored) {
  Memory m;
  m.header();
  m.raw({102, 0, 0, 0, 20});
  m.raw({0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0xAA, 0xBB, 0xCC, 0xDD});
  TraceLog::writeMethodReturn(m.writer, 5);
  TraceLog log;
  EXPECT_EQ(readBack(m.bytes, log), "");
  ASSERT_EQ(log.nodes().size(), 2);
  EXPECT_EQ(static_cast<TraceLog::MethodCallNode*>(log.nodes()[0])->value2, 3);
  EXPECT_EQ(static_cast<TraceLog::LogNode*>(log.nodes()[1])->value1, 5);

  // A string payload of 3 bytes: one unit, the odd byte skipped.
  Memory s;
  s.raw({5, 0, 0, 0, 34, 1, 0, 1, 0, 0, 0, 3, 0x20, 0xAC, 0x41, 0, 0, 0, 0});
  s.raw({3, 0, 0, 0, 7, 0, 1, 2, 3, 4, 5, 6, 0, 0, 0, 0, 0, 0, 0, 0});
  TraceLog strings;
  EXPECT_EQ(readBack(s.bytes, strings), "");
  ASSERT_EQ(strings.header().name.text.size(), 1);
  EXPECT_EQ(strings.header().name.text[0], 0x20AC);
}

TEST(TraceLogRead, CorruptFilesAreRejectedWithTheirMessages) {
  {
    Memory m;
    m.header();
    m.raw({110, 0, 0, 0, 0});
    EXPECT_EQ(readBack(m.bytes), kAt + "37Invalid type: 110");
  }
  {
    Memory m;
    m.header();
    m.raw({103, 0, 0, 0, 99, 1, 2, 3});
    EXPECT_EQ(readBack(m.bytes), kAt + "41invalid length: 99");
  }
  {
    Memory m;
    m.header();
    m.raw({103, 0xFF, 0xFF, 0xFF, 0xFE});
    EXPECT_EQ(readBack(m.bytes), kAt + "41invalid length: -2");
  }
  {
    Memory m;
    m.header();
    m.raw({103, 0, 0});
    EXPECT_EQ(readBack(m.bytes), kAt + "37unexpected end of file");
  }
  {
    Memory m;
    m.header();
    m.raw({103, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(readBack(m.bytes), kAt + "53read: length exceeded");
  }
  {
    Memory m;
    m.raw({4, 0, 0, 0, 0});
    EXPECT_EQ(readBack(m.bytes), kAt + "1invalid type (expecting type: 5) 4");
  }
  {
    Memory m;
    m.header("ab");
    m.bytes.data()[7] = 2;                 // the embedded string's type
    EXPECT_EQ(readBack(m.bytes), kAt + "8invalid type (expecting type: 1) 2");
  }
  EXPECT_EQ(readBack(Vec<TUint8>()), kAt + "0unexpected end of file");
}

TEST(TraceLogRead, FailureKeepsOnlyCompleteNodes) {
  Memory m;
  m.header();
  TraceLog::writeStopTrace(m.writer, 1);
  m.raw({106, 0, 0, 0, 16, 0, 0});
  TraceLog log;
  EXPECT_EQ(readBack(m.bytes, log), kAt + "58invalid length: 16");
  EXPECT_EQ(log.nodes().size(), 1);

  CAppsFileReader none;
  CAppsString error;
  EXPECT_FALSE(TraceLog::readFile(log, none, &error, 1));
  EXPECT_EQ(error, "File is not open");
}

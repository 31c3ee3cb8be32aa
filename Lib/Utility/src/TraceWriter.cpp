// The record writers: each record is built whole, then written at once.
#include "CAppsFileWriter.h"
#include "Errors.h"
#include "TraceNodes.h"

#include <initializer_list>
#include <sys/time.h>

namespace Trace {

namespace {

class Record {
 public:
  void u8(TUint8 v) { iBytes.append(v); }
  void i16(TInt16 v) {
    u8(static_cast<TUint8>(static_cast<TUint16>(v) >> 8));
    u8(static_cast<TUint8>(v));
  }
  void i32(TInt32 v) {
    const TUint32 u = static_cast<TUint32>(v);
    for (int shift = 24; shift >= 0; shift -= 8) u8(static_cast<TUint8>(u >> shift));
  }
  void i64(TInt64 v) {
    i32(static_cast<TInt32>(static_cast<TUint64>(v) >> 32));
    i32(static_cast<TInt32>(v));
  }
  void head(TUint8 type, TInt32 length) {
    u8(type);
    i32(length);
  }
  void string(const CAppsString& s) {
    head(TraceLog::STRING_NODE, 2 * s.size());
    for (TInt32 i = 0; i < s.size(); ++i) i16(static_cast<TInt16>(s[i]));
  }
  void date(const TraceLog::DateTimeNode& d) {
    head(TraceLog::DATE_TIME_NODE, 7);
    i16(d.year);
    for (TUint8 f : d.fields) u8(f);
  }
  void data(const Vec<TUint8>& bytes) {
    head(TraceLog::DATA_NODE, bytes.size());
    for (TUint8 b : bytes) u8(b);
  }
  void writeTo(CAppsFileWriter& w) {
    if (!w.writeByteBufferToFile(iBytes.data(), iBytes.size())) raise(ERR_IO, "");
  }

 private:
  Vec<TUint8> iBytes;
};

// time (8) + one value (4)
constexpr TInt32 kLogNode = 12;

void logRecord(CAppsFileWriter& w, TUint8 type, TInt32 length, TInt32 a, const Vec<TInt32>& more) {
  Record r;
  r.head(type, length);
  r.i64(TraceLog::currentTime());
  r.i32(a);
  for (TInt32 v : more) r.i32(v);
  r.writeTo(w);
}

Vec<TInt32> values(std::initializer_list<TInt32> list) {
  Vec<TInt32> v;
  for (TInt32 x : list) v.append(x);
  return v;
}

}  // namespace

TInt64 TraceLog::currentTime() {
  timeval now;
  gettimeofday(&now, nullptr);
  return static_cast<TInt64>(now.tv_sec) * 1000000 + now.tv_usec;
}

void TraceLog::writeHeader(CAppsFileWriter& w, const CAppsString& name, TInt32 value, const DateTimeNode& date,
                           TInt64 value64) {
  Record r;
  r.head(HEADER_NODE, 31 + 2 * name.size());
  r.u8(1);
  r.u8(0);
  r.string(name);
  r.i32(value);
  r.date(date);
  r.i64(value64);
  r.writeTo(w);
}

void TraceLog::writeBinary(CAppsFileWriter& w, TInt32 a, TInt32 b, TInt64 c, const CAppsString& name,
                           const Vec<TUint8>& data, TInt32 d, TInt32 e) {
  Record r;
  r.head(BINARY_NODE, 42 + 2 * name.size() + data.size());
  r.i64(currentTime());
  r.i32(a);
  r.i32(b);
  r.i64(c);
  r.string(name);
  r.data(data);
  r.i32(d);
  r.i32(e);
  r.writeTo(w);
}

void TraceLog::writeMethodCall(CAppsFileWriter& w, TInt32 a, TInt32 b) {
  logRecord(w, METHOD_CALL_NODE, kLogNode + 4, a, values({b}));
}

void TraceLog::writeMethodReturn(CAppsFileWriter& w, TInt32 a) {
  logRecord(w, METHOD_RETURN_NODE, kLogNode, a, values({}));
}

void TraceLog::writeGarbageCollection(CAppsFileWriter& w, TInt32 a, TInt32 b, TInt64 c) {
  Record r;
  r.head(GARBAGE_COLLECTION_NODE, kLogNode + 12);
  r.i64(currentTime());
  r.i32(a);
  r.i32(b);
  r.i64(c);
  r.writeTo(w);
}

void TraceLog::writeStopTrace(CAppsFileWriter& w, TInt32 a) { logRecord(w, STOP_TRACE_NODE, kLogNode, a, values({})); }

void TraceLog::writeStartTrace(CAppsFileWriter& w, TInt32 a, TInt32 b) {
  logRecord(w, START_TRACE_NODE, kLogNode + 4, a, values({b}));
}

void TraceLog::writeMessage(CAppsFileWriter& w, TInt32 a, const CAppsString& text) {
  Record r;
  r.head(MESSAGE_NODE, 17 + 2 * text.size());
  r.i64(currentTime());
  r.i32(a);
  r.string(text);
  r.writeTo(w);
}

void TraceLog::writeExceptionThrown(CAppsFileWriter& w, TInt32 a, TInt32 b, TInt32 c) {
  logRecord(w, EXCEPTION_THROWN_NODE, kLogNode + 8, a, values({b, c}));
}

void TraceLog::writeExceptionCaught(CAppsFileWriter& w, TInt32 a, TInt32 b) {
  logRecord(w, EXCEPTION_CAUGHT_NODE, kLogNode + 4, a, values({b}));
}

}  // namespace Trace

#pragma once
// Trace::TraceLog: a binary event log. A file is a HeaderNode followed by
// event nodes; every node is a type byte, a 32-bit payload length and the
// payload, all integers big-endian (64-bit values high word first).
// The writers append one complete record each; the reader rebuilds the
// header and the list of event nodes.
#include "Types.h"
#include "Vec.h"

class CAppsFileReader;
class CAppsFileWriter;
class CAppsString;

namespace Trace {

class TraceLog {
 public:
  enum NodeType : TUint8 {
    STRING_NODE = 1,
    DATE_TIME_NODE = 3,
    DATA_NODE = 4,
    HEADER_NODE = 5,
    BINARY_NODE = 101,
    METHOD_CALL_NODE = 102,
    METHOD_RETURN_NODE = 103,
    GARBAGE_COLLECTION_NODE = 104,
    STOP_TRACE_NODE = 105,
    START_TRACE_NODE = 106,
    MESSAGE_NODE = 107,
    EXCEPTION_THROWN_NODE = 108,
    EXCEPTION_CAUGHT_NODE = 109,
  };

  class NodeBase;
  class StringNode;
  class DateTimeNode;
  class DataNode;
  class HeaderNode;
  class LogNode;
  class EntityNode;
  class MethodCallNode;
  class MethodReturnNode;
  class GarbageCollectionNode;
  class StopTraceNode;
  class StartTraceNode;
  class MessageNode;
  class ExceptionThrownNode;
  class ExceptionCaughtNode;
  class BinaryNode;
  class NodeReader;

  TraceLog();
  ~TraceLog();
  TraceLog(const TraceLog&) = delete;
  TraceLog& operator=(const TraceLog&) = delete;

  HeaderNode& header() { return *iHeader; }
  const Vec<NodeBase*>& nodes() const { return iNodes; }

  // Microseconds since the epoch, from the wall clock.
  static TInt64 currentTime();

  // Writers: each appends one record; a failed write raises code 7 and
  // leaves what was written in the file.
  static void writeHeader(CAppsFileWriter& w, const CAppsString& name, TInt32 value,
                          const DateTimeNode& date, TInt64 value64);
  static void writeBinary(CAppsFileWriter& w, TInt32 a, TInt32 b, TInt64 c, const CAppsString& name,
                          const Vec<TUint8>& data, TInt32 d, TInt32 e);
  static void writeMethodCall(CAppsFileWriter& w, TInt32 a, TInt32 b);
  static void writeMethodReturn(CAppsFileWriter& w, TInt32 a);
  static void writeGarbageCollection(CAppsFileWriter& w, TInt32 a, TInt32 b, TInt64 c);
  static void writeStopTrace(CAppsFileWriter& w, TInt32 a);
  static void writeStartTrace(CAppsFileWriter& w, TInt32 a, TInt32 b);
  static void writeMessage(CAppsFileWriter& w, TInt32 a, const CAppsString& text);
  static void writeExceptionThrown(CAppsFileWriter& w, TInt32 a, TInt32 b, TInt32 c);
  static void writeExceptionCaught(CAppsFileWriter& w, TInt32 a, TInt32 b);

  // Reads the header and, with mode 1, every event node. On failure the
  // error text (when given) says where and why; nodes read before the
  // failure stay in the list.
  static bool readFile(TraceLog& log, CAppsFileReader& reader, CAppsString* errorText, TInt32 mode);

 private:
  HeaderNode* iHeader;
  Vec<NodeBase*> iNodes;
};

}  // namespace Trace

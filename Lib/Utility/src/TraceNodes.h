#pragma once
// The node classes of the trace log and their payload readers.
#include "CAppsString.h"
#include "TraceLog.h"

namespace Trace {

class TraceLog::NodeBase {
 public:
  virtual ~NodeBase() {}
  // Reads the payload; the caller checks it against `length`.
  virtual void read(NodeReader& reader, TInt32 length) {
    (void)reader;
    (void)length;
  }
  virtual TInt32 type() const = 0;
};

class TraceLog::StringNode : public NodeBase {
 public:
  void read(NodeReader& reader, TInt32 length) override;
  TInt32 type() const override { return STRING_NODE; }
  CAppsString text;
};

// The five bytes are month, day, hour, minute and second.
class TraceLog::DateTimeNode : public NodeBase {
 public:
  void read(NodeReader& reader, TInt32 length) override;
  TInt32 type() const override { return DATE_TIME_NODE; }
  TInt16 year = 0;
  TUint8 fields[5] = {0, 0, 0, 0, 0};
};

class TraceLog::DataNode : public NodeBase {
 public:
  void read(NodeReader& reader, TInt32 length) override;
  TInt32 type() const override { return DATA_NODE; }
  Vec<TUint8> bytes;
};

class TraceLog::HeaderNode : public NodeBase {
 public:
  void read(NodeReader& reader, TInt32 length) override;
  TInt32 type() const override { return HEADER_NODE; }
  TUint8 first = 0;
  TUint8 second = 0;
  StringNode name;
  TInt32 value = 0;
  DateTimeNode date;
  TInt64 value64 = 0;
};

class TraceLog::LogNode : public NodeBase {
 public:
  void read(NodeReader& reader, TInt32 length) override;
  TInt64 time = 0;
  TInt32 value1 = 0;
};

class TraceLog::MethodReturnNode : public LogNode {
 public:
  TInt32 type() const override { return METHOD_RETURN_NODE; }
};

class TraceLog::StopTraceNode : public LogNode {
 public:
  TInt32 type() const override { return STOP_TRACE_NODE; }
};

// A LogNode with a second 32-bit value.
class TraceLog::MethodCallNode : public LogNode {
 public:
  void read(NodeReader& reader, TInt32 length) override;
  TInt32 type() const override { return METHOD_CALL_NODE; }
  TInt32 value2 = 0;
};

class TraceLog::StartTraceNode : public LogNode {
 public:
  void read(NodeReader& reader, TInt32 length) override;
  TInt32 type() const override { return START_TRACE_NODE; }
  TInt32 value2 = 0;
};

class TraceLog::ExceptionCaughtNode : public LogNode {
 public:
  void read(NodeReader& reader, TInt32 length) override;
  TInt32 type() const override { return EXCEPTION_CAUGHT_NODE; }
  TInt32 value2 = 0;
};

class TraceLog::ExceptionThrownNode : public LogNode {
 public:
  void read(NodeReader& reader, TInt32 length) override;
  TInt32 type() const override { return EXCEPTION_THROWN_NODE; }
  TInt32 value2 = 0;
  TInt32 value3 = 0;
};

class TraceLog::MessageNode : public LogNode {
 public:
  void read(NodeReader& reader, TInt32 length) override;
  TInt32 type() const override { return MESSAGE_NODE; }
  StringNode message;
};

class TraceLog::EntityNode : public LogNode {
 public:
  void read(NodeReader& reader, TInt32 length) override;
  TInt32 value2 = 0;
  TInt64 value64 = 0;
};

class TraceLog::GarbageCollectionNode : public EntityNode {
 public:
  TInt32 type() const override { return GARBAGE_COLLECTION_NODE; }
};

class TraceLog::BinaryNode : public EntityNode {
 public:
  void read(NodeReader& reader, TInt32 length) override;
  TInt32 type() const override { return BINARY_NODE; }
  StringNode name;
  DataNode data;
  TInt32 value3 = 0;
  TInt32 value4 = 0;
};

// Big-endian primitives over a file reader. Every failure throws a
// TraceFailure with its text; readFile turns it into the error text.
class TraceLog::NodeReader {
 public:
  explicit NodeReader(CAppsFileReader& reader) : iReader(reader) {}
  TUint8 readU8();
  TInt16 readI16();
  TInt32 readI32();
  TInt64 readI64();
  void readBytes(Vec<TUint8>& out, TInt32 n);
  TInt64 position() const;
  TInt64 remaining() const;
  // Reads the length and lets `node` read its payload, enforcing the
  // length (steps 2 to 4 of a node read).
  void readPayload(NodeBase& node);
  // An embedded node: checked type byte, then readPayload.
  void readNode(NodeBase& node, TInt32 expectedType);

 private:
  CAppsFileReader& iReader;
};

struct TraceFailure {
  CAppsString text;
};

}  // namespace Trace

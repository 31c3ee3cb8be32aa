// Payload readers of the trace nodes and the big-endian primitives.
#include "TraceNodes.h"

#include "CAppsFileReader.h"

namespace Trace {

namespace {
[[noreturn]] void fail(const CAppsString& text) { throw TraceFailure{text}; }
[[noreturn]] void endOfFile() { fail("unexpected end of file"); }
}  // namespace

TUint8 TraceLog::NodeReader::readU8() {
  TUint8 b;
  if (!iReader.readByte(b)) endOfFile();
  return b;
}

TInt16 TraceLog::NodeReader::readI16() {
  Vec<TUint8> b;
  readBytes(b, 2);
  return static_cast<TInt16>((b[0] << 8) | b[1]);
}

TInt32 TraceLog::NodeReader::readI32() {
  Vec<TUint8> b;
  readBytes(b, 4);
  return static_cast<TInt32>((TUint32(b[0]) << 24) | (TUint32(b[1]) << 16) | (TUint32(b[2]) << 8) | TUint32(b[3]));
}

TInt64 TraceLog::NodeReader::readI64() {
  const TUint32 high = static_cast<TUint32>(readI32());
  const TUint32 low = static_cast<TUint32>(readI32());
  return static_cast<TInt64>((TUint64(high) << 32) | low);
}

void TraceLog::NodeReader::readBytes(Vec<TUint8>& out, TInt32 n) {
  if (n > remaining() || !iReader.readIntoByteVector(out, n)) endOfFile();
}

TInt64 TraceLog::NodeReader::position() const { return iReader.position(); }

TInt64 TraceLog::NodeReader::remaining() const { return iReader.size() - iReader.position(); }

void TraceLog::NodeReader::readPayload(NodeBase& node) {
  if (remaining() < 4) endOfFile();
  const TInt32 length = readI32();
  if (length < 0 || length > remaining()) fail(CAppsString("invalid length: ").append(CAppsString::number(length)));
  const TInt64 start = position();
  node.read(*this, length);
  const TInt64 end = position();
  if (end > start + length) fail("read: length exceeded");
  if (end < start + length && !iReader.seek(start + length)) endOfFile();
}

void TraceLog::NodeReader::readNode(NodeBase& node, TInt32 expectedType) {
  VM_ASSERT(expectedType < 255);
  TUint8 type;
  if (!iReader.readByte(type)) endOfFile();
  if (type != expectedType) {
    CAppsString text("invalid type (expecting type: ");
    text.append(CAppsString::number(expectedType)).append(") ").append(CAppsString::number(type));
    fail(text);
  }
  readPayload(node);
}

void TraceLog::StringNode::read(NodeReader& reader, TInt32 length) {
  // Pairs, high byte first; an odd last byte is left for the skip.
  CAppsString result;
  Vec<TUint8> bytes;
  reader.readBytes(bytes, length & ~1);
  for (TInt32 i = 0; i + 1 < bytes.size(); i += 2)
    result.append(static_cast<TChar>((bytes[i] << 8) | bytes[i + 1]));
  text = result;
}

void TraceLog::DateTimeNode::read(NodeReader& reader, TInt32) {
  year = reader.readI16();
  for (TUint8& f : fields) f = reader.readU8();
}

void TraceLog::DataNode::read(NodeReader& reader, TInt32 length) {
  Vec<TUint8> fresh;
  reader.readBytes(fresh, length);
  bytes = fresh;
}

void TraceLog::HeaderNode::read(NodeReader& reader, TInt32) {
  first = reader.readU8();
  second = reader.readU8();
  reader.readNode(name, STRING_NODE);
  value = reader.readI32();
  reader.readNode(date, DATE_TIME_NODE);
  value64 = reader.readI64();
}

void TraceLog::LogNode::read(NodeReader& reader, TInt32) {
  time = reader.readI64();
  value1 = reader.readI32();
}

void TraceLog::MethodCallNode::read(NodeReader& reader, TInt32 length) {
  LogNode::read(reader, length);
  value2 = reader.readI32();
}

void TraceLog::StartTraceNode::read(NodeReader& reader, TInt32 length) {
  LogNode::read(reader, length);
  value2 = reader.readI32();
}

void TraceLog::ExceptionCaughtNode::read(NodeReader& reader, TInt32 length) {
  LogNode::read(reader, length);
  value2 = reader.readI32();
}

void TraceLog::ExceptionThrownNode::read(NodeReader& reader, TInt32 length) {
  LogNode::read(reader, length);
  value2 = reader.readI32();
  value3 = reader.readI32();
}

void TraceLog::MessageNode::read(NodeReader& reader, TInt32 length) {
  LogNode::read(reader, length);
  reader.readNode(message, STRING_NODE);
}

void TraceLog::EntityNode::read(NodeReader& reader, TInt32 length) {
  LogNode::read(reader, length);
  value2 = reader.readI32();
  value64 = reader.readI64();
}

void TraceLog::BinaryNode::read(NodeReader& reader, TInt32 length) {
  EntityNode::read(reader, length);
  reader.readNode(name, STRING_NODE);
  reader.readNode(data, DATA_NODE);
  value3 = reader.readI32();
  value4 = reader.readI32();
}

}  // namespace Trace

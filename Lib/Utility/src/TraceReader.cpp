// Reading a trace file into a TraceLog, and the log's ownership of nodes.
#include "CAppsFileReader.h"
#include "TraceNodes.h"

namespace Trace {

namespace {

TraceLog::NodeBase* createNode(TUint8 type) {
  switch (type) {
    case TraceLog::BINARY_NODE: return new TraceLog::BinaryNode;
    case TraceLog::METHOD_CALL_NODE: return new TraceLog::MethodCallNode;
    case TraceLog::METHOD_RETURN_NODE: return new TraceLog::MethodReturnNode;
    case TraceLog::GARBAGE_COLLECTION_NODE: return new TraceLog::GarbageCollectionNode;
    case TraceLog::STOP_TRACE_NODE: return new TraceLog::StopTraceNode;
    case TraceLog::START_TRACE_NODE: return new TraceLog::StartTraceNode;
    case TraceLog::MESSAGE_NODE: return new TraceLog::MessageNode;
    case TraceLog::EXCEPTION_THROWN_NODE: return new TraceLog::ExceptionThrownNode;
    case TraceLog::EXCEPTION_CAUGHT_NODE: return new TraceLog::ExceptionCaughtNode;
    default: return nullptr;
  }
}

// A node joins the list only once its payload was read whole.
void readEvents(TraceLog::NodeReader& in, CAppsFileReader& reader, Vec<TraceLog::NodeBase*>& out) {
  while (!reader.atEnd()) {
    const TUint8 type = in.readU8();
    TraceLog::NodeBase* node = createNode(type);
    if (!node) throw TraceFailure{CAppsString("Invalid type: ").append(CAppsString::number(type))};
    try {
      in.readPayload(*node);
    } catch (...) {
      delete node;
      throw;
    }
    out.append(node);
  }
}

}  // namespace

TraceLog::TraceLog() : iHeader(new HeaderNode) {}

TraceLog::~TraceLog() {
  for (NodeBase* node : iNodes) delete node;
  delete iHeader;
}

bool TraceLog::readFile(TraceLog& log, CAppsFileReader& reader, CAppsString* errorText, TInt32 mode) {
  if (!reader.isOpen()) {
    if (errorText) *errorText = "File is not open";
    return false;
  }
  NodeReader in(reader);
  try {
    in.readNode(*log.iHeader, HEADER_NODE);
    if (mode == 1) readEvents(in, reader, log.iNodes);
  } catch (const TraceFailure& failure) {
    if (errorText) {
      CAppsString text("Error while reading location: ");
      text.append(CAppsString::number(reader.position())).append(failure.text);
      *errorText = text;
    }
    return false;
  }
  return true;
}

}  // namespace Trace


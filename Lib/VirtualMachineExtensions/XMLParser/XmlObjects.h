#pragma once
// The heap objects of the XML extension. Both are GCObjects, so packed and
// holding one host pointer each: the parser its source and document, a node
// its QDom handle and the document the handle belongs to.
#include "GCObject.h"
#include "HostMemory.h"
#include "XmlDocument.h"

#include <QByteArray>
#include <QString>

// What a parser reads, copied when it is made, and what it made of it.
struct XmlSource {
  enum Kind { FILE, BYTES, TEXT };
  Kind kind;
  QString text;        // the file name or the text
  QByteArray bytes;
  hostmem::Charge charge;
  XmlDocumentPtr document;   // the parsed document, null before parsing
  XmlDocumentPtr scratch;    // where nodes made before parsing live
};

struct XmlNodeHandle {
  XmlDocumentPtr document;   // first: the node is released while its document exists
  QDomNode node;
  hostmem::Charge charge{sizeof(XmlNodeHandle) + 16};   // with the allocator's share
};

GCOBJECT_PACK_BEGIN
class NXMLParser : public GCObject {
 public:
  explicit NXMLParser(XmlSource* source) : iSource(source) {}
  ~NXMLParser() override { delete iSource; }
  NXMLParser(const NXMLParser&) = delete;
  NXMLParser& operator=(const NXMLParser&) = delete;
  XmlSource& source() { return *iSource; }
  int getContentSize() const override { return static_cast<int>(iSource->charge.bytes()); }

 private:
  XmlSource* iSource;
};

class NXMLNode : public GCObject {
 public:
  explicit NXMLNode(XmlNodeHandle* handle) : iHandle(handle) {}
  ~NXMLNode() override { delete iHandle; }
  NXMLNode(const NXMLNode&) = delete;
  NXMLNode& operator=(const NXMLNode&) = delete;
  QDomNode& node() { return iHandle->node; }
  const XmlDocumentPtr& document() const { return iHandle->document; }

 private:
  XmlNodeHandle* iHandle;
};
GCOBJECT_PACK_END

static_assert(alignof(NXMLParser) <= 4 && alignof(NXMLNode) <= 4, "heap blocks are 4-byte aligned");

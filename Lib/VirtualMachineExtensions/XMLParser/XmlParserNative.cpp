// XMLParser extension (23): parsers and nodes for bytecode. A parser or
// node argument is a bytecode object whose word 1 holds the native object;
// results are the native objects themselves (0 for a missing node), strings
// are string cells.
#include "CAppsFileReader.h"
#include "CAppsString.h"
#include "Errors.h"
#include "ExtensionTable.h"
#include "HeldText.h"
#include "FrameworkServices.h"
#include "InputStream.h"
#include "NString.h"
#include "NativeField.h"
#include "VectorStore.h"
#include "XmlAttributes.h"
#include "XmlObjects.h"

#include <QXmlInputSource>
#include <memory>
#include <new>
#include <vector>

using native::Args;

namespace {

enum NodeType { NODE_WHITESPACE_TEXT = 13 };

XmlSource& sourceAt(Args& a, TInt32 i) { return ext::nativeIn<NXMLParser>(a.word(i)).source(); }
NXMLNode& nodeAt(Args& a, TInt32 i) { return ext::nativeIn<NXMLNode>(a.word(i)); }
HeldQString textAt(Args& a, TInt32 i) {
  const NString& s = native::stringAt(a.word(i));
  return heldQString(s.units(), s.length());
}

// A new node object for bytecode; a null node is the null reference.
TUint32 newNode(VMHeap& heap, const QDomNode& node, const XmlDocumentPtr& document) {
  if (node.isNull()) return 0;
  std::unique_ptr<XmlNodeHandle> handle(new XmlNodeHandle{document, node});
  const VMAddr object = heap.allocate(sizeof(NXMLNode), -1, GC_CODE_LEAF);
  new (vmPtr(object)) NXMLNode(handle.release());
  return object;
}

TUint32 newText(VMHeap& heap, const QString& text) { return native::newStringFrom(heap, text); }

// ---- parsers ------------------------------------------------------------

void createParser(Args& a, XmlSource::Kind kind) {   // parser object, source
  const VMAddr field = ext::nativeField(a.word(0));
  std::unique_ptr<XmlSource> s(new XmlSource{kind, {}, {}, {}, {}, {}});
  if (kind == XmlSource::BYTES) {
    const vectors::VectorStore bytes(native::derefCell(a.word(1)), 1);
    s->charge.resize(static_cast<size_t>(bytes.count()));
    if (bytes.count() > 0) s->bytes = QByteArray(reinterpret_cast<const char*>(bytes.at(0)), bytes.count());
  } else {
    const NString& text = native::stringAt(a.word(1));
    s->charge.resize(2 * static_cast<size_t>(text.length()));
    s->text = CAppsString::fromNString(text).toQString();
  }
  const VMAddr object = a.heap().allocate(sizeof(NXMLParser), -1, GC_CODE_LEAF);
  new (vmPtr(object)) NXMLParser(s.release());
  native::store(field, object);
  a.noResult();
}

void fromFile(native::Context& cx) {
  Args a(cx.state, 2);
  createParser(a, XmlSource::FILE);
}
void fromBytes(native::Context& cx) {
  Args a(cx.state, 2);
  createParser(a, XmlSource::BYTES);
}
void fromText(native::Context& cx) {
  Args a(cx.state, 2);
  createParser(a, XmlSource::TEXT);
}

// The whole file through the host, or false.
bool readFile(FrameworkServices* host, const QString& name, QByteArray& out) {
  if (!host) return false;
  CAppsFileReader reader(host->openInputStream(CAppsString::fromQString(name).toNString()));
  Vec<TUint8> bytes;
  if (!reader.isOpen() || !reader.readIntoByteVector(bytes)) return false;
  out = QByteArray(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return true;
}

void parse(native::Context& cx) {
  Args a(cx.state, 1);
  XmlSource& s = sourceAt(a, 0);
  QXmlInputSource input;
  if (s.kind == XmlSource::FILE) {
    QByteArray content;
    if (!readFile(cx.services, s.text, content)) return a.result(0);
    hostmem::Charge held(static_cast<size_t>(content.size()));
    input.setData(content);
  } else if (s.kind == XmlSource::BYTES) {
    input.setData(s.bytes);
  } else {
    input.setData(s.text);
  }
  XmlDocumentPtr document = std::make_shared<XmlDocument>();
  document->parse(input);
  s.document = std::move(document);
  a.result(1);
}

void documentNode(native::Context& cx) {
  Args a(cx.state, 1);
  XmlSource& s = sourceAt(a, 0);
  a.result(s.document ? newNode(a.heap(), s.document->dom(), s.document) : 0);
}

void createNode(native::Context& cx) {   // parser, name, value, type, namespace URI, prefix
  Args a(cx.state, 6);
  XmlSource& s = sourceAt(a, 0);
  const HeldQString name = textAt(a, 1), value = textAt(a, 2), uri = textAt(a, 4), prefix = textAt(a, 5);
  const TInt32 type = a.integer(3);
  XmlDocumentPtr& home = s.document ? s.document : s.scratch;
  if (!home) home = std::make_shared<XmlDocument>();
  QDomDocument& dom = home->dom();
  home->chargeNode(name.size() + value.size() + uri.size() + prefix.size());
  QDomNode made;
  switch (type) {
    case QDomNode::ElementNode: {
      QDomElement e = prefix.isEmpty() ? dom.createElement(name) : dom.createElementNS(uri, name);
      if (!prefix.isEmpty()) e.setPrefix(prefix);
      home->retain(e);
      made = e;
      break;
    }
    case QDomNode::AttributeNode: {
      QDomAttr attr = prefix.isEmpty() ? dom.createAttribute(name) : dom.createAttributeNS(uri, name);
      if (!prefix.isEmpty()) attr.setPrefix(prefix);
      attr.setValue(value);
      made = attr;
      break;
    }
    case QDomNode::TextNode: made = dom.createTextNode(value); break;
    case QDomNode::CDATASectionNode: made = dom.createCDATASection(value); break;
    case QDomNode::CommentNode: made = dom.createComment(value); break;
    default: break;
  }
  a.result(newNode(a.heap(), made, home));
}

// ---- nodes --------------------------------------------------------------

void name(native::Context& cx) {
  Args a(cx.state, 1);
  const QDomNode& n = nodeAt(a, 0).node();
  const QString local = n.localName();
  a.result(newText(a.heap(), local.isEmpty() ? n.nodeName() : local));
}

void value(native::Context& cx) {
  Args a(cx.state, 1);
  a.result(newText(a.heap(), nodeAt(a, 0).node().nodeValue()));
}

void setData(native::Context& cx) {   // node, text
  Args a(cx.state, 2);
  NXMLNode& node = nodeAt(a, 0);
  const HeldQString text = textAt(a, 1);
  if (!node.node().isCharacterData()) return a.result(0);
  node.document()->chargeNode(text.size());
  node.node().toCharacterData().setData(text);
  a.result(1);
}

TInt32 typeNumber(const QDomNode& n) {
  const TInt32 type = n.nodeType();
  if (type == QDomNode::TextNode) {
    const QString text = n.nodeValue();
    bool blank = true;
    for (QChar c : text) blank = blank && c.isSpace();
    if (blank) return NODE_WHITESPACE_TEXT;
  }
  return type >= QDomNode::ElementNode && type <= QDomNode::NotationNode ? type : 0;
}

void type(native::Context& cx) {
  Args a(cx.state, 1);
  a.result(static_cast<TUint32>(typeNumber(nodeAt(a, 0).node())));
}

void attribute(native::Context& cx) {   // node, name
  Args a(cx.state, 2);
  NXMLNode& node = nodeAt(a, 0);
  a.result(newNode(a.heap(), node.node().attributes().namedItem(textAt(a, 1)), node.document()));
}

void nodeVector(Args& a, NXMLNode& owner, const std::vector<QDomNode>& nodes) {
  std::vector<TUint32> refs;
  refs.reserve(nodes.size());
  for (const QDomNode& n : nodes) refs.push_back(newNode(a.heap(), n, owner.document()));
  const TInt32 n = static_cast<TInt32>(refs.size());
  a.result(vectors::newVectorCell(a.heap(), 4, true, reinterpret_cast<const TUint8*>(refs.data()), n));
}

void attributes(native::Context& cx) {
  Args a(cx.state, 1);
  NXMLNode& node = nodeAt(a, 0);
  std::vector<QDomNode> nodes;
  if (node.node().isElement()) {
    for (const QDomAttr& attr : xmlattr::list(*node.document(), node.node().toElement())) nodes.push_back(attr);
  }
  nodeVector(a, node, nodes);
}

void children(native::Context& cx) {
  Args a(cx.state, 1);
  NXMLNode& node = nodeAt(a, 0);
  std::vector<QDomNode> nodes;
  for (QDomNode c = node.node().firstChild(); !c.isNull(); c = c.nextSibling()) nodes.push_back(c);
  nodeVector(a, node, nodes);
}

// An attribute's parent is the element holding it (QDom may answer one
// that no longer does).
void parent(native::Context& cx) {
  Args a(cx.state, 1);
  NXMLNode& node = nodeAt(a, 0);
  const QDomNode& n = node.node();
  const QDomNode up = n.isAttr() ? xmlattr::ownerOf(*node.document(), n.toAttr()) : n.parentNode();
  a.result(newNode(a.heap(), up, node.document()));
}

template <QDomNode (QDomNode::*step)() const> void neighbour(native::Context& cx) {
  Args a(cx.state, 1);
  NXMLNode& node = nodeAt(a, 0);
  a.result(newNode(a.heap(), (node.node().*step)(), node.document()));
}

void namespaceUri(native::Context& cx) {
  Args a(cx.state, 1);
  a.result(newText(a.heap(), nodeAt(a, 0).node().namespaceURI()));
}

void prefix(native::Context& cx) {
  Args a(cx.state, 1);
  a.result(newText(a.heap(), nodeAt(a, 0).node().prefix()));
}

// QDom checks none of these; each would make a tree that is not one (a
// cycle, an element inside an attribute, a document inside a document, a
// node shared by two documents) or deeper than the host can free. Only
// elements, documents and fragments take children, and only the kinds of
// node that live in content go in.
bool holdsChildren(const QDomNode& n) { return n.isElement() || n.isDocument() || n.isDocumentFragment(); }
bool isContent(const QDomNode& n) {
  return n.isElement() || n.isText() || n.isComment() || n.isProcessingInstruction() || n.isEntityReference();
}

bool insertable(NXMLNode& parent, NXMLNode& child) {
  const QDomNode& p = parent.node();
  const QDomNode& c = child.node();
  if (parent.document() != child.document() || !holdsChildren(p) || !isContent(c)) return false;
  for (QDomNode up = p; !up.isNull(); up = up.parentNode())
    if (up == c) return false;
  return XmlDocument::depthOf(p) + XmlDocument::heightOf(c) <= XmlDocument::kMaxDepth;
}

void insert(native::Context& cx) {   // parent, child, position
  Args a(cx.state, 3);
  NXMLNode& parent = nodeAt(a, 0);
  NXMLNode& child = nodeAt(a, 1);
  const TInt32 position = a.integer(2);
  QDomNode& p = parent.node();
  QDomNode& c = child.node();
  if (c.isAttr() && p.isElement() && parent.document() == child.document()) {
    QDomElement element = p.toElement();
    return a.result(xmlattr::set(*parent.document(), element, c.toAttr()) ? 1 : 0);
  }
  if (!insertable(parent, child)) return a.result(0);
  if (!p.hasChildNodes()) {
    p.appendChild(c);
    return a.result(1);
  }
  const QDomNodeList list = p.childNodes();
  if (position < 0 || position > list.count()) return a.result(0);
  if (position == 0) p.insertBefore(c, p.firstChild());
  else p.insertAfter(c, list.item(position - 1));
  a.result(1);
}

void remove(native::Context& cx) {   // parent, child
  Args a(cx.state, 2);
  NXMLNode& parent = nodeAt(a, 0);
  NXMLNode& child = nodeAt(a, 1);
  parent.node().removeChild(child.node());
  a.noResult();
}

const native::Operation kRows[] = {
#define EXTENSION_OPERATION EXTENSION_ROW
#include "XMLParser.def"
#undef EXTENSION_OPERATION
};

}  // namespace

namespace ext {

NATIVE_OPERATIONS(kXMLParserOperations, kRows);

NERIM::Extension* createXMLParser(MVMCallbackInterface*, FrameworkServices* host) {
  return new BuiltIn(*extensionInfo(ID_XMLParser), host);
}

}  // namespace ext

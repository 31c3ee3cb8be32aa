#pragma once
// One XML document and the host memory it is charged for, shared by the
// parser that made it and every node handle into it, so no handle outlives
// its document.
//
// A hostile document must not hurt the host. Trees are at most kMaxDepth
// elements deep, whether parsed or built by insertion: QDom frees a tree
// recursively, so its depth is the host's stack use. A parsed element has
// at most kMaxAttributes attributes. Every node is charged to the
// host-memory limit as it is made.
//
// Every element lives as long as its document, parsed or made: QDom leaves
// the attributes of an element it frees pointing at it, and attributes and
// their text are still reachable through handles.
#include "HostMemory.h"

#include <QDomDocument>
#include <memory>
#include <unordered_map>
#include <vector>

class QXmlInputSource;

class XmlDocument {
 public:
  static constexpr int kMaxDepth = 1024;
  // QDom scans an element's attributes for each one it adds: time grows with the square.
  static constexpr int kMaxAttributes = 1024;
  // Estimated host bytes of one node besides its text.
  static constexpr size_t kNodeCost = 128;

  XmlDocument() = default;
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // Fills the empty document through the SAX reader. Content that is not
  // well-formed, too deep, too large or has an element with too many
  // attributes leaves it empty; passing the memory limit then raises code 6.
  void parse(QXmlInputSource& source);

  QDomDocument& dom() { return iDom; }
  // Keeps an element made outside parsing for the document's lifetime.
  void retain(const QDomNode& element) { iRetained.push_back(element); }
  // Charges a node with `characters` UTF-16 units of text (code 6 over the limit).
  void chargeNode(size_t characters) { iCharge.resize(iCharge.bytes() + kNodeCost + 2 * characters); }
  // Charges `nodes` nodes holding `characters` units of text between them;
  // over the limit it answers false with the error recorded, not raised.
  bool tryChargeNodes(size_t nodes, size_t characters);

  // The element's attributes as last recorded (by parsing and by
  // xmlattr::set), so they can be listed in linear time: QDom's map reaches
  // its i-th item in i steps. A record may be stale; xmlattr checks it
  // against the map before trusting it.
  std::vector<QDomAttr>& attributeRecord(const QDomNode& element) { return iAttributes[identity(element)]; }

  // Elements from the node up to the top of its tree (1 for a root element).
  static int depthOf(QDomNode node);
  // Levels of elements in the subtree under and including node.
  static int heightOf(QDomNode node);

 private:
  void retainElements();
  static const void* identity(const QDomNode& node);

  QDomDocument iDom{QString()};   // named: an empty document, not a null one
  std::vector<QDomNode> iRetained;   // after iDom: released while the document still exists
  // By element; an element lives as long as its document, so its key is never reused.
  std::unordered_map<const void*, std::vector<QDomAttr>> iAttributes;
  hostmem::Charge iCharge;
};

typedef std::shared_ptr<XmlDocument> XmlDocumentPtr;

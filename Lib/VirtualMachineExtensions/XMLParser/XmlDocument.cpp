// Parsing through the SAX reader with limits, and tree measures that never recurse.
#include "XmlDocument.h"

#include "Errors.h"
#include "XmlReader.h"


bool XmlDocument::tryChargeNodes(size_t nodes, size_t characters) {
  // The error stays recorded for parse() to pass on: the exception itself
  // must not cross the reader's frames.
  try {
    iCharge.resize(iCharge.bytes() + nodes * kNodeCost + 2 * characters);
  } catch (const ErrorHandlingException&) {
    return false;
  }
  return true;
}

void XmlDocument::parse(QXmlInputSource& source) {
  GuardedXmlReader reader(*this);
  reader.setFeature(QStringLiteral("http://xml.org/sax/features/namespaces"), true);
  reader.setFeature(QStringLiteral("http://xml.org/sax/features/namespace-prefixes"), false);
  if (iDom.setContent(&source, &reader)) return retainElements();
  // A partial tree would be a guess at the author's intent: keep nothing.
  iAttributes.clear();   // its elements go, and their keys may come back
  iDom = QDomDocument(QString());
  iCharge.release();
  if (reader.stop() == GuardedXmlReader::STOP_MEMORY) rethrow();
}

void XmlDocument::retainElements() {
  std::vector<QDomNode> pending{iDom};
  while (!pending.empty()) {
    const QDomNode n = pending.back();
    pending.pop_back();
    for (QDomNode c = n.firstChild(); !c.isNull(); c = c.nextSibling()) {
      if (!c.isElement()) continue;
      iRetained.push_back(c);
      pending.push_back(c);
    }
  }
}

namespace {
// QDom gives a node no identity but its private pointer, which a derived
// class may name.
struct NodeIdentity : QDomNode {
  static const void* of(const QDomNode& node) { return node.*&NodeIdentity::impl; }
};
}  // namespace

const void* XmlDocument::identity(const QDomNode& node) { return NodeIdentity::of(node); }

int XmlDocument::depthOf(QDomNode node) {
  int depth = 0;
  for (; !node.isNull(); node = node.parentNode())
    if (!node.isDocument()) ++depth;
  return depth;
}

int XmlDocument::heightOf(QDomNode node) {
  // Depth-first with an explicit stack of (node, level).
  int height = 0;
  std::vector<std::pair<QDomNode, int>> pending{{node, 1}};
  while (!pending.empty()) {
    auto [n, level] = pending.back();
    pending.pop_back();
    height = std::max(height, level);
    for (QDomNode c = n.firstChild(); !c.isNull(); c = c.nextSibling()) pending.push_back({c, level + 1});
  }
  return height;
}

#include "XmlReader.h"

#include "XmlAttributes.h"
#include "XmlDocument.h"

void GuardedXmlReader::setContentHandler(QXmlContentHandler* handler) {
  iContent = handler;
  QXmlSimpleReader::setContentHandler(handler ? this : nullptr);
}

void GuardedXmlReader::setLexicalHandler(QXmlLexicalHandler* handler) {
  iLexical = handler;
  QXmlSimpleReader::setLexicalHandler(handler ? this : nullptr);
}

bool GuardedXmlReader::admit(size_t characters, size_t nodes) {
  if (iDocument.tryChargeNodes(nodes, characters)) return true;
  iStop = STOP_MEMORY;
  return false;
}

bool GuardedXmlReader::startElement(const QString& namespaceURI, const QString& localName, const QString& qName,
                                    const QXmlAttributes& atts) {
  if (++iDepth > XmlDocument::kMaxDepth) {
    iStop = STOP_DEPTH;
    return false;
  }
  if (atts.count() > XmlDocument::kMaxAttributes) {
    iStop = STOP_ATTRIBUTES;
    return false;
  }
  size_t text = namespaceURI.size() + qName.size();
  for (int i = 0; i < atts.count(); ++i) text += atts.qName(i).size() + atts.uri(i).size() + atts.value(i).size();
  // Each attribute is a node of its own.
  if (!admit(text, 1 + static_cast<size_t>(atts.count())) ||
      !iContent->startElement(namespaceURI, localName, qName, atts))
    return false;
  // QDom has just appended the element to the innermost open one.
  const QDomNode parent = iOpen.empty() ? QDomNode(iDocument.dom()) : QDomNode(iOpen.back());
  iOpen.push_back(parent.lastChild().toElement());
  if (atts.count() > 0) {
    std::vector<QString> names;
    names.reserve(static_cast<size_t>(atts.count()));
    for (int i = 0; i < atts.count(); ++i) names.push_back(atts.qName(i));
    xmlattr::record(iDocument, iOpen.back(), names);
  }
  return true;
}

bool GuardedXmlReader::endElement(const QString& namespaceURI, const QString& localName, const QString& qName) {
  --iDepth;
  if (!iOpen.empty()) iOpen.pop_back();
  return iContent->endElement(namespaceURI, localName, qName);
}

QString GuardedXmlReader::errorString() const {
  switch (iStop) {
    case STOP_DEPTH: return QStringLiteral("document nested too deeply");
    case STOP_ATTRIBUTES:
      return QStringLiteral("element has more than %1 attributes").arg(XmlDocument::kMaxAttributes);
    case STOP_MEMORY: return QStringLiteral("host memory limit reached");
    default: return iContent ? iContent->errorString() : QString();
  }
}

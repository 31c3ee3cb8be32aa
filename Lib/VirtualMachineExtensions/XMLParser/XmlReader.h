#pragma once
// The SAX reader the document is filled through, standing between the
// reader and QDom's own handler: it counts element depth and attributes and
// charges each node before QDom makes it, and stops the parse when a limit
// is hit.
// It also records each element's attributes once QDom has set them.
#include <QDomElement>
#include <QXmlDefaultHandler>
#include <QXmlSimpleReader>
#include <vector>

class XmlDocument;

class GuardedXmlReader : public QXmlSimpleReader, private QXmlContentHandler, private QXmlLexicalHandler {
 public:
  enum Stop { STOP_NONE, STOP_DEPTH, STOP_ATTRIBUTES, STOP_MEMORY };

  explicit GuardedXmlReader(XmlDocument& document) : iDocument(document) {}
  Stop stop() const { return iStop; }

  // QDom installs its handlers here; the reader then calls this object.
  void setContentHandler(QXmlContentHandler* handler) override;
  void setLexicalHandler(QXmlLexicalHandler* handler) override;

 private:
  // Charges the nodes about to be made; false stops the parse.
  bool admit(size_t characters, size_t nodes = 1);

  // QXmlContentHandler
  void setDocumentLocator(QXmlLocator* locator) override { iContent->setDocumentLocator(locator); }
  bool startDocument() override { return iContent->startDocument(); }
  bool endDocument() override { return iContent->endDocument(); }
  bool startPrefixMapping(const QString& prefix, const QString& uri) override {
    return iContent->startPrefixMapping(prefix, uri);
  }
  bool endPrefixMapping(const QString& prefix) override { return iContent->endPrefixMapping(prefix); }
  bool startElement(const QString& namespaceURI, const QString& localName, const QString& qName,
                    const QXmlAttributes& atts) override;
  bool endElement(const QString& namespaceURI, const QString& localName, const QString& qName) override;
  bool characters(const QString& ch) override { return admit(ch.size()) && iContent->characters(ch); }
  bool ignorableWhitespace(const QString& ch) override {
    return admit(ch.size()) && iContent->ignorableWhitespace(ch);
  }
  bool processingInstruction(const QString& target, const QString& data) override {
    return admit(target.size() + data.size()) && iContent->processingInstruction(target, data);
  }
  bool skippedEntity(const QString& name) override { return admit(name.size()) && iContent->skippedEntity(name); }
  QString errorString() const override;

  // QXmlLexicalHandler
  bool startDTD(const QString& name, const QString& publicId, const QString& systemId) override {
    return admit(name.size() + publicId.size() + systemId.size()) && iLexical->startDTD(name, publicId, systemId);
  }
  bool endDTD() override { return iLexical->endDTD(); }
  bool startEntity(const QString& name) override { return admit(name.size()) && iLexical->startEntity(name); }
  bool endEntity(const QString& name) override { return iLexical->endEntity(name); }
  bool startCDATA() override { return admit(0) && iLexical->startCDATA(); }
  bool endCDATA() override { return iLexical->endCDATA(); }
  bool comment(const QString& ch) override { return admit(ch.size()) && iLexical->comment(ch); }

  XmlDocument& iDocument;
  QXmlContentHandler* iContent = nullptr;
  QXmlLexicalHandler* iLexical = nullptr;
  int iDepth = 0;
  Stop iStop = STOP_NONE;
  std::vector<QDomElement> iOpen;   // the elements being filled, innermost last
};

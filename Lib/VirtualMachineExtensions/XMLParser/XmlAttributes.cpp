// Attribute moves and replacements that never leave QDom's map leaking, and
// listing through the document's record of each element's attributes.
#include "XmlAttributes.h"

#include "XmlDocument.h"

#include <QDomNamedNodeMap>
#include <QSet>
#include <algorithm>

namespace {

// The name QDom files an attribute under: its qualified name without prefix.
QString filedName(const QDomNode& attr) {
  const QString prefix = attr.prefix(), name = attr.nodeName();
  return prefix.isEmpty() ? name : name.mid(prefix.size() + 1);
}

// Every attribute of the map, in its order: i steps to reach item i.
std::vector<QDomAttr> walk(const QDomNamedNodeMap& map) {
  std::vector<QDomAttr> all;
  all.reserve(static_cast<size_t>(map.count()));
  for (int i = 0; i < map.count(); ++i) all.push_back(map.item(i).toAttr());
  return all;
}

// Whether the record holds exactly the map's attributes: as many, none
// twice, each found under its own name.
bool current(const QDomNamedNodeMap& map, const std::vector<QDomAttr>& record) {
  if (record.size() != static_cast<size_t>(map.count())) return false;
  QSet<QString> seen;
  seen.reserve(map.count());
  for (const QDomAttr& a : record) {
    if (map.namedItem(filedName(a)) != a) return false;
    const QString name = a.nodeName();
    if (seen.contains(name)) return false;
    seen.insert(name);
  }
  return true;
}

// The element's record, made current first.
const std::vector<QDomAttr>& attributesOf(XmlDocument& document, const QDomElement& element) {
  const QDomNamedNodeMap map = element.attributes();
  std::vector<QDomAttr>& kept = document.attributeRecord(element);
  if (!current(map, kept)) kept = walk(map);
  return kept;
}

void forget(std::vector<QDomAttr>& record, const QDomAttr& attr) {
  record.erase(std::remove(record.begin(), record.end(), attr), record.end());
}

// Whether the element's map holds the attribute, and how many it files
// under the attribute's name. All attributes are looked at only when the
// name's last entry does not settle it.
struct Filing {
  bool held = false;
  int count = 0;
};

Filing filing(XmlDocument& document, const QDomElement& element, const QDomAttr& attr) {
  const QDomNamedNodeMap map = element.attributes();
  const QString name = filedName(attr);
  const QDomNode last = map.namedItem(name);
  if (last.isNull()) return {};
  if (map.count() == 1) return {last == attr, 1};
  Filing f;
  for (const QDomAttr& item : attributesOf(document, element)) {
    if (filedName(item) != name) continue;
    ++f.count;
    f.held = f.held || item == attr;
  }
  return f;
}

// The element's attribute of that qualified name, or a null one.
QDomAttr sameName(XmlDocument& document, const QDomElement& element, const QDomAttr& attr) {
  const QDomNode last = element.attributes().namedItem(filedName(attr));
  if (last.isNull() || last.nodeName() == attr.nodeName()) return last.toAttr();
  for (const QDomAttr& item : attributesOf(document, element))
    if (item.nodeName() == attr.nodeName()) return item;
  return QDomAttr();
}

}  // namespace

namespace xmlattr {

QDomElement ownerOf(XmlDocument& document, const QDomAttr& attr) {
  // The parent may be a former owner: QDom does not clear it on removal.
  const QDomElement parent = attr.parentNode().toElement();
  return !parent.isNull() && filing(document, parent, attr).held ? parent : QDomElement();
}

bool set(XmlDocument& document, QDomElement& element, const QDomAttr& attr) {
  QDomElement owner = ownerOf(document, attr);
  if (owner == element) return true;
  const QDomAttr same = sameName(document, element, attr);
  if (!owner.isNull() && filing(document, owner, attr).count > 1) return false;
  if (!same.isNull() && filing(document, element, same).count > 1) return false;
  if (!owner.isNull()) {
    owner.removeAttributeNode(attr);
    forget(document.attributeRecord(owner), attr);
  }
  std::vector<QDomAttr>& kept = document.attributeRecord(element);
  if (!same.isNull()) {
    element.removeAttributeNode(same);
    forget(kept, same);
  }
  element.setAttributeNode(attr);
  kept.push_back(attr);
  return true;
}

void record(XmlDocument& document, const QDomElement& element, const std::vector<QString>& names) {
  const QDomNamedNodeMap map = element.attributes();
  std::vector<QDomAttr>& kept = document.attributeRecord(element);
  kept.clear();
  kept.reserve(names.size());
  for (const QString& name : names) {
    const QDomAttr a = map.namedItem(name.mid(name.indexOf(QLatin1Char(':')) + 1)).toAttr();
    if (a.isNull() || a.nodeName() != name) break;
    kept.push_back(a);
  }
  if (!current(map, kept)) kept = walk(map);
}

std::vector<QDomAttr> list(XmlDocument& document, const QDomElement& element) {
  return attributesOf(document, element);
}

}  // namespace xmlattr

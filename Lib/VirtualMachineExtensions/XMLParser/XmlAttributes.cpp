// Attribute moves and replacements that never leave QDom's map leaking.
#include "XmlAttributes.h"

#include <QDomNamedNodeMap>

namespace {

// The name QDom files an attribute under: its qualified name without prefix.
QString filedName(const QDomNode& attr) {
  const QString prefix = attr.prefix(), name = attr.nodeName();
  return prefix.isEmpty() ? name : name.mid(prefix.size() + 1);
}

// Whether the element's map holds the attribute, and how many it files
// under the attribute's name. Items are walked only when the name's last
// entry does not settle it: item(i) is linear in i.
struct Filing {
  bool held = false;
  int count = 0;
};

Filing filing(const QDomElement& element, const QDomAttr& attr) {
  const QDomNamedNodeMap map = element.attributes();
  const QString name = filedName(attr);
  const QDomNode last = map.namedItem(name);
  if (last.isNull()) return {};
  if (map.count() == 1) return {last == attr, 1};
  Filing f;
  for (int i = 0; i < map.count(); ++i) {
    const QDomNode item = map.item(i);
    if (filedName(item) != name) continue;
    ++f.count;
    f.held = f.held || item == attr;
  }
  return f;
}

// The element's attribute of that qualified name, or a null one.
QDomAttr sameName(const QDomElement& element, const QDomAttr& attr) {
  const QDomNamedNodeMap map = element.attributes();
  const QDomNode last = map.namedItem(filedName(attr));
  if (last.isNull() || last.nodeName() == attr.nodeName()) return last.toAttr();
  for (int i = 0; i < map.count(); ++i)
    if (map.item(i).nodeName() == attr.nodeName()) return map.item(i).toAttr();
  return QDomAttr();
}

}  // namespace

namespace xmlattr {

QDomElement ownerOf(const QDomAttr& attr) {
  // The parent may be a former owner: QDom does not clear it on removal.
  const QDomElement parent = attr.parentNode().toElement();
  return !parent.isNull() && filing(parent, attr).held ? parent : QDomElement();
}

bool set(QDomElement& element, const QDomAttr& attr) {
  QDomElement owner = ownerOf(attr);
  if (owner == element) return true;
  const QDomAttr same = sameName(element, attr);
  if (!owner.isNull() && filing(owner, attr).count > 1) return false;
  if (!same.isNull() && filing(element, same).count > 1) return false;
  if (!owner.isNull()) owner.removeAttributeNode(attr);
  if (!same.isNull()) element.removeAttributeNode(same);
  element.setAttributeNode(attr);
  return true;
}

}  // namespace xmlattr

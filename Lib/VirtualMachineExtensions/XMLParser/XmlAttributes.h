#pragma once
// Setting attribute nodes on elements around two faults of QDom's attribute
// map: it files attributes under their local names, several under one name
// when their prefixes differ, and taking one out drops every attribute
// filed under that name but releases only one, so the others leak; and a
// removed attribute keeps its former element as parent. Also listing an
// element's attributes in linear time, which QDom's map cannot.
#include <QDomAttr>
#include <QDomElement>
#include <QString>
#include <vector>

class XmlDocument;

namespace xmlattr {

// The element that holds the attribute, or a null element.
QDomElement ownerOf(XmlDocument& document, const QDomAttr& attr);

// Sets the attribute on the element, taking it from its owner and replacing
// the element's attribute of the same qualified name. False, with nothing
// changed, when either would take an attribute from under a shared local
// name. Both elements' records in the document follow.
bool set(XmlDocument& document, QDomElement& element, const QDomAttr& attr);

// Records the attributes a parsed element was given, by their qualified names.
void record(XmlDocument& document, const QDomElement& element, const std::vector<QString>& names);

// The element's attributes: its record when that holds exactly the
// attributes its map holds, else (rarely: a local name shared by several
// attributes) found by walking the map, and recorded again.
std::vector<QDomAttr> list(XmlDocument& document, const QDomElement& element);

}  // namespace xmlattr

#pragma once
// Setting attribute nodes on elements around two faults of QDom's attribute
// map: it files attributes under their local names, several under one name
// when their prefixes differ, and taking one out drops every attribute
// filed under that name but releases only one, so the others leak; and a
// removed attribute keeps its former element as parent.
#include <QDomAttr>
#include <QDomElement>

namespace xmlattr {

// The element that holds the attribute, or a null element.
QDomElement ownerOf(const QDomAttr& attr);

// Sets the attribute on the element, taking it from its owner and replacing
// the element's attribute of the same qualified name. False, with nothing
// changed, when either would take an attribute from under a shared local
// name.
bool set(QDomElement& element, const QDomAttr& attr);

}  // namespace xmlattr

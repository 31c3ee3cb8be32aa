// Attribute nodes whose elements the collector frees: the attribute and its
// owner must stay usable through the handles bytecode still holds. Listing
// many attributes, parsed and moved between elements.
#include "CAppsString.h"
#include "NativeHelpers.h"
#include "VectorStore.h"
#include "XmlCalls.h"
#include "XmlDocument.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

enum Op {
  PARSE = 2,
  DOCUMENT = 3,
  CREATE_NODE = 4,
  NAME = 5,
  VALUE = 7,
  ATTRIBUTES = 14,
  CHILDREN = 15,
  PARENT = 16,
  INSERT = 21,
  FROM_TEXT = 27
};
enum Type { ELEMENT = 1, ATTRIBUTE = 2, TEXT = 3 };

class XmlAttribute : public testing::Test {
 protected:
  void SetUp() override {
    parser = calls.holder(0);
    calls.call(FROM_TEXT, {parser, calls.text("")});
  }
  // A new node of the parser's (scratch) document, in a holder.
  TUint32 make(Type type, const char* name, const char* value = "") {
    return calls.holder(calls.call(CREATE_NODE, {parser, calls.text(name), calls.text(value),
                                                 static_cast<TUint32>(type), calls.text(""), calls.text("")}));
  }
  const NString& text(TUint32 cell) { return native::stringAt(cell); }
  TInt32 count(TUint32 vectorCell) { return vectors::VectorStore(native::derefCell(vectorCell), 4).count(); }
  TUint32 first(TUint32 vectorCell) { return item(vectorCell, 0); }
  TUint32 item(TUint32 vectorCell, TInt32 i) {
    return native::load(vectors::VectorStore(native::derefCell(vectorCell), 4).addressOf(i));
  }
  std::string utf8(TUint32 cell) { return CAppsString::fromNString(text(cell)).toQString().toStdString(); }
  // The element's attributes as "name=value", each listed once.
  std::set<std::string> listed(TUint32 element, std::vector<TUint32>* nodes = nullptr) {
    const TUint32 v = calls.call(ATTRIBUTES, {element});
    std::set<std::string> all;
    for (TInt32 i = 0; i < count(v); ++i) {
      const TUint32 attr = calls.holder(item(v, i));
      EXPECT_TRUE(all.insert(utf8(calls.call(NAME, {attr})) + "=" + utf8(calls.call(VALUE, {attr}))).second);
      if (nodes) nodes->push_back(attr);
    }
    EXPECT_EQ(all.size(), static_cast<size_t>(count(v)));
    return all;
  }
  // Frees every heap object but the natives given.
  void collectAllBut(std::initializer_list<TUint32> holders, std::vector<TUint32>& natives) {
    for (TUint32 h : holders) natives.push_back(native::load(h + 4));
    for (TUint32 n : natives) calls.heap().addRoot(n);
    calls.heap().collect();
  }

  XmlCalls calls;
  TUint32 parser = 0;
};

}  // namespace

TEST_F(XmlAttribute, OutlivesTheElementItIsSetOn) {
  const TUint32 e = make(ELEMENT, "e"), z = make(ATTRIBUTE, "z", "1"), other = make(ELEMENT, "f");
  ASSERT_EQ(calls.call(INSERT, {e, z, 0}), 1u);
  std::vector<TUint32> kept;
  collectAllBut({z, other}, kept);   // the element's only handle goes
  const TUint32 attr = calls.holder(kept[0]), f = calls.holder(kept[1]);
  EXPECT_EQ(text(calls.call(NAME, {calls.holder(calls.call(PARENT, {attr}))})), NString("e"));
  // Moved to another element, it leaves the first one.
  EXPECT_EQ(calls.call(INSERT, {f, attr, 0}), 1u);
  EXPECT_EQ(count(calls.call(ATTRIBUTES, {f})), 1);
  EXPECT_EQ(text(calls.call(NAME, {calls.holder(calls.call(PARENT, {attr}))})), NString("f"));
  calls.heap().verify();
}

TEST_F(XmlAttribute, ItsTextOutlivesAReplacedAttributeAndItsElement) {
  const TUint32 e = make(ELEMENT, "e"), z = make(ATTRIBUTE, "z", "1"), other = make(ATTRIBUTE, "z", "2");
  ASSERT_EQ(calls.call(INSERT, {e, z, 0}), 1u);
  const TUint32 value = calls.holder(first(calls.call(CHILDREN, {z})));
  ASSERT_EQ(calls.call(INSERT, {e, other, 0}), 1u);   // replaces z
  EXPECT_EQ(calls.call(PARENT, {z}), 0u);
  std::vector<TUint32> kept;
  collectAllBut({value}, kept);   // z and e go; z's text stays
  const TUint32 t = calls.holder(kept[0]);
  EXPECT_EQ(text(calls.call(VALUE, {t})), NString("1"));
  calls.heap().verify();
}

// As many attributes as an element may have, parsed and then moved and
// replaced one by one: every listing holds each attribute its element has,
// once. Local names shared under several prefixes are listed too.
TEST_F(XmlAttribute, ManyAreListedEachOnceAsTheyMove) {
  const int n = XmlDocument::kMaxAttributes;
  std::string doc = "<r";
  std::set<std::string> expected;
  for (int i = 0; i < n; ++i) {
    doc += " a" + std::to_string(i) + "='" + std::to_string(i) + "'";
    expected.insert("a" + std::to_string(i) + "=" + std::to_string(i));
  }
  doc += "><s xmlns:p='u1' xmlns:q='u2' p:x='1' q:x='2' x='3'/></r>";
  calls.call(FROM_TEXT, {parser, calls.text(doc.c_str())});
  ASSERT_EQ(calls.call(PARSE, {parser}), 1u);
  const TUint32 r = calls.holder(first(calls.call(CHILDREN, {calls.holder(calls.call(DOCUMENT, {parser}))})));
  std::vector<TUint32> attrs;
  EXPECT_EQ(listed(r, &attrs), expected);
  EXPECT_EQ(listed(calls.holder(first(calls.call(CHILDREN, {r})))), (std::set<std::string>{"x=1", "x=2", "x=3"}));

  // A third of them move to an element of the same document, and one of
  // the rest is replaced by a new attribute of its name.
  const TUint32 f = make(ELEMENT, "f");
  std::set<std::string> moved;
  for (size_t i = 0; i < attrs.size(); i += 3) {
    const std::string entry = utf8(calls.call(NAME, {attrs[i]})) + "=" + utf8(calls.call(VALUE, {attrs[i]}));
    ASSERT_EQ(calls.call(INSERT, {f, attrs[i], 0}), 1u);
    moved.insert(entry);
    expected.erase(entry);
  }
  const std::string replaced = *expected.begin(), name = replaced.substr(0, replaced.find('='));
  ASSERT_EQ(calls.call(INSERT, {r, make(ATTRIBUTE, name.c_str(), "new"), 0}), 1u);
  expected.erase(replaced);
  expected.insert(name + "=new");
  EXPECT_EQ(listed(f), moved);
  EXPECT_EQ(listed(r), expected);
  calls.heap().verify();
}

// One attribute past the limit: the parse completes as for a document
// nested too deeply, with an empty document.
TEST_F(XmlAttribute, OnePastTheLimitLeavesAnEmptyDocument) {
  std::string doc = "<r><e";
  for (int i = 0; i <= XmlDocument::kMaxAttributes; ++i) doc += " a" + std::to_string(i) + "=''";
  doc += "/></r>";
  calls.call(FROM_TEXT, {parser, calls.text(doc.c_str())});
  ASSERT_EQ(calls.call(PARSE, {parser}), 1u);
  EXPECT_EQ(count(calls.call(CHILDREN, {calls.holder(calls.call(DOCUMENT, {parser}))})), 0);
  calls.heap().verify();
}

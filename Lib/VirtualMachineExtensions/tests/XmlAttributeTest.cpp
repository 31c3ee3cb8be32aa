// Attribute nodes whose elements the collector frees: the attribute and its
// owner must stay usable through the handles bytecode still holds.
#include "NativeHelpers.h"
#include "VectorStore.h"
#include "XmlCalls.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

enum Op { CREATE_NODE = 4, NAME = 5, VALUE = 7, ATTRIBUTES = 14, CHILDREN = 15, PARENT = 16, INSERT = 21, FROM_TEXT = 27 };
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
  TUint32 first(TUint32 vectorCell) {
    return native::load(vectors::VectorStore(native::derefCell(vectorCell), 4).addressOf(0));
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

// Hostile documents: nothing deeper than the host can free, no element with
// more attributes than QDom can add in reasonable time, nothing larger than
// the memory limit, no crash on broken input.
#include "Errors.h"
#include "HostMemory.h"
#include "XmlAttributes.h"
#include "XmlDocument.h"

#include <QXmlInputSource>
#include <gtest/gtest.h>
#include <string>

namespace {

// The document, or nullptr when parsing raised (the code is kept).
std::shared_ptr<XmlDocument> parse(const QByteArray& bytes, int* code = nullptr) {
  auto d = std::make_shared<XmlDocument>();
  QXmlInputSource source;
  source.setData(bytes);
  try {
    d->parse(source);
  } catch (const ErrorHandlingException&) {
    if (code) *code = currentErrorCode();
    clearError();
    return nullptr;
  }
  return d;
}

QByteArray nested(int levels) {
  QByteArray open, close;
  open.reserve(levels * 3);
  close.reserve(levels * 4);
  for (int i = 0; i < levels; ++i) open += "<a>", close += "</a>";
  return open + close;
}

int children(const QDomNode& n) { return n.childNodes().count(); }

// <r><e a0="0" a1="1" ... /></r> with `count` attributes on e.
QByteArray attributed(int count) {
  QByteArray doc = "<r><e";
  for (int i = 0; i < count; ++i) doc += " a" + QByteArray::number(i) + "=\"" + QByteArray::number(i) + "\"";
  return doc + "/></r>";
}

}  // namespace

TEST(XmlHostile, NestingStopsAtTheDepthLimitAndLeavesAnEmptyDocument) {
  auto fits = parse(nested(XmlDocument::kMaxDepth));
  ASSERT_TRUE(fits);
  EXPECT_EQ(XmlDocument::heightOf(fits->dom()), XmlDocument::kMaxDepth + 1);   // the document node too
  for (int levels : {XmlDocument::kMaxDepth + 1, 1000000}) {
    auto deep = parse(nested(levels));
    ASSERT_TRUE(deep);
    EXPECT_EQ(children(deep->dom()), 0) << levels;
  }
}

TEST(XmlHostile, AttributesStopAtTheLimitAndLeaveAnEmptyDocument) {
  auto fits = parse(attributed(XmlDocument::kMaxAttributes));
  ASSERT_TRUE(fits);
  const QDomElement e = fits->dom().documentElement().firstChildElement();
  const std::vector<QDomAttr> listed = xmlattr::list(*fits, e);
  ASSERT_EQ(listed.size(), size_t(XmlDocument::kMaxAttributes));
  EXPECT_EQ(listed.back().name(), "a" + QString::number(XmlDocument::kMaxAttributes - 1));
  EXPECT_EQ(listed.back().value(), QString::number(XmlDocument::kMaxAttributes - 1));
  // Past the limit nothing is kept, and a huge element is refused before
  // QDom spends time on it (this count would take it minutes).
  const size_t before = hostmem::used();
  for (int count : {XmlDocument::kMaxAttributes + 1, 100000}) {
    int code = 0;
    auto many = parse(attributed(count), &code);
    ASSERT_TRUE(many) << code;
    EXPECT_EQ(children(many->dom()), 0) << count;
    EXPECT_EQ(hostmem::used(), before);
  }
}

TEST(XmlHostile, EntityExpansionIsBounded) {
  QByteArray bomb = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lollollollollollollollollollol\">";
  QByteArray previous = "lol";
  for (int i = 1; i <= 9; ++i) {
    const QByteArray name = "lol" + QByteArray::number(i);
    bomb += "<!ENTITY " + name + " \"";
    for (int k = 0; k < 10; ++k) bomb += "&" + previous + ";";
    bomb += "\">";
    previous = name;
  }
  bomb += "]><lolz>&" + previous + ";</lolz>";
  const size_t before = hostmem::used();
  int code = 0;
  auto d = parse(bomb, &code);
  // Refused either by the reader's own expansion limit or by the memory limit.
  if (d) EXPECT_LT(XmlDocument::heightOf(d->dom()), 4);
  else EXPECT_EQ(code, ERR_INVALID_ARGUMENT);
  EXPECT_LT(hostmem::used() - before, size_t(64) << 20);
}

TEST(XmlHostile, LargeDocumentsCountAgainstTheMemoryLimit) {
  const QByteArray big = "<a v=\"" + QByteArray(2 << 20, 'x') + "\">" + QByteArray(1 << 20, 'y') + "</a>";
  const size_t before = hostmem::used();
  {
    auto d = parse(big);
    ASSERT_TRUE(d);
    EXPECT_GE(hostmem::used() - before, size_t(6) << 20);   // two bytes a character
    EXPECT_EQ(d->dom().documentElement().attribute("v").size(), 2 << 20);
  }
  EXPECT_EQ(hostmem::used(), before);

  const size_t limit = hostmem::limit();
  hostmem::setLimit(before + (1 << 20));
  int code = 0;
  EXPECT_FALSE(parse(big, &code));
  hostmem::setLimit(limit);
  EXPECT_EQ(code, ERR_INVALID_ARGUMENT);
  EXPECT_EQ(hostmem::used(), before);
}

TEST(XmlHostile, BrokenInputLeavesAnEmptyDocument) {
  const QByteArray inputs[] = {
      QByteArray("<a>\xff\xfe\xc3(</a>"),          // invalid UTF-8
      QByteArray("<a><b x=\"1\">text</b><c"),      // truncated
      QByteArray("<a></b>"),
      QByteArray("\0\0\0<", 4),
      QByteArray(),
  };
  for (const QByteArray& in : inputs) {
    auto d = parse(in);
    ASSERT_TRUE(d);
    EXPECT_LE(children(d->dom()), 1);
  }
}

TEST(XmlHostile, TreeMeasuresDoNotRecurse) {
  QDomDocument dom(QStringLiteral("x"));
  QDomNode top = dom.createElement("top"), at = top;
  for (int i = 0; i < XmlDocument::kMaxDepth - 1; ++i) at = at.appendChild(dom.createElement("e"));
  EXPECT_EQ(XmlDocument::heightOf(top), XmlDocument::kMaxDepth);
  EXPECT_EQ(XmlDocument::depthOf(at), XmlDocument::kMaxDepth);
}

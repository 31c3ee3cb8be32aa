#include "CAppsString.h"
#include "TestSupport.h"

TEST(CAppsString, ConstructionAndTerminator) {
  CAppsString empty("");
  EXPECT_EQ(empty.capacity(), 10);
  EXPECT_EQ(empty.utf16()[0], 0);
  CAppsString s("abc");
  EXPECT_EQ(s.size(), 3);
  EXPECT_EQ(s.capacity(), 13);
  EXPECT_EQ(s.utf16()[3], 0);
  const TChar wide[] = {0x20AC, 'x', 0};
  EXPECT_EQ(CAppsString(wide).size(), 2);
  EXPECT_RAISES(ERR_NULL_POINTER, CAppsString(static_cast<const TChar*>(nullptr)));
  const TUint8 bytes[] = {0xFF, 'a'};
  CAppsString fromBytes(bytes, 2);
  EXPECT_EQ(fromBytes[0], 0xFF);
  EXPECT_EQ(CAppsString::number(-12), "-12");
  EXPECT_EQ(CAppsString().utf16()[0], 0);

  CAppsString copy = s;
  EXPECT_EQ(copy.utf16()[3], 0);
  copy.insert(3, 'd');
  EXPECT_EQ(copy, "abcd");
  EXPECT_EQ(copy.utf16()[4], 0);
}

TEST(CAppsString, AppendKeepsTheTerminator) {
  CAppsString s("ab");
  s.append("cd").append(TChar('e'));
  const TChar wide[] = {'f', 0};
  s.append(wide);
  s.append(s);
  EXPECT_EQ(s, "abcdefabcdef");
  EXPECT_EQ(s.utf16()[12], 0);
  s.append(s.utf16() + 10);
  EXPECT_EQ(s, "abcdefabcdefef");
  EXPECT_RAISES(ERR_NULL_POINTER, s.append(static_cast<const char*>(nullptr)));
  EXPECT_RAISES(ERR_NULL_POINTER, s.append(static_cast<const TChar*>(nullptr)));
}

TEST(CAppsString, SubstringsAndSearch) {
  CAppsString s("Hello/World");
  EXPECT_EQ(s.substring(0, 4), "Hello");
  EXPECT_EQ(s.substring(6), "World");
  EXPECT_EQ(s.substring(11), "");
  EXPECT_EQ(s.substring(0, -1), "");
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, s.substring(3, 11));
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, s.substring(12));
  EXPECT_TRUE(s.startsWith("hello", false));
  EXPECT_FALSE(s.startsWith("hello", true));
  EXPECT_TRUE(s.endsWith("WORLD", false));
  EXPECT_EQ(s.indexOf("o"), 4);
  EXPECT_EQ(s.indexOf("O", false, 5), 7);
  EXPECT_EQ(s.lastIndexOf("o"), 7);
  EXPECT_EQ(s.indexOf(""), -1);
}

TEST(CAppsString, ReplaceCaseAndConversions) {
  CAppsString p("a\\b\\\\c");
  p.replaceAll("\\", "/");
  EXPECT_EQ(p, "a/b//c");
  CAppsString q("xXx");
  q.replaceAll("x", "yy", false);
  EXPECT_EQ(q, "yyyyyy");
  q.toUpperCase();
  EXPECT_EQ(q, "YYYYYY");
  q.toLowerCase();
  EXPECT_EQ(q, "yyyyyy");

  NString n = CAppsString("t\xe9xt").toNString();
  EXPECT_EQ(n.charAt(1), 0xE9);
  EXPECT_EQ(CAppsString::fromNString(n).toQString(), QString::fromLatin1("t\xe9xt"));
  EXPECT_EQ(CAppsString::fromQString(QStringLiteral("\u20ac")).at(0), 0x20AC);
  EXPECT_EQ(CAppsString("a").localeAwareCompare("a"), 0);
}

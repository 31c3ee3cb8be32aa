#include "HostMemory.h"
#include "TestSupport.h"

#include <limits>
#include <string>
#include <thread>
#include <vector>

using C = NString::Case;

TEST(NStringSharing, CopyAndAssignShareUntilWritten) {
  NString a = ns("hello");
  NString b = a;
  ASSERT_EQ(a.buffer(), b.buffer());
  EXPECT_EQ(a.buffer()->refCount, 2u);
  b.setCharAt(0, 'j');
  EXPECT_NE(a.buffer(), b.buffer());
  EXPECT_EQ(text(a), "hello");
  EXPECT_EQ(text(b), "jello");
  EXPECT_EQ(a.buffer()->refCount, 1u);

  // Writing the character already there keeps the buffer shared.
  NString c = a;
  c.setCharAt(1, 'e');
  EXPECT_EQ(c.buffer(), a.buffer());

  c = c;
  EXPECT_EQ(a.buffer()->refCount, 2u);
  c = NString();
  EXPECT_EQ(c.buffer(), nullptr);
  EXPECT_EQ(c.length(), 0);
  EXPECT_EQ(a.buffer()->refCount, 1u);
}

TEST(NStringSharing, InsertIntoEmptySharesThenCopiesOnWrite) {
  NString other = ns("abc");
  NString s;
  s.insertTo(0, other, 0, 2);
  ASSERT_EQ(s.buffer(), other.buffer());
  EXPECT_EQ(other.buffer()->refCount, 2u);
  other.setCharAt(2, 'z');
  EXPECT_EQ(text(s), "abc");
  EXPECT_EQ(text(other), "abz");

  // A partial slice gets its own buffer.
  NString t;
  t.insertTo(0, other, 1, 2);
  EXPECT_NE(t.buffer(), other.buffer());
  EXPECT_EQ(text(t), "bz");
}

TEST(NStringSharing, EveryModifierLeavesSharedCopiesAlone) {
  const NString original = ns("  Hello World  ");
  auto check = [&](auto edit) {
    NString copy = original;
    edit(copy);
    EXPECT_EQ(text(original), "  Hello World  ");
  };
  check([](NString& s) { s.toUpperCase(); });
  check([](NString& s) { s.toLowerCase(); });
  check([](NString& s) { s.trim(); });
  check([](NString& s) { s.remove(2, 4); });
  check([](NString& s) { s.removeAll(ns("l"), 0, s.lastIndex(), C::Sensitive); });
  check([](NString& s) { s.replaceAll(ns("o"), ns("00"), 0, s.lastIndex(), C::Sensitive); });
  check([](NString& s) { s.insertTo(3, ns("xyz")); });
  check([](NString& s) { s.repeat(3); });
  check([](NString& s) { s.dropFirst(3); });
}

TEST(NStringSharing, SubstringOfWholeStringShares) {
  NString a = ns("abcdef");
  EXPECT_EQ(a.substring(0, 5).buffer(), a.buffer());
  EXPECT_NE(a.substring(1, 5).buffer(), a.buffer());
  EXPECT_EQ(text(a.substring(1, 5)), "bcdef");
}

TEST(NStringCapacity, FollowsTheGrowthRule) {
  EXPECT_EQ(stringCapacityFor(1), 10);
  EXPECT_EQ(stringCapacityFor(8), 10);
  EXPECT_EQ(stringCapacityFor(9), 10);   // 10.8 truncates to 10
  EXPECT_EQ(stringCapacityFor(10), 12);
  EXPECT_EQ(stringCapacityFor(100), 120);
  EXPECT_EQ(ns("12345678").buffer()->capacity, 10);
  EXPECT_EQ(ns("123456789").buffer()->capacity, 10);
  EXPECT_EQ(NString::filled('x', 100).buffer()->capacity, 120);
  EXPECT_EQ(ns("abc").units()[3], 0);
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, stringCapacityFor(0x7fffffff));
}

TEST(NStringCapacity, InPlaceGrowthAndHalfCapacityShrink) {
  NString s = ns("abcdefgh");            // capacity 10
  const StringBuffer* b = s.buffer();
  s.append(ns("ij"));                    // 10 fits in place
  EXPECT_EQ(s.buffer(), b);
  s.append(ns("k"));                     // 11 reallocates: capacity 13
  EXPECT_NE(s.buffer(), b);
  EXPECT_EQ(s.buffer()->capacity, 13);
  EXPECT_EQ(text(s), "abcdefghijk");

  b = s.buffer();
  s.remove(0, 3);                        // 7 left > 13 * 0.5 = 6: in place
  EXPECT_EQ(s.buffer(), b);
  EXPECT_EQ(text(s), "efghijk");
  s.remove(0, 0);                        // 6 left, not above 6: reallocates
  EXPECT_NE(s.buffer(), b);
  EXPECT_EQ(s.buffer()->capacity, 10);
  EXPECT_EQ(text(s), "fghijk");
  EXPECT_EQ(s.units()[6], 0);
}

TEST(NStringRanges, EmptyRangeIsAlwaysAcceptedOthersChecked) {
  NString empty;
  EXPECT_EQ(empty.substring(0, -1).length(), 0);
  EXPECT_EQ(empty.indexOf(ns("a"), 0, -1, C::Sensitive), -1);
  EXPECT_EQ(EXPECT_RAISES(ERR_RANGE, empty.substring(0, 0)), "RangeException");

  NString s = ns("abc");
  EXPECT_RAISES(ERR_RANGE, s.substring(-1, 1));
  EXPECT_RAISES(ERR_RANGE, s.substring(2, 1));
  EXPECT_RAISES(ERR_RANGE, s.substring(1, 3));
  EXPECT_RAISES(ERR_RANGE, s.remove(1, 5));
  EXPECT_RAISES(ERR_RANGE, s.count(ns("a"), 3, 3, C::Sensitive));
  EXPECT_RAISES(ERR_RANGE, s.insertTo(0, ns("xy"), 1, 2));
  EXPECT_EQ(text(s), "abc");
  s.remove(0, -1);
  EXPECT_EQ(text(s), "abc");
  EXPECT_EQ(s.substring(5).length(), 0);
  EXPECT_EQ(text(s.substring(1)), "bc");
}

TEST(NStringConstruction, FromTextNumbersAndFill) {
  EXPECT_EQ(text(NString("hello", 2)), "llo");
  EXPECT_TRUE(NString("hello", 5).isEmpty());
  EXPECT_TRUE(NString("hello", -1).isEmpty());
  EXPECT_TRUE(NString("").isEmpty());
  EXPECT_EQ(NString("\xe9").charAt(0), 0xE9);   // widened, not decoded
  const TChar wide[] = {0x20AC, 'a', 0};
  EXPECT_EQ(NString(wide).length(), 2);
  EXPECT_EQ(NString(wide, 1).charAt(0), 'a');
  EXPECT_EQ(text(NString::fromLatin1("abcdef", 1, 3)), "bcd");

  EXPECT_EQ(text(NString::filled('z', 3)), "zzz");
  EXPECT_TRUE(NString::filled('z', 0).isEmpty());
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, NString::filled('z', -1));

  EXPECT_EQ(text(NString::number(TInt32(-42))), "-42");
  EXPECT_EQ(text(NString::number(std::numeric_limits<TInt64>::min())), "-9223372036854775808");
  // Every digit count, and both sides of the 32-bit split of the digit loop.
  for (TInt64 p = 1; p <= std::numeric_limits<TInt64>::max() / 10; p *= 10)
    for (const TInt64 v : {p - 1, p, p + 1, -p, 9 * p + (p - 1)}) EXPECT_EQ(text(NString::number(v)), QString::fromStdString(std::to_string(v)));
  for (const TInt64 v : {TInt64(0xFFFFFFFF), TInt64(0x100000000), std::numeric_limits<TInt64>::max()})
    EXPECT_EQ(text(NString::number(v)), QString::fromStdString(std::to_string(v)));
  EXPECT_EQ(text(NString::number(std::numeric_limits<TInt32>::min())), "-2147483648");
  EXPECT_EQ(NString::number(TInt32(123456)).buffer()->capacity, 10);
  EXPECT_EQ(text(NString::number(TUint32(255), 16)), "ff");
  EXPECT_EQ(text(NString::number(TUint32(0xffffffff), 36)), "1z141z3");
  EXPECT_EQ(text(NString::number(TUint32(0), 2)), "0");
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, NString::number(TUint32(5), 37));
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, NString::number(TUint32(5), 1));
}

TEST(NStringConstruction, SubstringWithStep) {
  NString s = ns("abcdefg");
  EXPECT_EQ(text(s.substring(0, 6, 2)), "aceg");
  EXPECT_EQ(text(s.substring(1, 6, 2)), "bdf");   // ceil(6 / 2)
  EXPECT_EQ(text(s.substring(0, 6, 10)), "a");
  EXPECT_EQ(text(s.substring(2, 4, 1)), "cde");
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, s.substring(0, 6, 0));
}

TEST(NStringQueries, CharAtAndComparison) {
  NString s = ns("abc");
  EXPECT_EQ(s.charAt(2), 'c');
  EXPECT_RAISES(ERR_INDEX_OUT_OF_BOUNDS, s.charAt(3));
  EXPECT_RAISES(ERR_INDEX_OUT_OF_BOUNDS, NString().charAt(0));

  EXPECT_EQ(ns("abc").compare(ns("abd"), C::Sensitive), 'c' - 'd');
  EXPECT_EQ(ns("abc").compare(ns("ab"), C::Sensitive), 1);
  EXPECT_EQ(NString().compare(ns("ab"), C::Sensitive), -2);
  EXPECT_EQ(ns("ABC").compare(ns("abc"), C::Insensitive), 0);
  EXPECT_LT(ns("ABC").compare(ns("abc"), C::Sensitive), 0);
  EXPECT_EQ(ns("xabc").compareFrom(1, ns("abc"), C::Sensitive), 0);
  EXPECT_RAISES(ERR_RANGE, ns("xabc").compareFrom(4, ns("abc"), C::Sensitive));
  EXPECT_EQ(ns("xabcx").compare(1, 3, ns("abc"), C::Sensitive), 0);
  EXPECT_EQ(ns("xabcx").compare(0, -1, ns("abc"), C::Sensitive), -3);
  EXPECT_RAISES(ERR_RANGE, ns("xabcx").compare(1, 5, ns("abc"), C::Sensitive));

  EXPECT_TRUE(ns("Hello").equals(ns("hELLO"), C::Insensitive));
  EXPECT_FALSE(ns("Hello") == ns("hello"));
  EXPECT_TRUE(NString() == NString(""));
  EXPECT_TRUE(ns("Hello").startsWith(ns("he"), C::Insensitive));
  EXPECT_FALSE(ns("Hello").startsWith(ns("he"), C::Sensitive));
  EXPECT_FALSE(ns("Hello").startsWith(NString(), C::Sensitive));
  EXPECT_FALSE(ns("Hi").endsWith(ns("xHi"), C::Sensitive));
  EXPECT_TRUE(ns("Hello").endsWith(ns("LO"), C::Insensitive));

  EXPECT_TRUE(ns("abcdef").regionEquals(ns("cd"), 2, 3, C::Sensitive));
  EXPECT_FALSE(ns("abcdef").regionEquals(ns("cde"), 2, 3, C::Sensitive));
  EXPECT_FALSE(ns("abcdef").regionEquals(ns("cd"), 0, -1, C::Sensitive));
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, ns("abc").regionEquals(NString(), 0, 1, C::Sensitive));
}

TEST(NStringQueries, SearchAndCount) {
  NString s = ns("Hello hello");
  EXPECT_EQ(s.indexOf(ns("LL"), C::Insensitive), 2);
  EXPECT_EQ(s.indexOf(ns("LL"), C::Sensitive), -1);
  EXPECT_EQ(s.indexOf(ns("l"), 4, C::Sensitive), 8);
  EXPECT_EQ(s.indexOf(ns("hello"), 1, 10, C::Sensitive), 6);
  EXPECT_EQ(s.indexOf(ns("hello"), 1, 9, C::Sensitive), -1);
  EXPECT_EQ(s.indexOf(NString(), C::Sensitive), -1);
  EXPECT_EQ(s.indexOf(ns("Hello hello!"), C::Sensitive), -1);
  EXPECT_EQ(s.indexOf(s, C::Sensitive), 0);
  EXPECT_RAISES(ERR_RANGE, s.indexOf(ns("x"), 11, C::Sensitive));
  EXPECT_EQ(s.lastIndexOf(ns("l"), C::Sensitive), 9);
  EXPECT_EQ(s.lastIndexOf(ns("HEL"), C::Insensitive), 6);
  EXPECT_EQ(s.lastIndexOf(ns("hel"), 0, 8, C::Sensitive), 6);
  EXPECT_EQ(s.lastIndexOf(ns("hel"), 0, 7, C::Sensitive), -1);

  EXPECT_EQ(ns("aaaa").count(ns("aa"), C::Sensitive), 2);   // non-overlapping
  EXPECT_EQ(ns("aAaA").count(ns("a"), C::Insensitive), 4);
  EXPECT_EQ(ns("aAaA").count(ns("a"), 1, 3, C::Sensitive), 1);
  EXPECT_EQ(ns("abc").count(NString(), C::Sensitive), 0);
  EXPECT_EQ(ns("abc").count(ns("a"), 0, -1, C::Sensitive), 0);
}

TEST(NStringQueries, ParseNumbers) {
  EXPECT_EQ(ns("  ff").parseInt(16), 255);
  EXPECT_EQ(ns("FFz").parseInt(16), 255);
  EXPECT_EQ(ns("777").parseInt(8), 511);
  EXPECT_EQ(ns("ffffffff").parseInt(16), -1);
  EXPECT_RAISES(ERR_DATA_FORMAT, ns("zz").parseInt(16));
  EXPECT_RAISES(ERR_DATA_FORMAT, ns("   ").parseInt(10));
  EXPECT_RAISES(ERR_DATA_FORMAT, NString().parseInt(10));
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, ns("1").parseInt(37));
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, ns("1").parseInt(1));

  EXPECT_EQ(ns(" -42").parseDecimal(), -42);
  EXPECT_EQ(ns("+7x").parseDecimal(), 7);
  EXPECT_RAISES(ERR_DATA_FORMAT, ns("-").parseDecimal());
  EXPECT_RAISES(ERR_DATA_FORMAT, ns("x1").parseDecimal());

  TInt64 v = 0;
  EXPECT_TRUE(ns("-9223372036854775808").parseDecimal64(v));
  EXPECT_EQ(v, std::numeric_limits<TInt64>::min());
  EXPECT_TRUE(ns("9223372036854775807").parseDecimal64(v));
  EXPECT_EQ(v, std::numeric_limits<TInt64>::max());
  EXPECT_FALSE(ns("9223372036854775808").parseDecimal64(v));
  EXPECT_FALSE(ns("abc").parseDecimal64(v));
}

TEST(NStringModifiers, CaseTrimDrop) {
  NString s = ns("Hello");
  s.toUpperCase();
  EXPECT_EQ(text(s), "HELLO");
  s.toLowerCase();
  EXPECT_EQ(text(s), "hello");

  NString t = ns(" \t x y \n");
  t.trimLeft();
  EXPECT_EQ(text(t), "x y \n");
  t.trimRight();
  EXPECT_EQ(text(t), "x y");
  NString spaces = ns("   ");
  spaces.trim();
  EXPECT_EQ(spaces.buffer(), nullptr);

  NString d = ns("abcdef");
  d.dropFirst(2);
  d.dropLast(1);
  EXPECT_EQ(text(d), "cde");
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, d.dropFirst(4));
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, d.dropLast(-1));
  d.dropLast(3);
  EXPECT_EQ(d.buffer(), nullptr);

  NString r = ns("abc");
  r.removeCharAt(1);
  EXPECT_EQ(text(r), "ac");
  EXPECT_RAISES(ERR_INDEX_OUT_OF_BOUNDS, r.removeCharAt(2));
  EXPECT_RAISES(ERR_INDEX_OUT_OF_BOUNDS, r.setCharAt(-1, 'x'));
  r.remove(0, 1);
  EXPECT_EQ(r.buffer(), nullptr);
}

TEST(NStringModifiers, InsertAppendPrependConcat) {
  NString s = ns("ad");
  s.insertTo(1, ns("xbcx"), 1, 2);
  EXPECT_EQ(text(s), "abcd");
  s.prepend(ns(">"));
  s.append(ns("<"));
  s.append(TChar('!'));
  EXPECT_EQ(text(s), ">abcd<!");
  EXPECT_RAISES(ERR_INDEX_OUT_OF_BOUNDS, s.insertTo(8, ns("x")));
  s.insertTo(7, NString());   // empty other: nothing, even at a bad position
  EXPECT_EQ(text(NString::concat(ns("ab"), ns("cd"))), "abcd");

  // Inserting a string into itself reads the original text.
  NString self = ns("abc");
  self.insertTo(1, self);
  EXPECT_EQ(text(self), "aabcbc");
  self.append(self);
  EXPECT_EQ(text(self), "aabcbcaabcbc");
}

TEST(NStringModifiers, AppendWritesInPlaceOnlyAnUnsharedBufferWithRoom) {
  NString s = ns("abcdefgh");   // capacity 10
  const NString shared = s;
  s.append(TChar('i'));         // shared: copied first, the other keeps its text
  EXPECT_EQ(text(shared), "abcdefgh");
  const StringBuffer* b = s.buffer();
  s.append(TChar('j'));
  EXPECT_EQ(s.buffer(), b);
  s.append(TChar('k'));         // full: reallocates by the capacity rule
  EXPECT_NE(s.buffer(), b);
  EXPECT_EQ(s.buffer()->capacity, 13);
  s.append(ns("lm"));
  EXPECT_EQ(text(s), "abcdefghijklm");
  EXPECT_EQ(s.units()[13], 0);
  NString big = NString::filled('x', 20);   // capacity 24, 15 left: a long text fits
  big.dropLast(5);
  b = big.buffer();
  big.append(ns("012345678"));
  EXPECT_EQ(big.buffer(), b);
  EXPECT_EQ(text(big), "xxxxxxxxxxxxxxx012345678");
  EXPECT_EQ(big.units()[24], 0);
}

TEST(NStringModifiers, RemoveAndReplaceOccurrences) {
  NString s = ns("a-b-c-d");
  s.removeFirst(ns("-"), 0, s.lastIndex(), C::Sensitive);
  EXPECT_EQ(text(s), "ab-c-d");
  s.removeLast(ns("-"), 0, s.lastIndex(), C::Sensitive);
  EXPECT_EQ(text(s), "ab-cd");
  s.removeFirst(ns("xyz"), 0, s.lastIndex(), C::Sensitive);
  EXPECT_EQ(text(s), "ab-cd");

  NString all = ns("xAxaxAx");
  all.removeAll(ns("a"), 1, 4, C::Insensitive);
  EXPECT_EQ(text(all), "xxxAx");
  NString only = ns("aaaa");
  only.removeAll(ns("aa"), 0, 3, C::Sensitive);
  EXPECT_EQ(only.buffer(), nullptr);

  NString r = ns("one two one two");
  r.replaceFirst(ns("one"), ns("1"), 0, r.lastIndex(), C::Sensitive);
  EXPECT_EQ(text(r), "1 two one two");
  r.replaceLast(ns("TWO"), ns("2"), 0, r.lastIndex(), C::Insensitive);
  EXPECT_EQ(text(r), "1 two one 2");
  r.replaceAll(ns("o"), ns("00"), 0, r.lastIndex(), C::Sensitive);
  EXPECT_EQ(text(r), "1 tw00 00ne 2");
  r.replaceRange(0, 1, ns("#"));
  EXPECT_EQ(text(r), "#tw00 00ne 2");
  r.replaceRange(0, r.lastIndex(), NString());
  EXPECT_EQ(r.buffer(), nullptr);
  NString w = ns("abc");
  w.replaceAll(ns("b"), w, 0, 2, C::Sensitive);
  EXPECT_EQ(text(w), "aabcc");
}

TEST(NStringModifiers, Repeat) {
  NString s = ns("ab");
  const StringBuffer* b = s.buffer();
  s.repeat(5);                     // 10 fits the capacity 10
  EXPECT_EQ(s.buffer(), b);
  EXPECT_EQ(text(s), "ababababab");
  s.repeat(1);
  EXPECT_EQ(s.length(), 10);
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, s.repeat(-1));
  EXPECT_EQ(s.length(), 10);
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, s.repeat(0x40000000));
  s.repeat(0);
  EXPECT_EQ(s.buffer(), nullptr);
}

// Freed short buffers are reused: the account must still count exactly the
// live ones, and a reused block must read as a fresh one.
TEST(StringBuffers, ReusedBlocksAreChargedAsFreshOnesAndStartClean) {
  const size_t base = hostmem::used();
  const size_t perBuffer = sizeof(StringBuffer) + 11 * sizeof(TChar);   // capacity 10
  std::vector<NString> live;
  for (int i = 0; i < 3000; ++i) live.push_back(NString::number(10000000 + i));
  EXPECT_EQ(hostmem::used() - base, 3000 * perBuffer);
  live.clear();
  EXPECT_EQ(hostmem::used(), base);
  for (int i = 0; i < 3000; ++i) live.push_back(ns("ab"));
  for (const NString& s : live) {
    ASSERT_EQ(s.buffer()->capacity, 10);
    for (int u = 2; u <= 10; ++u) ASSERT_EQ(s.units()[u], 0) << u;
  }
  EXPECT_EQ(hostmem::used() - base, 3000 * perBuffer);
  live.clear();

  // Another thread's strings balance too, its cache going with it.
  std::thread([] {
    std::vector<NString> mine;
    for (int i = 0; i < 1000; ++i) mine.push_back(NString::filled('x', i % 60 + 1));
  }).join();
  EXPECT_EQ(hostmem::used(), base);

  // A refused charge takes nothing.
  const size_t saved = hostmem::limit();
  hostmem::setLimit(base + perBuffer - 1);
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, ns("abc"));
  hostmem::setLimit(saved);
  EXPECT_EQ(hostmem::used(), base);
}

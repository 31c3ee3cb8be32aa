// The String group's own rules (search, count, split, most frequent
// character, range comparison, region equality) over plain unit views.
#include "Errors.h"
#include "StringAlgorithms.h"

#include <QChar>
#include <gtest/gtest.h>
#include <string>

using namespace strings;

namespace {

// Each text keeps its own buffer identity unless a test shares one on purpose.
UnitView view(const std::u16string& s) {
  UnitView v;
  v.units = s.empty() ? nullptr : reinterpret_cast<const TChar*>(s.data());
  v.length = static_cast<TInt32>(s.size());
  v.buffer = s.empty() ? nullptr : s.data();
  return v;
}

template <typename F> TInt32 codeOf(F f) {
  try {
    f();
  } catch (const ErrorHandlingException&) {
    return currentErrorCode();
  }
  return 0;
}

const std::u16string kHello = u"Hello";

}  // namespace

TEST(StringSearch, RangesAndCase) {
  const UnitView s = view(kHello);
  const std::u16string ll = u"LL", l = u"l", x = u"x", lo = u"lo", empty;
  EXPECT_EQ(indexOf(s, view(ll), 0, 4, false), 2);
  EXPECT_EQ(indexOf(s, view(ll), 0, 4, true), -1);
  EXPECT_EQ(indexOf(s, view(l), 0, 4, true), 2);
  EXPECT_EQ(lastIndexOf(s, view(l), 0, 4, true), 3);
  EXPECT_EQ(indexOf(s, view(l), 3, 4, true), 3);        // absolute index, not into the range
  EXPECT_EQ(lastIndexOf(s, view(lo), 0, 4, true), 3);
  EXPECT_EQ(lastIndexOf(s, view(lo), 0, 3, true), -1);  // must end inside the range
  EXPECT_EQ(indexOf(s, view(x), 0, 4, false), -1);
  // Empty search or empty range: -1 and no range check at all.
  EXPECT_EQ(indexOf(s, view(empty), 7, 9, false), -1);
  EXPECT_EQ(indexOf(s, view(l), 0, -1, false), -1);
  // Longer than the range.
  EXPECT_EQ(indexOf(s, view(ll), 4, 4, false), -1);
  EXPECT_EQ(codeOf([&] { indexOf(s, view(l), 2, 1, false); }), ERR_RANGE);
  EXPECT_EQ(codeOf([&] { indexOf(s, view(l), 0, 5, false); }), ERR_RANGE);
  EXPECT_EQ(codeOf([&] { lastIndexOf(s, view(l), -1, 2, false); }), ERR_RANGE);
}

TEST(StringSearch, SharedBufferOfTheWholeRange) {
  const UnitView s = view(kHello);
  EXPECT_EQ(indexOf(s, s, 0, 4, true), 0);
  EXPECT_EQ(lastIndexOf(s, s, 0, 4, true), 0);
}

TEST(StringCount, NonOverlappingAndSingleUnits) {
  const std::u16string text = u"aaaa-AbAb", aa = u"aa", a = u"a", ab = u"ab", empty;
  const UnitView s = view(text);
  EXPECT_EQ(count(s, view(aa), 0, 8, true), 2);   // aaaa holds two, not three
  EXPECT_EQ(count(s, view(a), 0, 8, true), 4);
  EXPECT_EQ(count(s, view(a), 0, 8, false), 6);
  EXPECT_EQ(count(s, view(ab), 0, 8, false), 2);
  EXPECT_EQ(count(s, view(ab), 5, 7, false), 1);
  EXPECT_EQ(count(s, view(empty), 0, 8, false), 0);
  EXPECT_EQ(count(s, view(a), 0, -1, false), 0);
  EXPECT_EQ(count(s, view(text), 1, 8, false), 0);
  EXPECT_EQ(codeOf([&] { count(s, view(a), 3, 9, false); }), ERR_RANGE);
}

TEST(StringMostFrequent, TiesKeepTheEarliest) {
  const std::u16string abAB = u"abAB", zaza = u"zbaab", empty;
  EXPECT_EQ(mostFrequent(view(abAB), 0, 3, false), u'a');
  EXPECT_EQ(mostFrequent(view(abAB), 0, 3, true), u'a');
  EXPECT_EQ(mostFrequent(view(abAB), 2, 3, true), u'A');
  EXPECT_EQ(mostFrequent(view(abAB), 2, 3, false), u'a');   // folded result
  EXPECT_EQ(mostFrequent(view(zaza), 0, 4, true), u'b');    // b and a tie at 2, b comes first
  EXPECT_EQ(codeOf([&] { mostFrequent(view(empty), 0, -1, false); }), ERR_DATA_FORMAT);
  EXPECT_EQ(codeOf([&] { mostFrequent(view(abAB), 0, -1, false); }), ERR_RANGE);
  EXPECT_EQ(codeOf([&] { mostFrequent(view(abAB), 1, 4, false); }), ERR_RANGE);
}

namespace {
std::u16string pieces(const std::u16string& text, const std::u16string& sep, bool cs) {
  const UnitView s = view(text);
  std::u16string out;
  split(s, view(sep), cs, [&](TInt32 first, TInt32 last) { out += u"[" + text.substr(first, last - first + 1) + u"]"; });
  return out;
}
}  // namespace

TEST(StringSplit, PiecesSeparatorsAndCase) {
  EXPECT_EQ(pieces(u"a,,b", u",", false), u"[a][b]");
  EXPECT_EQ(pieces(u"abc", u",", false), u"");          // no separator: no pieces
  EXPECT_EQ(pieces(u",a,", u",", false), u"[a]");
  EXPECT_EQ(pieces(u"one<BR>two<br>three", u"<br>", false), u"[one][two][three]");
  EXPECT_EQ(pieces(u"one<BR>two<br>three", u"<br>", true), u"[one<BR>two][three]");
  EXPECT_EQ(pieces(u"xAy", u"a", false), u"[x][y]");
  EXPECT_EQ(pieces(u"ab", u"abc", false), u"");
  EXPECT_EQ(pieces(u"", u"", false), u"");               // empty text wins over empty separator
  EXPECT_EQ(codeOf([&] { pieces(u"abc", u"", false); }), ERR_INVALID_ARGUMENT);
}

TEST(StringCompareRange, FormsOfTheRange) {
  const UnitView s = view(kHello);
  const std::u16string hello = u"hello", ell = u"ELL", el = u"el", z = u"z", empty;
  EXPECT_EQ(compareRange(s, view(hello), 0, -1, false), 0);
  EXPECT_LT(compareRange(s, view(hello), 0, -1, true), 0);   // 'H' < 'h'
  EXPECT_EQ(compareRange(s, view(ell), 1, 3, false), 0);
  EXPECT_GT(compareRange(s, view(el), 1, 3, false), 0);      // longer range after equal prefix
  EXPECT_GT(compareRange(s, view(el), 1, -1, false), 0);
  EXPECT_EQ(compareRange(s, view(empty), 2, 2, false), 2);   // t empty: the range length
  EXPECT_EQ(compareRange(s, view(z), 0, 0, false), -1);      // empty range: -length(t)
  EXPECT_EQ(codeOf([&] { compareRange(s, view(z), 5, -1, false); }), ERR_RANGE);
  EXPECT_EQ(codeOf([&] { compareRange(s, view(z), 3, 3, false); }), ERR_RANGE);
  EXPECT_EQ(codeOf([&] { compareRange(s, view(z), 0x7fffffff, 0x7fffffff, false); }), ERR_RANGE);
}

TEST(StringRegionEquals, CountsAndOpenRanges) {
  const UnitView s = view(kHello);
  const std::u16string ell = u"ELL", llo = u"llo", hello = u"HELLO", empty;
  EXPECT_TRUE(regionEquals(s, view(ell), 1, 3, false));
  EXPECT_FALSE(regionEquals(s, view(ell), 1, 3, true));
  EXPECT_FALSE(regionEquals(s, view(ell), 1, 2, false));     // lengths differ
  EXPECT_TRUE(regionEquals(s, view(llo), 2, -1, true));
  EXPECT_TRUE(regionEquals(s, view(hello), 0, -1, false));
  EXPECT_FALSE(regionEquals(s, view(hello), 0, -1, true));
  EXPECT_TRUE(regionEquals(s, view(empty), 5, -1, true));    // tail past the end is empty
  EXPECT_FALSE(regionEquals(s, view(ell), 0, 0, false));     // the empty range
  EXPECT_EQ(codeOf([&] { regionEquals(s, view(empty), 1, 2, false); }), ERR_INVALID_ARGUMENT);
  EXPECT_EQ(codeOf([&] { regionEquals(s, view(ell), 3, 3, false); }), ERR_RANGE);
}

TEST(StringCase, FoldingAgreesWithTheCharacterTablesForEveryUnit) {
  for (TUint32 u = 0; u <= 0xFFFF; ++u)
    ASSERT_EQ(strings::foldCase(TChar(u)), TChar(QChar::toLower(u))) << "unit " << u;
}

// The searches for one such unit compare exactly: no other unit may fold to it.
TEST(StringCase, UnitsThatFoldAloneHaveNoOtherCase) {
  for (TUint32 u = 0; u <= 0xFFFF; ++u) {
    const TChar f = strings::foldCase(TChar(u));
    if (f != u && foldsAlone(f)) ADD_FAILURE() << "unit " << u << " folds to " << f;
    if (u < 0x80 && QChar(u).isLetter()) ASSERT_FALSE(foldsAlone(TChar(u))) << "unit " << u;
  }
}

// Texts longer than the eight-unit blocks of the unit scans, the hits in the
// blocks and in the tail, with and without the case flag.
TEST(StringSearch, OneUnitInLongTexts) {
  std::u16string text(37, u'x');
  for (const TInt32 at : {0, 7, 8, 15, 31, 36}) text[at] = u';';
  const UnitView s = view(text);
  const std::u16string semi = u";", x = u"X";
  EXPECT_EQ(count(s, view(semi), 0, 36, false), 6);
  EXPECT_EQ(count(s, view(semi), 1, 35, true), 4);
  EXPECT_EQ(count(s, view(x), 0, 36, false), 31);
  EXPECT_EQ(count(s, view(x), 0, 36, true), 0);
  EXPECT_EQ(indexOf(s, view(semi), 1, 36, false), 7);
  EXPECT_EQ(indexOf(s, view(semi), 16, 36, true), 31);
  EXPECT_EQ(indexOf(s, view(semi), 16, 30, true), -1);
  EXPECT_EQ(indexOf(s, view(semi), 32, 36, true), 36);
  EXPECT_EQ(pieces(text, semi, false), u"[xxxxxx][xxxxxx][xxxxxxxxxxxxxxx][xxxx]");
  // More hits than a 16-bit tally holds.
  const std::u16string many(70000, u'7'), seven = u"7";
  EXPECT_EQ(count(view(many), view(seven), 0, 69999, false), 70000);
}

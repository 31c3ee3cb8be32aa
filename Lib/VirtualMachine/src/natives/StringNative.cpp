// String group (8): building, comparing, searching, counting, splitting and
// in-place editing of strings.
//
// A string value is a GC_CODE_REF_HOLDER cell whose word is an NString;
// in-place edits change that NString (every holder of the cell sees them),
// copy-on-write protects the other strings sharing its buffer. Second
// strings are taken by value (a shared buffer, no copy) so an edit of s
// with itself as argument never reads units it is rewriting.
//
// Argument kinds: a range is two slots (first, count): first < 0 raises
// code 5, count < 0 runs to the end, otherwise last = first + count - 1.
// cs: non-zero compares units exactly, 0 folds case; forms without cs fold.
// Booleans are 1 and 0, signs -1, 0 and 1.
#include "Interpreter.h"
#include "NString.h"
#include "NativeHelpers.h"
#include "SharedHandlers.h"
#include "StringAlgorithms.h"
#include "VectorStore.h"

using native::Args;
using strings::UnitView;

namespace {

// ---- argument readers -------------------------------------------------

UnitView viewOf(const NString& s) {
  UnitView v;
  v.units = s.units();
  v.length = s.length();
  v.buffer = s.buffer();
  return v;
}

NString& stringArg(const Args& a, TInt32 i) { return native::stringAt(a.word(i)); }
TChar charArg(const Args& a, TInt32 i) { return static_cast<TChar>(a.word(i)); }
NString charString(const Args& a, TInt32 i) { return NString::filled(charArg(a, i), 1); }
bool flagArg(const Args& a, TInt32 i) { return a.word(i) != 0; }
NString::Case caseArg(const Args& a, TInt32 i) { return NString::caseFlag(a.integer(i)); }

using native::Range;
Range rangeArg(const Args& a, TInt32 i, TInt32 length) { return native::rangeAt(a, i, length); }
// The range at slot i, or (without one) the whole string.
Range rangeOrWhole(const Args& a, TInt32 i, const NString& s, bool withRange) {
  return withRange ? rangeArg(a, i, s.length()) : Range{0, s.length(), s.lastIndex()};
}

// ---- results ----------------------------------------------------------

using native::truth;
TUint32 sign(TInt32 v) { return static_cast<TUint32>(v < 0 ? -1 : v > 0 ? 1 : 0); }
TUint32 newString(Args& a, const NString& text) { return native::newStringFrom(a.heap(), text); }

// The substring for a range: count < 0 is the substring from an index
// (empty outside the string), anything else a checked (first, last).
NString substringOf(const NString& s, const Range& r) {
  return r.toEnd() ? s.substring(r.first) : s.substring(r.first, r.last);
}

// The cell argument at slot 0 receives a new NString object; the call has no result.
void storeInCell(Args& a, const NString& text) {
  const VMAddr cell = native::deref(a.word(0));
  native::store(cell, Interpreter::newString(a.heap(), text));
  a.noResult();
}

// ---- characters and numbers -------------------------------------------

void decimalText(native::Context& cx) {   // n
  Args a(cx, 1);
  a.result(newString(a, NString::number(a.integer(0))));
}

void parseDecimal(native::Context& cx) {   // s
  Args a(cx, 1);
  a.result(static_cast<TUint32>(stringArg(a, 0).parseDecimal()));
}

void parseRadix(native::Context& cx) {   // s, radix
  Args a(cx, 2);
  const NString& s = stringArg(a, 0);
  const TInt32 radix = a.integer(1);
  a.result(static_cast<TUint32>(radix == 10 ? s.parseDecimal() : s.parseInt(radix)));
}

// ---- comparison -------------------------------------------------------

void compareSign(native::Context& cx) {   // s, t, cs
  Args a(cx, 3);
  a.result(sign(strings::compare(viewOf(stringArg(a, 0)), viewOf(stringArg(a, 1)), flagArg(a, 2))));
}

void compareRangeSign(native::Context& cx) {   // s, t, range, cs
  Args a(cx, 5);
  const NString& s = stringArg(a, 0);
  const NString& t = stringArg(a, 1);
  a.result(sign(strings::compareRange(viewOf(s), viewOf(t), a.integer(2), a.integer(3), flagArg(a, 4))));
}

template <typename Relation> void relation(native::Context& cx) {   // s, t, exact
  Args a(cx, 2);
  a.result(truth(Relation()(strings::compare(viewOf(stringArg(a, 0)), viewOf(stringArg(a, 1)), true), 0)));
}

template <bool WithFlag> void equalsCase(native::Context& cx) {   // s, t, [cs]
  Args a(cx, WithFlag ? 3 : 2);
  const NString::Case cs = WithFlag ? caseArg(a, 2) : NString::Case::Insensitive;
  a.result(truth(stringArg(a, 0).equals(stringArg(a, 1), cs)));
}

template <bool WithFlag> void regionEquals(native::Context& cx) {   // s, t, range, [cs]
  Args a(cx, WithFlag ? 5 : 4);
  const TInt32 first = a.integer(2), count = a.integer(3);
  if (first < 0) native::rangeError();
  const bool cs = WithFlag && flagArg(a, 4);
  a.result(truth(strings::regionEquals(viewOf(stringArg(a, 0)), viewOf(stringArg(a, 1)), first, count, cs)));
}

template <bool Starts, bool WithFlag> void startsOrEnds(native::Context& cx) {   // s, t, [cs]
  Args a(cx, WithFlag ? 3 : 2);
  const NString::Case cs = WithFlag ? caseArg(a, 2) : NString::Case::Insensitive;
  const NString& s = stringArg(a, 0);
  const NString& t = stringArg(a, 1);
  a.result(truth(Starts ? s.startsWith(t, cs) : s.endsWith(t, cs)));
}

// ---- substrings and new strings ---------------------------------------

template <bool InCell> void substring(native::Context& cx) {   // s, range; InCell: through one more cell
  Args a(cx, 3);
  const NString& s = stringArg(a, 0);
  const NString piece = substringOf(s, rangeArg(a, 1, s.length()));
  const TUint32 cell = newString(a, piece);
  a.result(InCell ? Interpreter::box(a.heap(), cell, 1) : cell);
}

void concat(native::Context& cx) {   // s, t
  Args a(cx, 2);
  a.result(newString(a, NString::concat(stringArg(a, 0), stringArg(a, 1))));
}

void repeated(native::Context& cx) {   // s, n
  Args a(cx, 2);
  NString r = stringArg(a, 0);
  r.repeat(a.integer(1));
  a.result(newString(a, r));
}

void newEmpty(native::Context& cx) {   // cell
  Args a(cx, 1);
  storeInCell(a, NString());
}

void newShared(native::Context& cx) {   // cell, t
  Args a(cx, 2);
  const NString t = stringArg(a, 1);
  storeInCell(a, t);
}

void newFilled(native::Context& cx) {   // cell, c, n
  Args a(cx, 3);
  const NString text = NString::filled(charArg(a, 1), a.integer(2));
  storeInCell(a, text);
}

void newSubstring(native::Context& cx) {   // cell, t, range
  Args a(cx, 4);
  const NString& t = stringArg(a, 1);
  const NString piece = substringOf(t, rangeArg(a, 2, t.length()));
  storeInCell(a, piece);
}

template <bool WithRange> void newStepped(native::Context& cx) {   // cell, t, [range], step
  Args a(cx, WithRange ? 5 : 3);
  const NString& t = stringArg(a, 1);
  const Range r = rangeOrWhole(a, 2, t, WithRange);
  const TInt32 step = a.integer(WithRange ? 4 : 2);
  if (step < 1) native::invalidArgument();
  const NString piece = strings::isEmptyRange(r.first, r.last) ? NString() : t.substring(r.first, r.last, step);
  storeInCell(a, piece);
}

// ---- characters of a string -------------------------------------------

void length(native::Context& cx) {   // s
  Args a(cx, 1);
  a.result(static_cast<TUint32>(stringArg(a, 0).length()));
}

void isEmpty(native::Context& cx) {   // s
  Args a(cx, 1);
  a.result(truth(stringArg(a, 0).length() == 0));
}

void charAt(native::Context& cx) {   // s, i
  Args a(cx, 2);
  a.result(stringArg(a, 0).charAt(a.integer(1)));
}

template <bool First> void firstOrLastChar(native::Context& cx) {   // s
  Args a(cx, 1);
  const NString& s = stringArg(a, 0);
  a.result(s.charAt(First ? 0 : s.length() - 1));
}

template <bool WithRange, bool WithFlag> void mostFrequent(native::Context& cx) {   // s, [range], [cs]
  Args a(cx, 1 + (WithRange ? 2 : 0) + (WithFlag ? 1 : 0));
  const NString& s = stringArg(a, 0);
  const Range r = rangeOrWhole(a, 1, s, WithRange);
  const bool cs = WithFlag && flagArg(a, WithRange ? 3 : 1);
  a.result(strings::mostFrequent(viewOf(s), r.first, r.last, cs));
}

// ---- split ------------------------------------------------------------

template <bool AtChar, bool WithFlag> void split(native::Context& cx) {   // s, sep|c, [cs]
  Args a(cx, WithFlag ? 3 : 2);
  const NString& s = stringArg(a, 0);
  const NString sep = AtChar ? charString(a, 1) : stringArg(a, 1);
  const bool cs = WithFlag && flagArg(a, 2);
  vectors::StringVectorBuilder pieces(a.heap());
  strings::split(viewOf(s), viewOf(sep), cs,
                 [&](TInt32 first, TInt32 last) { pieces.append(s.substring(first, last)); });
  a.result(pieces.cell());
}

// ---- insertion and replacement of ranges ------------------------------

void insertOrReplace(native::Context& cx) {   // s, range, t
  Args a(cx, 4);
  NString& s = stringArg(a, 0);
  const Range r = rangeArg(a, 1, s.length());
  const NString t = stringArg(a, 3);
  if (r.count == 0) s.insertTo(r.first, t);
  else s.replaceRange(r.first, r.last, t);
  a.noResult();
}

void insertSliceOrReplace(native::Context& cx) {   // s, slice, t, range
  Args a(cx, 6);
  NString& s = stringArg(a, 0);
  const NString t = stringArg(a, 3);
  const Range slice = rangeArg(a, 1, t.length());
  const Range r = rangeArg(a, 4, s.length());
  if (r.count == 0) s.insertTo(r.first, t, slice.first, slice.last);
  else s.replaceRange(r.first, r.last, t);
  a.noResult();
}

template <bool WithChar> void insertAt(native::Context& cx) {   // s, t|c, pos
  Args a(cx, 3);
  NString& s = stringArg(a, 0);
  const NString t = WithChar ? charString(a, 1) : stringArg(a, 1);
  s.insertTo(a.integer(2), t);
  a.noResult();
}

void insertRangeAt(native::Context& cx) {   // s, t, range, pos
  Args a(cx, 5);
  NString& s = stringArg(a, 0);
  const NString t = stringArg(a, 1);
  const Range r = rangeArg(a, 2, t.length());
  s.insertTo(a.integer(4), t, r.first, r.last);
  a.noResult();
}

template <bool Append, bool WithChar> void prependOrAppend(native::Context& cx) {   // s, t|c
  Args a(cx, 2);
  NString& s = stringArg(a, 0);
  if (Append && WithChar) {
    s.append(charArg(a, 1));
    return a.noResult();
  }
  const NString t = WithChar ? charString(a, 1) : stringArg(a, 1);
  if (Append) s.append(t);
  else s.prepend(t);
  a.noResult();
}

template <bool WithChar> void replaceRange(native::Context& cx) {   // s, range, t|c
  Args a(cx, 4);
  NString& s = stringArg(a, 0);
  const Range r = rangeArg(a, 1, s.length());
  const NString t = WithChar ? charString(a, 3) : stringArg(a, 3);
  s.replaceRange(r.first, r.last, t);
  a.noResult();
}

// ---- removal ----------------------------------------------------------

void removeRange(native::Context& cx) {   // s, range
  Args a(cx, 3);
  NString& s = stringArg(a, 0);
  const Range r = rangeArg(a, 1, s.length());
  s.remove(r.first, r.last);
  a.noResult();
}

// Edits of s in place: without a count, with the count argument, or with count N.
template <void (NString::*F)()> void inPlace(native::Context& cx) {   // s
  Args a(cx, 1);
  (stringArg(a, 0).*F)();
  a.noResult();
}

template <void (NString::*F)(TInt32), TInt32 N = -1> void inPlaceCount(native::Context& cx) {   // s, [n]
  Args a(cx, N < 0 ? 2 : 1);
  (stringArg(a, 0).*F)(N < 0 ? a.integer(1) : N);
  a.noResult();
}

// ---- the search, count, remove and replace families -------------------

enum Family { INDEX_OF, LAST_INDEX_OF, COUNT, REMOVE_LAST, REMOVE_FIRST, REMOVE_ALL, REPLACE_LAST, REPLACE_FIRST, REPLACE_ALL };

// Runs a call of a family over s's range; the query families give a result,
// the others edit s. The texts are copies, so s may be one of them.
void runFamily(Args& a, Family family, NString& s, const NString& search, const Range& r, bool exact,
               const NString& replacement = NString()) {
  const UnitView v = viewOf(s), t = viewOf(search);
  const NString::Case cs = exact ? NString::Case::Sensitive : NString::Case::Insensitive;
  switch (family) {
    case INDEX_OF: return a.result(static_cast<TUint32>(strings::indexOf(v, t, r.first, r.last, exact)));
    case LAST_INDEX_OF: return a.result(static_cast<TUint32>(strings::lastIndexOf(v, t, r.first, r.last, exact)));
    case COUNT: return a.result(static_cast<TUint32>(strings::count(v, t, r.first, r.last, exact)));
    case REMOVE_LAST: s.removeLast(search, r.first, r.last, cs); break;
    case REMOVE_FIRST: s.removeFirst(search, r.first, r.last, cs); break;
    case REMOVE_ALL: s.removeAll(search, r.first, r.last, cs); break;
    case REPLACE_LAST: s.replaceLast(search, replacement, r.first, r.last, cs); break;
    case REPLACE_FIRST: s.replaceFirst(search, replacement, r.first, r.last, cs); break;
    case REPLACE_ALL: s.replaceAll(search, replacement, r.first, r.last, cs); break;
  }
  a.noResult();
}

// Search variants A ... H (variant bits: 1 a range, 2 a flag, 4 a character).
template <Family F, TInt32 Variant> void searchFamily(native::Context& cx) {   // s, t|c, [range], [cs]
  const bool withRange = Variant & 1, withFlag = Variant & 2, withChar = Variant & 4;
  Args a(cx, 2 + (withRange ? 2 : 0) + (withFlag ? 1 : 0));
  NString& s = stringArg(a, 0);
  const NString search = withChar ? charString(a, 1) : stringArg(a, 1);
  const Range r = rangeOrWhole(a, 2, s, withRange);
  runFamily(a, F, s, search, r, withFlag && flagArg(a, withRange ? 4 : 2));
}

// Replace variants A ... H (variant bits: 1 a flag, 2 a character replacement, 4 a range).
template <Family F, TInt32 Variant> void replaceFamily(native::Context& cx) {   // s, search, [range], r|c, [cs]
  const bool withFlag = Variant & 1, withChar = Variant & 2, withRange = Variant & 4;
  Args a(cx, 3 + (withRange ? 2 : 0) + (withFlag ? 1 : 0));
  NString& s = stringArg(a, 0);
  const NString search = stringArg(a, 1);
  const Range r = rangeOrWhole(a, 2, s, withRange);
  const TInt32 at = withRange ? 4 : 2;
  const NString replacement = withChar ? charString(a, at) : stringArg(a, at);
  runFamily(a, F, s, search, r, withFlag && flagArg(a, at + 1), replacement);
}

void firstOccurrence(native::Context& cx) {   // s, t -> (index, length of t), (0, 0) when absent
  Args a(cx, 2);
  const NString& s = stringArg(a, 0);
  const NString& t = stringArg(a, 1);
  const TInt32 p = strings::indexOf(viewOf(s), viewOf(t), 0, s.lastIndex(), false);
  if (p < 0) a.result2(0, 0);
  else a.result2(static_cast<TUint32>(p), static_cast<TUint32>(t.length()));
}

// -101 ... -96: the range comes before the search text.
template <Family F, bool WithFlag> void rangeFirstFamily(native::Context& cx) {
  const bool replace = F == REPLACE_ALL;
  Args a(cx, 4 + (replace ? 1 : 0) + (WithFlag ? 1 : 0));
  NString& s = stringArg(a, 0);
  const Range r = rangeArg(a, 1, s.length());
  const NString search = stringArg(a, 3);
  const NString replacement = replace ? stringArg(a, 4) : NString();
  runFamily(a, F, s, search, r, WithFlag && flagArg(a, replace ? 5 : 4), replacement);
}

// Eight rows of a family from its first number on.
#define SEARCH_ROWS(first, F, name, result)                                                              \
  {first + 1, name "InRange", searchFamily<F, 1>, "s, t, range" result, "5"},                            \
      {first + 2, name "WithFlag", searchFamily<F, 2>, "s, t, cs" result, "none"},                       \
      {first + 3, name "InRangeWithFlag", searchFamily<F, 3>, "s, t, range, cs" result, "5"},            \
      {first + 4, name "Char", searchFamily<F, 4>, "s, c" result, "none"},                               \
      {first + 5, name "CharInRange", searchFamily<F, 5>, "s, c, range" result, "5"},                    \
      {first + 6, name "CharWithFlag", searchFamily<F, 6>, "s, c, cs" result, "none"},                   \
      {first + 7, name "CharInRangeWithFlag", searchFamily<F, 7>, "s, c, range, cs" result, "5"}
#define REPLACE_ROWS(first, F, name)                                                                      \
  {first, name, replaceFamily<F, 0>, "s, t, r ->", "none"},                                              \
      {first + 1, name "WithFlag", replaceFamily<F, 1>, "s, t, r, cs ->", "none"},                       \
      {first + 2, name "Char", replaceFamily<F, 2>, "s, t, c ->", "none"},                               \
      {first + 3, name "CharWithFlag", replaceFamily<F, 3>, "s, t, c, cs ->", "none"},                   \
      {first + 4, name "InRange", replaceFamily<F, 4>, "s, t, range, r ->", "5"},                        \
      {first + 5, name "InRangeWithFlag", replaceFamily<F, 5>, "s, t, range, r, cs ->", "5"},            \
      {first + 6, name "InRangeChar", replaceFamily<F, 6>, "s, t, range, c ->", "5"},                    \
      {first + 7, name "InRangeCharWithFlag", replaceFamily<F, 7>, "s, t, range, c, cs ->", "5"}

const native::Operation kRows[] = {
    {-128, "toUpperCase", inPlace<&NString::toUpperCase>, "s ->", "none"},
    {127, "toLowerCase", inPlace<&NString::toLowerCase>, "s ->", "none"},
    {-127, "charToLower", native::charToLower, "c -> c", "none"},
    {-126, "charToUpper", native::charToUpper, "c -> c", "none"},
    {-125, "isLetter", native::isLetter, "c -> 1|0", "none"},
    {-124, "isDigit", native::isDigit, "c -> 1|0", "none"},
    {-123, "isSpace", native::isSpace, "c -> 1|0", "none"},
    {-122, "decimalText", decimalText, "n -> str", "none"},
    {-121, "radixText", native::radixText, "value, radix -> str", "none"},
    {-120, "parseDecimal", parseDecimal, "s -> int", "4"},
    {-119, "parseRadix", parseRadix, "s, radix -> int", "4; 6"},
    {-118, "compare", compareSign, "s, t, cs -> sign", "none"},
    {-117, "compareRange", compareRangeSign, "s, t, range, cs -> sign", "5"},
    {-116, "equals", relation<std::equal_to<TInt32>>, "s, t -> 1|0", "none"},
    {-115, "differs", relation<std::not_equal_to<TInt32>>, "s, t -> 1|0", "none"},
    {-114, "less", relation<std::less<TInt32>>, "s, t -> 1|0", "none"},
    {-113, "lessOrEqual", relation<std::less_equal<TInt32>>, "s, t -> 1|0", "none"},
    {-112, "greater", relation<std::greater<TInt32>>, "s, t -> 1|0", "none"},
    {-111, "greaterOrEqual", relation<std::greater_equal<TInt32>>, "s, t -> 1|0", "none"},
    {-110, "equalsIgnoringCase", equalsCase<false>, "s, t -> 1|0", "none"},
    {-109, "equalsWithFlag", equalsCase<true>, "s, t, cs -> 1|0", "none"},
    {-108, "regionEquals", regionEquals<false>, "s, t, range -> 1|0", "5; 6"},
    {-107, "regionEqualsWithFlag", regionEquals<true>, "s, t, range, cs -> 1|0", "5; 6"},
    {-106, "substring", substring<false>, "s, range -> str", "5"},
    {-105, "nothing", native::discard<0>, "->", "none"},
    {-104, "insertOrReplace", insertOrReplace, "s, range, t ->", "2; 5"},
    {-103, "substringInCell", substring<true>, "s, range -> cell of str", "5"},
    {-102, "insertSliceOrReplace", insertSliceOrReplace, "s, slice, t, range ->", "2; 5"},
    {-101, "indexOfRangeFirst", rangeFirstFamily<INDEX_OF, false>, "s, range, t -> int", "5"},
    {-100, "indexOfRangeFirstWithFlag", rangeFirstFamily<INDEX_OF, true>, "s, range, t, cs -> int", "5"},
    {-99, "lastIndexOfRangeFirst", rangeFirstFamily<LAST_INDEX_OF, false>, "s, range, t -> int", "5"},
    {-98, "lastIndexOfRangeFirstWithFlag", rangeFirstFamily<LAST_INDEX_OF, true>, "s, range, t, cs -> int", "5"},
    {-97, "replaceAllRangeFirst", rangeFirstFamily<REPLACE_ALL, false>, "s, range, t, r ->", "5"},
    {-96, "replaceAllRangeFirstWithFlag", rangeFirstFamily<REPLACE_ALL, true>, "s, range, t, r, cs ->", "5"},
    {1, "newEmpty", newEmpty, "cell ->", "none"},
    {2, "newShared", newShared, "cell, t ->", "none"},
    {3, "reserved3", native::reserved, "(reserved)", "11 \"Reserved native operation\""},
    {4, "newSharedToo", newShared, "cell, t ->", "none"},
    {5, "newFilled", newFilled, "cell, c, n ->", "6"},
    {6, "reserved6", native::reserved, "(reserved)", "11 \"Reserved native operation\""},
    {7, "newSubstring", newSubstring, "cell, t, range ->", "5"},
    {8, "newStepped", newStepped<false>, "cell, t, step ->", "6"},
    {9, "newSteppedRange", newStepped<true>, "cell, t, range, step ->", "5; 6"},
    {10, "length", length, "s -> int", "none"},
    {11, "isEmpty", isEmpty, "s -> 1|0", "none"},
    {12, "charAt", charAt, "s, i -> c", "2"},
    {13, "reserved13", native::reserved, "(reserved)", "11 \"Reserved native operation\""},
    {14, "firstChar", firstOrLastChar<true>, "s -> c", "2"},
    {15, "lastChar", firstOrLastChar<false>, "s -> c", "2"},
    {16, "indexOf", firstOccurrence, "s, t -> range (0, 0 when absent)", "none"},
    SEARCH_ROWS(16, INDEX_OF, "indexOf", " -> int"),
    {24, "lastIndexOf", searchFamily<LAST_INDEX_OF, 0>, "s, t -> int", "none"},
    SEARCH_ROWS(24, LAST_INDEX_OF, "lastIndexOf", " -> int"),
    {32, "mostFrequent", mostFrequent<false, false>, "s -> c", "4"},
    {33, "mostFrequentInRange", mostFrequent<true, false>, "s, range -> c", "4; 5"},
    {34, "mostFrequentWithFlag", mostFrequent<false, true>, "s, cs -> c", "4"},
    {35, "mostFrequentInRangeWithFlag", mostFrequent<true, true>, "s, range, cs -> c", "4; 5"},
    {36, "count", searchFamily<COUNT, 0>, "s, t -> int", "none"},
    SEARCH_ROWS(36, COUNT, "count", " -> int"),
    {44, "startsWith", startsOrEnds<true, false>, "s, t -> 1|0", "none"},
    {45, "startsWithFlag", startsOrEnds<true, true>, "s, t, cs -> 1|0", "none"},
    {46, "endsWith", startsOrEnds<false, false>, "s, t -> 1|0", "none"},
    {47, "endsWithFlag", startsOrEnds<false, true>, "s, t, cs -> 1|0", "none"},
    {48, "concat", concat, "s, t -> str", "none"},
    {49, "repeated", repeated, "s, n -> str", "6"},
    {50, "split", split<false, false>, "s, sep -> vector of str", "6"},
    {51, "splitWithFlag", split<false, true>, "s, sep, cs -> vector of str", "6"},
    {52, "splitAtChar", split<true, false>, "s, c -> vector of str", "none"},
    {53, "splitAtCharWithFlag", split<true, true>, "s, c, cs -> vector of str", "none"},
    {55, "reserved55", native::reserved, "(reserved)", "11 \"Reserved native operation\""},
    {56, "reserved56", native::reserved, "(reserved)", "11 \"Reserved native operation\""},
    {57, "insertAt", insertAt<false>, "s, t, pos ->", "2"},
    {58, "insertCharAt", insertAt<true>, "s, c, pos ->", "2"},
    {59, "insertRangeAt", insertRangeAt, "s, t, range, pos ->", "2; 5"},
    {60, "prepend", prependOrAppend<false, false>, "s, t ->", "none"},
    {61, "prependChar", prependOrAppend<false, true>, "s, c ->", "none"},
    {62, "append", prependOrAppend<true, false>, "s, t ->", "none"},
    {63, "appendChar", prependOrAppend<true, true>, "s, c ->", "none"},
    {64, "appendToo", prependOrAppend<true, false>, "s, t ->", "none"},
    {65, "appendCharToo", prependOrAppend<true, true>, "s, c ->", "none"},
    {66, "repeat", inPlaceCount<&NString::repeat>, "s, n ->", "6"},
    {67, "replaceRange", replaceRange<false>, "s, range, t ->", "5"},
    {68, "replaceRangeWithChar", replaceRange<true>, "s, range, c ->", "5"},
    REPLACE_ROWS(69, REPLACE_LAST, "replaceLast"),
    REPLACE_ROWS(77, REPLACE_FIRST, "replaceFirst"),
    REPLACE_ROWS(85, REPLACE_ALL, "replaceAll"),
    {93, "removeCharAt", inPlaceCount<&NString::removeCharAt>, "s, i ->", "2"},
    {94, "remove", removeRange, "s, range ->", "5"},
    {95, "removeLast", searchFamily<REMOVE_LAST, 0>, "s, t ->", "none"},
    SEARCH_ROWS(95, REMOVE_LAST, "removeLast", " ->"),
    {103, "removeFirst", searchFamily<REMOVE_FIRST, 0>, "s, t ->", "none"},
    SEARCH_ROWS(103, REMOVE_FIRST, "removeFirst", " ->"),
    {111, "removeAll", searchFamily<REMOVE_ALL, 0>, "s, t ->", "none"},
    SEARCH_ROWS(111, REMOVE_ALL, "removeAll", " ->"),
    {119, "dropFirstChar", inPlaceCount<&NString::dropFirst, 1>, "s ->", "6"},
    {120, "dropFirst", inPlaceCount<&NString::dropFirst>, "s, n ->", "6"},
    {121, "dropLastChar", inPlaceCount<&NString::dropLast, 1>, "s ->", "6"},
    {122, "dropLast", inPlaceCount<&NString::dropLast>, "s, n ->", "6"},
    {123, "clear", inPlace<&NString::clear>, "s ->", "none"},
    {124, "trimLeft", inPlace<&NString::trimLeft>, "s ->", "none"},
    {125, "trimRight", inPlace<&NString::trimRight>, "s ->", "none"},
    {126, "trim", inPlace<&NString::trim>, "s ->", "none"},
};

}  // namespace

namespace native {

void radixText(Context& cx) {   // value, radix
  Args a(cx, 2);
  const TInt32 radix = a.integer(1);
  const bool valid = radix >= 2 && radix <= 36;
  a.result(newStringFrom(cx.heap(), valid ? NString::number(a.word(0), radix) : NString()));
}

}  // namespace native

NATIVE_OPERATIONS(stringOperations, kRows);

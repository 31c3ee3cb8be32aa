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
#include "Errors.h"
#include "Interpreter.h"
#include "NString.h"
#include "NativeGroups.h"
#include "NativeHelpers.h"
#include "StringAlgorithms.h"
#include "VectorStore.h"

#include <QChar>

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

// The range at slots i, i + 1 as an inclusive pair over a string of the
// given length; count < 0 closes it at the end.
struct Range {
  TInt32 first;
  TInt32 count;
  TInt32 last;
  bool toEnd() const { return count < 0; }
};

Range rangeArg(const Args& a, TInt32 i, TInt32 length) {
  Range r;
  r.first = a.integer(i);
  r.count = a.integer(i + 1);
  if (r.first < 0) raise(ERR_RANGE, "");
  r.last = r.toEnd() ? length - 1 : strings::lastOf(r.first, r.count);
  return r;
}

// ---- results ----------------------------------------------------------

TUint32 boolean(bool b) { return b ? 1 : 0; }
TUint32 sign(TInt32 v) { return static_cast<TUint32>(v < 0 ? -1 : v > 0 ? 1 : 0); }
TUint32 newString(Args& a, const NString& text) { return native::newStringFrom(a.heap(), text); }

// The substring for a range: count < 0 is the substring from an index
// (empty outside the string), anything else a checked (first, last).
NString substringOf(const NString& s, const Range& r) {
  return r.toEnd() ? s.substring(r.first) : s.substring(r.first, r.last);
}

// The cell argument at slot i receives a new NString object.
void storeInCell(Args& a, TInt32 i, const NString& text) {
  const VMAddr cell = native::deref(a.word(i));
  native::store(cell, Interpreter::newString(a.heap(), text));
}

typedef void (*Handler)(VMState&, TInt32);

// ---- characters and numbers -------------------------------------------

void upperCase(VMState& st, TInt32 op) {   // -128 s; 127 s
  Args a(st, 1);
  NString& s = stringArg(a, 0);
  if (op == -128) s.toUpperCase();
  else s.toLowerCase();
  a.noResult();
}

void charCase(VMState& st, TInt32 op) {   // -127 c (lower); -126 c (upper)
  Args a(st, 1);
  const uint c = charArg(a, 0);
  a.result(op == -127 ? QChar::toLower(c) & 0xFFFFu : QChar::toUpper(c) & 0xFFFFu);
}

void charClass(VMState& st, TInt32 op) {   // -125 letter; -124 digit; -123 space
  Args a(st, 1);
  const QChar c(charArg(a, 0));
  a.result(boolean(op == -125 ? c.isLetter() : op == -124 ? c.isDigit() : c.isSpace()));
}

void decimalText(VMState& st, TInt32) {   // -122 n
  Args a(st, 1);
  a.result(newString(a, NString::number(a.integer(0))));
}

void radixText(VMState& st, TInt32) {   // -121 value, radix
  Args a(st, 2);
  const TInt32 radix = a.integer(1);
  const bool valid = radix >= 2 && radix <= 36;
  a.result(newString(a, valid ? NString::number(a.word(0), radix) : NString()));
}

void parseDecimal(VMState& st, TInt32) {   // -120 s
  Args a(st, 1);
  a.result(static_cast<TUint32>(stringArg(a, 0).parseDecimal()));
}

void parseRadix(VMState& st, TInt32) {   // -119 s, radix
  Args a(st, 2);
  const NString& s = stringArg(a, 0);
  const TInt32 radix = a.integer(1);
  a.result(static_cast<TUint32>(radix == 10 ? s.parseDecimal() : s.parseInt(radix)));
}

// ---- comparison -------------------------------------------------------

void compareSign(VMState& st, TInt32) {   // -118 s, t, cs
  Args a(st, 3);
  a.result(sign(strings::compare(viewOf(stringArg(a, 0)), viewOf(stringArg(a, 1)), flagArg(a, 2))));
}

void compareRangeSign(VMState& st, TInt32) {   // -117 s, t, range, cs
  Args a(st, 5);
  const NString& s = stringArg(a, 0);
  const NString& t = stringArg(a, 1);
  const TInt32 first = a.integer(2), count = a.integer(3);
  if (first < 0) raise(ERR_RANGE, "");
  a.result(sign(strings::compareRange(viewOf(s), viewOf(t), first, count, flagArg(a, 4))));
}

void relation(VMState& st, TInt32 op) {   // -116 == ... -111 >=, all exact
  Args a(st, 2);
  const NString& s = stringArg(a, 0);
  const NString& t = stringArg(a, 1);
  bool r;
  if (op == -116 || op == -115) {
    r = s.equals(t, NString::Case::Sensitive) == (op == -116);
  } else {
    const TInt32 c = strings::compare(viewOf(s), viewOf(t), true);
    r = op == -114 ? c < 0 : op == -113 ? c <= 0 : op == -112 ? c > 0 : c >= 0;
  }
  a.result(boolean(r));
}

void equalsCase(VMState& st, TInt32 op) {   // -110 s, t; -109 s, t, cs
  Args a(st, op == -110 ? 2 : 3);
  const NString::Case cs = op == -110 ? NString::Case::Insensitive : caseArg(a, 2);
  a.result(boolean(stringArg(a, 0).equals(stringArg(a, 1), cs)));
}

void regionEquals(VMState& st, TInt32 op) {   // -108 s, t, range; -107 s, t, range, cs
  Args a(st, op == -108 ? 4 : 5);
  const TInt32 first = a.integer(2), count = a.integer(3);
  if (first < 0) raise(ERR_RANGE, "");
  const bool cs = op == -107 && flagArg(a, 4);
  a.result(boolean(strings::regionEquals(viewOf(stringArg(a, 0)), viewOf(stringArg(a, 1)), first, count, cs)));
}

void startsOrEnds(VMState& st, TInt32 op) {   // 44, 46 s, t; 45, 47 s, t, cs
  const bool withFlag = op == 45 || op == 47;
  Args a(st, withFlag ? 3 : 2);
  const NString::Case cs = withFlag ? caseArg(a, 2) : NString::Case::Insensitive;
  const NString& s = stringArg(a, 0);
  const NString& t = stringArg(a, 1);
  a.result(boolean(op <= 45 ? s.startsWith(t, cs) : s.endsWith(t, cs)));
}

// ---- substrings and new strings ---------------------------------------

void nothing(VMState&, TInt32) {}   // -105

void substring(VMState& st, TInt32 op) {   // -106 s, range; -103 the same through one more cell
  Args a(st, 3);
  const NString& s = stringArg(a, 0);
  const NString piece = substringOf(s, rangeArg(a, 1, s.length()));
  const TUint32 cell = newString(a, piece);
  a.result(op == -106 ? cell : native::wrapReference(1, cell, GC_CODE_REF_HOLDER, a.heap()));
}

void concat(VMState& st, TInt32) {   // 48 s, t
  Args a(st, 2);
  a.result(newString(a, NString::concat(stringArg(a, 0), stringArg(a, 1))));
}

void repeated(VMState& st, TInt32) {   // 49 s, n
  Args a(st, 2);
  NString r = stringArg(a, 0);
  r.repeat(a.integer(1));
  a.result(newString(a, r));
}

void newEmpty(VMState& st, TInt32) {   // 1 cell
  Args a(st, 1);
  storeInCell(a, 0, NString());
  a.noResult();
}

void newShared(VMState& st, TInt32) {   // 2, 4 cell, t
  Args a(st, 2);
  const NString t = stringArg(a, 1);
  storeInCell(a, 0, t);
  a.noResult();
}

void newFilled(VMState& st, TInt32) {   // 5 cell, c, n
  Args a(st, 3);
  const NString text = NString::filled(charArg(a, 1), a.integer(2));
  storeInCell(a, 0, text);
  a.noResult();
}

void newSubstring(VMState& st, TInt32) {   // 7 cell, t, range
  Args a(st, 4);
  const NString& t = stringArg(a, 1);
  const NString piece = substringOf(t, rangeArg(a, 2, t.length()));
  storeInCell(a, 0, piece);
  a.noResult();
}

void newStepped(VMState& st, TInt32 op) {   // 8 cell, t, step; 9 cell, t, range, step
  Args a(st, op == 8 ? 3 : 5);
  const NString& t = stringArg(a, 1);
  TInt32 first = 0, last = t.lastIndex();
  if (op == 9) {
    const Range r = rangeArg(a, 2, t.length());
    first = r.first;
    last = r.last;
  }
  const TInt32 step = a.integer(op == 8 ? 2 : 4);
  if (step < 1) raise(ERR_INVALID_ARGUMENT, "");
  const NString piece = strings::isEmptyRange(first, last) ? NString() : t.substring(first, last, step);
  storeInCell(a, 0, piece);
  a.noResult();
}

// ---- characters of a string -------------------------------------------

void length(VMState& st, TInt32) {   // 10 s
  Args a(st, 1);
  a.result(static_cast<TUint32>(stringArg(a, 0).length()));
}

void isEmpty(VMState& st, TInt32) {   // 11 s
  Args a(st, 1);
  a.result(boolean(stringArg(a, 0).length() == 0));
}

void charAt(VMState& st, TInt32) {   // 12 s, i
  Args a(st, 2);
  a.result(stringArg(a, 0).charAt(a.integer(1)));
}

void firstOrLastChar(VMState& st, TInt32 op) {   // 14 s; 15 s
  Args a(st, 1);
  const NString& s = stringArg(a, 0);
  a.result(s.charAt(op == 14 ? 0 : s.length() - 1));
}

void mostFrequent(VMState& st, TInt32 op) {   // 32 s; 33 s, range; 34 s, cs; 35 s, range, cs
  const bool withRange = op == 33 || op == 35, withFlag = op >= 34;
  Args a(st, 1 + (withRange ? 2 : 0) + (withFlag ? 1 : 0));
  const NString& s = stringArg(a, 0);
  TInt32 first = 0, last = s.lastIndex();
  if (withRange) {
    const Range r = rangeArg(a, 1, s.length());
    first = r.first;
    last = r.last;
  }
  const bool cs = withFlag && flagArg(a, withRange ? 3 : 1);
  a.result(strings::mostFrequent(viewOf(s), first, last, cs));
}

// ---- split ------------------------------------------------------------

void split(VMState& st, TInt32 op) {   // 50 s, sep; 51 s, sep, cs; 52 s, c; 53 s, c, cs
  const bool withFlag = op == 51 || op == 53;
  Args a(st, withFlag ? 3 : 2);
  const NString& s = stringArg(a, 0);
  const NString sep = op <= 51 ? stringArg(a, 1) : charString(a, 1);
  const bool cs = withFlag && flagArg(a, 2);
  const auto pieces = strings::split(viewOf(s), viewOf(sep), cs);
  VMHeap& heap = a.heap();
  const TUint32 holder = native::newRefVector(0, heap);
  vectors::VectorStore v(native::load(holder), 4);
  for (const auto& p : pieces) {
    const TUint32 cell = native::newStringFrom(heap, s.substring(p.first, p.second));
    v.splice(heap, v.count(), 0, reinterpret_cast<const TUint8*>(&cell), 1);
  }
  a.result(holder);
}

// ---- insertion and replacement of ranges ------------------------------

void insertOrReplace(VMState& st, TInt32) {   // -104 s, range, t
  Args a(st, 4);
  NString& s = stringArg(a, 0);
  const Range r = rangeArg(a, 1, s.length());
  const NString t = stringArg(a, 3);
  if (r.count == 0) s.insertTo(r.first, t);
  else s.replaceRange(r.first, r.last, t);
  a.noResult();
}

void insertSliceOrReplace(VMState& st, TInt32) {   // -102 s, slice, t, range
  Args a(st, 6);
  NString& s = stringArg(a, 0);
  const NString t = stringArg(a, 3);
  const Range slice = rangeArg(a, 1, t.length());
  const Range r = rangeArg(a, 4, s.length());
  if (r.count == 0) s.insertTo(r.first, t, slice.first, slice.last);
  else s.replaceRange(r.first, r.last, t);
  a.noResult();
}

void insertAt(VMState& st, TInt32 op) {   // 57 s, t, pos; 58 s, c, pos; 59 s, t, range, pos
  Args a(st, op == 59 ? 5 : 3);
  NString& s = stringArg(a, 0);
  const NString t = op == 58 ? charString(a, 1) : stringArg(a, 1);
  if (op == 59) {
    const Range r = rangeArg(a, 2, t.length());
    s.insertTo(a.integer(4), t, r.first, r.last);
  } else {
    s.insertTo(a.integer(2), t);
  }
  a.noResult();
}

void prependOrAppend(VMState& st, TInt32 op) {   // 60, 61 prepend; 62 ... 65 append (odd: a character)
  Args a(st, 2);
  NString& s = stringArg(a, 0);
  const NString t = op % 2 ? charString(a, 1) : stringArg(a, 1);
  if (op <= 61) s.prepend(t);
  else s.append(t);
  a.noResult();
}

void repeatInPlace(VMState& st, TInt32) {   // 66 s, n
  Args a(st, 2);
  stringArg(a, 0).repeat(a.integer(1));
  a.noResult();
}

void replaceRange(VMState& st, TInt32 op) {   // 67 s, range, t; 68 s, range, c
  Args a(st, 4);
  NString& s = stringArg(a, 0);
  const Range r = rangeArg(a, 1, s.length());
  const NString t = op == 68 ? charString(a, 3) : stringArg(a, 3);
  s.replaceRange(r.first, r.last, t);
  a.noResult();
}

// ---- removal ----------------------------------------------------------

void removeCharAt(VMState& st, TInt32) {   // 93 s, i
  Args a(st, 2);
  stringArg(a, 0).removeCharAt(a.integer(1));
  a.noResult();
}

void removeRange(VMState& st, TInt32) {   // 94 s, range
  Args a(st, 3);
  NString& s = stringArg(a, 0);
  const Range r = rangeArg(a, 1, s.length());
  s.remove(r.first, r.last);
  a.noResult();
}

void dropEnds(VMState& st, TInt32 op) {   // 119, 121 s (one); 120, 122 s, n
  const bool withCount = op == 120 || op == 122;
  Args a(st, withCount ? 2 : 1);
  NString& s = stringArg(a, 0);
  const TInt32 n = withCount ? a.integer(1) : 1;
  if (op <= 120) s.dropFirst(n);
  else s.dropLast(n);
  a.noResult();
}

void clear(VMState& st, TInt32) {   // 123 s
  Args a(st, 1);
  stringArg(a, 0).clear();
  a.noResult();
}

void trim(VMState& st, TInt32 op) {   // 124 left; 125 right; 126 both
  Args a(st, 1);
  NString& s = stringArg(a, 0);
  if (op == 124) s.trimLeft();
  else if (op == 125) s.trimRight();
  else s.trim();
  a.noResult();
}

// ---- the search, count, remove and replace families -------------------

enum Family { INDEX_OF, LAST_INDEX_OF, COUNT, REMOVE_LAST, REMOVE_FIRST, REMOVE_ALL, REPLACE_LAST, REPLACE_FIRST, REPLACE_ALL };

// One decoded family call: s, the search text, the range and the flag,
// and for the replace families the replacement.
struct FamilyCall {
  Family family;
  NString* s;
  NString search;
  NString replacement;
  TInt32 first;
  TInt32 last;
  bool cs;
};

// Runs a decoded call; true with a result for the query families.
bool runFamily(const FamilyCall& f, TInt32& result) {
  const UnitView s = viewOf(*f.s), t = viewOf(f.search);
  const NString::Case cs = f.cs ? NString::Case::Sensitive : NString::Case::Insensitive;
  switch (f.family) {
    case INDEX_OF: result = strings::indexOf(s, t, f.first, f.last, f.cs); return true;
    case LAST_INDEX_OF: result = strings::lastIndexOf(s, t, f.first, f.last, f.cs); return true;
    case COUNT: result = strings::count(s, t, f.first, f.last, f.cs); return true;
    case REMOVE_LAST: f.s->removeLast(f.search, f.first, f.last, cs); return false;
    case REMOVE_FIRST: f.s->removeFirst(f.search, f.first, f.last, cs); return false;
    case REMOVE_ALL: f.s->removeAll(f.search, f.first, f.last, cs); return false;
    case REPLACE_LAST: f.s->replaceLast(f.search, f.replacement, f.first, f.last, cs); return false;
    case REPLACE_FIRST: f.s->replaceFirst(f.search, f.replacement, f.first, f.last, cs); return false;
    case REPLACE_ALL: f.s->replaceAll(f.search, f.replacement, f.first, f.last, cs); return false;
  }
  return false;
}

void finishFamily(Args& a, const FamilyCall& f) {
  TInt32 result = 0;
  if (runFamily(f, result)) a.result(static_cast<TUint32>(result));
  else a.noResult();
}

// The range at slot i of the call, or the whole string.
void familyRange(FamilyCall& f, const Args& a, TInt32 i, bool withRange) {
  if (!withRange) {
    f.first = 0;
    f.last = f.s->lastIndex();
    return;
  }
  const Range r = rangeArg(a, i, f.s->length());
  f.first = r.first;
  f.last = r.last;
}

struct FamilyBlock {
  TInt32 firstOp;
  Family family;
};

// Eight consecutive operations each. Search variants A ... H: the search is
// a character from E on; odd variants take a range, C, D, G, H a flag.
const FamilyBlock kSearchFamilies[] = {
    {16, INDEX_OF}, {24, LAST_INDEX_OF}, {36, COUNT}, {95, REMOVE_LAST}, {103, REMOVE_FIRST}, {111, REMOVE_ALL},
};
// Replace variants A ... H: odd ones take a flag, C, D, G, H a character
// replacement, E ... H a range.
const FamilyBlock kReplaceFamilies[] = {{69, REPLACE_LAST}, {77, REPLACE_FIRST}, {85, REPLACE_ALL}};

template <size_t N> const FamilyBlock& blockOf(const FamilyBlock (&blocks)[N], TInt32 op) {
  for (const FamilyBlock& b : blocks)
    if (op >= b.firstOp && op < b.firstOp + 8) return b;
  VM_ASSERT(false);
  return blocks[0];
}

void searchFamily(VMState& st, TInt32 op) {   // s, t|c, [range], [cs]
  const FamilyBlock& b = blockOf(kSearchFamilies, op);
  const TInt32 variant = op - b.firstOp;
  const bool withRange = variant & 1, withFlag = variant & 2, withChar = variant & 4;
  Args a(st, 2 + (withRange ? 2 : 0) + (withFlag ? 1 : 0));
  FamilyCall f;
  f.family = b.family;
  f.s = &stringArg(a, 0);
  f.search = withChar ? charString(a, 1) : stringArg(a, 1);
  familyRange(f, a, 2, withRange);
  f.cs = withFlag && flagArg(a, withRange ? 4 : 2);
  finishFamily(a, f);
}

void replaceFamily(VMState& st, TInt32 op) {   // s, search, [range], r|c, [cs]
  const FamilyBlock& b = blockOf(kReplaceFamilies, op);
  const TInt32 variant = op - b.firstOp;
  const bool withFlag = variant & 1, withChar = variant & 2, withRange = variant & 4;
  Args a(st, 3 + (withRange ? 2 : 0) + (withFlag ? 1 : 0));
  FamilyCall f;
  f.family = b.family;
  f.s = &stringArg(a, 0);
  f.search = stringArg(a, 1);
  familyRange(f, a, 2, withRange);
  const TInt32 r = withRange ? 4 : 2;
  f.replacement = withChar ? charString(a, r) : stringArg(a, r);
  f.cs = withFlag && flagArg(a, r + 1);
  finishFamily(a, f);
}

void firstOccurrence(VMState& st, TInt32) {   // 16 s, t -> (index, length of t), (0, 0) when absent
  Args a(st, 2);
  const NString& s = stringArg(a, 0);
  const NString& t = stringArg(a, 1);
  const TInt32 p = strings::indexOf(viewOf(s), viewOf(t), 0, s.lastIndex(), false);
  if (p < 0) a.result2(0, 0);
  else a.result2(static_cast<TUint32>(p), static_cast<TUint32>(t.length()));
}

// -101 ... -96: the range comes before the search text.
void rangeFirstFamily(VMState& st, TInt32 op) {
  const bool replace = op >= -97, withFlag = !(op & 1);
  Args a(st, 4 + (replace ? 1 : 0) + (withFlag ? 1 : 0));
  FamilyCall f;
  f.family = replace ? REPLACE_ALL : op >= -99 ? LAST_INDEX_OF : INDEX_OF;
  f.s = &stringArg(a, 0);
  familyRange(f, a, 1, true);
  f.search = stringArg(a, 3);
  if (replace) f.replacement = stringArg(a, 4);
  f.cs = withFlag && flagArg(a, replace ? 5 : 4);
  finishFamily(a, f);
}

void reserved(VMState&, TInt32) { native::reservedOperation(); }

struct Entry {
  TInt32 op;
  const char* name;
  Handler handler;
};

const Entry kOperations[] = {
    {-128, "toUpperCase", upperCase},
    {127, "toLowerCase", upperCase},
    {-127, "charToLower", charCase},
    {-126, "charToUpper", charCase},
    {-125, "isLetter", charClass},
    {-124, "isDigit", charClass},
    {-123, "isSpace", charClass},
    {-122, "decimalText", decimalText},
    {-121, "radixText", radixText},
    {-120, "parseDecimal", parseDecimal},
    {-119, "parseRadix", parseRadix},
    {-118, "compare", compareSign},
    {-117, "compareRange", compareRangeSign},
    {-116, "equals", relation},
    {-115, "differs", relation},
    {-114, "less", relation},
    {-113, "lessOrEqual", relation},
    {-112, "greater", relation},
    {-111, "greaterOrEqual", relation},
    {-110, "equalsIgnoringCase", equalsCase},
    {-109, "equalsWithFlag", equalsCase},
    {-108, "regionEquals", regionEquals},
    {-107, "regionEqualsWithFlag", regionEquals},
    {-106, "substring", substring},
    {-105, "nothing", nothing},
    {-104, "insertOrReplace", insertOrReplace},
    {-103, "substringInCell", substring},
    {-102, "insertSliceOrReplace", insertSliceOrReplace},
    {-101, "indexOfInRange", rangeFirstFamily},
    {-100, "indexOfInRangeWithFlag", rangeFirstFamily},
    {-99, "lastIndexOfInRange", rangeFirstFamily},
    {-98, "lastIndexOfInRangeWithFlag", rangeFirstFamily},
    {-97, "replaceAllInRange", rangeFirstFamily},
    {-96, "replaceAllInRangeWithFlag", rangeFirstFamily},
    {1, "newEmpty", newEmpty},
    {2, "newShared", newShared},
    {3, "reserved", reserved},
    {4, "newShared", newShared},
    {5, "newFilled", newFilled},
    {6, "reserved", reserved},
    {7, "newSubstring", newSubstring},
    {8, "newStepped", newStepped},
    {9, "newSteppedRange", newStepped},
    {10, "length", length},
    {11, "isEmpty", isEmpty},
    {12, "charAt", charAt},
    {13, "reserved", reserved},
    {14, "firstChar", firstOrLastChar},
    {15, "lastChar", firstOrLastChar},
    {16, "firstOccurrence", firstOccurrence},
    {32, "mostFrequent", mostFrequent},
    {33, "mostFrequentInRange", mostFrequent},
    {34, "mostFrequentWithFlag", mostFrequent},
    {35, "mostFrequentInRangeWithFlag", mostFrequent},
    {44, "startsWith", startsOrEnds},
    {45, "startsWithFlag", startsOrEnds},
    {46, "endsWith", startsOrEnds},
    {47, "endsWithFlag", startsOrEnds},
    {48, "concat", concat},
    {49, "repeated", repeated},
    {50, "split", split},
    {51, "splitWithFlag", split},
    {52, "splitAtChar", split},
    {53, "splitAtCharWithFlag", split},
    {55, "reserved", reserved},
    {56, "reserved", reserved},
    {57, "insertAt", insertAt},
    {58, "insertCharAt", insertAt},
    {59, "insertRangeAt", insertAt},
    {60, "prepend", prependOrAppend},
    {61, "prependChar", prependOrAppend},
    {62, "append", prependOrAppend},
    {63, "appendChar", prependOrAppend},
    {64, "append", prependOrAppend},
    {65, "appendChar", prependOrAppend},
    {66, "repeat", repeatInPlace},
    {67, "replaceRange", replaceRange},
    {68, "replaceRangeWithChar", replaceRange},
    {93, "removeCharAt", removeCharAt},
    {94, "remove", removeRange},
    {119, "dropFirstChar", dropEnds},
    {120, "dropFirst", dropEnds},
    {121, "dropLastChar", dropEnds},
    {122, "dropLast", dropEnds},
    {123, "clear", clear},
    {124, "trimLeft", trim},
    {125, "trimRight", trim},
    {126, "trim", trim},
};

// Operation numbers are signed bytes: slot op + 128.
Handler handlerFor(TInt32 op) {
  static const struct Table {
    Handler h[256] = {};
    Table() {
      for (const Entry& e : kOperations) h[e.op + 128] = e.handler;
      for (const FamilyBlock& b : kSearchFamilies)
        for (TInt32 v = 0; v < 8; ++v)
          if (!h[b.firstOp + v + 128]) h[b.firstOp + v + 128] = searchFamily;
      for (const FamilyBlock& b : kReplaceFamilies)
        for (TInt32 v = 0; v < 8; ++v) h[b.firstOp + v + 128] = replaceFamily;
    }
  } table;
  return op >= -128 && op <= 127 ? table.h[op + 128] : nullptr;
}

}  // namespace

void stringNative(VMState& state, TInt32 op) {
  const Handler h = handlerFor(op);
  if (!h) native::unknownOperation("String: ", op);
  h(state, op);
}

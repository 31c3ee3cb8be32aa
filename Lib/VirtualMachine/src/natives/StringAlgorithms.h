#pragma once
// The search, count, split, most-frequent-character, region-equality and
// range-comparison rules of the String group, over a read-only view of an
// NString's units. Ranges are inclusive (first, last); (0, -1) is empty.
#include "Errors.h"
#include "Types.h"

namespace strings {

struct UnitView {
  const TChar* units = nullptr;   // null when length is 0
  TInt32 length = 0;
  const void* buffer = nullptr;   // identity of the shared buffer, null when empty
  TChar at(TInt32 i) const { return units[i]; }
};

// QChar::toLower of one unit, the case folding of every flag-0 comparison.
TChar foldCase(TChar c);
inline TChar unitFor(TChar c, bool cs) { return cs ? c : foldCase(c); }
// Whether only c itself folds to c's fold: ASCII other than letters (no
// unit's lower case is one of them). A search for such a unit compares
// units exactly whatever the flag.
inline bool foldsAlone(TChar c) { return c < 0x80 && TChar((c | 0x20) - 'a') >= 26u; }
// The first position in [from, to] holding exactly c, or -1.
TInt32 findUnit(const TChar* units, TInt32 from, TInt32 to, TChar c);

// Raises code 5 unless (first, last) is (0, -1) or lies inside the view.
void checkStringRange(const UnitView& s, TInt32 first, TInt32 last);
inline bool isEmptyRange(TInt32 first, TInt32 last) { return first == 0 && last == -1; }
// last = first + count - 1 for count >= 0; a sum past 32 bits raises code 5.
TInt32 lastOf(TInt32 first, TInt32 count);

// Absolute index of the first / last occurrence of t inside s[first..last];
// -1 when absent, when t is empty or the range is (0, -1).
TInt32 indexOf(const UnitView& s, const UnitView& t, TInt32 first, TInt32 last, bool cs);
TInt32 lastIndexOf(const UnitView& s, const UnitView& t, TInt32 first, TInt32 last, bool cs);
// Non-overlapping occurrences, scanning forward.
TInt32 count(const UnitView& s, const UnitView& t, TInt32 first, TInt32 last, bool cs);

// The character at the first position whose occurrence count inside the
// range is highest (ties keep the earliest), folded when cs is false.
// Empty s: code 4; (0, -1) or a bad range: code 5.
TChar mostFrequent(const UnitView& s, TInt32 first, TInt32 last, bool cs);

// The pieces of s between separators, in order, each given to
// piece(first, last) (inclusive). Empty pieces are dropped; no separator at
// all gives no pieces; an empty separator raises code 6 unless s is empty.
template <typename F> void split(const UnitView& s, const UnitView& sep, bool cs, F&& piece) {
  if (s.length == 0) return;
  if (sep.length == 0) raise(ERR_INVALID_ARGUMENT, "");
  const TInt32 last = s.length - 1;
  // One unit compared exactly is found by the unit scan, as indexOf finds it.
  const bool oneUnit = sep.length == 1 && (cs || foldsAlone(sep.at(0)));
  TInt32 start = 0;
  bool found = false;
  while (start <= last) {
    const TInt32 p = oneUnit ? findUnit(s.units, start, last, sep.at(0)) : indexOf(s, sep, start, last, cs);
    if (p < 0) break;
    found = true;
    if (p > start) piece(start, p - 1);
    start = p + sep.length;
  }
  if (found && start <= last) piece(start, last);
}

// Three-way comparison of units, then lengths (NString compare).
TInt32 compare(const UnitView& a, const UnitView& b, bool cs);
// s's range (count < 0: from first to the end) against t.
TInt32 compareRange(const UnitView& s, const UnitView& t, TInt32 first, TInt32 count, bool cs);
// s's range equals t (count < 0: s from first to the end equals t).
bool regionEquals(const UnitView& s, const UnitView& t, TInt32 first, TInt32 count, bool cs);

}  // namespace strings

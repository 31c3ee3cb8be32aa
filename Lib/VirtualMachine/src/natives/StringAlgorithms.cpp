#include "StringAlgorithms.h"

#include "Errors.h"

#include <QChar>
#include <unordered_map>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace strings {

namespace {

bool sameUnit(TChar a, TChar b, bool cs) { return a == b || (!cs && foldCase(a) == foldCase(b)); }

bool matchesAt(const UnitView& s, const UnitView& t, TInt32 p, bool cs) {
  if (!sameUnit(s.at(p), t.at(0), cs)) return false;
  for (TInt32 k = 1; k < t.length; ++k)
    if (!sameUnit(s.at(p + k), t.at(k), cs)) return false;
  return true;
}

// The units of s[first..] and t over the shorter length, then the lengths.
TInt32 compareFrom(const UnitView& s, TInt32 first, TInt32 rangeLength, const UnitView& t, bool cs) {
  const TInt32 n = rangeLength < t.length ? rangeLength : t.length;
  for (TInt32 k = 0; k < n; ++k) {
    const TInt32 d = TInt32(unitFor(s.at(first + k), cs)) - TInt32(unitFor(t.at(k), cs));
    if (d != 0) return d;
  }
  return rangeLength - t.length;
}

bool unitsEqual(const UnitView& s, TInt32 first, const UnitView& t, bool cs) {
  for (TInt32 k = 0; k < t.length; ++k)
    if (!sameUnit(s.at(first + k), t.at(k), cs)) return false;
  return true;
}

}  // namespace

TChar foldCase(TChar c) {
  // ASCII has one case pair per letter: no table lookup for the common text.
  if (c < 0x80) return TUint32(c - 'A') < 26u ? TChar(c + ('a' - 'A')) : c;
  return static_cast<TChar>(QChar::toLower(static_cast<uint>(c)));
}

TInt32 lastOf(TInt32 first, TInt32 count) {
  const TInt64 last = static_cast<TInt64>(first) + count - 1;
  if (last > 0x7FFFFFFF) raise(ERR_RANGE, "");
  return static_cast<TInt32>(last);
}

void checkStringRange(const UnitView& s, TInt32 first, TInt32 last) {
  if (isEmptyRange(first, last)) return;
  if (first < 0 || first > last || last >= s.length) raise(ERR_RANGE, "");
}

// Eight units at a time where the machine has SSE2.
TInt32 findUnit(const TChar* units, TInt32 from, TInt32 to, TChar c) {
  TInt32 p = from;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi16(static_cast<short>(c));
  for (; p <= to - 7; p += 8) {
    const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + p));
    const int hits = _mm_movemask_epi8(_mm_cmpeq_epi16(eight, wanted));
    if (hits) return p + (__builtin_ctz(static_cast<unsigned>(hits)) >> 1);
  }
#endif
  for (; p <= to; ++p)
    if (units[p] == c) return p;
  return -1;
}

namespace {

// How many of units[from..to] are exactly c.
TInt32 countUnit(const TChar* units, TInt32 from, TInt32 to, TChar c) {
  TInt32 n = 0, p = from;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi16(static_cast<short>(c));
  while (p <= to - 7) {
    // Eight 16-bit tallies, each taking at most one hit per block: emptied
    // into n before they could wrap.
    __m128i tally = _mm_setzero_si128();
    for (TInt32 blocks = 0; blocks < 0x7FFF && p <= to - 7; ++blocks, p += 8) {
      const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + p));
      tally = _mm_sub_epi16(tally, _mm_cmpeq_epi16(eight, wanted));
    }
    const __m128i sums = _mm_madd_epi16(tally, _mm_set1_epi16(1));
    TInt32 four[4];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(four), sums);
    n += four[0] + four[1] + four[2] + four[3];
  }
#endif
  for (; p <= to; ++p) n += units[p] == c;
  return n;
}

// The first (Forward) or last position in [first, last] where t starts.
template <bool Forward> TInt32 find(const UnitView& s, const UnitView& t, TInt32 first, TInt32 last, bool cs) {
  if (t.length == 0 || isEmptyRange(first, last)) return -1;
  checkStringRange(s, first, last);
  const TInt32 rangeLength = last - first + 1;
  if (t.length == rangeLength && t.buffer == s.buffer) return 0;
  if (t.length > rangeLength) return -1;
  const TInt32 from = Forward ? first : last - t.length + 1, to = Forward ? last - t.length + 1 : first;
  const TInt32 step = Forward ? 1 : -1;
  if (Forward && t.length == 1 && (cs || foldsAlone(t.at(0)))) return findUnit(s.units, from, to, t.at(0));
  const TChar c = unitFor(t.at(0), cs);
  for (TInt32 p = from; Forward ? p <= to : p >= to; p += step)
    if (t.length == 1 ? unitFor(s.at(p), cs) == c : matchesAt(s, t, p, cs)) return p;
  return -1;
}

}  // namespace

TInt32 indexOf(const UnitView& s, const UnitView& t, TInt32 first, TInt32 last, bool cs) {
  return find<true>(s, t, first, last, cs);
}

TInt32 lastIndexOf(const UnitView& s, const UnitView& t, TInt32 first, TInt32 last, bool cs) {
  return find<false>(s, t, first, last, cs);
}

TInt32 count(const UnitView& s, const UnitView& t, TInt32 first, TInt32 last, bool cs) {
  if (t.length == 0 || isEmptyRange(first, last)) return 0;
  checkStringRange(s, first, last);
  TInt32 n = 0;
  if (t.length == 1) {
    if (cs || foldsAlone(t.at(0))) return countUnit(s.units, first, last, t.at(0));
    const TChar c = unitFor(t.at(0), cs);
    for (TInt32 p = first; p <= last; ++p)
      if (unitFor(s.at(p), cs) == c) ++n;
    return n;
  }
  for (TInt32 p = first; p <= last - t.length + 1;) {
    if (matchesAt(s, t, p, cs)) {
      ++n;
      p += t.length;
    } else {
      ++p;
    }
  }
  return n;
}

TChar mostFrequent(const UnitView& s, TInt32 first, TInt32 last, bool cs) {
  if (s.length == 0) raise(ERR_DATA_FORMAT, "");
  if (isEmptyRange(first, last)) raise(ERR_RANGE, "");
  checkStringRange(s, first, last);
  // Equal units have equal counts, so the first position holding a unit of
  // the highest count is the one that beats every earlier position: one
  // counting pass gives the result of counting at every position.
  std::unordered_map<TChar, TInt32> counts;
  for (TInt32 p = first; p <= last; ++p) ++counts[unitFor(s.at(p), cs)];
  TInt32 best = 0;
  TChar winner = 0;
  for (TInt32 p = first; p <= last; ++p) {
    const TChar c = unitFor(s.at(p), cs);
    if (counts[c] > best) {
      best = counts[c];
      winner = c;
    }
  }
  return winner;
}

TInt32 compare(const UnitView& a, const UnitView& b, bool cs) {
  if (a.buffer && a.buffer == b.buffer && a.length == b.length) return 0;
  return compareFrom(a, 0, a.length, b, cs);
}

TInt32 compareRange(const UnitView& s, const UnitView& t, TInt32 first, TInt32 count, bool cs) {
  if (first < 0) raise(ERR_RANGE, "");
  if (count < 0) {
    if (first == 0) return compare(s, t, cs);
    if (first > s.length - 1) raise(ERR_RANGE, "");
    return compareFrom(s, first, s.length - first, t, cs);
  }
  if (t.length == 0) return count;
  const TInt32 last = lastOf(first, count);
  if (isEmptyRange(first, last)) return -t.length;
  checkStringRange(s, first, last);
  return compareFrom(s, first, count, t, cs);
}

bool regionEquals(const UnitView& s, const UnitView& t, TInt32 first, TInt32 count, bool cs) {
  if (first < 0) raise(ERR_RANGE, "");
  if (count < 0) {
    const TInt32 tail = first < s.length ? s.length - first : 0;
    if (tail != t.length) return false;
    if (first == 0 && s.buffer && s.buffer == t.buffer) return true;
    return unitsEqual(s, first, t, cs);
  }
  if (t.length == 0) raise(ERR_INVALID_ARGUMENT, "");
  const TInt32 last = lastOf(first, count);
  if (isEmptyRange(first, last)) return false;
  checkStringRange(s, first, last);
  if (count != t.length) return false;
  return unitsEqual(s, first, t, cs);
}

}  // namespace strings

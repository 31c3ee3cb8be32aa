#include "StringAlgorithms.h"

#include "Errors.h"

#include <QChar>
#include <unordered_map>

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
  if (c < 0x80) return c - 'A' < 26u ? TChar(c + ('a' - 'A')) : c;
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

namespace {

// The first (Forward) or last position in [first, last] where t starts.
template <bool Forward> TInt32 find(const UnitView& s, const UnitView& t, TInt32 first, TInt32 last, bool cs) {
  if (t.length == 0 || isEmptyRange(first, last)) return -1;
  checkStringRange(s, first, last);
  const TInt32 rangeLength = last - first + 1;
  if (t.length == rangeLength && t.buffer == s.buffer) return 0;
  if (t.length > rangeLength) return -1;
  const TInt32 from = Forward ? first : last - t.length + 1, to = Forward ? last - t.length + 1 : first;
  const TInt32 step = Forward ? 1 : -1;
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

namespace {
// Room for one more piece, charged before the list grows.
void roomForOne(Pieces& pieces) {
  if (pieces.size() < pieces.capacity()) return;
  const size_t more = pieces.capacity() < 16 ? 16 : 2 * pieces.capacity();
  pieces.charge().resize(more * sizeof(pieces[0]));
  pieces.reserve(more);
}
}  // namespace

Pieces split(const UnitView& s, const UnitView& sep, bool cs) {
  Pieces pieces(0);
  if (s.length == 0) return pieces;
  if (sep.length == 0) raise(ERR_INVALID_ARGUMENT, "");
  TInt32 start = 0;
  bool found = false;
  while (start <= s.length - 1) {
    const TInt32 p = indexOf(s, sep, start, s.length - 1, cs);
    if (p < 0) break;
    found = true;
    if (p > start) {
      roomForOne(pieces);
      pieces.emplace_back(start, p - 1);
    }
    start = p + sep.length;
  }
  if (found && start <= s.length - 1) {
    roomForOne(pieces);
    pieces.emplace_back(start, s.length - 1);
  }
  return pieces;
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

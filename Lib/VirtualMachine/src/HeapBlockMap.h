#pragma once
// Side table of block starts for one pool: one bit per 4 bytes, plus one
// summary bit per 64-bit word, so "the block containing an address" is a
// couple of word scans instead of a walk over every block.
#include "Types.h"

#include <vector>

class HeapBlockMap {
 public:
  HeapBlockMap(VMAddr start, TUint32 bytes)
      : iStart(start), iBytes(bytes), iBits(((bytes >> 2) + 63) / 64), iSummary((iBits.size() + 63) / 64) {}

  VMAddr start() const { return iStart; }
  TUint32 bytes() const { return iBytes; }
  bool contains(VMAddr a) const { return a - iStart < iBytes; }   // below start wraps

  void set(VMAddr a) {
    const TUint32 bit = index(a);
    iBits[bit >> 6] |= TUint64(1) << (bit & 63);
    iSummary[bit >> 12] |= TUint64(1) << ((bit >> 6) & 63);
  }

  void clear(VMAddr a) {
    const TUint32 bit = index(a);
    TUint64& word = iBits[bit >> 6];
    word &= ~(TUint64(1) << (bit & 63));
    if (!word) iSummary[bit >> 12] &= ~(TUint64(1) << ((bit >> 6) & 63));
  }

  bool isStart(VMAddr a) const {
    if (!contains(a) || (a & 3)) return false;
    const TUint32 bit = index(a);
    return (iBits[bit >> 6] >> (bit & 63)) & 1;
  }

  // The last block start at or before a (a inside the pool). The start
  // terminator at offset 0 is always set, so there is one.
  VMAddr startAtOrBefore(VMAddr a) const {
    const TUint32 bit = index(a);
    TUint32 w = bit >> 6;
    const TUint32 b = bit & 63;
    TUint64 m = iBits[w] & (b == 63 ? ~TUint64(0) : (TUint64(2) << b) - 1);
    if (!m) w = previousWord(w);
    if (!m) m = iBits[w];
    return iStart + (((w << 6) + 63 - __builtin_clzll(m)) << 2);
  }

  TUint32 countStarts() const {
    TUint32 n = 0;
    for (TUint64 w : iBits) n += __builtin_popcountll(w);
    return n;
  }

 private:
  TUint32 index(VMAddr a) const { return (a - iStart) >> 2; }

  // The highest non-empty bit word below w.
  TUint32 previousWord(TUint32 w) const {
    TUint32 s = w >> 6;
    TUint64 m = iSummary[s] & ((TUint64(1) << (w & 63)) - 1);
    while (!m) m = iSummary[--s];
    return (s << 6) + 63 - __builtin_clzll(m);
  }

  VMAddr iStart;
  TUint32 iBytes;
  std::vector<TUint64> iBits;
  std::vector<TUint64> iSummary;
};

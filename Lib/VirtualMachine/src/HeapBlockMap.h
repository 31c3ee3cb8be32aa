#pragma once
// One pool's view of the arena's block-start bits, plus one summary bit per
// 64-bit word of them, so "the block containing an address" is a couple of
// word scans instead of a walk over every block. The bits are kept on every
// split and merge; the summary only serves those lookups (the collector's),
// so it is rebuilt when they need it rather than on every change.
#include "Types.h"
#include "VMArena.h"

#include <vector>

class HeapBlockMap {
 public:
  HeapBlockMap(VMAddr start, TUint32 bytes)
      : iStart(start), iBytes(bytes), iFirstWord(start >> 8),
        iSummary((((start + bytes - 1) >> 8) - iFirstWord + 1 + 63) / 64) {}

  VMAddr start() const { return iStart; }
  TUint32 bytes() const { return iBytes; }
  bool contains(VMAddr a) const { return a - iStart < iBytes; }   // below start wraps

  static void set(VMAddr a) { vmSetBlockStart(a, true); }
  static void clear(VMAddr a) { vmSetBlockStart(a, false); }
  bool isStart(VMAddr a) const { return contains(a) && vmIsBlockStart(a); }

  // Recomputes the summary from the bits; before startAtOrBefore whenever
  // blocks were split or merged since.
  void refresh() const {
    for (TUint64& s : iSummary) s = 0;
    const TUint32 words = ((iStart + iBytes - 1) >> 8) - iFirstWord + 1;
    for (TUint32 r = 0; r < words; ++r)
      if (vmarena::gBlocks[iFirstWord + r]) iSummary[r >> 6] |= TUint64(1) << (r & 63);
  }

  // The last block start at or before a (a inside the pool). The start
  // terminator at the pool start is always set, so there is one.
  VMAddr startAtOrBefore(VMAddr a) const {
    const TUint32 bit = a >> 2;
    TUint32 w = bit >> 6;
    const TUint32 b = bit & 63;
    TUint64 m = vmarena::gBlocks[w] & (b == 63 ? ~TUint64(0) : (TUint64(2) << b) - 1);
    if (!m) w = previousWord(w);
    if (!m) m = vmarena::gBlocks[w];
    return ((w << 6) + 63 - __builtin_clzll(m)) << 2;
  }

  // A bit word at a time: the verifier counts every pool, gigantic ones too.
  TUint32 countStarts() const {
    const TUint32 first = iStart >> 2, last = static_cast<TUint32>((TUint64(iStart) + iBytes - 1) >> 2);
    TUint32 n = 0;
    for (TUint32 w = first >> 6; w <= last >> 6; ++w) {
      TUint64 m = vmarena::gBlocks[w];
      if (w == first >> 6) m &= ~TUint64(0) << (first & 63);
      if (w == last >> 6) m &= ~TUint64(0) >> (63 - (last & 63));
      n += static_cast<TUint32>(__builtin_popcountll(m));
    }
    return n;
  }

 private:
  // The highest non-empty bit word below w (an absolute word index).
  TUint32 previousWord(TUint32 w) const {
    const TUint32 r = w - iFirstWord;
    TUint32 s = r >> 6;
    TUint64 m = iSummary[s] & ((TUint64(1) << (r & 63)) - 1);
    while (!m) m = iSummary[--s];
    return iFirstWord + (s << 6) + 63 - __builtin_clzll(m);
  }

  VMAddr iStart;
  TUint32 iBytes;
  TUint32 iFirstWord;   // the arena bit word holding the pool start
  mutable std::vector<TUint64> iSummary;
};

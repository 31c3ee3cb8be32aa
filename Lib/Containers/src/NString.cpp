// NString: construction, queries and copy-on-write modifiers. Case and
// character classes come only from QChar.
#include "NString.h"

#include "Errors.h"
#include "Vec.h"

#include <QChar>
#include <cstring>

namespace {

inline TChar lower(TChar u) { return QChar(u).toLower().unicode(); }
inline TChar upper(TChar u) { return QChar(u).toUpper().unicode(); }
inline bool isSpace(TChar u) { return QChar(u).isSpace(); }

inline bool sameUnit(TChar a, TChar b, NString::Case cs) {
  return a == b || (cs == NString::Case::Insensitive && lower(a) == lower(b));
}

bool sameUnits(const TChar* a, const TChar* b, TInt32 n, NString::Case cs) {
  for (TInt32 i = 0; i < n; ++i)
    if (!sameUnit(a[i], b[i], cs)) return false;
  return true;
}

// Three-way comparison: the first differing unit, else the length difference.
TInt32 compareUnits(const TChar* a, TInt32 la, const TChar* b, TInt32 lb, NString::Case cs) {
  const TInt32 n = la < lb ? la : lb;
  for (TInt32 i = 0; i < n; ++i) {
    TInt32 x = a[i], y = b[i];
    if (cs == NString::Case::Insensitive) {
      x = lower(a[i]);
      y = lower(b[i]);
    }
    if (x != y) return x - y;
  }
  return la - lb;
}

constexpr TInt32 kMaxLength = 0x7ffffff0;

// The decimal digits of 0 ... 99, two characters each.
constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

TInt32 checkedLength(TInt64 n) {
  if (n > kMaxLength) raise(ERR_INVALID_ARGUMENT, "String too long");
  return static_cast<TInt32>(n);
}

void copyUnits(TChar* to, const TChar* from, TInt32 n) {
  if (n > 0) std::memmove(to, from, static_cast<size_t>(n) * sizeof(TChar));
}

// Between two buffers (never overlapping): short texts, the usual piece
// or number, without a call.
void copyDisjoint(TChar* to, const TChar* from, TInt32 n) {
  if (n <= 8) {
    for (TInt32 i = 0; i < n; ++i) to[i] = from[i];
  } else {
    std::memcpy(to, from, static_cast<size_t>(n) * sizeof(TChar));
  }
}

// Length of the well-formed UTF-8 sequence at bytes[i], 0 when invalid
// (Unicode Table 3-7; a sequence cut off by the end is invalid).
TInt32 utf8SequenceLength(const TUint8* bytes, TInt32 i, TInt32 count) {
  const TUint8 b0 = bytes[i];
  TInt32 n;
  TUint8 lo = 0x80, hi = 0xBF;   // range of the second byte
  if (b0 <= 0x7F) return 1;
  if (b0 >= 0xC2 && b0 <= 0xDF) n = 2;
  else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 3;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 4;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (count - i < n) return 0;
  if (bytes[i + 1] < lo || bytes[i + 1] > hi) return 0;
  for (TInt32 k = 2; k < n; ++k)
    if (bytes[i + k] < 0x80 || bytes[i + k] > 0xBF) return 0;
  return n;
}

// Decodes into out (when given); returns the unit count; raises code 4.
TInt32 decodeUtf8(const TUint8* bytes, TInt32 count, TChar* out) {
  static const TUint8 kLeadMask[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  TInt32 units = 0;
  for (TInt32 i = 0; i < count;) {
    const TInt32 n = utf8SequenceLength(bytes, i, count);
    if (n == 0) raise(ERR_DATA_FORMAT);
    TUint32 value = bytes[i] & kLeadMask[n];
    for (TInt32 k = 1; k < n; ++k) value = (value << 6) | (bytes[i + k] & 0x3F);
    if (out) out[units] = static_cast<TChar>(value);
    ++units;
    i += n;
  }
  return units;
}

}  // namespace

// ---- lifetime ----

NString::NString(const NString& other) : GCObject(), iBuffer(other.iBuffer) {
  if (iBuffer) ++iBuffer->refCount;
}

NString::~NString() { releaseStringBuffer(iBuffer); }

NString& NString::operator=(const NString& other) {
  if (iBuffer == other.iBuffer) return *this;
  if (other.iBuffer) ++other.iBuffer->refCount;
  attach(other.iBuffer);
  return *this;
}

NString& NString::operator=(NString&& other) noexcept {
  if (this == &other) return *this;
  releaseStringBuffer(iBuffer);
  iBuffer = other.iBuffer;
  other.iBuffer = nullptr;
  return *this;
}

void NString::attach(StringBuffer* fresh) {
  StringBuffer* old = iBuffer;
  iBuffer = fresh;
  releaseStringBuffer(old);
}

TChar* NString::writableUnits() {
  VM_ASSERT(iBuffer);
  if (iBuffer->refCount > 1) {
    StringBuffer* copy = allocateStringBuffer(iBuffer->length);
    copyUnits(copy->chars, iBuffer->chars, iBuffer->length);
    attach(copy);
  }
  return iBuffer->chars;
}

bool NString::checkRange(TInt32 first, TInt32 last) const {
  if (first == 0 && last == -1) return false;
  if (first < 0 || first > last || last >= length()) raise(ERR_RANGE);
  return true;
}

// ---- construction ----

NString::NString(const char* text, TInt32 start) : iBuffer(nullptr) {
  if (!text) return;
  const size_t n = std::strlen(text);
  if (start < 0 || static_cast<size_t>(start) >= n) return;
  *this = fromLatin1(text, start, checkedLength(static_cast<TInt64>(n)) - 1);
}

NString::NString(const TChar* text, TInt32 start) : iBuffer(nullptr) {
  if (!text) return;
  TInt64 n = 0;
  while (text[n]) ++n;
  if (start < 0 || start >= n) return;
  *this = fromUnits(text, start, checkedLength(n) - 1);
}

NString NString::fromLatin1(const char* text, TInt32 first, TInt32 last) {
  if (first == 0 && last == -1) return NString();
  if (first < 0 || first > last) raise(ERR_RANGE);
  if (!text) raise(ERR_NULL_POINTER);
  const TInt32 n = last - first + 1;
  StringBuffer* b = allocateStringBuffer(n);
  for (TInt32 i = 0; i < n; ++i) b->chars[i] = static_cast<TUint8>(text[first + i]);
  return NString(b);
}

NString NString::fromUnits(const TChar* text, TInt32 first, TInt32 last) {
  if (first == 0 && last == -1) return NString();
  if (first < 0 || first > last) raise(ERR_RANGE);
  if (!text) raise(ERR_NULL_POINTER);
  const TInt32 n = last - first + 1;
  StringBuffer* b = allocateStringBuffer(n);
  copyDisjoint(b->chars, text + first, n);
  return NString(b);
}

NString NString::filled(TChar c, TInt32 n) {
  if (n < 0) raise(ERR_INVALID_ARGUMENT);
  if (n == 0) return NString();
  StringBuffer* b = allocateStringBuffer(n);
  for (TInt32 i = 0; i < n; ++i) b->chars[i] = c;
  return NString(b);
}

NString NString::number(TInt32 value) { return number(static_cast<TInt64>(value)); }

NString NString::number(TInt64 value) {
  // Magnitude in unsigned arithmetic so the most negative value works.
  const TUint64 magnitude = value < 0 ? 0 - static_cast<TUint64>(value) : static_cast<TUint64>(value);
  // Digits and sign; the magnitude is at most 2^63 < 10^19, so p stops before it could wrap.
  TInt32 n = value < 0 ? 2 : 1;
  for (TUint64 p = 10; magnitude >= p; p *= 10) ++n;
  // The digits go straight into the new buffer, last first; 32-bit
  // division while the rest fits.
  StringBuffer* b = allocateStringBuffer(n);
  TChar* u = b->chars + n;
  TUint64 m = magnitude;
  for (; m > 0xFFFFFFFFu; m /= 10) *--u = static_cast<TChar>('0' + m % 10);
  TUint32 m32 = static_cast<TUint32>(m);
  for (; m32 >= 100; m32 /= 100) {   // two digits a division
    const char* pair = kPairs + 2 * (m32 % 100);
    *--u = static_cast<TUint8>(pair[1]);
    *--u = static_cast<TUint8>(pair[0]);
  }
  if (m32 >= 10) {
    *--u = static_cast<TUint8>(kPairs[2 * m32 + 1]);
    *--u = static_cast<TUint8>(kPairs[2 * m32]);
  } else {
    *--u = static_cast<TChar>('0' + m32);
  }
  if (value < 0) *--u = '-';
  return NString(b);
}

NString NString::number(TUint32 value, TInt32 radix) {
  if (radix < 2 || radix > 36) raise(ERR_INVALID_ARGUMENT);
  char digits[40];
  TInt32 pos = sizeof digits;
  digits[--pos] = 0;
  do {
    const TUint32 d = value % static_cast<TUint32>(radix);
    digits[--pos] = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
    value /= static_cast<TUint32>(radix);
  } while (value);
  return NString(digits + pos);
}

NString NString::fromUtf8(const TUint8* bytes, TInt32 count) {
  if (count <= 0) return NString();
  const TInt32 n = decodeUtf8(bytes, count, nullptr);
  StringBuffer* b = allocateStringBuffer(n);
  NString result(b);
  decodeUtf8(bytes, count, b->chars);
  return result;
}

NString NString::fromUtf8(const Vec<TUint8>& bytes) { return fromUtf8(bytes.data(), bytes.size()); }

NString NString::substring(TInt32 first, TInt32 last) const {
  if (!checkRange(first, last)) return NString();
  if (first == 0 && last == length() - 1) return *this;
  return fromUnits(iBuffer->chars, first, last);
}

NString NString::substring(TInt32 from) const {
  if (from < 0 || from >= length()) return NString();
  return substring(from, length() - 1);
}

NString NString::substring(TInt32 first, TInt32 last, TInt32 step) const {
  if (step < 1) raise(ERR_INVALID_ARGUMENT);
  if (step == 1) return substring(first, last);
  if (!checkRange(first, last)) return NString();
  const TInt32 n = (last - first) / step + 1;   // ceil((last - first + 1) / step)
  StringBuffer* b = allocateStringBuffer(n);
  for (TInt32 i = 0; i < n; ++i) b->chars[i] = iBuffer->chars[first + i * step];
  return NString(b);
}

NString NString::concat(const NString& a, const NString& b) {
  NString result(a);
  result.append(b);
  return result;
}

// ---- queries ----

TChar NString::charAt(TInt32 index) const {
  if (index < 0 || index >= length()) raise(ERR_INDEX_OUT_OF_BOUNDS);
  return iBuffer->chars[index];
}

TInt32 NString::compare(const NString& other, Case cs) const {
  if (iBuffer == other.iBuffer) return 0;
  return compareUnits(units(), length(), other.units(), other.length(), cs);
}

TInt32 NString::compareFrom(TInt32 offset, const NString& other, Case cs) const {
  if (offset == 0) return compare(other, cs);
  if (offset < 0 || offset >= length()) raise(ERR_RANGE);
  return compareUnits(units() + offset, length() - offset, other.units(), other.length(), cs);
}

TInt32 NString::compare(TInt32 first, TInt32 last, const NString& other, Case cs) const {
  if (!checkRange(first, last)) return -other.length();
  return compareUnits(units() + first, last - first + 1, other.units(), other.length(), cs);
}

bool NString::equals(const NString& other, Case cs) const {
  if (iBuffer == other.iBuffer) return true;
  if (length() != other.length()) return false;
  return sameUnits(units(), other.units(), length(), cs);
}

bool NString::startsWith(const NString& other, Case cs) const {
  if (other.isEmpty() || other.length() > length()) return false;
  return sameUnits(units(), other.units(), other.length(), cs);
}

bool NString::endsWith(const NString& other, Case cs) const {
  if (other.isEmpty() || other.length() > length()) return false;
  return sameUnits(units() + length() - other.length(), other.units(), other.length(), cs);
}

bool NString::regionEquals(const NString& other, TInt32 first, TInt32 last, Case cs) const {
  if (other.isEmpty()) raise(ERR_INVALID_ARGUMENT);
  if (!checkRange(first, last)) return false;
  if (last - first + 1 != other.length()) return false;
  return sameUnits(units() + first, other.units(), other.length(), cs);
}

TInt32 NString::findForward(const NString& search, TInt32 from, TInt32 last, Case cs) const {
  const TChar* u = iBuffer->chars;
  const TChar* s = search.iBuffer->chars;
  const TInt32 n = search.length();
  for (TInt32 p = from; p <= last - n + 1; ++p)
    if (sameUnit(u[p], s[0], cs) && sameUnits(u + p + 1, s + 1, n - 1, cs)) return p;
  return -1;
}

TInt32 NString::findBackward(const NString& search, TInt32 first, TInt32 last, Case cs) const {
  const TChar* u = iBuffer->chars;
  const TChar* s = search.iBuffer->chars;
  const TInt32 n = search.length();
  for (TInt32 p = last - n + 1; p >= first; --p)
    if (sameUnit(u[p], s[0], cs) && sameUnits(u + p + 1, s + 1, n - 1, cs)) return p;
  return -1;
}

TInt32 NString::indexOf(const NString& search, TInt32 first, TInt32 last, Case cs) const {
  if (search.isEmpty() || !checkRange(first, last)) return -1;
  const TInt32 span = last - first + 1;
  if (search.length() == span && search.iBuffer == iBuffer) return first;
  if (search.length() > span) return -1;
  return findForward(search, first, last, cs);
}

TInt32 NString::indexOf(const NString& search, TInt32 from, Case cs) const {
  return indexOf(search, from, length() - 1, cs);
}

TInt32 NString::indexOf(const NString& search, Case cs) const { return indexOf(search, 0, length() - 1, cs); }

TInt32 NString::lastIndexOf(const NString& search, TInt32 first, TInt32 last, Case cs) const {
  if (search.isEmpty() || !checkRange(first, last)) return -1;
  const TInt32 span = last - first + 1;
  if (search.length() == span && search.iBuffer == iBuffer) return first;
  if (search.length() > span) return -1;
  return findBackward(search, first, last, cs);
}

TInt32 NString::lastIndexOf(const NString& search, TInt32 from, Case cs) const {
  return lastIndexOf(search, from, length() - 1, cs);
}

TInt32 NString::lastIndexOf(const NString& search, Case cs) const {
  return lastIndexOf(search, 0, length() - 1, cs);
}

TInt32 NString::count(const NString& search, TInt32 first, TInt32 last, Case cs) const {
  if (search.isEmpty() || !checkRange(first, last)) return 0;
  const TInt32 n = search.length();
  if (n > last - first + 1) return 0;
  TInt32 found = 0;
  for (TInt32 p = findForward(search, first, last, cs); p >= 0; p = findForward(search, p + n, last, cs))
    ++found;
  return found;
}

TInt32 NString::count(const NString& search, Case cs) const { return count(search, 0, length() - 1, cs); }

TInt32 NString::parseInt(TInt32 radix) const {
  if (radix < 2 || radix > 36) raise(ERR_INVALID_ARGUMENT);
  const TInt32 n = length();
  TInt32 i = 0;
  while (i < n && isSpace(iBuffer->chars[i])) ++i;
  TUint32 value = 0;   // wraps like the machine's 32-bit arithmetic
  TInt32 digits = 0;
  for (; i < n; ++i, ++digits) {
    const TChar c = lower(iBuffer->chars[i]);
    TInt32 d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'z') d = c - 'a' + 10;
    else break;
    if (d >= radix) break;
    value = value * static_cast<TUint32>(radix) + static_cast<TUint32>(d);
  }
  if (digits == 0) raise(ERR_DATA_FORMAT);
  return static_cast<TInt32>(value);
}

TInt32 NString::parseDecimal() const {
  const TInt32 n = length();
  TInt32 i = 0;
  while (i < n && isSpace(iBuffer->chars[i])) ++i;
  bool negative = false;
  if (i < n && (iBuffer->chars[i] == '+' || iBuffer->chars[i] == '-')) negative = iBuffer->chars[i++] == '-';
  TUint32 value = 0;
  TInt32 digits = 0;
  for (; i < n && iBuffer->chars[i] >= '0' && iBuffer->chars[i] <= '9'; ++i, ++digits)
    value = value * 10u + static_cast<TUint32>(iBuffer->chars[i] - '0');
  if (digits == 0) raise(ERR_DATA_FORMAT);
  return static_cast<TInt32>(negative ? 0u - value : value);
}

bool NString::parseDecimal64(TInt64& out) const {
  const TInt32 n = length();
  TInt32 i = 0;
  while (i < n && isSpace(iBuffer->chars[i])) ++i;
  bool negative = false;
  if (i < n && (iBuffer->chars[i] == '+' || iBuffer->chars[i] == '-')) negative = iBuffer->chars[i++] == '-';
  const TUint64 limit = negative ? (1ull << 63) : (1ull << 63) - 1;
  TUint64 value = 0;
  TInt32 digits = 0;
  for (; i < n && iBuffer->chars[i] >= '0' && iBuffer->chars[i] <= '9'; ++i, ++digits) {
    const TUint64 d = iBuffer->chars[i] - '0';
    if (value > (limit - d) / 10) return false;
    value = value * 10 + d;
  }
  if (digits == 0) return false;
  out = negative ? static_cast<TInt64>(0 - value) : static_cast<TInt64>(value);
  return true;
}

void NString::toUtf8(Vec<TUint8>& out) const {
  for (TInt32 i = 0; i < length(); ++i) {
    const TChar u = iBuffer->chars[i];
    if (u < 0x80) {
      out.append(static_cast<TUint8>(u));
    } else if (u < 0x800) {
      out.append(static_cast<TUint8>(0xC0 | (u >> 6)));
      out.append(static_cast<TUint8>(0x80 | (u & 0x3F)));
    } else {
      out.append(static_cast<TUint8>(0xE0 | (u >> 12)));
      out.append(static_cast<TUint8>(0x80 | ((u >> 6) & 0x3F)));
      out.append(static_cast<TUint8>(0x80 | (u & 0x3F)));
    }
  }
}

// ---- modifiers ----

void NString::clear() { attach(nullptr); }

void NString::setCharAt(TInt32 index, TChar c) {
  if (index < 0 || index >= length()) raise(ERR_INDEX_OUT_OF_BOUNDS);
  if (iBuffer->chars[index] == c) return;
  writableUnits()[index] = c;
}

void NString::toUpperCase() {
  for (TInt32 i = 0; i < length(); ++i)
    if (upper(iBuffer->chars[i]) != iBuffer->chars[i]) {
      TChar* u = writableUnits();
      for (; i < length(); ++i) u[i] = upper(u[i]);
      return;
    }
}

void NString::toLowerCase() {
  for (TInt32 i = 0; i < length(); ++i)
    if (lower(iBuffer->chars[i]) != iBuffer->chars[i]) {
      TChar* u = writableUnits();
      for (; i < length(); ++i) u[i] = lower(u[i]);
      return;
    }
}

void NString::trimLeft() {
  TInt32 n = 0;
  while (n < length() && isSpace(iBuffer->chars[n])) ++n;
  if (n > 0) remove(0, n - 1);
}

void NString::trimRight() {
  TInt32 n = length();
  while (n > 0 && isSpace(iBuffer->chars[n - 1])) --n;
  if (n < length()) remove(n, length() - 1);
}

void NString::trim() {
  trimRight();
  trimLeft();
}

void NString::splice(TInt32 at, TInt32 removed, const NString& other, TInt32 oFirst, TInt32 oCount) {
  const TInt32 len = length();
  const TInt32 newLen = checkedLength(static_cast<TInt64>(len) - removed + oCount);
  if (newLen == 0) {
    clear();
    return;
  }
  if (removed == len && oFirst == 0 && oCount == other.length()) {
    *this = other;   // the whole text replaced by the whole of other
    return;
  }
  // Unshared and refCount 1 with other's buffer means other is this very
  // string: its units must be read from a buffer that is not being moved.
  const bool aliased = other.iBuffer == iBuffer;
  bool inPlace = unshared() && !aliased;
  if (inPlace) {
    inPlace = oCount >= removed ? iBuffer->capacity >= newLen
                                : newLen > static_cast<TInt32>(iBuffer->capacity * 0.5);
  }
  const TChar* from = other.units() ? other.units() + oFirst : nullptr;
  if (inPlace) {
    TChar* u = iBuffer->chars;
    copyUnits(u + at + oCount, u + at + removed, len - at - removed);
    copyUnits(u + at, from, oCount);
    u[newLen] = 0;
    iBuffer->length = newLen;
    return;
  }
  StringBuffer* b = allocateStringBuffer(newLen);
  copyUnits(b->chars, units(), at);
  copyUnits(b->chars + at, from, oCount);
  copyUnits(b->chars + at + oCount, units() + at + removed, len - at - removed);
  attach(b);
}

void NString::remove(TInt32 first, TInt32 last) {
  if (!checkRange(first, last)) return;
  splice(first, last - first + 1, NString(), 0, 0);
}

void NString::removeCharAt(TInt32 index) {
  if (index < 0 || index >= length()) raise(ERR_INDEX_OUT_OF_BOUNDS);
  remove(index, index);
}

void NString::dropFirst(TInt32 n) {
  if (n < 0 || n > length()) raise(ERR_INVALID_ARGUMENT);
  if (n > 0) remove(0, n - 1);
}

void NString::dropLast(TInt32 n) {
  if (n < 0 || n > length()) raise(ERR_INVALID_ARGUMENT);
  if (n > 0) remove(length() - n, length() - 1);
}

void NString::insertTo(TInt32 position, const NString& other, TInt32 first, TInt32 last) {
  if (!other.checkRange(first, last)) return;
  if (position < 0 || position > length()) raise(ERR_INDEX_OUT_OF_BOUNDS);
  if (length() == 0) {
    StringBuffer* pBuffer = iBuffer;
    VM_ASSERT(!pBuffer);
    if (first == 0 && last == other.length() - 1) *this = other;
    else *this = fromUnits(other.units(), first, last);
    return;
  }
  splice(position, 0, other, first, last - first + 1);
}

void NString::insertTo(TInt32 position, const NString& other) {
  insertTo(position, other, 0, other.length() - 1);
}

// Appending to an unshared buffer with room is the common edit (a text
// built piece by piece); it is what splice does in place, without the
// general bookkeeping.
void NString::append(const NString& other) {
  const TInt32 len = length(), n = other.length();
  if (n > 0 && unshared() && other.iBuffer != iBuffer && n <= iBuffer->capacity - len && n <= kMaxLength - len) {
    TChar* u = iBuffer->chars + len;
    copyDisjoint(u, other.iBuffer->chars, n);
    u[n] = 0;
    iBuffer->length = len + n;
    return;
  }
  insertTo(len, other);
}

void NString::append(TChar c) {
  const TInt32 len = length();
  if (unshared() && len < iBuffer->capacity && len < kMaxLength) {
    iBuffer->chars[len] = c;
    iBuffer->chars[len + 1] = 0;
    iBuffer->length = len + 1;
    return;
  }
  append(filled(c, 1));
}

void NString::prepend(const NString& other) { insertTo(0, other); }

void NString::replaceRange(TInt32 first, TInt32 last, const NString& other) {
  if (!checkRange(first, last)) {
    insertTo(0, other);
    return;
  }
  splice(first, last - first + 1, other, 0, other.length());
}

void NString::removeFirst(const NString& search, TInt32 first, TInt32 last, Case cs) {
  const TInt32 p = indexOf(search, first, last, cs);
  if (p >= 0) remove(p, p + search.length() - 1);
}

void NString::removeLast(const NString& search, TInt32 first, TInt32 last, Case cs) {
  const TInt32 p = lastIndexOf(search, first, last, cs);
  if (p >= 0) remove(p, p + search.length() - 1);
}

void NString::replaceFirst(const NString& search, const NString& replacement, TInt32 first, TInt32 last, Case cs) {
  const TInt32 p = indexOf(search, first, last, cs);
  if (p >= 0) splice(p, search.length(), replacement, 0, replacement.length());
}

void NString::replaceLast(const NString& search, const NString& replacement, TInt32 first, TInt32 last, Case cs) {
  const TInt32 p = lastIndexOf(search, first, last, cs);
  if (p >= 0) splice(p, search.length(), replacement, 0, replacement.length());
}

void NString::removeAll(const NString& search, TInt32 first, TInt32 last, Case cs) {
  replaceAll(search, NString(), first, last, cs);
}

void NString::replaceAll(const NString& search, const NString& replacement, TInt32 first, TInt32 last, Case cs) {
  if (search.isEmpty() || !checkRange(first, last)) return;
  const TInt32 n = search.length();
  if (n > last - first + 1) return;
  Vec<TInt32> positions;
  for (TInt32 p = findForward(search, first, last, cs); p >= 0; p = findForward(search, p + n, last, cs))
    positions.append(p);
  if (!positions.isEmpty()) replaceAt(positions, n, replacement);
}

void NString::replaceAt(const Vec<TInt32>& positions, TInt32 width, const NString& with) {
  const TInt32 len = length();
  const TInt32 k = positions.size();
  const TInt32 newLen = checkedLength(static_cast<TInt64>(len) + static_cast<TInt64>(k) * (with.length() - width));
  if (newLen == 0) {
    clear();
    return;
  }
  const TChar* src = units();
  // Pure removal compacts forward in place under the half-capacity rule.
  if (with.isEmpty() && unshared() && newLen > static_cast<TInt32>(iBuffer->capacity * 0.5)) {
    TChar* u = iBuffer->chars;
    TInt32 w = positions[0], r = positions[0] + width;
    for (TInt32 i = 1; i < k; ++i) {
      copyUnits(u + w, u + r, positions[i] - r);
      w += positions[i] - r;
      r = positions[i] + width;
    }
    copyUnits(u + w, u + r, len - r);
    u[newLen] = 0;
    iBuffer->length = newLen;
    return;
  }
  StringBuffer* b = allocateStringBuffer(newLen);
  TInt32 w = 0, r = 0;
  for (TInt32 i = 0; i < k; ++i) {
    copyUnits(b->chars + w, src + r, positions[i] - r);
    w += positions[i] - r;
    copyUnits(b->chars + w, with.units(), with.length());
    w += with.length();
    r = positions[i] + width;
  }
  copyUnits(b->chars + w, src + r, len - r);
  attach(b);
}

void NString::repeat(TInt32 n) {
  if (n < 0) raise(ERR_INVALID_ARGUMENT);
  if (n == 0) {
    clear();
    return;
  }
  if (n == 1 || isEmpty()) return;
  const TInt32 len = length();
  const TInt32 newLen = checkedLength(static_cast<TInt64>(len) * n);
  if (unshared() && iBuffer->capacity >= newLen) {
    TChar* u = iBuffer->chars;
    for (TInt32 i = 1; i < n; ++i) copyUnits(u + i * len, u, len);
    u[newLen] = 0;
    iBuffer->length = newLen;
    return;
  }
  StringBuffer* b = allocateStringBuffer(newLen);
  for (TInt32 i = 0; i < n; ++i) copyUnits(b->chars + i * len, iBuffer->chars, len);
  attach(b);
}

#pragma once
// NString: the machine's string object, 16-bit units in a shared
// copy-on-write StringBuffer.
//
// Invariants:
//  - iBuffer is null exactly when the string is empty; any operation that
//    leaves zero characters releases the buffer.
//  - A buffer is written in place only while its refCount is 1.
//  - A modification builds any new buffer completely before attaching it,
//    so a raise leaves the old text unchanged.
// Ranges are inclusive (first, last); (0, -1) is the empty range and is
// accepted everywhere, any other pair outside the string raises code 5.
#include "GCObject.h"
#include "StringBuffer.h"
#include "Types.h"

template <typename T> class Vec;

GCOBJECT_PACK_BEGIN
class NString : public GCObject {
 public:
  enum class Case : TUint8 { Insensitive = 0, Sensitive = 1 };
  // The bytecode's flag: non-zero compares units exactly.
  static Case caseFlag(TInt32 cs) { return cs ? Case::Sensitive : Case::Insensitive; }

  NString() : iBuffer(nullptr) {}
  NString(const NString& other);
  NString(NString&& other) noexcept : iBuffer(other.iBuffer) { other.iBuffer = nullptr; }
  ~NString() override;
  NString& operator=(const NString& other);
  NString& operator=(NString&& other) noexcept;

  // 8-bit text, each byte widened; a start outside the text gives "".
  explicit NString(const char* text, TInt32 start = 0);
  // 16-bit text, null-terminated, copied unit for unit.
  explicit NString(const TChar* text, TInt32 start = 0);
  // Slices text[first..last] of the caller's units (no terminator scan).
  static NString fromLatin1(const char* text, TInt32 first, TInt32 last);
  static NString fromUnits(const TChar* text, TInt32 first, TInt32 last);
  static NString filled(TChar c, TInt32 n);
  static NString number(TInt32 value);
  static NString number(TInt64 value);
  static NString number(TUint32 value, TInt32 radix);
  // Invalid UTF-8 raises code 4; units beyond 16 bits are truncated.
  static NString fromUtf8(const TUint8* bytes, TInt32 count);
  static NString fromUtf8(const Vec<TUint8>& bytes);

  NString substring(TInt32 first, TInt32 last) const;
  NString substring(TInt32 from) const;
  NString substring(TInt32 first, TInt32 last, TInt32 step) const;
  static NString concat(const NString& a, const NString& b);

  // Queries.
  TInt32 length() const { return iBuffer ? iBuffer->length : 0; }
  bool isEmpty() const { return iBuffer == nullptr; }
  TChar charAt(TInt32 index) const;
  // Units with a terminator, or null for the empty string.
  const TChar* units() const { return iBuffer ? iBuffer->chars : nullptr; }
  const StringBuffer* buffer() const { return iBuffer; }

  TInt32 compare(const NString& other, Case cs) const;
  TInt32 compareFrom(TInt32 offset, const NString& other, Case cs) const;
  TInt32 compare(TInt32 first, TInt32 last, const NString& other, Case cs) const;
  bool equals(const NString& other, Case cs) const;
  bool operator==(const NString& other) const { return equals(other, Case::Sensitive); }
  bool operator!=(const NString& other) const { return !equals(other, Case::Sensitive); }
  bool startsWith(const NString& other, Case cs) const;
  bool endsWith(const NString& other, Case cs) const;
  bool regionEquals(const NString& other, TInt32 first, TInt32 last, Case cs) const;

  TInt32 indexOf(const NString& search, TInt32 first, TInt32 last, Case cs) const;
  TInt32 indexOf(const NString& search, TInt32 from, Case cs) const;
  TInt32 indexOf(const NString& search, Case cs) const;
  TInt32 lastIndexOf(const NString& search, TInt32 first, TInt32 last, Case cs) const;
  TInt32 lastIndexOf(const NString& search, TInt32 from, Case cs) const;
  TInt32 lastIndexOf(const NString& search, Case cs) const;
  TInt32 count(const NString& search, TInt32 first, TInt32 last, Case cs) const;
  TInt32 count(const NString& search, Case cs) const;

  TInt32 parseInt(TInt32 radix) const;
  TInt32 parseDecimal() const;
  // 64-bit decimal parse: false on bad text or overflow, nothing raised.
  bool parseDecimal64(TInt64& out) const;
  void toUtf8(Vec<TUint8>& out) const;

  // Modifiers (copy-on-write).
  void clear();
  void setCharAt(TInt32 index, TChar c);
  void toUpperCase();
  void toLowerCase();
  void trim();
  void trimLeft();
  void trimRight();
  void remove(TInt32 first, TInt32 last);
  void removeCharAt(TInt32 index);
  void dropFirst(TInt32 n);
  void dropLast(TInt32 n);
  void removeFirst(const NString& search, TInt32 first, TInt32 last, Case cs);
  void removeLast(const NString& search, TInt32 first, TInt32 last, Case cs);
  void removeAll(const NString& search, TInt32 first, TInt32 last, Case cs);
  void insertTo(TInt32 position, const NString& other, TInt32 first, TInt32 last);
  void insertTo(TInt32 position, const NString& other);
  void append(const NString& other);
  void append(TChar c);
  void prepend(const NString& other);
  void replaceRange(TInt32 first, TInt32 last, const NString& other);
  void replaceFirst(const NString& search, const NString& replacement, TInt32 first, TInt32 last, Case cs);
  void replaceLast(const NString& search, const NString& replacement, TInt32 first, TInt32 last, Case cs);
  void replaceAll(const NString& search, const NString& replacement, TInt32 first, TInt32 last, Case cs);
  void repeat(TInt32 n);

  // Whole-string range: (0, length - 1), the empty range for "".
  TInt32 lastIndex() const { return length() - 1; }

 private:
  explicit NString(StringBuffer* adopted) : iBuffer(adopted) {}
  // True for a non-empty valid range, false for (0, -1); raises code 5.
  bool checkRange(TInt32 first, TInt32 last) const;
  void attach(StringBuffer* fresh);
  // Units of an unshared buffer (copies a shared one first).
  TChar* writableUnits();
  bool unshared() const { return iBuffer && iBuffer->refCount == 1; }
  // Search core on an already checked non-empty range.
  TInt32 findForward(const NString& search, TInt32 from, TInt32 last, Case cs) const;
  TInt32 findBackward(const NString& search, TInt32 first, TInt32 last, Case cs) const;
  // Replaces [at, at + removed) by other's units [oFirst, oFirst + oCount).
  void splice(TInt32 at, TInt32 removed, const NString& other, TInt32 oFirst, TInt32 oCount);
  // Keeps the characters outside every [start, start + width) of the
  // given ascending positions, putting `with` in each place.
  void replaceAt(const Vec<TInt32>& positions, TInt32 width, const NString& with);

  StringBuffer* iBuffer;
};
GCOBJECT_PACK_END

static_assert(alignof(NString) <= 4, "NString must fit a 4-byte aligned heap block");

// Vector groups (1, 3, 4, 5, 6, 7): one operation set over vectors of one
// element size; group 7's elements are object references.
//
// A vector argument is the address of a two-word vector value whose word 0
// is the NVector; dst is the address of such a value that receives a new
// vector. Element values occupy `slots` slots (group 1: one sign-extended
// byte per slot).
#include "HeapEntry.h"
#include "HostMemory.h"
#include "Interpreter.h"
#include "NativeHelpers.h"
#include "StringAlgorithms.h"
#include "VectorStore.h"

#include <array>
#include <cstring>

using vectors::VectorStore;

namespace {

typedef std::array<TUint8, 16> Element;

// A position and length inside a vector, after the range conversion.
struct Span {
  TInt32 first;
  TInt32 length;
};

class VectorCall {
 public:
  // The group number gives the element kind: groups 1 and 3 to 6 hold
  // 1, 4, 8, 12 and 16 bytes; group 7 holds references.
  explicit VectorCall(native::Context& cx)
      : state(cx.state), size(kElementSize[cx.group]), slots(size == 1 ? 1 : size / 4), primitive(cx.group != 7) {}

  static constexpr TInt32 kElementSize[8] = {0, 1, 0, 4, 8, 12, 16, 4};
  VMState& state;
  const TInt32 size;
  const TInt32 slots;
  const bool primitive;

  native::Args args(TInt32 words) { return native::Args(state, words); }
  VMHeap& heap() { return state.heap; }

  VectorStore vector(const native::Args& a, TInt32 i) const {
    return VectorStore(native::derefCell(a.word(i)), size);
  }

  Element element(const native::Args& a, TInt32 i) const {
    Element e{};
    if (size == 1) {
      e[0] = static_cast<TUint8>(a.word(i));
    } else {
      for (TInt32 k = 0; k < slots; ++k) {
        const TUint32 w = a.word(i + k);
        std::memcpy(e.data() + 4 * k, &w, 4);
      }
    }
    return e;
  }

  // The value of an element as slot words, stored from argument slot `at`.
  void resultElement(native::Args& a, TInt32 at, const TUint8* p) const {
    TUint32 w[4];
    if (size == 1) w[0] = static_cast<TUint32>(static_cast<TInt32>(static_cast<TInt8>(*p)));
    else if (slots == 1) std::memcpy(w, p, 4);   // a word or a reference: one load, no call
    else std::memcpy(w, p, 4 * slots);
    a.resultAt(at, w, slots);
  }

  // The String group's range conversion, over a vector of n elements.
  static Span span(const native::Args& a, TInt32 i, TInt32 n) {
    const native::Range r = native::rangeAt(a, i, n);
    if (strings::isEmptyRange(r.first, r.last)) return Span{0, 0};
    if (r.first > r.last || r.last >= n) native::rangeError();
    return Span{r.first, r.last - r.first + 1};
  }

  static void checkPosition(TInt32 pos, const VectorStore& v) {
    if (pos < 0 || pos > v.count()) raise(ERR_INDEX_OUT_OF_BOUNDS, "");
  }

  // A new, empty NVector of this element size.
  VMAddr newVectorObject() { return Interpreter::newVector(heap(), size); }

  // The NVector stored in word 0 of the vector value at dst, filled with src.
  void toDestination(TUint32 dst, const TUint8* src, TInt32 n) {
    vmOpenChecked(dst, 8);
    const VMAddr object = newVectorObject();
    VectorStore(object, size).assign(heap(), src, n);
    native::store(dst, object);
  }

  TUint32 newHolder(const TUint8* src, TInt32 n) {
    return vectors::newVectorCell(heap(), size, !primitive, src, n);
  }
};

constexpr TInt32 VectorCall::kElementSize[8];

// Where an insertion goes: at a given position, the front or the end.
enum Place { AT, FRONT, END };

// ---- creating vectors -------------------------------------------------

template <bool WithRange> void copyVector(VectorCall& c) {   // 2: dst, v; 28: dst, v, range
  native::Args a = c.args(WithRange ? 4 : 2);
  const VectorStore v = c.vector(a, 1);
  const Span s = WithRange ? VectorCall::span(a, 2, v.count()) : Span{0, v.count()};
  const VectorStore::Bytes b = v.bytes(s.first, s.length);
  c.toDestination(a.word(0), b.data(), s.length);
  a.noResult();
}

void fill(VectorCall& c) {   // 3: dst, e, n
  native::Args a = c.args(2 + c.slots);
  const Element e = c.element(a, 1);
  const TInt32 n = a.integer(1 + c.slots);
  if (n < 0) native::invalidArgument();
  vectors::checkFits(n, c.size);
  const hostmem::Charge charge(static_cast<size_t>(n) * c.size);
  std::vector<TUint8> b(static_cast<size_t>(n) * c.size);
  for (TInt32 k = 0; k < n; ++k) std::memcpy(b.data() + static_cast<size_t>(k) * c.size, e.data(), c.size);
  c.toDestination(a.word(0), b.data(), n);
  a.noResult();
}

VectorStore::Bytes stepped(const VectorStore& v, Span s, TInt32 step) {
  if (step < 1) native::invalidArgument();
  const size_t taken = (static_cast<size_t>(s.length) + step - 1) / step;
  VectorStore::Bytes b(taken * v.elementSize());
  b.reserve(taken * v.elementSize());
  for (TInt32 i = s.first; i < s.first + s.length; i += step) {
    const TUint8* p = v.at(i);
    b.insert(b.end(), p, p + v.elementSize());
    if (i > 0x7FFFFFFF - step) break;
  }
  return b;
}

void copyStepped(VectorCall& c) {   // 5: dst, v, step
  native::Args a = c.args(3);
  const VectorStore v = c.vector(a, 1);
  const VectorStore::Bytes b = stepped(v, Span{0, v.count()}, a.integer(2));
  c.toDestination(a.word(0), b.data(), static_cast<TInt32>(b.size() / c.size));
  a.noResult();
}

void single(VectorCall& c) {   // 29: dst, e
  native::Args a = c.args(1 + c.slots);
  const Element e = c.element(a, 1);
  c.toDestination(a.word(0), e.data(), 1);
  a.noResult();
}

// ---- reading ----------------------------------------------------------

// 6: the address of a primitive element, a reference element itself;
// 7 (reference vectors only): the element's address.
template <bool Address> void elementAccess(VectorCall& c) {   // v, i
  if (Address && c.primitive) native::reservedOperation();
  native::Args a = c.args(2);
  const VectorStore v = c.vector(a, 0);
  const VMAddr at = v.addressOf(v.checkIndex(a.integer(1)));
  a.result(Address || c.primitive ? at : native::load(at));
}

void get(VectorCall& c) {   // 8: v, i
  native::Args a = c.args(2);
  const VectorStore v = c.vector(a, 0);
  const TInt32 i = v.checkIndex(a.integer(1));
  // The primitive groups keep v below the value.
  c.resultElement(a, c.primitive ? 1 : 0, v.at(i));
}

template <bool First> void firstOrLast(VectorCall& c) {   // v
  native::Args a = c.args(1);
  const VectorStore v = c.vector(a, 0);
  if (v.count() == 0) raise(ERR_INDEX_OUT_OF_BOUNDS, "");
  c.resultElement(a, 0, v.at(First ? 0 : v.count() - 1));
}

void count(VectorCall& c) {   // 11: v
  native::Args a = c.args(1);
  a.result(static_cast<TUint32>(c.vector(a, 0).count()));
}

void isEmpty(VectorCall& c) {   // 12: v
  native::Args a = c.args(1);
  a.result(c.vector(a, 0).count() == 0 ? 1 : 0);
}

// ---- inserting --------------------------------------------------------

void insertAt(VectorCall& c, native::Args& a, VectorStore& v, TInt32 pos, const TUint8* src, TInt32 n) {
  VectorCall::checkPosition(pos, v);
  v.splice(c.heap(), pos, 0, src, n);
  a.noResult();
}

template <Place P, bool WithRange = false> void insertVector(VectorCall& c) {   // v, other, [range], [pos]
  native::Args a = c.args(2 + (WithRange ? 2 : 0) + (P == AT ? 1 : 0));
  VectorStore v = c.vector(a, 0);
  const VectorStore other = c.vector(a, 1);
  const Span s = WithRange ? VectorCall::span(a, 2, other.count()) : Span{0, other.count()};
  const VectorStore::Bytes b = other.bytes(s.first, s.length);
  const TInt32 pos = P == AT ? a.integer(WithRange ? 4 : 2) : P == FRONT ? 0 : v.count();
  insertAt(c, a, v, pos, b.data(), s.length);
}

template <Place P> void insertElement(VectorCall& c) {   // v, e, [pos]
  native::Args a = c.args(1 + c.slots + (P == AT ? 1 : 0));
  VectorStore v = c.vector(a, 0);
  const Element e = c.element(a, 1);
  const TInt32 pos = P == AT ? a.integer(1 + c.slots) : P == FRONT ? 0 : v.count();
  insertAt(c, a, v, pos, e.data(), 1);
}

void repeat(VectorCall& c) {   // 20: v, n
  native::Args a = c.args(2);
  VectorStore v = c.vector(a, 0);
  v.repeat(c.heap(), a.integer(1));
  a.noResult();
}

// ---- removing ---------------------------------------------------------

void removeAt(VectorCall& c) {   // 21: v, i
  native::Args a = c.args(2);
  VectorStore v = c.vector(a, 0);
  v.splice(c.heap(), v.checkIndex(a.integer(1)), 1, nullptr, 0);
  a.noResult();
}

void removeRange(VectorCall& c) {   // 22: v, range
  native::Args a = c.args(3);
  VectorStore v = c.vector(a, 0);
  const Span s = VectorCall::span(a, 1, v.count());
  v.splice(c.heap(), s.first, s.length, nullptr, 0);
  a.noResult();
}

template <Place P> void dropEnds(VectorCall& c) {   // v, n: the first or the last n
  native::Args a = c.args(2);
  VectorStore v = c.vector(a, 0);
  const TInt32 n = a.integer(1);
  if (n < 0 || n > v.count()) native::invalidArgument();
  if (n > 0) v.splice(c.heap(), P == FRONT ? 0 : v.count() - n, n, nullptr, 0);
  a.noResult();
}

void clear(VectorCall& c) {   // 25: v
  native::Args a = c.args(1);
  VectorStore v = c.vector(a, 0);
  v.clear();
  a.noResult();
}

// ---- replacing --------------------------------------------------------

void replaceWithVector(VectorCall& c) {   // 26: v, range, other
  native::Args a = c.args(4);
  VectorStore v = c.vector(a, 0);
  const Span s = VectorCall::span(a, 1, v.count());
  const VectorStore other = c.vector(a, 3);
  const VectorStore::Bytes b = other.bytes(0, other.count());
  v.splice(c.heap(), s.first, s.length, b.data(), other.count());
  a.noResult();
}

void replaceWithElement(VectorCall& c) {   // 27: v, range, e
  native::Args a = c.args(3 + c.slots);
  VectorStore v = c.vector(a, 0);
  const Span s = VectorCall::span(a, 1, v.count());
  const Element e = c.element(a, 3);
  v.splice(c.heap(), s.first, s.length, e.data(), 1);
  a.noResult();
}

// Count 0 inserts at first (a position), anything else replaces.
void insertOrReplace(VectorCall& c, native::Args& a, VectorStore& v, TInt32 first, TInt32 count,
                     const std::vector<TUint8>& b) {
  const TInt32 n = static_cast<TInt32>(b.size() / c.size);
  if (count == 0) return insertAt(c, a, v, first, b.data(), n);
  v.splice(c.heap(), first, count, b.data(), n);
  a.noResult();
}

void checkedReplace(VectorCall& c) {   // 81: v, range, other
  native::Args a = c.args(4);
  VectorStore v = c.vector(a, 0);
  TInt32 first = a.integer(1), count = a.integer(2);
  native::checkRange(0, v.count(), first, count);
  const VectorStore other = c.vector(a, 3);
  insertOrReplace(c, a, v, first, count, other.bytes(0, other.count()));
}

void checkedCopy(VectorCall& c) {   // 82: v, range -> new vector
  native::Args a = c.args(3);
  const VectorStore v = c.vector(a, 0);
  TInt32 first = a.integer(1), count = a.integer(2);
  native::checkRange(0, v.count(), first, count);
  const VectorStore::Bytes b = v.bytes(first, count);
  a.result(c.newHolder(b.data(), count));
}

void replaceWithSlice(VectorCall& c) {   // 83: v, range, other, slice
  native::Args a = c.args(6);
  VectorStore v = c.vector(a, 0);
  const VectorStore other = c.vector(a, 3);
  const Span slice = VectorCall::span(a, 4, other.count());
  const VectorStore::Bytes b = other.bytes(slice.first, slice.length);
  const TInt32 first = a.integer(1), count = a.integer(2);
  if (count == 0) {
    if (first < 0) native::rangeError();
    return insertOrReplace(c, a, v, first, 0, b);
  }
  const Span s = VectorCall::span(a, 1, v.count());
  insertOrReplace(c, a, v, s.first, s.length, b);
}

void joinRanges(VectorCall& c) {   // 84: a, rangeOfB, b, rangeOfA -> new vector
  native::Args a = c.args(6);
  const VectorStore va = c.vector(a, 0);
  const VectorStore vb = c.vector(a, 3);
  const Span sb = VectorCall::span(a, 1, vb.count());
  const Span sa = VectorCall::span(a, 4, va.count());
  const size_t head = static_cast<size_t>(sb.length) * c.size, tail = static_cast<size_t>(sa.length) * c.size;
  VectorStore::Bytes b(head + tail, head + tail);
  if (head) std::memcpy(b.data(), vb.at(sb.first), head);
  if (tail) std::memcpy(b.data() + head, va.at(sa.first), tail);
  a.result(c.newHolder(b.data(), sb.length + sa.length));
}

template <void (*F)(VectorCall&)> void run(native::Context& cx) {
  VectorCall c(cx);
  F(c);
}

const native::Operation kRows[] = {
    {1, "reserved1", native::reserved, "(reserved)", "11 \"Reserved native operation\""},
    {2, "copy", run<copyVector<false>>, "dst, v ->", "none"},
    {3, "fill", run<fill>, "dst, e, n ->", "6"},
    {4, "nothing", native::discard<0>, "->", "none"},
    {5, "copyStepped", run<copyStepped>, "dst, v, step ->", "6"},
    {6, "element", run<elementAccess<false>>, "v, i -> address (group 7: ref)", "2"},
    {7, "elementAddress", run<elementAccess<true>>, "v, i -> address (group 7 only)", "2; 11 \"Reserved native operation\" (groups 1 to 6)"},
    {8, "get", run<get>, "v, i -> e (primitive groups keep v)", "2"},
    {9, "first", run<firstOrLast<true>>, "v -> e", "2"},
    {10, "last", run<firstOrLast<false>>, "v -> e", "2"},
    {11, "count", run<count>, "v -> int", "none"},
    {12, "isEmpty", run<isEmpty>, "v -> 1|0", "none"},
    {13, "insertVector", run<insertVector<AT>>, "v, v, pos ->", "2"},
    {14, "insertVectorRange", run<insertVector<AT, true>>, "v, v, range, pos ->", "2; 5"},
    {15, "insertElement", run<insertElement<AT>>, "v, e, pos ->", "2"},
    {16, "prependVector", run<insertVector<FRONT>>, "v, v ->", "none"},
    {17, "prependElement", run<insertElement<FRONT>>, "v, e ->", "none"},
    {18, "appendVector", run<insertVector<END>>, "v, v ->", "none"},
    {19, "appendElement", run<insertElement<END>>, "v, e ->", "none"},
    {20, "repeat", run<repeat>, "v, n ->", "6"},
    {21, "removeAt", run<removeAt>, "v, i ->", "2"},
    {22, "removeRange", run<removeRange>, "v, range ->", "5"},
    {23, "dropFirst", run<dropEnds<FRONT>>, "v, n ->", "6"},
    {24, "dropLast", run<dropEnds<END>>, "v, n ->", "6"},
    {25, "clear", run<clear>, "v ->", "none"},
    {26, "replaceWithVector", run<replaceWithVector>, "v, range, v ->", "5"},
    {27, "replaceWithElement", run<replaceWithElement>, "v, range, e ->", "5"},
    {28, "copyRange", run<copyVector<true>>, "dst, v, range ->", "5"},
    {29, "single", run<single>, "dst, e ->", "none"},
    {81, "checkedReplace", run<checkedReplace>, "v, range, v ->", "2; 5 \"Invalid Range, ...\""},
    {82, "checkedCopy", run<checkedCopy>, "v, range -> v", "5 \"Invalid Range, ...\""},
    {83, "replaceWithSlice", run<replaceWithSlice>, "v, range, v, slice ->", "2; 5"},
    {84, "joinRanges", run<joinRanges>, "a, rangeOfB, b, rangeOfA -> v", "5"},
};

}  // namespace

NATIVE_OPERATIONS(vectorOperations, kRows);

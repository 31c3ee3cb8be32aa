// Hash group (34): MD5 and SHA-1 digests of byte vectors, in one call or
// through a Hash object held in the first field of a bytecode object.
#include "Hash.h"
#include "NativeHelpers.h"
#include "VectorStore.h"

#include <memory>
#include <new>

using native::Args;

namespace {

HashDigest& digestAt(Args& a, TInt32 i) { return native::heldObject<Hash>(a.word(i)).digest(); }

void feed(HashDigest& digest, TUint32 vectorValue) {
  const vectors::VectorStore bytes(native::derefCell(vectorValue), 1);
  if (bytes.count() > 0) digest.update(bytes.at(0), bytes.count());
}

TUint32 finish(Args& a, HashDigest& digest) {
  Vec<TUint8> out;
  digest.finish(out);
  const TInt32 n = out.size();
  return vectors::newVectorCell(a.heap(), 1, false, out.data(), n, vectors::capacityAfterAppends(n));
}

void create(native::Context& cx) {   // hash object, algorithm
  Args a(cx, 2);
  const VMAddr field = native::firstField(a.word(0));
  std::unique_ptr<HashDigest> digest(new HashDigest(a.integer(1)));
  const VMAddr object = a.heap().allocate(sizeof(Hash), -1, GC_CODE_HASH);
  new (vmPtr(object)) Hash(digest.release());
  native::store(field, object);
  a.noResult();
}

void digestOf(native::Context& cx) {   // bytes, algorithm
  Args a(cx, 2);
  HashDigest digest(a.integer(1));
  feed(digest, a.word(0));
  a.result(finish(a, digest));
}

void update(native::Context& cx) {
  Args a(cx, 2);
  feed(digestAt(a, 0), a.word(1));
  a.noResult();
}

void finalDigest(native::Context& cx) {
  Args a(cx, 1);
  a.result(finish(a, digestAt(a, 0)));
}

const native::Operation kRows[] = {
    {1, "create", create, "hash, algorithm ->", "13 \"Unsupported hash algorithm\"; 11 \"Internal error: digest initialisation failed\""},
    {2, "digest", digestOf, "bytes, algorithm -> bytes", "13 \"Unsupported hash algorithm\"; 11 \"Internal error: digest initialisation failed\""},
    {3, "update", update, "hash, bytes ->", "6 \"Hash already finished\""},
    {4, "finish", finalDigest, "hash -> bytes", "6 \"Hash already finished\""},
};

}  // namespace

NATIVE_OPERATIONS(hashOperations, kRows);

#pragma once
// The heap object behind a bytecode Hash: it owns one running digest.
#include "GCObject.h"
#include "HashDigest.h"

GCOBJECT_PACK_BEGIN
class Hash : public GCObject {
 public:
  explicit Hash(HashDigest* digest) : iDigest(digest) {}
  ~Hash() override { delete iDigest; }
  Hash(const Hash&) = delete;
  Hash& operator=(const Hash&) = delete;

  HashDigest& digest() { return *iDigest; }

 private:
  HashDigest* iDigest;
};
GCOBJECT_PACK_END

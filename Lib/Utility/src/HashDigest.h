#pragma once
// One running MD5 or SHA-1 digest through the crypto library's EVP
// interface. Algorithm 0 is MD5 (16 bytes), 1 is SHA-1 (20 bytes).
#include "Types.h"
#include "Vec.h"

struct evp_md_st;
struct evp_md_ctx_st;

class HashDigest {
 public:
  enum Algorithm { MD5 = 0, SHA1 = 1 };

  // Any other algorithm raises code 13 "Unsupported hash algorithm".
  explicit HashDigest(TInt32 algorithm);
  ~HashDigest();
  HashDigest(const HashDigest&) = delete;
  HashDigest& operator=(const HashDigest&) = delete;

  TInt32 algorithm() const { return iAlgorithm; }
  TInt32 length() const { return iLength; }

  // Nothing is fed for zero bytes. After finish both raise code 6
  // "Hash already finished".
  void update(const TUint8* bytes, TInt32 count);
  // Clears out and appends the digest.
  void finish(Vec<TUint8>& out);

 private:
  void checkOpen() const;

  TInt32 iAlgorithm;
  const struct evp_md_st* iDigest;
  TInt32 iLength;
  struct evp_md_ctx_st* iContext;
  bool iFinished = false;
};

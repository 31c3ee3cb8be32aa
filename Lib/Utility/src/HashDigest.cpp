#include "HashDigest.h"

#include "Errors.h"

#include <openssl/evp.h>

HashDigest::HashDigest(TInt32 algorithm) : iAlgorithm(algorithm) {
  switch (algorithm) {
    case MD5:
      iDigest = EVP_md5();
      iLength = 16;
      break;
    case SHA1:
      // The older library's DSS name for SHA-1; current ones call it sha1.
      iDigest = EVP_sha1();
      iLength = 20;
      break;
    default: raise(ERR_UNSUPPORTED_FEATURE, "Unsupported hash algorithm");
  }
  iContext = EVP_MD_CTX_new();
  if (!iContext || EVP_DigestInit(iContext, iDigest) != 1) {
    EVP_MD_CTX_free(iContext);
    raise(ERR_RUNTIME, "Internal error: digest initialisation failed");
  }
}

HashDigest::~HashDigest() { EVP_MD_CTX_free(iContext); }

void HashDigest::checkOpen() const {
  if (iFinished) raise(ERR_INVALID_ARGUMENT, "Hash already finished");
}

void HashDigest::update(const TUint8* bytes, TInt32 count) {
  checkOpen();
  if (count > 0) EVP_DigestUpdate(iContext, bytes, static_cast<size_t>(count));
}

void HashDigest::finish(Vec<TUint8>& out) {
  checkOpen();
  unsigned char buffer[EVP_MAX_MD_SIZE < 64 ? 64 : EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal(iContext, buffer, &length);
  iFinished = true;
  if (static_cast<TInt32>(length) != iLength) raise(ERR_ASSERTION_FAILED, "InternalError: invalid hash length");
  out.clear();
  for (unsigned int i = 0; i < length; ++i) out.append(buffer[i]);
}

// Digests against the published vectors (RFC 1321 for MD5, FIPS 180 for
// SHA-1), fed at once and in pieces, and the misuse the record refuses.
#include "HashDigest.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string hex(const Vec<TUint8>& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (TInt32 i = 0; i < bytes.size(); ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

std::string digestOf(TInt32 algorithm, const std::string& message, size_t piece = 0) {
  HashDigest d(algorithm);
  const TUint8* p = reinterpret_cast<const TUint8*>(message.data());
  if (piece == 0) piece = message.size() + 1;
  for (size_t at = 0; at < message.size(); at += piece)
    d.update(p + at, static_cast<TInt32>(std::min(piece, message.size() - at)));
  Vec<TUint8> out;
  out.append(0xEE);   // finish clears what was there
  d.finish(out);
  return hex(out);
}

struct Vector {
  const char* message;
  const char* digest;
};

const Vector kMd5[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

const Vector kSha1[] = {
    {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
    {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
};

}  // namespace

TEST(HashDigestTest, Md5MatchesRfc1321) {
  for (const Vector& v : kMd5) {
    EXPECT_EQ(digestOf(HashDigest::MD5, v.message), v.digest) << v.message;
    EXPECT_EQ(digestOf(HashDigest::MD5, v.message, 7), v.digest) << v.message;
  }
}

TEST(HashDigestTest, Sha1MatchesFips180) {
  for (const Vector& v : kSha1) {
    EXPECT_EQ(digestOf(HashDigest::SHA1, v.message), v.digest) << v.message;
    EXPECT_EQ(digestOf(HashDigest::SHA1, v.message, 1), v.digest) << v.message;
  }
  EXPECT_EQ(digestOf(HashDigest::SHA1, std::string(1000000, 'a'), 4096), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

TEST(HashDigestTest, EmptyUpdatesChangeNothing) {
  HashDigest d(HashDigest::MD5);
  d.update(nullptr, 0);
  d.update(reinterpret_cast<const TUint8*>("abc"), 3);
  d.update(nullptr, 0);
  Vec<TUint8> out;
  d.finish(out);
  EXPECT_EQ(hex(out), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(d.length(), 16);
}

TEST(HashDigestTest, RefusesUnknownAlgorithmsAndUseAfterFinish) {
  EXPECT_EQ(EXPECT_RAISES(ERR_UNSUPPORTED_FEATURE, HashDigest(2)), "UnsupportedFeatureException: Unsupported hash algorithm");
  EXPECT_RAISES(ERR_UNSUPPORTED_FEATURE, HashDigest(-1));
  HashDigest d(HashDigest::SHA1);
  Vec<TUint8> out;
  d.finish(out);
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, d.update(out.data(), 1)), "InvalidArgumentException: Hash already finished");
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, d.finish(out));
}

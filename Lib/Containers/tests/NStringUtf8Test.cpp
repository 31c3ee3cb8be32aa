// UTF-8 in and out, at every boundary of the well-formed sequence table.
#include "TestSupport.h"
#include "Vec.h"

#include <initializer_list>

namespace {

NString decode(std::initializer_list<int> bytes) {
  Vec<TUint8> v;
  for (int b : bytes) v.append(static_cast<TUint8>(b));
  return NString::fromUtf8(v);
}

bool decodes(std::initializer_list<int> bytes) {
  try {
    decode(bytes);
    return true;
  } catch (const ErrorHandlingException&) {
    EXPECT_EQ(currentErrorCode(), ERR_DATA_FORMAT);
    return false;
  }
}

Vec<TUint8> encode(TChar u) {
  NString s = NString::filled(u, 1);
  Vec<TUint8> out;
  s.toUtf8(out);
  return out;
}

}  // namespace

TEST(Utf8Decode, LeadBytes) {
  EXPECT_TRUE(decodes({0x00}));
  EXPECT_TRUE(decodes({0x7F}));
  EXPECT_FALSE(decodes({0x80}));
  EXPECT_FALSE(decodes({0xBF}));
  EXPECT_FALSE(decodes({0xC0, 0x80}));
  EXPECT_FALSE(decodes({0xC1, 0xBF}));
  EXPECT_TRUE(decodes({0xC2, 0x80}));
  EXPECT_TRUE(decodes({0xDF, 0xBF}));
  EXPECT_FALSE(decodes({0xF5, 0x80, 0x80, 0x80}));
  EXPECT_FALSE(decodes({0xFF}));
}

TEST(Utf8Decode, SecondByteLimits) {
  EXPECT_FALSE(decodes({0xE0, 0x9F, 0x80}));
  EXPECT_TRUE(decodes({0xE0, 0xA0, 0x80}));
  EXPECT_TRUE(decodes({0xE0, 0xBF, 0xBF}));
  EXPECT_TRUE(decodes({0xE1, 0x80, 0x80}));
  EXPECT_FALSE(decodes({0xE1, 0x7F, 0x80}));
  EXPECT_TRUE(decodes({0xEC, 0xBF, 0xBF}));
  EXPECT_TRUE(decodes({0xED, 0x80, 0x80}));
  EXPECT_TRUE(decodes({0xED, 0x9F, 0xBF}));
  EXPECT_FALSE(decodes({0xED, 0xA0, 0x80}));   // surrogates
  EXPECT_TRUE(decodes({0xEE, 0x80, 0x80}));
  EXPECT_TRUE(decodes({0xEF, 0xBF, 0xBF}));
  EXPECT_FALSE(decodes({0xEF, 0xC0, 0x80}));
  EXPECT_FALSE(decodes({0xF0, 0x8F, 0x80, 0x80}));
  EXPECT_TRUE(decodes({0xF0, 0x90, 0x80, 0x80}));
  EXPECT_TRUE(decodes({0xF0, 0xBF, 0xBF, 0xBF}));
  EXPECT_TRUE(decodes({0xF3, 0x80, 0x80, 0x80}));
  EXPECT_TRUE(decodes({0xF4, 0x8F, 0xBF, 0xBF}));
  EXPECT_FALSE(decodes({0xF4, 0x90, 0x80, 0x80}));
}

TEST(Utf8Decode, ContinuationsAndTruncation) {
  EXPECT_FALSE(decodes({0xE2, 0x82, 0x7F}));
  EXPECT_FALSE(decodes({0xE2, 0x82, 0xC0}));
  EXPECT_FALSE(decodes({0xF1, 0x80, 0x80, 0xC0}));
  EXPECT_FALSE(decodes({0xC2}));
  EXPECT_FALSE(decodes({0xE2, 0x82}));
  EXPECT_FALSE(decodes({0xF0, 0x90, 0x80}));
  EXPECT_FALSE(decodes({'a', 'b', 0xE2}));
  EXPECT_TRUE(NString::fromUtf8(nullptr, 0).isEmpty());
}

TEST(Utf8Decode, Values) {
  NString euro = decode({0xE2, 0x82, 0xAC});
  ASSERT_EQ(euro.length(), 1);
  EXPECT_EQ(euro.charAt(0), 0x20AC);
  NString mixed = decode({'a', 0xC3, 0xA9, 0xEF, 0xBF, 0xBF, 0});
  ASSERT_EQ(mixed.length(), 4);
  EXPECT_EQ(mixed.charAt(1), 0xE9);
  EXPECT_EQ(mixed.charAt(2), 0xFFFF);
  EXPECT_EQ(mixed.charAt(3), 0);
  // Four bytes keep only the low 16 bits of the code point (U+1F600).
  NString emoji = decode({0xF0, 0x9F, 0x98, 0x80});
  ASSERT_EQ(emoji.length(), 1);
  EXPECT_EQ(emoji.charAt(0), 0xF600);
}

TEST(Utf8Encode, EveryLengthBoundaryAndSurrogates) {
  struct Case { TChar unit; std::initializer_list<int> bytes; };
  const Case cases[] = {
    {0x0000, {0x00}}, {0x007F, {0x7F}}, {0x0080, {0xC2, 0x80}}, {0x07FF, {0xDF, 0xBF}},
    {0x0800, {0xE0, 0xA0, 0x80}}, {0x20AC, {0xE2, 0x82, 0xAC}}, {0xD800, {0xED, 0xA0, 0x80}},
    {0xFFFF, {0xEF, 0xBF, 0xBF}},
  };
  for (const Case& c : cases) {
    Vec<TUint8> out = encode(c.unit);
    ASSERT_EQ(out.size(), static_cast<TInt32>(c.bytes.size())) << c.unit;
    int i = 0;
    for (int b : c.bytes) EXPECT_EQ(out[i++], b) << c.unit;
  }
  Vec<TUint8> out;
  out.append('>');
  NString().toUtf8(out);
  ns("ab").toUtf8(out);   // appends
  EXPECT_EQ(out.size(), 3);
}

TEST(Utf8, RoundTripOfWellFormedUnits) {
  Vec<TUint8> bytes;
  for (TUint32 u = 1; u < 0x10000; u += 7) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;   // the decoder refuses encoded surrogates
    NString::filled(static_cast<TChar>(u), 1).toUtf8(bytes);
  }
  NString back = NString::fromUtf8(bytes);
  TInt32 i = 0;
  for (TUint32 u = 1; u < 0x10000; u += 7) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    ASSERT_EQ(back.charAt(i++), u);
  }
  EXPECT_EQ(back.length(), i);
}

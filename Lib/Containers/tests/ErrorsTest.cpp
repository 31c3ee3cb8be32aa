#include "TestSupport.h"

#include <thread>

TEST(Errors, MessageOfEveryCode) {
  const char* names[] = {
    nullptr, "NullPointerException", "IndexOutOfBoundsException", "DivisionByZeroException",
    "DataFormatException: ", "RangeException", "InvalidArgumentException", "IOException",
    "MathException", "AssertionFailedException", "VMException", "RuntimeException", nullptr,
    "UnsupportedFeatureException",
  };
  for (int code = 1; code <= 13; ++code) {
    const QString expected = names[code] ? QString::fromLatin1(names[code])
                                         : QStringLiteral("UnknownException (CODE:12)");
    EXPECT_EQ(EXPECT_RAISES(code, raise(code, "")), expected);
    EXPECT_EQ(EXPECT_RAISES(code, raise(code, ns("x"))), expected + ": x");
  }
  EXPECT_EQ(EXPECT_RAISES(14, raise(14, "")), "UnknownException (CODE:14)");
  EXPECT_EQ(EXPECT_RAISES(-3, raise(-3, ns("d"))), "UnknownException (CODE:-3): d");
  EXPECT_EQ(EXPECT_RAISES(4, raise(4, ns("x"))), "DataFormatException: : x");
  EXPECT_EQ(EXPECT_RAISES(10, raise(10, "FileSystem: ", 11)), "VMException: FileSystem: 11");
  EXPECT_EQ(EXPECT_RAISES(5, raise(5, NString())), "RangeException");
}

TEST(Errors, RecordAsNString) {
  const TChar euro[] = {0x20AC, 0};
  try {
    raise(ERR_IO, NString(euro));
  } catch (const ErrorHandlingException&) {
  }
  NString m = currentErrorMessage();
  EXPECT_EQ(text(m), QString::fromUtf8("IOException: \u20ac"));
  // A second raise replaces the unread first one.
  EXPECT_RAISES(ERR_MATH, raise(ERR_MATH, ""));
  EXPECT_EQ(text(currentErrorMessage()), "MathException");
  EXPECT_RAISES(ERR_MATH, rethrow());
  clearError();
  EXPECT_EQ(currentErrorCode(), 0);
  EXPECT_TRUE(currentErrorMessage().isEmpty());
}

TEST(Errors, RecordsArePerThread) {
  EXPECT_RAISES(ERR_RANGE, raise(ERR_RANGE, ns("main")));
  TInt32 seenCode = -1, otherCode = -1;
  QString otherMessage;
  std::thread t([&] {
    seenCode = currentErrorCode();
    try {
      raise(ERR_IO, ns("worker"));
    } catch (const ErrorHandlingException&) {
      otherCode = currentErrorCode();
      otherMessage = text(currentErrorMessage());
    }
  });
  t.join();
  EXPECT_EQ(seenCode, 0);
  EXPECT_EQ(otherCode, ERR_IO);
  EXPECT_EQ(otherMessage, "IOException: worker");
  EXPECT_EQ(currentErrorCode(), ERR_RANGE);
  EXPECT_EQ(text(currentErrorMessage()), "RangeException: main");
}

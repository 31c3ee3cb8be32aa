// Sound data counts against the host-memory limit for as long as it is held.
#include "Errors.h"
#include "HostMemory.h"
#include "SoundFile.h"

#include <gtest/gtest.h>
#include <vector>

TEST(SoundFile, ChargedWhileHeldAndRefusedPastTheLimit) {
  const size_t before = hostmem::used();
  const std::vector<TUint8> bytes(1001, 7);
  {
    SoundFile f;
    f.assign(bytes.data(), 1001);
    EXPECT_EQ(hostmem::used(), before + 1001);
    EXPECT_EQ(f.sampleCount(), 500u);   // the odd byte is no sample
    EXPECT_EQ(f.bytes()[1000], 7);
    SoundFile moved(std::move(f));
    EXPECT_EQ(hostmem::used(), before + 1001);
  }
  EXPECT_EQ(hostmem::used(), before);
  const size_t limit = hostmem::limit();
  hostmem::setLimit(before + 1000);
  SoundFile big;
  try {
    big.assign(bytes.data(), 1001);
    ADD_FAILURE() << "no error";
  } catch (const ErrorHandlingException&) {
    EXPECT_EQ(currentErrorCode(), ERR_INVALID_ARGUMENT);
  }
  hostmem::setLimit(limit);
  EXPECT_EQ(hostmem::used(), before);
  EXPECT_EQ(big.size, 0u);
}

#include "HostMemory.h"
#include "TestSupport.h"

#include <thread>
#include <vector>

namespace {
struct LimitGuard {
  size_t saved = hostmem::limit();
  ~LimitGuard() { hostmem::setLimit(saved); }
};
}  // namespace

TEST(HostMemory, ChargesUpToTheLimitAndRefusesBeyond) {
  LimitGuard g;
  const size_t base = hostmem::used();
  hostmem::setLimit(base + 1000);
  {
    hostmem::Charge a(600);
    EXPECT_EQ(hostmem::used(), base + 600);
    EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, hostmem::Charge b(401)),
              "InvalidArgumentException: Host memory limit reached");
    EXPECT_EQ(hostmem::used(), base + 600);   // a refused charge counts nothing
    hostmem::Charge c(400);
    hostmem::Charge moved(std::move(c));
    EXPECT_EQ(hostmem::used(), base + 1000);
    EXPECT_RAISES(ERR_INVALID_ARGUMENT, hostmem::charge(SIZE_MAX));
  }
  EXPECT_EQ(hostmem::used(), base);
  // A lowered limit below what is in use refuses every further charge.
  hostmem::setLimit(0);
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, hostmem::charge(1));
  hostmem::charge(0);
}

TEST(HostMemory, ResizeAndDismiss) {
  LimitGuard g;
  const size_t base = hostmem::used();
  hostmem::setLimit(base + 100);
  hostmem::Charge a(10);
  a.resize(90);
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, a.resize(101));
  EXPECT_EQ(a.bytes(), 90u);
  a.resize(5);
  EXPECT_EQ(hostmem::used(), base + 5);
  size_t kept = a.dismiss();
  EXPECT_EQ(hostmem::used(), base + 5);
  hostmem::release(kept);
  EXPECT_EQ(hostmem::used(), base);
}

TEST(HostMemory, ThreadsBalance) {
  const size_t base = hostmem::used();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([] {
      for (int i = 0; i < 100000; ++i) hostmem::Charge c(i % 64 + 1);
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(hostmem::used(), base);
}

TEST(HostMemory, LimitsFromACommandLine) {
  size_t v = 7;
  EXPECT_TRUE(hostmem::parseLimit("0", v));
  EXPECT_EQ(v, 0u);
  EXPECT_TRUE(hostmem::parseLimit("18446744073709551615", v));
  EXPECT_EQ(v, SIZE_MAX);
  v = 7;
  for (const char* bad : {"", "-1", "+5", "1k", " 5", "0x10", "18446744073709551616"})
    EXPECT_FALSE(hostmem::parseLimit(bad, v)) << bad;
  EXPECT_FALSE(hostmem::parseLimit(nullptr, v));
  EXPECT_EQ(v, 7u);
}

// Seeded random programs from the fuzz target's generator, each run fused
// and plain: any difference in what they log or how they end is a fault of
// a fused handler. Every program must also assemble and leave a heap that
// verifies (the script machine checks it after each run).
#include "ProgramGenerator.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TEST(RandomPrograms, FusedAndPlainDispatchAgree) {
  constexpr int kPrograms = 300;
  for (int seed = 0; seed < kPrograms; ++seed) {
    std::mt19937 random(static_cast<unsigned>(seed));
    std::vector<uint8_t> bytes(64 + seed % 512);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    const std::string source = generateProgram(bytes.data(), bytes.size());
    bool assembled = false;
    const std::string difference = compareFusedAndPlain(source, 20000, &assembled);
    ASSERT_TRUE(assembled) << "seed " << seed << ":\n" << source;
    EXPECT_EQ(difference, "") << "seed " << seed << ":\n" << source;
  }
}

}  // namespace

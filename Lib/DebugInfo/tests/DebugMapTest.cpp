// The map format: what is written reads back, lookups by offset, and a map
// that is malformed or made for other bytes is refused.
#include "DebugMap.h"

#include <gtest/gtest.h>

using debuginfo::DebugMap;

namespace {

DebugMap sample() {
  DebugMap m;
  const uint8_t image[] = {1, 2, 3};
  m.setImage(image, sizeof image);
  m.sources = {"app.asm", "lib dir/runtime.asm"};
  m.classes = {{0, "Object"}, {3, "Circle"}};
  m.methods = {{0, 10, "main"}, {10, 14, "helper"}};
  m.labels.emplace(4, "loop");
  m.lines = {{0, 0, 3}, {5, 0, 4}, {10, 1, 7}};
  return m;
}

}  // namespace

TEST(DebugMap, RoundTripsAndLooksUpByOffset) {
  DebugMap back;
  std::string error;
  ASSERT_TRUE(DebugMap::parse(sample().format(), back, error)) << error;
  EXPECT_EQ(back.format(), sample().format());
  EXPECT_EQ(back.sources[1], "lib dir/runtime.asm");
  EXPECT_EQ(back.methodAt(9)->name, "main");
  EXPECT_EQ(back.methodAt(10)->name, "helper");
  EXPECT_EQ(back.methodAt(14), nullptr);
  EXPECT_EQ(back.sourceLine(4), "app.asm:3");   // inside the instruction at 0
  EXPECT_EQ(back.sourceLine(12), "lib dir/runtime.asm:7");
  EXPECT_EQ(back.className(3), "Circle");
  EXPECT_EQ(back.className(2), "");
  const uint8_t same[] = {1, 2, 3}, other[] = {1, 2, 4};
  EXPECT_TRUE(back.matches(same, 3));
  EXPECT_FALSE(back.matches(other, 3));
}

TEST(DebugMap, RefusesWhatIsNotAMap) {
  DebugMap m;
  std::string error;
  EXPECT_FALSE(DebugMap::parse("", m, error));
  EXPECT_FALSE(DebugMap::parse("mcbmap 2\n", m, error));
  EXPECT_FALSE(DebugMap::parse("mcbmap 1\nline 0 0 1\n", m, error));   // no such source
  EXPECT_NE(error.find("line 2"), std::string::npos);
  EXPECT_FALSE(DebugMap::parse("mcbmap 1\nmethod 5 9 a\nmethod 6 9 b\n", m, error));
  EXPECT_FALSE(DebugMap::parse("mcbmap 1\nsource 1 a.asm\n", m, error));
  EXPECT_FALSE(DebugMap::parse("mcbmap 1\nwhat 1\n", m, error));
}

TEST(DebugMap, LoadIgnoresAMissingMapAndNamesAStaleOne) {
  DebugMap m;
  std::string error;
  const uint8_t image[] = {9};
  EXPECT_FALSE(debuginfo::loadMap("/nonexistent/x.map", image, 1, m, error));
  EXPECT_EQ(error, "");
  const std::string path = testing::TempDir() + "/stale.map";
  FILE* f = std::fopen(path.c_str(), "w");
  const std::string text = sample().format();
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  EXPECT_FALSE(debuginfo::loadMap(path, image, 1, m, error));
  EXPECT_NE(error.find("another image"), std::string::npos);
  EXPECT_TRUE(m.methods.empty());
  const uint8_t right[] = {1, 2, 3};
  EXPECT_TRUE(debuginfo::loadMap(path, right, 3, m, error)) << error;
  EXPECT_FALSE(debuginfo::loadMap(testing::TempDir(), right, 3, m, error));
  EXPECT_NE(error.find("directory"), std::string::npos);
}

// Names an application may use: validity, resolution under the
// directory, and the links that must not lead out of it.
#include "ApplicationDirectory.h"
#include "HostTestSupport.h"

using hosttest::Sandbox;

namespace {

std::string resolved(const ApplicationDirectory& d, const char* name) {
  CAppsString out;
  return d.resolve(NString(name), out) ? out.toQString().toStdString() : std::string("<refused>");
}

TEST(ApplicationDirectoryNames, ValidityRules) {
  for (const char* bad : {"", "..", "...", "a/../b", "a/..", "c:x", "x|y"})
    EXPECT_FALSE(ApplicationDirectory::isValidName(NString(bad))) << bad;
  const TChar withNul[] = {'a', 0, 'b'};
  EXPECT_FALSE(ApplicationDirectory::isValidName(NString::fromUnits(withNul, 0, 2)));
  for (const char* good : {"a", ".hidden", "./a", "a.b.c", "dir/sub/f", "/abs", "a\\b"})
    EXPECT_TRUE(ApplicationDirectory::isValidName(NString(good))) << good;
}

TEST(ApplicationDirectoryNames, SlashRunsCollapseAndAbsoluteFormsLandInside) {
  const ApplicationDirectory d(CAppsString("/nonexistent/app"));
  EXPECT_EQ(resolved(d, "dir//sub///f"), "/nonexistent/app/dir/sub/f");
  EXPECT_EQ(resolved(d, "/etc/passwd"), "/nonexistent/app/etc/passwd");
  EXPECT_EQ(resolved(d, "//etc"), "/nonexistent/app/etc");
  EXPECT_EQ(resolved(d, "\\x\\y"), "/nonexistent/app/x/y");
  EXPECT_EQ(resolved(d, "a/../b"), "<refused>");
  EXPECT_EQ(d.join(NString("x//y")).toQString().toStdString(), "/nonexistent/app/x/y");
}

class ApplicationDirectoryLinks : public ::testing::Test {
 protected:
  void SetUp() override {
    QDir().mkpath(box.outside("outside"));
    hosttest::writeFile(box.outside("outside/secret"), "s");
    QDir().mkpath(box.inside("sub"));
    hosttest::link(box.outside("outside"), box.inside("out"));
    hosttest::link(box.outside("outside/secret"), box.inside("secret"));
    hosttest::link(box.outside("outside/new"), box.inside("dangling"));
    hosttest::link(box.inside("sub"), box.inside("inner"));
    hosttest::link(".", box.inside("self"));
  }
  Sandbox box;
};

TEST_F(ApplicationDirectoryLinks, LinksLeadingOutAreRefused) {
  const ApplicationDirectory d(box.appPath());
  for (const char* name : {"out", "out/secret", "out/sub/new", "secret", "dangling"})
    EXPECT_EQ(resolved(d, name), "<refused>") << name;
}

TEST_F(ApplicationDirectoryLinks, LinksStayingInsideAreFollowed) {
  const ApplicationDirectory d(box.appPath());
  EXPECT_EQ(resolved(d, "inner/x"), box.inside("inner/x").toStdString());
  EXPECT_EQ(resolved(d, "self/sub"), box.inside("self/sub").toStdString());
  EXPECT_EQ(resolved(d, "self/out"), "<refused>");
  // The directory itself reached through a link: its inside is judged by the real place.
  hosttest::link(box.app, box.outside("applink"));
  const ApplicationDirectory viaLink(CAppsString::fromQString(box.outside("applink")));
  EXPECT_NE(resolved(viaLink, "sub/x"), "<refused>");
  EXPECT_EQ(resolved(viaLink, "out/secret"), "<refused>");
}

TEST(ApplicationDirectoryEntries, TheDirectoryItselfIsNoEntry) {
  const ApplicationDirectory d(CAppsString("/nonexistent/app"));
  CAppsString out;
  for (const char* name : {"/", ".", "./", "//./"}) EXPECT_FALSE(d.resolveEntry(NString(name), out)) << name;
  EXPECT_TRUE(d.resolve(NString("/"), out));
  EXPECT_TRUE(d.resolveEntry(NString("./sub"), out));
}

}  // namespace

// The headless runner: exit statuses of the process, and a whole run in
// this process that must leave no file open behind it.
#include "HeadlessRun.h"
#include "HostTestSupport.h"
#include "RunOptions.h"
#include "ScriptMachine.h"

#include <QProcess>

namespace {

struct Outcome {
  int status;
  QByteArray errors;
};

Outcome mcbrun(const QStringList& arguments) {
  QProcess p;
  p.start(QStringLiteral(MCBRUN_PATH), arguments);
  EXPECT_TRUE(p.waitForFinished(60000));
  return Outcome{p.exitCode(), p.readAllStandardError()};
}

TEST(McbrunProcess, MissingImageAndBadCommandLines) {
  hosttest::Sandbox box;
  const Outcome missing = mcbrun({box.app});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.errors, "Failed to open '" + box.app.toUtf8() + "/index.mcb'\n");
  EXPECT_EQ(mcbrun({"--budget", box.app}).status, 2);
  EXPECT_EQ(mcbrun({"--frobnicate", box.app}).status, 2);
  EXPECT_EQ(mcbrun({}).status, 2);
}

TEST(McbrunProcess, AnImageThatDoesNotLoadIsFatal) {
  hosttest::Sandbox box;
  hosttest::writeFile(box.inside("index.mcb"), "not an image");
  const Outcome r = mcbrun({"--verify-heap", box.app});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.errors.startsWith("FATAL: ")) << r.errors.constData();
}

// Leaves a reader and a writer open and lets a timer tick twice.
const char* const kCareless =
    ".globals 12\n"
    ".class Globals super=Object refs=1\n"
    ".method main export=\"main\"\n"
    "  PUSH_GLOBALS\n  SET_CLASS Globals\n"
    "  ALLOC REF_HOLDER, 1\n  PUSH_STRING_CELL \"out.txt\"\n  PUSH_FALSE\n  NATIVE_CALL FileWriter 1\n"
    "  ALLOC REF_HOLDER, 1\n  DUP\n  PUSH_STRING_CELL \"out.txt\"\n  PUSH_FALSE\n  NATIVE_CALL FileWriter 1\n"
    "  PUSH_STRING_CELL \"kept\"\n  NATIVE_CALL Encoder 1\n  NATIVE_CALL OutputStream 3\n"
    "  ALLOC REF_HOLDER, 1\n  PUSH_STRING_CELL \"index.mcb\"\n  NATIVE_CALL FileReader 1\n"
    "  ALLOC REF_HOLDER, 1\n"
    "  PUSH_GLOBALS\n  FIELD_ADDR 1\n  LOAD_LOCAL -2\n  STORE_WORD\n"
    "  DUP\n  NATIVE_CALL Timer 1\n  LOAD_LOCAL -1\n  PUSH_IMM32 1\n  NATIVE_CALL Timer 2\n"
    "  RETURN 0, 1\n"
    ".method tick params=1 export=\"<systemtimerlistener>.systemtimerevent\"\n"
    "  PUSH_GLOBALS\n  FIELD_ADDR 2\n  INC_AT\n"
    "  PUSH_GLOBALS\n  FIELD_ADDR 2\n  DEREF\n  PUSH_IMM32 2\n  CMP_LT\n  JUMP_IF_FALSE stop\n"
    "  RETURN 0, 2\n"
    "stop:\n  PUSH_GLOBALS\n  FIELD_ADDR 1\n  DEREF\n  NATIVE_CALL Timer 3\n  RETURN 0, 2\n";

TEST(HeadlessRun, NoFileStaysOpenAfterARun) {
  hosttest::app();
  hosttest::Sandbox box;
  const std::vector<TUint8> image = assembleImage(kCareless);
  ASSERT_FALSE(image.empty());
  hosttest::writeFile(box.inside("index.mcb"),
                      QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<int>(image.size())));
  RunOptions options;
  options.verifyHeap = true;
  options.directory = box.app;
  const int before = hosttest::openDescriptors();
  EXPECT_EQ(runHeadless(options), 0);
  EXPECT_EQ(hosttest::openDescriptors(), before);
  EXPECT_EQ(hosttest::readFile(box.inside("out.txt")), "kept");
}

// Exit ends the process at once; a stream the image never closed still
// reaches its file.
TEST(McbrunProcess, ExitKeepsWhatOpenStreamsWrote) {
  hosttest::Sandbox box;
  const std::vector<TUint8> image = assembleImage(
      ".method main export=\"main\"\n"
      "  ALLOC REF_HOLDER, 1\n  DUP\n  PUSH_STRING_CELL \"exit.txt\"\n  PUSH_FALSE\n  NATIVE_CALL FileWriter 1\n"
      "  PUSH_STRING_CELL \"kept at exit\"\n  NATIVE_CALL Encoder 1\n  NATIVE_CALL OutputStream 3\n"
      "  NATIVE_CALL System 1\n  RETURN 0, 1\n");
  ASSERT_FALSE(image.empty());
  hosttest::writeFile(box.inside("index.mcb"),
                      QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<int>(image.size())));
  EXPECT_EQ(mcbrun({box.app}).status, 0);
  EXPECT_EQ(hosttest::readFile(box.inside("exit.txt")), "kept at exit");
}

}  // namespace

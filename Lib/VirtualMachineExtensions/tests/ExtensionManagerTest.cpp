// The manager's dispatch as bytecode sees it: built-in ids never look for
// a library, and every built-in extension refuses an unknown opcode with
// its own code-11 message.
#include "ExtensionTestSupport.h"
#include "ExtensionTable.h"

TEST(ExtensionManager, BuiltInIdsNeverLookForALibrary) {
  ExtensionRun r(mainWith("  EXTENSION_CALL 20, 11\n  CALL log_fixed\n  EXTENSION_CALL 36, 4\n  CALL log_int"));
  setenv("MCB_DEVICE_ROOT", "/nonexistent-device-root", 1);
  const RunResult res = r.run();
  unsetenv("MCB_DEVICE_ROOT");
  EXPECT_EQ(res.logs, std::vector<std::string>{"0.0"});
  EXPECT_EQ(res.error, "RuntimeException: Torch: Failed to fetch camera cover state from: "
                       "/sys/devices/platform/gpio-switch/cam_shutter/state: No such file or directory");
  EXPECT_EQ(r.extensionHost.directoryQueries, 0);
}

TEST(ExtensionManager, UnknownIdsAskForTheLibraryEveryTime) {
  ExtensionRun r(mainWith("  TRY Throwable, a\n  EXTENSION_CALL 21, 1\n  END_TRY -1\na:\n  CALL log_caught\n"
                          "  TRY Throwable, b\n  EXTENSION_CALL 21, 1\n  END_TRY -1\nb:\n  CALL log_caught"));
  r.extensionHost.directory = NString("/nonexistent-application");
  const RunResult res = r.run();
  EXPECT_EQ(res.errorCode, 0) << res.error;
  EXPECT_EQ(res.logs, (std::vector<std::string>{"VMException: DLL not supported", "VMException: DLL not supported"}));
  EXPECT_EQ(r.extensionHost.directoryQueries, 2);
}

TEST(ExtensionManager, EachBuiltInRefusesUnknownOpcodesWithItsOwnMessage) {
  TInt32 count = 0;
  const ext::Info* infos = ext::extensionInfos(count);
  int checked = 0;
  for (TInt32 k = 0; k < count; ++k) {
    if (infos[k].table->count == 0) continue;   // not built in this program
    const std::string call = "  EXTENSION_CALL " + std::to_string(infos[k].id) + ", 99";
    ExtensionRun r(mainWith(call));
    const RunResult res = r.run();
    EXPECT_EQ(res.errorCode, 11) << infos[k].name;
    EXPECT_EQ(res.error, std::string("RuntimeException: ") + infos[k].unknownOpcode + (infos[k].numbered ? "99" : ""));
    ++checked;
  }
  EXPECT_GE(checked, 3);
}

TEST(ExtensionManager, NamesAndOperationsAreDeclaredOnce) {
  TInt32 count = 0;
  const ext::Info* infos = ext::extensionInfos(count);
  EXPECT_EQ(count, 7);
  for (TInt32 k = 0; k < count; ++k) {
    EXPECT_EQ(ext::declarationNamed(infos[k].name)->id, infos[k].id);
    EXPECT_EQ(ext::extensionInfo(infos[k].id), &infos[k]);
    const native::OperationTable& t = *infos[k].table;
    for (TInt32 i = 0; i < t.count; ++i) {
      for (TInt32 j = i + 1; j < t.count; ++j) EXPECT_NE(t.rows[i].op, t.rows[j].op) << infos[k].name;
      const native::Operation& row = t.rows[i];
      EXPECT_TRUE(row.effect && *row.effect && row.errors && *row.errors) << infos[k].name << " " << row.name;
    }
  }
  for (TInt32 id : {21, 22, 24, 25, 26, 29, 31, 35, 19, 38}) EXPECT_EQ(ext::extensionInfo(id), nullptr) << id;
}

// The toolchain names extension calls from the declarations alone: each
// extension's bound rows must be the ones its declaration lists.
TEST(ExtensionManager, BoundRowsAreTheDeclaredOnes) {
  TInt32 count = 0;
  const ext::Declaration* declared = ext::declarations(count);
  for (TInt32 k = 0; k < count; ++k) {
    const ext::Declaration& d = declared[k];
    const ext::Info* info = ext::extensionInfo(d.id);
    ASSERT_NE(info, nullptr) << d.name;
    EXPECT_STREQ(info->name, d.name);
    EXPECT_STREQ(info->unknownOpcode, d.unknownOpcode);
    ASSERT_EQ(info->table->count, d.count) << d.name;
    for (TInt32 i = 0; i < d.count; ++i) {
      EXPECT_EQ(info->table->rows[i].op, d.operations[i].op) << d.name;
      EXPECT_STREQ(info->table->rows[i].name, d.operations[i].name) << d.name;
      EXPECT_EQ(ext::declaredOperationNamed(d, d.operations[i].name), ext::declaredOperation(d, d.operations[i].op));
    }
  }
  EXPECT_EQ(ext::declarationNamed("xmlparser"), nullptr);
}

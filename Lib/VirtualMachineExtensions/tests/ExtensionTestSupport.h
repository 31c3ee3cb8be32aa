#pragma once
// Bytecode runs whose extension calls reach a real extension manager.
#include "ExtensionManager.h"
#include "ScriptMachine.h"

#include <gtest/gtest.h>

// A host that counts how often the extensions ask for the application
// directory (the first step of loading a library).
class CountingHost : public FixedHost {
 public:
  NString getApplicationDirectory() override {
    ++directoryQueries;
    return directory;
  }
  int directoryQueries = 0;
  NString directory;
};

// Assembles `source` (with the runtime library and ext.inc's helpers
// included by the caller as needed), wires the machine's extension calls to
// a manager and runs main.
class ExtensionRun {
 public:
  explicit ExtensionRun(const std::string& source)
      : machine(source), manager(&machine.vm(), &extensionHost) {
    EXPECT_TRUE(machine.assembled()) << machine.assemblyErrors();
    machine.host.extensions = [this](VMState& s, TInt32 id, TInt32 op) { return manager.callExtension(s, id, op); };
  }
  RunResult run() { return machine.runMain(); }

  ScriptMachine machine;
  CountingHost extensionHost;
  ExtensionManager manager;
};

// The source with the helpers of tests/scripts/ext.inc and xml.inc.
std::string withHelpers(const std::string& source);
// main's body, with the helpers.
std::string mainWith(const std::string& body);

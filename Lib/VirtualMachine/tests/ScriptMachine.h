#pragma once
// Assembles a source text with the runtime library, loads it into a
// ClientVM over a recording host and runs its entry methods, keeping what
// the run logged and how it ended.
#include "ClientVM.h"
#include "TestHost.h"

#include <memory>
#include <string>
#include <vector>

struct RunResult {
  std::vector<std::string> logs;
  int errorCode = 0;        // the code of an error that left the call, 0 if none
  std::string error;        // its message
  bool terminated = false;  // the run ended through a termination request
};

class ScriptMachine {
 public:
  // Assembles and loads; `assembled()` is false with the errors in `assemblyErrors`.
  explicit ScriptMachine(const std::string& source, bool withRuntime = true);
  bool assembled() const { return iAssembled; }
  const std::string& assemblyErrors() const { return iAssemblyErrors; }
  // The error the loader raised (code 0: the image loaded).
  const RunResult& loadResult() const { return iLoad; }

  // "::global::init" then "main"; verifies the heap afterwards.
  RunResult runMain();
  // Runs one call on the machine the way runMain does, recording the outcome.
  RunResult capture(void (*call)(ClientVM&));

  ClientVM& vm() { return *iVm; }
  FixedHost host;

 private:
  bool iAssembled = false;
  std::string iAssemblyErrors;
  RunResult iLoad;
  std::unique_ptr<ClientVM> iVm;
};

// Image bytes for a source (with the runtime library); empty on errors.
std::vector<TUint8> assembleImage(const std::string& source, bool withRuntime = true, std::string* errors = nullptr);

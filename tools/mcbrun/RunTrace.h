#pragma once
// mcbrun --trace and --profile: observers of the machine (RunObserver.h).
// The trace prints every instruction of the traced code with the top of the
// stack before it runs; the profile samples the running instruction on a
// CPU-time timer and prints the hottest methods and lines at the end. Both
// pass throws on to the run's diagnostics.
#include "RunDiagnostics.h"

#include <map>

class VirtualMachine;

class RunTrace : public MRunObserver {
 public:
  RunTrace(VirtualMachine& vm, RunDiagnostics& diagnostics) : iVm(vm), iDiagnostics(diagnostics) {}
  void step(TInt32 pc, TInt32 sp) override;
  void raised(TInt32 pc) override { iDiagnostics.raised(pc); }
  void uncaught(TUint32 throwable, TInt32 pc) override { iDiagnostics.uncaught(throwable, pc); }

 private:
  VirtualMachine& iVm;
  RunDiagnostics& iDiagnostics;
};

class RunProfile : public MRunObserver {
 public:
  RunProfile(VirtualMachine& vm, RunDiagnostics& diagnostics);
  ~RunProfile() override;
  void step(TInt32 pc, TInt32 sp) override;
  void raised(TInt32 pc) override { iDiagnostics.raised(pc); }
  void uncaught(TUint32 throwable, TInt32 pc) override { iDiagnostics.uncaught(throwable, pc); }
  // "PROFILE: " lines: the sample count, then the hottest methods and lines.
  std::string report() const;

 private:
  VirtualMachine& iVm;
  RunDiagnostics& iDiagnostics;
  std::map<TInt32, TInt64> iSamples;   // code offset -> samples
  TInt32 iLastPc = -1;
};

// The text of the instruction at pc: mnemonic and operands.
std::string instructionText(VirtualMachine& vm, TInt32 pc);

#pragma once
// Where a run is: names code offsets with the image's map (IMAGE.map, written
// by mcbasm) when there is one, and prints the call chain of a FATAL error or
// of a throw that no handler catches. Without a map, code offsets are given.
#include "DebugMap.h"
#include "RunObserver.h"
#include "Types.h"
#include "Vec.h"

#include <QString>
#include <string>

class VirtualMachine;

class RunDiagnostics : public MRunObserver {
 public:
  explicit RunDiagnostics(VirtualMachine& vm) : iVm(vm) {}

  // Reads the map beside the image file. A map that is there but cannot be
  // used (malformed, or made for other bytes) gets a note on standard error.
  void loadMap(const QString& imagePath);
  bool hasMap() const { return iHasMap; }

  // "helper (app.asm:12)" with a map, "code offset 28" without.
  std::string where(TInt32 pc) const;
  // The method holding pc, or "" when the map does not say.
  std::string methodAt(TInt32 pc) const;
  // The class's name from the map, or "class <id>".
  std::string className(TInt32 id) const;
  // The code range [from, to) of the method with this name; false if unknown.
  bool methodRange(const std::string& name, TInt32& from, TInt32& to) const;

  // The lines that follow a FATAL line: what the failing instruction was
  // about, then "  at ..." for each active call, innermost first. Empty
  // when no call is running.
  std::string fatalContext(const QString& message) const;

  void step(TInt32, TInt32) override {}
  void raised(TInt32 pc) override;
  void uncaught(TUint32 throwable, TInt32 pc) override;

 private:
  TInt32 codeBase() const;
  std::string callChain(const Vec<int>& chain) const;
  std::string virtualCallDetail() const;

  VirtualMachine& iVm;
  debuginfo::DebugMap iMap;
  bool iHasMap = false;
  // The last error that became a bytecode exception: where, and how deep.
  Vec<int> iRaisedChain;
  TInt32 iRaisedSp = 0;
  TInt32 iRaisedDepth = -1;
};

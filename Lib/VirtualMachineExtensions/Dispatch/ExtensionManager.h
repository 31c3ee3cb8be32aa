#pragma once
// The extension manager: one per host, created with the machine. Built-in
// extensions are made on first use and kept; any other id is loaded from
// "<application directory>/<id>.so" and its instance kept for the run. A
// failed load keeps nothing, so the next call tries again.
//
// Instances are destroyed with the manager, after the machine: their
// destructors must not touch the machine or its heap.
#include "ExtensionTable.h"
#include "NerimExtension.h"

#include <map>
#include <memory>

class ExtensionManager {
 public:
  ExtensionManager(MVMCallbackInterface* callback, FrameworkServices* host);
  ~ExtensionManager();
  ExtensionManager(const ExtensionManager&) = delete;
  ExtensionManager& operator=(const ExtensionManager&) = delete;

  // One EXTENSION_CALL: built-in dispatch, then a library; neither raises
  // code 10 "DLL not supported".
  TInt32 callExtension(VMState& state, TInt32 id, TInt32 opcode);

  // The built-in instance for id, created on first use; null when the id
  // is not built in.
  NERIM::Extension* builtIn(TInt32 id);
  // The library instance for id, loaded on first use; null when it cannot be.
  NERIM::Extension* library(TInt32 id);
  // Whether a built-in instance made so far is active (ext::BuiltIn).
  bool active() const;

 private:
  MVMCallbackInterface* iCallback;
  FrameworkServices* iHost;
  std::shared_ptr<NERIM::Extension> iBuiltIns[ext::kBuiltInCount];   // in table order
  std::map<TInt32, std::unique_ptr<NERIM::Extension>> iLoaded;
};

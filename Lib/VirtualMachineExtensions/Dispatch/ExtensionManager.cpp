// Extension calls: built-in instances by table, libraries by dlopen.
#include "ExtensionManager.h"

#include "Errors.h"
#include "ExtensionLibrary.h"
#include "FrameworkServices.h"
#include "NString.h"

ExtensionManager::ExtensionManager(MVMCallbackInterface* callback, FrameworkServices* host)
    : iCallback(callback), iHost(host) {}

ExtensionManager::~ExtensionManager() {
  // Library instances first: they may use built-in ones' services.
  iLoaded.clear();
  for (auto& b : iBuiltIns) b.reset();
}

NERIM::Extension* ExtensionManager::builtIn(TInt32 id) {
  TInt32 count = 0;
  const ext::Info* infos = ext::extensionInfos(count);
  for (TInt32 k = 0; k < count; ++k) {
    if (infos[k].id != id) continue;
    if (!iBuiltIns[k]) iBuiltIns[k].reset(infos[k].create(iCallback, iHost));
    return iBuiltIns[k].get();
  }
  return nullptr;
}

bool ExtensionManager::active() const {
  for (const auto& b : iBuiltIns)
    if (const auto* e = dynamic_cast<const ext::BuiltIn*>(b.get()))
      if (e->active()) return true;
  return false;
}

NERIM::Extension* ExtensionManager::library(TInt32 id) {
  auto it = iLoaded.find(id);
  if (it != iLoaded.end()) return it->second.get();
  if (!iHost) return nullptr;
  NERIM::Extension* made = loadExtensionLibrary(iHost->getApplicationDirectory(), id, iCallback, iHost);
  if (!made) return nullptr;
  iLoaded[id].reset(made);
  return made;
}

TInt32 ExtensionManager::callExtension(VMState& state, TInt32 id, TInt32 opcode) {
  if (NERIM::Extension* e = builtIn(id)) return e->invoke(state, opcode);
  if (NERIM::Extension* e = library(id)) return e->invoke(state, opcode);
  raise(ERR_VM, "DLL not supported");
}

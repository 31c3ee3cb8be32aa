// dlopen of "<directory>/<id>.so" and its factory; complaints go to the
// debug log (standard error), the caller turns failure into "DLL not supported".
#include "ExtensionLibrary.h"

#include "CAppsString.h"
#include "NString.h"

#include <QString>
#include <cstdio>
#include <dlfcn.h>

namespace {

// The library's own symbols first. The sanitizer runtimes refuse
// RTLD_DEEPBIND (they must see every call), so sanitizer builds go without.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kOpenFlags = RTLD_LAZY;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kOpenFlags = RTLD_LAZY;
#else
constexpr int kOpenFlags = RTLD_LAZY | RTLD_DEEPBIND;
#endif
#else
constexpr int kOpenFlags = RTLD_LAZY | RTLD_DEEPBIND;
#endif

void debugLog(const char* format, const char* text) {
  std::fprintf(stderr, format, text ? text : "");
  std::fputc('\n', stderr);
}

}  // namespace

NERIM::Extension* loadExtensionLibrary(const NString& directory, TInt32 id, MVMCallbackInterface* callback,
                                       FrameworkServices* host) {
  const QString path = QStringLiteral("%1/%2.so").arg(CAppsString::fromNString(directory).toQString()).arg(id);
  void* library = dlopen(path.toLocal8Bit().constData(), kOpenFlags);
  if (!library) {
    debugLog("dlopen() failed: %s", dlerror());
    return nullptr;
  }
  dlerror();
  void* symbol = dlsym(library, "createExtension");
  if (!symbol) {
    debugLog("Failed to resolve createExtension(): %s", dlerror());
    dlclose(library);
    return nullptr;
  }
  auto create = reinterpret_cast<CreateExtensionFunction>(symbol);
  NERIM::Extension* made = create(callback, host);
  // A factory that answers null refused; the library stays open, since
  // the factory may have left state that refers to it.
  if (!made) debugLog("createExtension() returned no extension: %s", path.toLocal8Bit().constData());
  return made;
}

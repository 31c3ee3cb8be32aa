#include "ImageStart.h"

#include "CAppsFileReader.h"
#include "ClientVM.h"
#include "HostServices.h"
#include "RunDiagnostics.h"

#include <cstdio>

namespace {
const char kImage[] = "index.mcb";
}

bool startImage(HostServices& host, ClientVM& vm) {
  NERIM::InputStream* stream = host.openInputStream(NString(kImage));
  CAppsFileReader reader(stream);
  if (!stream || !reader.isOpen()) {
    const QByteArray path = host.directory().join(NString(kImage)).toQString().toUtf8();
    std::fprintf(stderr, "Failed to open '%s'\n", path.constData());
    return false;
  }
  EntryGuard& guard = host.guard();
  const bool loaded = guard.run([&] { vm.load(reader, CAppsString(kImage)); });
  reader.close();
  // With the map beside the image, errors name methods and source lines.
  if (RunDiagnostics* diagnostics = host.diagnostics()) {
    if (loaded) diagnostics->loadMap(host.directory().join(NString(kImage)).toQString());
    guard.setFatalContext([diagnostics](const QString& message) { return diagnostics->fatalContext(message); });
  }
  guard.run([&] { vm.callGlobalInit(); });
  guard.run([&] { vm.callMain(); });
  return true;
}

#include "ImageStart.h"

#include "CAppsFileReader.h"
#include "ClientVM.h"
#include "HostServices.h"
#include "RunDiagnostics.h"

#include <cstdio>

bool startImage(HostServices& host, ClientVM& vm, const QString& image, const ImageStartHooks& hooks) {
  const NString name = CAppsString::fromQString(image).toNString();
  const QString path = host.directory().join(name).toQString();
  NERIM::InputStream* stream = host.openInputStream(name);
  CAppsFileReader reader(stream);
  if (!stream || !reader.isOpen()) {
    std::fprintf(stderr, "Failed to open '%s'\n", path.toUtf8().constData());
    return false;
  }
  EntryGuard& guard = host.guard();
  guard.setFatalContext([&](const QString&) {
    const std::string& fault = vm.loadFault();
    return fault.empty() ? std::string() : "  " + path.toLocal8Bit().toStdString() + ": " + fault + "\n";
  });
  const bool loaded = guard.run([&] { vm.load(reader, CAppsString::fromQString(image)); });
  reader.close();
  guard.setFatalContext(nullptr);
  // With the map beside the image, errors name methods and source lines.
  if (RunDiagnostics* diagnostics = host.diagnostics()) {
    if (loaded) diagnostics->loadMap(path);
    guard.setFatalContext([diagnostics](const QString& message) { return diagnostics->fatalContext(message); });
  }
  if (loaded && hooks.afterLoad && !hooks.afterLoad()) return false;
  guard.run([&] { vm.callGlobalInit(); });
  guard.run([&] { vm.callMain(); });
  return true;
}

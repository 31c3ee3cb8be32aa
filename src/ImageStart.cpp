#include "ImageStart.h"

#include "CAppsFileReader.h"
#include "ClientVM.h"
#include "HostServices.h"

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
  guard.run([&] { vm.load(reader, CAppsString(kImage)); });
  reader.close();
  guard.run([&] { vm.callGlobalInit(); });
  guard.run([&] { vm.callMain(); });
  return true;
}

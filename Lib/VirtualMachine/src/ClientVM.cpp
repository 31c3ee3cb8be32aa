#include "ClientVM.h"

#include "CAppsFileReader.h"

#include "Errors.h"
#include "RandomGenerator.h"

#include <QString>

const char* const ClientVM::kEntryNames[ClientVM::ENTRY_COUNT] = {
    "::global::init",
    "main",
    "<systemtimerlistener>.systemtimerevent",
    "<application>.draw to<canvas>",
    "<application>.key pressed<keyevent>",
    "<application>.key released<keyevent>",
    "<application>.pointer event<int>at x<int>y<int>modifiers<int>",
    "<application>.exit event",
    "<application>.foreground event",
    "<application>.background event",
    "<screenorientationlistener>.screen orientation changed to<orientation>",
    "<openglapplication>.draw gl",
};

namespace {
constexpr int kRandomStateBytes = 2500;

Vec<int> ints(std::initializer_list<int> list) {
  Vec<int> v;
  for (int x : list) v.append(x);
  return v;
}
}  // namespace

ClientVM::ClientVM(FrameworkServices* host) : iHost(host), iRandomState(new TUint8[kRandomStateBytes]()) {
  for (TInt32& e : iEntries) e = -1;
  initRandomState(iRandomState);
}

ClientVM::~ClientVM() { delete[] iRandomState; }

TInt32 ClientVM::load(CAppsFileReader& reader, const CAppsString& name) {
  Vec<TUint8> bytes;
  if (!reader.readIntoByteVector(bytes)) raise(ERR_IO, "Could not read the image");
  return loadBytes(bytes, name);
}

TInt32 ClientVM::loadBytes(const Vec<TUint8>& image, const CAppsString& name) {
  const TInt32 index = VirtualMachine::load(image, name);
  for (int e = 0; e < ENTRY_COUNT; ++e) iEntries[e] = resolveMethod(QString::fromLatin1(kEntryNames[e]), index);
  return index;
}

void ClientVM::extensionCall(TInt32 group, TInt32 function) {
  if (!iHost) raise(ERR_RUNTIME, "Internal error: no host for extension call");
  iHost->callExtension(iState, group, function);
}

TInt32 ClientVM::immediate(Entry e, const Vec<int>& values, const Vec<int>& levels) {
  if (iEntries[e] < 0) return 0;
  return call(iEntries[e], values, levels, 0);
}

TInt32 ClientVM::deferred(Entry e, const Vec<int>& values, const Vec<int>& levels) {
  if (iEntries[e] < 0) return 0;
  return callMethod(iEntries[e], values, levels, 0);
}

void ClientVM::callGlobalInit() { immediate(ENTRY_GLOBAL_INIT, Vec<int>(), Vec<int>()); }
void ClientVM::callMain() { immediate(ENTRY_MAIN, Vec<int>(), Vec<int>()); }
void ClientVM::callSystemTimer(TUint32 listener) {
  immediate(ENTRY_SYSTEM_TIMER, ints({static_cast<int>(listener)}), ints({0}));
}
void ClientVM::callDraw(TUint32 canvas) {
  if (!hasApplication(ENTRY_DRAW)) return;
  immediate(ENTRY_DRAW, ints({static_cast<int>(iApplicationObject), static_cast<int>(canvas)}), ints({1, 0}));
}
void ClientVM::callKeyPressed(TUint32 keyEvent) {
  if (!hasApplication(ENTRY_KEY_PRESSED)) return;
  deferred(ENTRY_KEY_PRESSED, ints({static_cast<int>(iApplicationObject), static_cast<int>(keyEvent)}), ints({1, 0}));
}
void ClientVM::callKeyReleased(TUint32 keyEvent) {
  if (!hasApplication(ENTRY_KEY_RELEASED)) return;
  deferred(ENTRY_KEY_RELEASED, ints({static_cast<int>(iApplicationObject), static_cast<int>(keyEvent)}), ints({1, 0}));
}
void ClientVM::callPointer(TInt32 kind, TInt32 x, TInt32 y, TInt32 modifiers) {
  if (!hasApplication(ENTRY_POINTER)) return;
  deferred(ENTRY_POINTER, ints({static_cast<int>(iApplicationObject), kind, x, y, modifiers}), ints({1, 0, 0, 0, 0}));
}
void ClientVM::callExit() {
  if (!hasApplication(ENTRY_EXIT)) return;
  deferred(ENTRY_EXIT, ints({static_cast<int>(iApplicationObject)}), ints({1}));
}
void ClientVM::callForeground() {
  if (!hasApplication(ENTRY_FOREGROUND)) return;
  deferred(ENTRY_FOREGROUND, ints({static_cast<int>(iApplicationObject)}), ints({1}));
}
void ClientVM::callBackground() {
  if (!hasApplication(ENTRY_BACKGROUND)) return;
  deferred(ENTRY_BACKGROUND, ints({static_cast<int>(iApplicationObject)}), ints({1}));
}
void ClientVM::callOrientationChanged(TUint32 listener, TInt32 orientation) {
  deferred(ENTRY_ORIENTATION, ints({static_cast<int>(listener), orientation}), ints({0, 0}));
}
void ClientVM::callDrawGl() {
  if (!hasApplication(ENTRY_DRAW_GL)) return;
  immediate(ENTRY_DRAW_GL, ints({static_cast<int>(iApplicationObject)}), ints({1}));
}

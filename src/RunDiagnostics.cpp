#include "RunDiagnostics.h"

#include "Opcodes.h"
#include "VirtualMachine.h"

#include <QFile>
#include <cstdio>
#include <cstring>

namespace {
constexpr TInt32 kChainLines = 24;   // a runaway recursion prints its two ends
}

void RunDiagnostics::loadMap(const QString& imagePath) {
  iHasMap = false;
  QFile image(imagePath);
  if (!image.open(QIODevice::ReadOnly)) return;
  const QByteArray bytes = image.readAll();
  std::string error;
  const QByteArray mapPath = (imagePath + QLatin1String(".map")).toLocal8Bit();
  iHasMap = debuginfo::loadMap(mapPath.toStdString(), reinterpret_cast<const uint8_t*>(bytes.constData()),
                               static_cast<size_t>(bytes.size()), iMap, error);
  if (!error.empty()) std::fprintf(stderr, "Ignoring the map: %s\n", error.c_str());
}

TInt32 RunDiagnostics::codeBase() const {
  const ImageTables& t = iVm.tables();
  return t.images.size() > 0 ? t.images[t.images.size() - 1].codeBase : 0;
}

std::string RunDiagnostics::methodAt(TInt32 pc) const {
  if (!iHasMap || pc < codeBase()) return std::string();
  const debuginfo::MapMethod* m = iMap.methodAt(static_cast<uint32_t>(pc - codeBase()));
  return m ? m->name : std::string();
}

std::string RunDiagnostics::where(TInt32 pc) const {
  const TInt32 size = iVm.tables().codeSize;
  if (pc >= size) {
    const std::string last = size > 0 ? where(size - 1) : "";
    return "the end of the code" + (last.rfind("code offset", 0) == 0 || last.empty() ? " (offset " + std::to_string(pc) + ")"
                                                                                   : ", after " + last);
  }
  const std::string line = iHasMap && pc >= codeBase() ? iMap.sourceLine(static_cast<uint32_t>(pc - codeBase())) : "";
  if (line.empty()) return "code offset " + std::to_string(pc);
  const std::string method = methodAt(pc);
  return method.empty() ? line : method + " (" + line + ")";
}

std::string RunDiagnostics::className(TInt32 id) const {
  const std::string name = iHasMap ? iMap.className(id) : "";
  return name.empty() ? "class " + std::to_string(id) : name + " (class " + std::to_string(id) + ")";
}

bool RunDiagnostics::methodRange(const std::string& name, TInt32& from, TInt32& to) const {
  for (const debuginfo::MapMethod& m : iMap.methods) {
    if (m.name != name) continue;
    from = static_cast<TInt32>(m.start) + codeBase();
    to = static_cast<TInt32>(m.end) + codeBase();
    return true;
  }
  return false;
}

std::string RunDiagnostics::callChain(const Vec<int>& chain) const {
  std::string text;
  for (TInt32 i = 0; i < chain.size(); ++i) {
    if (chain.size() > kChainLines && i == kChainLines / 2) {
      text += "  ... " + std::to_string(chain.size() - kChainLines) + " more calls\n";
      i = chain.size() - kChainLines / 2;
    }
    text += "  at " + where(chain[i]) + "\n";
  }
  return text;
}

// A CALL_VIRTUAL that found no entry: which method, for which class.
std::string RunDiagnostics::virtualCallDetail() const {
  const ImageTables& t = iVm.tables();
  const TInt32 pc = iVm.state().pc;
  if (pc < 0 || pc + 5 > t.codeSize || t.code[pc] != OP_CALL_VIRTUAL) return std::string();
  TInt32 method;
  std::memcpy(&method, t.code.data() + pc + 1, 4);
  const TInt32 sp = iVm.state().sp;
  if (method < 0 || method >= t.exportedMethods.size() || sp < 0 || sp >= kStackSlots) return std::string();
  const TInt32 receiver = static_cast<TInt32>(iVm.state().stack[sp]);
  return "  virtual method \"" + t.exportedMethods[method].name.toQString().toStdString() +
         "\" has no entry for " + className(receiver) + "\n";
}

std::string RunDiagnostics::fatalContext(const QString& message) const {
  if (iVm.busyHandle() < 0 || iVm.state().pc < 0) return std::string();
  std::string text;
  if (message.endsWith(QLatin1String("Invalid type in virtual method call"))) text += virtualCallDetail();
  return text + callChain(iVm.callChain());
}

void RunDiagnostics::raised(TInt32) {
  iRaisedChain = iVm.callChain();
  iRaisedSp = iVm.state().sp;
  iRaisedDepth = iVm.frameDepth();
}

void RunDiagnostics::uncaught(TUint32 throwable, TInt32) {
  TInt32 cls = -1;
  if (vmOpen(throwable, 4)) std::memcpy(&cls, vmPtr(throwable), 4);
  // A converted error is thrown by the internal-throw hook, which runs in the
  // raising method's frame just above its slots: name where it was raised.
  const TInt32 above = iVm.state().sp - iRaisedSp;
  const bool fromRaise = iRaisedDepth == iVm.frameDepth() && above > 0 && above <= 16;
  const std::string text =
      "Uncaught exception: " + className(cls) + "\n" + callChain(fromRaise ? iRaisedChain : iVm.callChain());
  iRaisedDepth = -1;
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

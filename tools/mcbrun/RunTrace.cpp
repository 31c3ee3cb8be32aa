#include "RunTrace.h"

#include "Opcodes.h"
#include "VirtualMachine.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/time.h>
#include <vector>

namespace {

constexpr TInt32 kTraceTop = 3;      // stack slots shown per instruction
constexpr int kSampleMicros = 1000;  // one sample per millisecond of CPU time
constexpr size_t kReportRows = 10;

volatile std::sig_atomic_t gSampleDue = 0;
void onProfileTimer(int) { gSampleDue = 1; }

}  // namespace

std::string instructionText(VirtualMachine& vm, TInt32 pc) {
  const ImageTables& t = vm.tables();
  if (pc < 0 || pc >= t.codeSize) return "(end of code)";
  const TUint8 op = t.code[pc];
  if (!isOpcode(op) || pc + instructionLength(op) > t.codeSize) return "(invalid byte " + std::to_string(op) + ")";
  std::string text = kOpcodeInfo[op].name;
  TInt32 at = pc + 1;
  for (const char* k = kOpcodeInfo[op].operands; *k; ++k) {
    const int bytes = *k == 'q' ? 8 : *k == 'w' ? 4 : *k == 'h' ? 2 : 1;
    TUint64 v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | t.code[at + i];
    at += bytes;
    const TInt64 n = *k == 'b' ? static_cast<TInt8>(v) : *k == 'B' ? static_cast<TInt64>(v)
                   : *k == 'h' ? static_cast<TInt16>(v) : *k == 'w' ? static_cast<TInt32>(v) : static_cast<TInt64>(v);
    text += (k == kOpcodeInfo[op].operands ? " " : ", ") + std::to_string(n);
  }
  return text;
}

void RunTrace::step(TInt32 pc, TInt32 sp) {
  std::string line = "TRACE: " + iDiagnostics.where(pc) + ": " + instructionText(iVm, pc) + " | sp " + std::to_string(sp);
  if (sp >= 0) {
    line += ":";
    for (TInt32 i = std::max(0, sp - kTraceTop + 1); i <= sp && i < kStackSlots; ++i)
      line += " " + std::to_string(static_cast<TInt32>(iVm.state().stack[i]));
  }
  line += "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
}

RunProfile::RunProfile(VirtualMachine& vm, RunDiagnostics& diagnostics) : iVm(vm), iDiagnostics(diagnostics) {
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = onProfileTimer;
  action.sa_flags = SA_RESTART;
  sigaction(SIGPROF, &action, nullptr);
  const itimerval every = {{0, kSampleMicros}, {0, kSampleMicros}};
  setitimer(ITIMER_PROF, &every, nullptr);
}

RunProfile::~RunProfile() {
  const itimerval off = {{0, 0}, {0, 0}};
  setitimer(ITIMER_PROF, &off, nullptr);
  signal(SIGPROF, SIG_IGN);
}

// The timer marks a sample due; it goes to the instruction that was running
// (the one before this step), which includes the natives it called.
void RunProfile::step(TInt32 pc, TInt32) {
  if (gSampleDue) {
    gSampleDue = 0;
    if (iLastPc >= 0) ++iSamples[iLastPc];
  }
  iLastPc = pc;
}

std::string RunProfile::report() const {
  TInt64 total = 0;
  std::map<std::string, TInt64> methods, lines;
  for (const auto& s : iSamples) {
    total += s.second;
    const std::string method = iDiagnostics.methodAt(s.first);
    methods[method.empty() ? "(no map: offsets)" : method] += s.second;
    lines[iDiagnostics.where(s.first)] += s.second;
  }
  std::string text = "PROFILE: " + std::to_string(total) + " samples of " + std::to_string(kSampleMicros) +
                     " us CPU time\n";
  auto rows = [&](const char* title, const std::map<std::string, TInt64>& counts) {
    std::vector<std::pair<TInt64, std::string>> sorted;
    for (const auto& c : counts) sorted.emplace_back(c.second, c.first);
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    text += std::string("PROFILE: hottest ") + title + "\n";
    for (size_t i = 0; i < sorted.size() && i < kReportRows; ++i) {
      char percent[16];
      std::snprintf(percent, sizeof percent, "%5.1f%%", 100.0 * sorted[i].first / std::max<TInt64>(total, 1));
      text += "PROFILE: " + std::string(percent) + " " + sorted[i].second + "\n";
    }
  };
  rows("methods", methods);
  rows("lines", lines);
  return text;
}

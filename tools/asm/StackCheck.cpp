// Checks of an assembled program that find mistakes the image would only
// show at run time: the stack depth followed through every path of each
// method (where paths meet, below the frame, at RETURN, around calls),
// frame distances that reach the return address or leave the frame, a
// method that can fall off its end, and an image without `main`. Slot names
// (.arg, .local) get their distances here, from the depth at each use.
//
// Depths count the slots above the method's return-address slot (0 on
// entry). A native whose table gives no plain stack effect, an extension
// call or raw bytes make the depth unknown; nothing is reported from an
// unknown depth, and a known one from another path takes its place.
#include "AsmProgram.h"
#include "NativeRegistry.h"
#include "ImageModel.h"
#include "Opcodes.h"

#include <algorithm>
#include <climits>
#include <map>
#include <cstring>
#include <set>
#include <sstream>

namespace mcb {


namespace {

constexpr int kUnset = INT_MIN;
constexpr int kUnknown = INT_MIN + 1;

// Slots of one word of a native's effect ("str", "f", "int x7"); -1 unknown.
int effectSlots(const std::string& word) {
  std::istringstream in(word);
  std::string type, times;
  in >> type >> times;
  int n = 1;
  if (!times.empty()) {
    if (times[0] != 'x' || times.size() < 2) return -1;
    n = std::atoi(times.c_str() + 1);
  }
  std::string rest;
  if (in >> rest) return -1;
  static const std::set<std::string> one = {"int", "i", "n", "pos", "step", "c", "cs", "str", "s", "t", "ref",
                                            "cell", "1|0", "bool", "radix", "value", "word", "d", "b", "x", "y",
                                            "l", "float", "fref", "timer", "listener", "event", "writer", "reader",
                                            "hash", "algorithm", "timezone", "append", "index", "count", "colour"};
  static const std::set<std::string> two = {"f", "range"};
  if (one.count(type)) return n;
  if (two.count(type)) return 2 * n;
  return -1;
}

// "a, b -> r": the slots the arguments and the result take.
bool nativeEffect(int group, int op, int& pops, int& pushes) {
  const native::Operation* row = native::operation(group, op);
  if (!row || !row->effect) return false;
  const std::string e = row->effect;
  const size_t arrow = e.find("->");
  if (arrow == std::string::npos || e.find('(') != std::string::npos) return false;
  auto sum = [](const std::string& list, int& out) {
    out = 0;
    std::string item;
    std::istringstream in(list);
    while (std::getline(in, item, ',')) {
      const size_t a = item.find_first_not_of(' '), b = item.find_last_not_of(' ');
      if (a == std::string::npos) continue;
      const int n = effectSlots(item.substr(a, b - a + 1));
      if (n < 0) return false;
      out += n;
    }
    return true;
  };
  return sum(e.substr(0, arrow), pops) && sum(e.substr(arrow + 2), pushes);
}

// The methods by first item, and what a call of each takes from the
// caller's stack: RETURN a, b drops b - a - 1 of the caller's slots (its
// parameters, unless the method leaves some as results). -1 when its
// RETURNs disagree or it has none.
struct Methods {
  std::map<std::string, std::pair<size_t, size_t>> range;   // name -> items [begin, end)

  int callerDrop(const AsmProgram& p, const std::string& name) const {
    auto it = range.find(name);
    if (it == range.end()) return -1;
    int drop = -1;
    for (size_t i = it->second.first; i < it->second.second; ++i) {
      const CodeItem& c = p.code[i];
      if (c.opcode != OP_RETURN || c.operands.size() != 2 || c.operands[0].kind != Token::Number ||
          c.operands[1].kind != Token::Number)
        continue;
      const int64_t d = c.operands[1].number - c.operands[0].number - 1;
      if (drop >= 0 && d != drop) return -1;
      drop = static_cast<int>(d);
    }
    return drop;
  }
};

struct Step {
  int depth = kUnknown;        // after the item
  bool fallsThrough = true;
  std::vector<std::pair<size_t, int>> jumps;   // item, depth there
};

class MethodCheck {
 public:
  MethodCheck(const AsmProgram& p, const Methods& methods, ImageModel& image, std::vector<AsmError>& warnings,
              std::vector<AsmError>& errors, size_t begin, size_t end, const std::string& name, const Record& record,
              const std::string& next)
      : p(p), methods(methods), image(image), warnings(warnings), errors(errors), begin(begin), end(end), name(name),
        params(record.params), results(record.results), next(next), depths(end - begin, kUnset) {}

  void run() {
    std::vector<std::pair<size_t, int>> work = {{begin, 0}};
    while (!work.empty()) {
      const auto at = work.back();
      work.pop_back();
      if (!arrive(at.first, at.second)) continue;
      const Step s = step(p.code[at.first], depths[at.first - begin]);
      for (const auto& j : s.jumps)
        if (j.first >= begin && j.first < end) work.push_back(j);
      if (!s.fallsThrough) continue;
      if (at.first + 1 < end) work.emplace_back(at.first + 1, s.depth);
      else fellOff(p.code[at.first]);
    }
  }

 private:
  const AsmProgram& p;
  const Methods& methods;
  ImageModel& image;
  int drop = -1;   // b - a - 1 of this method's first RETURN
  std::vector<AsmError>& warnings;
  std::vector<AsmError>& errors;
  size_t begin, end;
  std::string name;
  int params, results;
  std::string next;
  std::vector<int> depths;
  std::set<size_t> reported;
  bool fell = false;

  void warn(const CodeItem& c, const std::string& m) {
    warnings.push_back(AsmError{c.loc.file, c.loc.line, c.loc.column, m, true});
  }
  static std::string mnemonic(const CodeItem& c) { return c.opcode >= 0 ? kOpcodeInfo[c.opcode].name : ".bytes"; }

  // Records the depth an item is reached with; true when it must be (re)visited.
  bool arrive(size_t i, int d) {
    int& have = depths[i - begin];
    if (have == kUnset || (have == kUnknown && d != kUnknown)) return have = d, true;
    if (d != kUnknown && have != kUnknown && d != have && reported.insert(i).second)
      warn(p.code[i], "paths meet here with different stack depths (" + std::to_string(have) + " and " +
                          std::to_string(d) + ")");
    return false;
  }

  void fellOff(const CodeItem& c) {
    if (fell) return;
    fell = true;
    warn(c, "method '" + name + "' can fall off its end " +
                (next.empty() ? std::string("past the end of the code") : "into '" + next + "'") +
                " (no RETURN, JUMP or THROW)");
  }

  int record(const Token& t, int64_t& index) const {
    if (t.kind == Token::Number) return index = t.number, 1;
    auto it = p.recordByName.find(t.text);
    if (it == p.recordByName.end()) return 0;
    return index = it->second, 1;
  }
  // The record of a call's target and what the call takes from this stack.
  const Record* callee(const CodeItem& c, int& taken) const {
    const Record* r = calleeRecord(c);
    const int d = c.operands.empty() ? -1 : methods.callerDrop(p, c.operands[0].text);
    taken = d >= 0 ? d : r ? r->params : -1;
    return r;
  }
  const Record* calleeRecord(const CodeItem& c) const {
    int64_t r = -1;
    if (c.operands.size() == 2 && !record(c.operands[1], r)) return nullptr;
    if (c.operands.size() == 1) {
      auto it = p.methodRecord.find(c.operands[0].text);
      if (it == p.methodRecord.end()) return nullptr;
      r = it->second;
    }
    return r >= 0 && r < static_cast<int64_t>(p.records.size()) ? &p.records[static_cast<size_t>(r)] : nullptr;
  }
  const Record* virtualCallee(const CodeItem& c, int& taken) const {
    const Record* found = nullptr;
    taken = -2;
    for (const PendingDirective& d : p.directives) {
      if (c.operands.empty() || d.name != c.operands[0].text) continue;
      for (const PendingEntry& e : d.entries) {
        const int t = methods.callerDrop(p, e.label.token.text);
        if (taken != -2 && t != taken) taken = -1;
        else taken = t;
        int64_t r = -1;
        if (e.hasRecord) {
          if (!record(e.record.token, r)) return nullptr;
        } else {
          auto it = p.methodRecord.find(e.label.token.text);
          if (it == p.methodRecord.end()) return nullptr;
          r = it->second;
        }
        if (r < 0 || r >= static_cast<int64_t>(p.records.size())) return nullptr;
        const Record& rec = p.records[static_cast<size_t>(r)];
        if (found && (found->params != rec.params || found->results != rec.results)) return nullptr;
        found = &rec;
      }
    }
    if (found && taken < 0) taken = found->params;
    return found;
  }
  size_t labelItem(const Token& t) const {
    auto it = p.labelItem.find(t.text);
    return t.kind == Token::Ident && it != p.labelItem.end() ? it->second : SIZE_MAX;
  }
  int64_t number(const CodeItem& c, size_t i) const {
    return i < c.operands.size() && c.operands[i].kind == Token::Number ? c.operands[i].number : 0;
  }

  // A frame distance: check where it lands, or place a slot name.
  void slot(const CodeItem& c, int d) {
    if (c.operands.size() != 1) return;
    const Token& t = c.operands[0];
    int target = 0;
    if (t.kind == Token::Ident) {
      if (!p.slotOf(c, t.text, target)) return;
      if (d == kUnknown) {
        errors.push_back(AsmError{c.loc.file, c.loc.line, t.column,
                                  "the stack depth is not known here (after a native call or raw bytes without "
                                  "a plain stack effect), so '" + t.text + "' cannot be placed: give a number"});
        return;
      }
      const int64_t distance = static_cast<int64_t>(target) - (d + 1);
      const bool wide = kOpcodeInfo[c.opcode].operands[0] == 'w';
      if (!wide && (distance < -128 || distance > 127)) {
        errors.push_back(AsmError{c.loc.file, c.loc.line, t.column, "'" + t.text + "' is " +
                                  std::to_string(distance) + " slots away: use the 32-bit form"});
        return;
      }
      for (int k = 0; k < (wide ? 4 : 1); ++k)
        image.code[c.address + 1 + k] = static_cast<uint8_t>(static_cast<uint64_t>(distance) >> (8 * k));
      return;
    }
    if (d == kUnknown || t.kind != Token::Number) return;
    target = static_cast<int>(d + 1 + t.number);
    const std::string what = mnemonic(c) + " " + t.text + " at stack depth " + std::to_string(d);
    if (target == 0) warn(c, what + " reaches the return-address slot");
    else if (target < -(params + results))
      warn(c, what + " reaches below the frame (its lowest slot is " + std::to_string(-(params + results)) + ")");
    else if (target > d) warn(c, what + " reaches above the top of the stack");
  }

  Step effect(const CodeItem& c, int d, int pops, int pushes) {
    Step s;
    if (d == kUnknown) return s;
    if (pops > d) {
      warn(c, mnemonic(c) + " takes " + std::to_string(pops) + " slot" + (pops == 1 ? "" : "s") +
                  " but the stack holds " + std::to_string(d) + " above the return address here");
      return s;
    }
    s.depth = d - pops + pushes;
    return s;
  }

  Step step(const CodeItem& c, int d) {
    Step s;
    if (c.opcode < 0) return s;   // raw bytes: unknown from here
    const OpcodeInfo& info = kOpcodeInfo[c.opcode];
    if (takesSlot(c.opcode)) slot(c, d);
    const int64_t n = number(c, 0);
    switch (c.opcode) {
      case OP_RESERVE8:
      case OP_RESERVE32:
        return n > 0 ? effect(c, d, 0, static_cast<int>(n)) : effect(c, d, static_cast<int>(-n), 0);
      case OP_PACK8:
      case OP_PACK32:
        return n > 0 ? effect(c, d, static_cast<int>(n), 1) : effect(c, d, 0, static_cast<int>(1 - n));
      case OP_LOAD_WORDS8:
      case OP_LOAD_WORDS32: return effect(c, d, 1, static_cast<int>(std::max<int64_t>(n, 0)));
      case OP_STORE_WORDS8:
      case OP_STORE_WORDS32: return effect(c, d, static_cast<int>(std::max<int64_t>(n, 0) + 1), 0);
      case OP_SIGN_EXTEND_BYTES: {
        const int k = static_cast<int>(std::max<int64_t>(n, 0));
        return effect(c, d, k, k);
      }
      case OP_NATIVE_CALL: {
        int group = -1, op = -1, pops = 0, pushes = 0;
        if (c.operands.size() == 2) {
          const Token& g = c.operands[0];
          const Token& o = c.operands[1];
          group = g.kind == Token::Number ? static_cast<int>(g.number) : calleeByName(OP_NATIVE_CALL, g.text);
          if (o.kind == Token::Number) op = static_cast<int>(o.number);
          else if (!operationByName(OP_NATIVE_CALL, group, o.text, op)) op = -1;
        }
        if (!nativeEffect(group, op, pops, pushes)) return s;
        return effect(c, d, pops, pushes);
      }
      case OP_EXTENSION_CALL: return s;
      case OP_CALL:
      case OP_CALL_VIRTUAL: {
        int taken = -1;
        const Record* r = c.opcode == OP_CALL ? callee(c, taken) : virtualCallee(c, taken);
        if (!r || taken < 0) return s;
        const int extra = c.opcode == OP_CALL_VIRTUAL ? 1 : 0;
        if (d != kUnknown && d < r->params + r->results + extra) {
          warn(c, mnemonic(c) + " needs " + std::to_string(r->results) + " result and " + std::to_string(r->params) +
                      " parameter slots" + (extra ? " and the class id" : "") + " on the stack, but it holds " +
                      std::to_string(d) + " here");
          return s;
        }
        return effect(c, d, taken + extra, 0);
      }
      case OP_RETURN: {
        s.fallsThrough = false;
        if (d == kUnknown || c.operands.size() != 2) return s;
        const int64_t a = number(c, 0), b = number(c, 1);
        const int64_t keep = b - a - 1;   // the caller's slots it drops
        if (a != d)
          warn(c, "RETURN " + std::to_string(a) + ", " + std::to_string(b) + " at stack depth " + std::to_string(d) +
                      ": the return address is " + std::to_string(d) + " below the top (expected RETURN " +
                      std::to_string(d) + ", " + std::to_string(d + 1 + (drop >= 0 ? drop : params)) + ")");
        else if (drop < 0)
          drop = static_cast<int>(keep);
        else if (keep != drop)
          warn(c, "RETURN " + std::to_string(a) + ", " + std::to_string(b) + " drops " + std::to_string(keep) +
                      " of the caller's slots where an earlier RETURN drops " + std::to_string(drop));
        return s;
      }
      case OP_THROW:
        s.fallsThrough = false;
        return s;
      case OP_JUMP16:
      case OP_JUMP32:
        s.fallsThrough = false;
        if (!c.operands.empty() && labelItem(c.operands[0]) != SIZE_MAX) s.jumps.emplace_back(labelItem(c.operands[0]), d);
        return s;
      case OP_JUMP_IF_FALSE16:
      case OP_JUMP_IF_FALSE32:
        s = effect(c, d, 1, 0);
        if (!c.operands.empty() && labelItem(c.operands[0]) != SIZE_MAX)
          s.jumps.emplace_back(labelItem(c.operands[0]), s.depth);
        return s;
      case OP_TRY:
        s.depth = d;
        if (c.operands.size() == 2 && labelItem(c.operands[1]) != SIZE_MAX)
          s.jumps.emplace_back(labelItem(c.operands[1]), d == kUnknown ? kUnknown : d + 1);
        return s;
      default: return effect(c, d, info.pops, info.pushes);
    }
  }
};

}  // namespace

void checkProgram(const AsmProgram& p, ImageModel& image, std::vector<AsmError>& warnings,
                  std::vector<AsmError>& errors) {
  struct Method {
    size_t item;
    std::string name;
    int record;
  };
  std::vector<Method> methods;
  for (const auto& m : p.methodRecord) {
    auto it = p.labelItem.find(m.first);
    if (it != p.labelItem.end()) methods.push_back(Method{it->second, m.first, m.second});
  }
  std::stable_sort(methods.begin(), methods.end(), [](const Method& a, const Method& b) { return a.item < b.item; });
  Methods ranges;
  for (size_t i = 0; i < methods.size(); ++i)
    ranges.range[methods[i].name] = {methods[i].item, i + 1 < methods.size() ? methods[i + 1].item : p.code.size()};
  std::vector<AsmError> found;
  for (size_t i = 0; i < methods.size(); ++i) {
    const size_t end = ranges.range[methods[i].name].second;
    if (methods[i].item >= end) continue;
    MethodCheck(p, ranges, image, found, errors, methods[i].item, end, methods[i].name,
                p.records[static_cast<size_t>(methods[i].record)], i + 1 < methods.size() ? methods[i + 1].name : "")
        .run();
  }
  std::stable_sort(found.begin(), found.end(), [](const AsmError& a, const AsmError& b) {
    return a.file != b.file ? a.file < b.file : a.line < b.line;
  });
  warnings.insert(warnings.end(), found.begin(), found.end());
  bool hasMain = false;
  for (const PendingExport& e : p.exports) hasMain = hasMain || e.name == "main";
  if (!hasMain)
    warnings.push_back(AsmError{p.topFile, 0, 0, "no method is exported as \"main\", so the host runs nothing "
                                                  "(add export=\"main\" to a .method)", true});
}

}  // namespace mcb

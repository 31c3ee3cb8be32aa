// Prints an image model as assembly source. Every choice the assembler
// could make differently is written out (widths, short or long forms,
// records, the string pool order), so assembling the output gives back the
// same bytes.
#include "Assembler.h"
#include "ImageFile.h"
#include "Opcodes.h"
#include "SourceLexer.h"

#include <cstdio>
#include <map>
#include <set>
#include <sstream>

namespace mcb {
namespace {

int64_t readOperand(const std::vector<uint8_t>& code, size_t at, char kind) {
  const int bytes = kind == 'q' ? 8 : kind == 'w' ? 4 : kind == 'h' ? 2 : 1;
  uint64_t v = 0;
  for (int k = bytes - 1; k >= 0; --k) v = (v << 8) | code[at + k];
  switch (kind) {
    case 'b': return static_cast<int8_t>(v);
    case 'B': return static_cast<uint8_t>(v);
    case 'h': return static_cast<int16_t>(v);
    case 'w': return static_cast<int32_t>(v);
    default: return static_cast<int64_t>(v);
  }
}

struct Insn {
  size_t at;
  int op;   // -1: a byte that starts no complete instruction
  std::vector<int64_t> v;
};

class Printer {
 public:
  Printer(const ImageModel& m, const DisassemblyNames& names) : m(m), names(names) {}
  std::string run();

 private:
  const ImageModel& m;
  const DisassemblyNames& names;
  std::vector<Insn> insns;
  std::set<int64_t> starts, labels;
  std::ostringstream o;

  void decode();
  void collectLabels();
  std::string labelName(int64_t a) const {
    auto it = names.labels.find(a);
    return it != names.labels.end() ? it->second : "L_" + std::to_string(a);
  }
  std::string target(int64_t a) const { return labels.count(a) ? labelName(a) : std::to_string(a); }
  std::string klass(int64_t id) const {
    if (id < 0 || id >= static_cast<int64_t>(m.classes.size())) return std::to_string(id);
    auto it = names.classes.find(id);
    return it != names.classes.end() ? it->second : "C" + std::to_string(id);
  }
  void header();
  void classes();
  void records();
  void tables();
  void code();
  std::string operands(const Insn& i) const;
};

void Printer::decode() {
  const std::vector<uint8_t>& c = m.code;
  for (size_t at = 0; at < c.size();) {
    const int op = c[at];
    Insn i{at, -1, {}};
    if (isOpcode(op) && at + instructionLength(op) <= c.size()) {
      i.op = op;
      size_t k = at + 1;
      for (const char* kind = kOpcodeInfo[op].operands; *kind; ++kind) {
        i.v.push_back(readOperand(c, k, *kind));
        k += *kind == 'q' ? 8 : *kind == 'w' ? 4 : *kind == 'h' ? 2 : 1;
      }
    }
    starts.insert(static_cast<int64_t>(at));
    insns.push_back(i);
    at += i.op < 0 ? 1 : instructionLength(op);
  }
  starts.insert(static_cast<int64_t>(c.size()));
}

void Printer::collectLabels() {
  auto want = [&](int64_t a) {
    if (starts.count(a)) labels.insert(a);
  };
  for (const Insn& i : insns) {
    const int64_t a = static_cast<int64_t>(i.at);
    if (i.op == OP_JUMP16 || i.op == OP_JUMP_IF_FALSE16) want(a + 2 + i.v[0]);
    if (i.op == OP_JUMP32 || i.op == OP_JUMP_IF_FALSE32) want(a + 4 + i.v[0]);
    if (i.op == OP_TRY) want(a + 8 + i.v[1] + 1);
    if (i.op == OP_CALL) want(i.v[0]);
  }
  for (const auto& l : names.labels) want(l.first);
  for (const ExportEntry& e : m.exports) want(e.code);
  for (const Directive& d : m.directives)
    for (const DirectiveEntry& e : d.entries) want(e.code);
}

void Printer::header() {
  o << "; disassembled by mcbdis\n";
  o << ".tag " << quoteString(m.tag) << "\n.widths";
  for (int w : m.widths) o << " " << w;
  o << "\n.globals " << static_cast<uint32_t>(m.globals) << "\n";
  for (const std::string& s : m.strings) o << ".string " << quoteString(s) << "\n";
}

template <typename T>
void list(std::ostringstream& o, const char* key, const std::vector<T>& v) {
  if (v.empty()) return;
  o << " " << key << "=";
  for (size_t i = 0; i < v.size(); ++i) o << (i ? "," : "") << v[i];
}

void vectorList(std::ostringstream& o, const char* key, const std::vector<VectorSlot>& v) {
  if (v.empty()) return;
  o << " " << key << "=";
  for (size_t i = 0; i < v.size(); ++i) {
    o << (i ? "," : "") << v[i].offset << ":";
    if (v[i].flag == 0xFF) o << "ref";
    else if (v[i].flag == 0) o << "data";
    else o << static_cast<int>(v[i].flag);
  }
}

void Printer::classes() {
  for (size_t i = 0; i < m.classes.size(); ++i) {
    const ClassDef& c = m.classes[i];
    o << ".class " << klass(static_cast<int64_t>(i)) << " width=" << c.width;
    if (c.superFlag) o << " super=" << klass(c.super);
    list(o, "refs", c.refs);
    vectorList(o, "vectors", c.vectors);
    if (!c.interfaces.empty()) {
      o << " interfaces=";
      for (size_t k = 0; k < c.interfaces.size(); ++k) o << (k ? "," : "") << klass(c.interfaces[k]);
    }
    o << "\n";
  }
}

void Printer::records() {
  for (size_t i = 0; i < m.records.size(); ++i) {
    const Record& r = m.records[i];
    o << ".record R" << i << " width=" << r.width << " params=" << static_cast<uint32_t>(r.params)
      << " results=" << static_cast<uint32_t>(r.results) << " locals=" << static_cast<uint32_t>(r.locals);
    list(o, "paramrefs", r.paramRefs);
    vectorList(o, "paramvectors", r.paramVectors);
    list(o, "localrefs", r.localRefs);
    vectorList(o, "localvectors", r.localVectors);
    o << "\n";
  }
}

void Printer::tables() {
  for (const ExportEntry& e : m.exports)
    o << ".export " << quoteString(e.name) << " " << target(e.code) << " record=" << e.record << "\n";
  for (const Directive& d : m.directives) {
    o << ".virtual " << quoteString(d.name) << "\n";
    for (const DirectiveEntry& e : d.entries)
      o << "  " << klass(e.classId) << " " << target(e.code) << " record=" << e.record << "\n";
    o << ".end\n";
  }
}

std::string Printer::operands(const Insn& i) const {
  std::ostringstream s;
  const int64_t a = static_cast<int64_t>(i.at);
  auto first = [&](const std::string& text, const std::vector<std::string>& pool) {
    for (size_t k = 0; k < pool.size(); ++k)
      if (pool[k] == text) return static_cast<int64_t>(k);
    return static_cast<int64_t>(-1);
  };
  switch (i.op) {
    case OP_JUMP16:
    case OP_JUMP_IF_FALSE16:
      return labels.count(a + 2 + i.v[0]) ? target(a + 2 + i.v[0]) : std::to_string(i.v[0]);
    case OP_JUMP32:
    case OP_JUMP_IF_FALSE32:
      return labels.count(a + 4 + i.v[0]) ? target(a + 4 + i.v[0]) : std::to_string(i.v[0]);
    case OP_TRY: {
      const int64_t resume = a + 8 + i.v[1] + 1;
      s << klass(i.v[0]) << ", " << (labels.count(resume) ? target(resume) : std::to_string(i.v[1]));
      return s.str();
    }
    case OP_CALL:
      s << target(i.v[0]) << ", " << i.v[1];
      return s.str();
    case OP_SET_CLASS:
    case OP_CHECK_CAST:
    case OP_INSTANCE_OF: return klass(i.v[0]);
    case OP_PUSH_STRING: {
      const int64_t id = i.v[0];
      if (id >= 0 && id < static_cast<int64_t>(m.strings.size()) && first(m.strings[id], m.strings) == id)
        return quoteString(m.strings[id]);
      return std::to_string(id);
    }
    case OP_CALL_VIRTUAL: {
      const int64_t id = i.v[0];
      if (id >= 0 && id < static_cast<int64_t>(m.directives.size())) {
        int64_t k = 0;
        while (m.directives[k].name != m.directives[id].name) ++k;
        if (k == id) return quoteString(m.directives[id].name);
      }
      return std::to_string(id);
    }
    case OP_NATIVE_CALL:
    case OP_EXTENSION_CALL:
      if (const char* g = calleeName(i.op, static_cast<int>(i.v[0]))) {
        const char* op = operationName(i.op, static_cast<int>(i.v[0]), static_cast<int>(i.v[1]));
        s << g << " ";
        if (op) s << op;
        else s << i.v[1];
        return s.str();
      }
      break;
    default: break;
  }
  for (size_t k = 0; k < i.v.size(); ++k) s << (k ? ", " : "") << i.v[k];
  return s.str();
}

void Printer::code() {
  o << "\n";
  std::vector<uint8_t> run;
  auto flush = [&]() {
    if (run.empty()) return;
    o << "  .bytes";
    for (uint8_t b : run) o << " " << static_cast<int>(b);
    o << "\n";
    run.clear();
  };
  std::string lastLine;
  for (const Insn& i : insns) {
    if (labels.count(static_cast<int64_t>(i.at))) {
      flush();
      o << labelName(static_cast<int64_t>(i.at)) << ":\n";
    }
    auto line = names.lines.find(static_cast<int64_t>(i.at));
    if (line != names.lines.end() && line->second != lastLine) {
      flush();
      o << "  ; " << line->second << "\n";
      lastLine = line->second;
    }
    if (i.op < 0) {
      run.push_back(m.code[i.at]);
      continue;
    }
    flush();
    o << "  " << kOpcodeInfo[i.op].name;
    const std::string ops = operands(i);
    if (!ops.empty()) o << " " << ops;
    o << "\n";
  }
  flush();
  if (labels.count(static_cast<int64_t>(m.code.size()))) o << labelName(static_cast<int64_t>(m.code.size())) << ":\n";
}

std::string Printer::run() {
  if (m.raw) {
    o << ".rawimage\n";
    for (uint8_t b : m.rawBytes) o << ".bytes " << static_cast<int>(b) << "\n";
    return o.str();
  }
  decode();
  collectLabels();
  header();
  classes();
  records();
  tables();
  code();
  return o.str();
}

}  // namespace

std::string disassemble(const ImageModel& m, const DisassemblyNames& names) { return Printer(m, names).run(); }

DisassemblyNames namesFromMap(const std::string& path, const std::vector<uint8_t>& image) {
  DisassemblyNames names;
  debuginfo::DebugMap map;
  std::string error;
  if (!debuginfo::loadMap(path, image.data(), image.size(), map, error)) {
    if (!error.empty()) std::fprintf(stderr, "mcbdis: ignoring the map: %s\n", error.c_str());
    return names;
  }
  for (const auto& l : map.labels) names.labels.emplace(l.first, l.second);
  for (const debuginfo::MapMethod& mm : map.methods) names.labels[mm.start] = mm.name;
  for (const auto& c : map.classes) names.classes[c.first] = c.second;
  for (const debuginfo::MapLine& l : map.lines)
    names.lines[l.offset] = map.sources[static_cast<size_t>(l.source)] + ":" + std::to_string(l.line);
  return names;
}

}  // namespace mcb

// Second pass: places the code (choosing jump sizes), resolves names and
// encodes every instruction into the image model.
#include "AsmProgram.h"
#include "GcCode.h"
#include "Opcodes.h"

namespace mcb {

int CodeItem::size() const { return opcode < 0 ? static_cast<int>(raw.size()) : instructionLength(opcode); }

namespace {

class Resolver {
 public:
  Resolver(AsmProgram& p, std::vector<AsmError>& errors) : p(p), errors(errors) {}
  bool run(ImageModel& out);

 private:
  AsmProgram& p;
  std::vector<AsmError>& errors;
  uint32_t codeSize = 0;

  void error(const Loc& l, int column, const std::string& m) { errors.push_back(AsmError{l.file, l.line, column, m}); }
  void layout();
  bool labelAddress(const Token& t, const Loc& l, int64_t& out);
  bool classId(const Token& t, const Loc& l, int64_t& out);
  bool recordIndex(const Token& t, const Loc& l, int64_t& out);
  bool literal(const Token& t, const Loc& l, char kind, int64_t& out);
  int64_t jumpOffset(const CodeItem& c, int64_t target) const;
  void encode(const CodeItem& c, std::vector<uint8_t>& code);
  bool operands(const CodeItem& c, std::vector<int64_t>& v);
  void buildTables(ImageModel& out);
};

bool fits(int64_t v, char kind) {
  switch (kind) {
    case 'b': return v >= -128 && v <= 127;
    case 'B': return v >= 0 && v <= 255;
    case 'h': return v >= -32768 && v <= 32767;
    case 'w': return v >= INT32_MIN && v <= static_cast<int64_t>(UINT32_MAX);
    default: return true;
  }
}

bool isJump(int op) { return op == OP_JUMP16 || op == OP_JUMP32 || op == OP_JUMP_IF_FALSE16 || op == OP_JUMP_IF_FALSE32; }

bool explicitId(const Token& t, int64_t& out) {
  if (t.kind != Token::Ident || t.text.size() < 2 || t.text[0] != '#') return false;
  std::string error;
  std::vector<Token> n;
  int column = 0;
  if (!tokenizeLine(t.text.substr(1), n, error, column) || n.size() != 1 || n[0].kind != Token::Number) return false;
  out = n[0].number;
  return true;
}

// Places every item; a jump to a label starts short and grows to the long
// form when its offset does not fit. Sizes only grow, so this ends.
void Resolver::layout() {
  for (bool changed = true; changed;) {
    changed = false;
    uint32_t a = 0;
    for (CodeItem& c : p.code) {
      c.address = a;
      a += c.size();
    }
    codeSize = a;
    for (CodeItem& c : p.code) {
      if (c.shortOp < 0 || c.opcode == c.longOp || c.operands.size() != 1) continue;
      const Token& t = c.operands[0];
      int64_t off = 0;
      if (t.kind == Token::Number) off = t.number;
      else {
        auto it = p.labelItem.find(t.text);
        if (it == p.labelItem.end()) continue;
        off = jumpOffset(c, it->second < p.code.size() ? p.code[it->second].address : a);
      }
      if (!fits(off, 'h')) {
        c.opcode = c.longOp;
        changed = true;
      }
    }
  }
}

int64_t Resolver::jumpOffset(const CodeItem& c, int64_t target) const {
  const int64_t base = (c.opcode == OP_JUMP16 || c.opcode == OP_JUMP_IF_FALSE16) ? 2 : 4;
  return target - c.address - base;
}

// A label, or a literal code offset (for offsets that are not instruction starts).
bool Resolver::labelAddress(const Token& t, const Loc& l, int64_t& out) {
  if (t.kind == Token::Number && fits(t.number, 'w')) return out = t.number, true;
  if (t.kind != Token::Ident) return error(l, t.column, "expected a label"), false;
  auto it = p.labelItem.find(t.text);
  if (it == p.labelItem.end()) return error(l, t.column, "unknown label '" + t.text + "'"), false;
  out = it->second < p.code.size() ? p.code[it->second].address : codeSize;
  return true;
}

bool Resolver::classId(const Token& t, const Loc& l, int64_t& out) {
  if (t.kind == Token::Number) return out = t.number, true;
  if (explicitId(t, out)) return true;
  auto it = p.classByName.find(t.text);
  if (t.kind != Token::Ident || it == p.classByName.end()) return error(l, t.column, "unknown class '" + t.text + "'"), false;
  out = it->second;
  return true;
}

bool Resolver::recordIndex(const Token& t, const Loc& l, int64_t& out) {
  if (t.kind == Token::Number) return out = t.number, true;
  if (explicitId(t, out)) return true;
  auto it = p.recordByName.find(t.text);
  if (t.kind != Token::Ident || it == p.recordByName.end()) return error(l, t.column, "unknown record '" + t.text + "'"), false;
  out = it->second;
  return true;
}

bool Resolver::literal(const Token& t, const Loc& l, char kind, int64_t& out) {
  if (t.kind != Token::Number) return error(l, t.column, "expected a number"), false;
  if (kind != 'q' && (t.unsignedHigh || !fits(t.number, kind))) {
    const char* range = kind == 'b' ? "-128 to 127" : kind == 'B' ? "0 to 255" : kind == 'h' ? "-32768 to 32767"
                                                                                : "a 32-bit value";
    return error(l, t.column, "operand " + t.text + " out of range (" + range + ")"), false;
  }
  out = t.number;
  return true;
}

// The operand values of an instruction, in encoding order.
bool Resolver::operands(const CodeItem& c, std::vector<int64_t>& v) {
  const char* kinds = kOpcodeInfo[c.opcode].operands;
  const size_t n = std::char_traits<char>::length(kinds);
  const std::vector<Token>& t = c.operands;
  const bool callWithoutRecord = c.opcode == OP_CALL && t.size() == 1;
  if (t.size() != n && !callWithoutRecord) {
    error(c.loc, c.loc.column, std::string(kOpcodeInfo[c.opcode].name) + " takes " + std::to_string(n) + " operand" +
                                   (n == 1 ? "" : "s"));
    return false;
  }
  v.assign(n, 0);
  bool ok = true;
  for (size_t i = 0; i < t.size(); ++i) {
    const Token& x = t[i];
    int64_t& out = v[i];
    const bool isNumber = x.kind == Token::Number;
    if (isJump(c.opcode) && !isNumber) {
      int64_t target = 0;
      ok = labelAddress(x, c.loc, target) && ok;
      out = jumpOffset(c, target);
      if (!fits(out, kinds[0])) ok = false, error(c.loc, x.column, "jump target too far for the 16-bit form");
    } else if (c.opcode == OP_PUSH_STRING && x.kind == Token::String) {
      out = p.stringIndex.at(x.text);
    } else if (c.opcode == OP_PUSH_STRING && explicitId(x, out)) {
    } else if ((c.opcode == OP_SET_CLASS || c.opcode == OP_CHECK_CAST || c.opcode == OP_INSTANCE_OF ||
                (c.opcode == OP_TRY && i == 0)) && !isNumber) {
      if (c.opcode == OP_TRY && x.text == "any") out = -1;
      else ok = classId(x, c.loc, out) && ok;
    } else if (c.opcode == OP_TRY && i == 1 && !isNumber) {
      int64_t target = 0;
      ok = labelAddress(x, c.loc, target) && ok;
      out = target - 1 - c.address - 8;   // a caught throw resumes at handler + 1
    } else if ((c.opcode == OP_NATIVE_CALL || c.opcode == OP_EXTENSION_CALL) && x.kind == Token::Ident) {
      const std::string callee = c.opcode == OP_NATIVE_CALL ? "native group" : "extension";
      int op = 0;
      if (i == 0) {
        out = calleeByName(c.opcode, x.text);
        if (out < 0) ok = false, error(c.loc, x.column, "unknown " + callee + " '" + x.text + "'");
      } else if (operationByName(c.opcode, static_cast<int>(v[0]), x.text, op)) {
        out = op;
      } else if (t[0].kind != Token::Ident || v[0] >= 0) {   // an unknown name is reported once, there
        ok = false, error(c.loc, x.column, "unknown operation '" + x.text + "' of " + callee + " " + std::to_string(v[0]));
      }
    } else if ((c.opcode == OP_ALLOC || c.opcode == OP_ALLOC_STORE || c.opcode == OP_ALLOC_STORE_POP) && i == 0 &&
               x.kind == Token::Ident) {
      out = -1;
      for (const gc_code::Info& g : gc_code::kTable)
        if (x.text == g.name) out = g.code;
      if (out < 0) ok = false, error(c.loc, x.column, "unknown gc code '" + x.text + "'");
    } else if (c.opcode == OP_CALL && i == 0 && !isNumber) {
      ok = labelAddress(x, c.loc, out) && ok;
      if (callWithoutRecord) {
        auto it = p.methodRecord.find(x.text);
        if (it == p.methodRecord.end()) ok = false, error(c.loc, x.column, "'" + x.text + "' is not a .method: give its record");
        else v[1] = it->second;
      }
    } else if (c.opcode == OP_CALL && i == 1 && !isNumber) {
      ok = recordIndex(x, c.loc, out) && ok;
    } else if (c.opcode == OP_CALL_VIRTUAL && x.kind == Token::String) {
      out = -1;
      for (size_t k = 0; k < p.directives.size() && out < 0; ++k)
        if (p.directives[k].name == x.text) out = static_cast<int64_t>(k);
      if (out < 0) ok = false, error(c.loc, x.column, "no .virtual named \"" + x.text + "\"");
    } else if (takesSlot(c.opcode) && x.kind == Token::Ident) {
      int slot = 0;
      out = 0;   // the distance follows from the stack depth (StackCheck.cpp)
      if (!p.slotOf(c, x.text, slot))
        ok = false, error(c.loc, x.column, "unknown slot name '" + x.text + "' (name it with .arg or .local)");
    } else {
      ok = literal(x, c.loc, kinds[i], out) && ok;
    }
  }
  return ok;
}

void Resolver::encode(const CodeItem& c, std::vector<uint8_t>& code) {
  if (c.opcode < 0) {
    code.insert(code.end(), c.raw.begin(), c.raw.end());
    return;
  }
  std::vector<int64_t> v;
  const size_t at = code.size();
  code.push_back(static_cast<uint8_t>(c.opcode));
  if (operands(c, v)) {
    const char* kinds = kOpcodeInfo[c.opcode].operands;
    for (size_t i = 0; kinds[i]; ++i) {
      const int bytes = kinds[i] == 'q' ? 8 : kinds[i] == 'w' ? 4 : kinds[i] == 'h' ? 2 : 1;
      for (int k = 0; k < bytes; ++k) code.push_back(static_cast<uint8_t>(static_cast<uint64_t>(v[i]) >> (8 * k)));
    }
  }
  code.resize(at + c.size());
}

void Resolver::buildTables(ImageModel& out) {
  for (const PendingExport& e : p.exports) {
    ExportEntry x;
    x.name = e.name;
    int64_t code = 0, record = 0;
    labelAddress(e.label.token, e.label.loc, code);
    if (e.hasRecord) recordIndex(e.record.token, e.record.loc, record);
    else if (p.methodRecord.count(e.label.token.text)) record = p.methodRecord[e.label.token.text];
    else error(e.label.loc, e.label.token.column, "'" + e.label.token.text + "' is not a .method: give record=");
    x.code = static_cast<int32_t>(code);
    x.record = static_cast<int32_t>(record);
    out.exports.push_back(x);
  }
  for (const PendingDirective& d : p.directives) {
    Directive x;
    x.name = d.name;
    for (const PendingEntry& e : d.entries) {
      int64_t cls = 0, code = 0, record = 0;
      classId(e.classRef.token, e.classRef.loc, cls);
      labelAddress(e.label.token, e.label.loc, code);
      if (e.hasRecord) recordIndex(e.record.token, e.record.loc, record);
      else if (p.methodRecord.count(e.label.token.text)) record = p.methodRecord[e.label.token.text];
      else error(e.label.loc, e.label.token.column, "'" + e.label.token.text + "' is not a .method: give record=");
      x.entries.push_back(DirectiveEntry{static_cast<int32_t>(cls), static_cast<int32_t>(code), static_cast<int32_t>(record)});
    }
    out.directives.push_back(x);
  }
  for (const PendingClass& c : p.classes) {
    ClassDef d = c.def;
    int64_t id = 0;
    if (c.hasSuper && classId(c.super.token, c.super.loc, id)) {
      d.superFlag = 1;
      d.super = static_cast<int32_t>(id);
    }
    for (const NameRef& i : c.interfaces)
      if (classId(i.token, i.loc, id)) d.interfaces.push_back(static_cast<int32_t>(id));
    out.classes.push_back(d);
  }
}

bool Resolver::run(ImageModel& out) {
  out = ImageModel();
  if (p.raw) {
    out.raw = true;
    out.rawBytes = p.rawBytes;
    return errors.empty();
  }
  layout();
  out.tag = p.tag;
  std::copy(std::begin(p.widths), std::end(p.widths), std::begin(out.widths));
  out.globals = p.globals;
  out.records = p.records;
  out.strings = p.strings;
  buildTables(out);
  for (const CodeItem& c : p.code) encode(c, out.code);
  return errors.empty();
}

}  // namespace

bool resolveProgram(AsmProgram& p, ImageModel& out, std::vector<AsmError>& errors) {
  return Resolver(p, errors).run(out);
}

}  // namespace mcb

// First pass: reads the source (with its includes) into an AsmProgram.
// The second pass (CodeLayout.cpp) places and encodes the code.
#include "Assembler.h"

#include "AsmProgram.h"
#include "ImageFile.h"
#include "Opcodes.h"

#include <set>
#include <sys/stat.h>
#include <sstream>

namespace mcb {

std::string AsmError::text() const {
  std::ostringstream s;
  s << file;
  if (line > 0) s << ":" << line << ":" << column;
  s << (warning ? ": warning: " : ": error: ") << message;
  return s.str();
}

bool AsmProgram::slotOf(const CodeItem& c, const std::string& name, int& slot) const {
  if (c.scope < 0) return false;
  auto it = scopes[static_cast<size_t>(c.scope)].slots.find(name);
  if (it == scopes[static_cast<size_t>(c.scope)].slots.end()) return false;
  slot = it->second;
  return true;
}

int AsmProgram::internString(const std::string& s) {
  auto it = stringIndex.find(s);
  if (it != stringIndex.end()) return it->second;
  strings.push_back(s);
  return stringIndex[s] = static_cast<int>(strings.size()) - 1;
}

bool resolveProgram(AsmProgram& p, ImageModel& out, std::vector<AsmError>& errors);   // CodeLayout.cpp
debuginfo::DebugMap mapProgram(const AsmProgram& p, uint32_t codeSize);                // ProgramMap.cpp
void checkProgram(const AsmProgram& p, ImageModel& image, std::vector<AsmError>& warnings,
                  std::vector<AsmError>& errors);                                      // StackCheck.cpp

namespace {

// Mnemonic families whose operand size is chosen: {family, 8/16-bit form, 32-bit form}.
struct Family {
  const char* name;
  int shortOp, longOp;
  bool jump;
};
const Family kFamilies[] = {
    {"LOAD_LOCAL", OP_LOAD_LOCAL8, OP_LOAD_LOCAL32, false},
    {"ADDR_LOCAL", OP_ADDR_LOCAL8, OP_ADDR_LOCAL32, false},
    {"FIELD_ADDR", OP_FIELD_ADDR8, OP_FIELD_ADDR32, false},
    {"PACK", OP_PACK8, OP_PACK32, false},
    {"RESERVE", OP_RESERVE8, OP_RESERVE32, false},
    {"CLEAR_WORDS", OP_CLEAR_WORDS8, OP_CLEAR_WORDS32, false},
    {"COPY_WORDS", OP_COPY_WORDS8, OP_COPY_WORDS32, false},
    {"LOAD_WORDS", OP_LOAD_WORDS8, OP_LOAD_WORDS32, false},
    {"STORE_WORDS", OP_STORE_WORDS8, OP_STORE_WORDS32, false},
    {"JUMP_IF_FALSE", OP_JUMP_IF_FALSE16, OP_JUMP_IF_FALSE32, true},
    {"JUMP", OP_JUMP16, OP_JUMP32, true},
};

}  // namespace

class Pass1 {
 public:
  Pass1(AsmProgram& p, std::vector<AsmError>& errors, const std::vector<std::string>& includeDirs)
      : p(p), errors(errors), includeDirs(includeDirs) {}

  void file(const std::string& path, const Loc* from);
  void text(const std::string& text, const std::string& name);
  bool inVirtual() const { return virtualOpen; }
  Loc virtualLoc;

 private:
  AsmProgram& p;
  std::vector<AsmError>& errors;
  const std::vector<std::string>& includeDirs;
  std::set<std::string> included;
  std::vector<std::string> pendingLabels;
  bool virtualOpen = false;
  int depth = 0;
  Loc loc;

  void error(const std::string& message, int column = 0) {
    errors.push_back(AsmError{loc.file, loc.line, column ? column : loc.column, message});
  }
  void line(std::vector<Token>& t);
  void directive(std::vector<Token>& t);
  void instruction(std::vector<Token>& t);
  void virtualEntry(std::vector<Token>& t);
  void bindLabels();
  void label(const Token& t);
  NameRef ref(const Token& t) { return NameRef{t, Loc{loc.file, loc.line, t.column}}; }
  bool attributes(const std::vector<Token>& t, size_t from, std::map<std::string, std::vector<Token>>& out,
                  const std::set<std::string>& allowed);
  bool number(const std::vector<Token>& v, int64_t lo, int64_t hi, int64_t& out, const char* what);
  bool numberList(const std::vector<Token>& v, std::vector<int32_t>& out, const char* what);
  bool vectorList(const std::vector<Token>& v, std::vector<VectorSlot>& out);
  bool width(const std::vector<Token>& v, int& out);
  void method(const std::vector<Token>& t, bool withCode);
  void klass(const std::vector<Token>& t);
  void bytes(const std::vector<Token>& t, std::vector<uint8_t>& out);
  std::string resolveInclude(const std::string& name, std::string& searched);
};

void Pass1::text(const std::string& text, const std::string& name) {
  std::istringstream in(text);
  std::string s;
  Loc saved = loc;
  loc = Loc{name, 0, 1};
  if (depth == 0) p.topFile = name;
  ++depth;
  while (std::getline(in, s)) {
    ++loc.line;
    loc.column = 1;
    std::vector<Token> t;
    std::string message;
    int column = 1;
    if (!tokenizeLine(s, t, message, column)) {
      error(message, column);
      continue;
    }
    if (!t.empty()) line(t);
  }
  --depth;
  if (depth == 0) {
    bindLabels();
    if (virtualOpen) errors.push_back(AsmError{virtualLoc.file, virtualLoc.line, virtualLoc.column, ".virtual without .end"});
  }
  loc = saved;
}

void Pass1::file(const std::string& path, const Loc* from) {
  if (!included.insert(path).second) return;   // each file once
  if (depth > 32) {
    if (from) errors.push_back(AsmError{from->file, from->line, from->column, "includes nested too deeply"});
    return;
  }
  std::vector<uint8_t> bytes;
  std::string message;
  if (!readFile(path, bytes, message)) {
    if (from) errors.push_back(AsmError{from->file, from->line, from->column, message});
    else errors.push_back(AsmError{path, 0, 0, message});
    return;
  }
  text(std::string(bytes.begin(), bytes.end()), path);
}

// The file an .include names: as written when absolute, else the first of
// the including file's folder and the include folders that has it. Empty
// (with the folders searched in `searched`) when none has it.
std::string Pass1::resolveInclude(const std::string& name, std::string& searched) {
  if (!name.empty() && name[0] == '/') return name;
  std::vector<std::string> dirs;
  const size_t slash = loc.file.rfind('/');
  dirs.push_back(slash == std::string::npos ? "." : loc.file.substr(0, slash));
  dirs.insert(dirs.end(), includeDirs.begin(), includeDirs.end());
  for (const std::string& d : dirs) {
    const std::string candidate = d + "/" + name;
    struct stat st;
    if (::stat(candidate.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) return candidate;
    searched += (searched.empty() ? "" : ", ") + d;
  }
  return std::string();
}

void Pass1::line(std::vector<Token>& t) {
  loc.column = t[0].column;
  if (t.size() >= 2 && t[0].kind == Token::Ident && t[1].kind == Token::Punct && t[1].text == ":" && t[0].text[0] != '.') {
    label(t[0]);
    t.erase(t.begin(), t.begin() + 2);
    if (t.empty()) return;
    loc.column = t[0].column;
  }
  if (t[0].kind != Token::Ident) return error("expected a mnemonic or a directive");
  if (t[0].text[0] == '.') return directive(t);
  if (virtualOpen) return virtualEntry(t);
  instruction(t);
}

void Pass1::label(const Token& t) {
  if (p.labelLoc.count(t.text)) return error("label '" + t.text + "' is defined twice", t.column);
  p.labelLoc[t.text] = Loc{loc.file, loc.line, t.column};
  pendingLabels.push_back(t.text);
}

// Labels bind to the next code item, or to the end of the code.
void Pass1::bindLabels() {
  for (const std::string& l : pendingLabels) p.labelItem[l] = p.code.size();
  pendingLabels.clear();
}

void Pass1::instruction(std::vector<Token>& t) {
  if (p.raw) return error("instructions are not allowed after .rawimage");
  CodeItem item;
  item.loc = loc;
  item.scope = static_cast<int>(p.scopes.size()) - 1;
  item.operands.assign(t.begin() + 1, t.end());
  for (Token& x : item.operands) {
    auto e = p.equs.find(x.text);
    if (x.kind == Token::Ident && e != p.equs.end()) {
      const int column = x.column;
      x = e->second;
      x.column = column;
    }
  }
  const std::string& m = t[0].text;
  bool found = false;
  for (const Family& f : kFamilies) {
    if (m != f.name) continue;
    found = true;
    if (f.jump) {
      item.shortOp = f.shortOp;
      item.longOp = f.longOp;
      item.opcode = f.shortOp;
    } else {
      int64_t v = 0;
      const bool named = item.operands.size() == 1 && item.operands[0].kind == Token::Ident && takesSlot(f.shortOp);
      if (!named && (item.operands.size() != 1 || item.operands[0].kind != Token::Number))
        return error(m + (takesSlot(f.shortOp) ? " takes one number or slot name" : " takes one number"));
      v = named ? 0 : item.operands[0].number;
      item.opcode = v >= -128 && v <= 127 ? f.shortOp : f.longOp;
    }
  }
  if (!found) {
    if (m == "PUSH_STRING_CELL") {
      if (item.operands.size() != 1 || item.operands[0].kind != Token::String)
        return error("PUSH_STRING_CELL takes one string");
      item.opcode = OP_PUSH_STRING;
      p.internString(item.operands[0].text);
      bindLabels();
      p.code.push_back(item);
      CodeItem box;
      box.opcode = OP_BOX;
      box.loc = loc;
      p.code.push_back(box);
      return;
    }
    item.opcode = opcodeByName(m.c_str());
    if (item.opcode < 0) return error("unknown mnemonic '" + m + "'");
  }
  if (item.opcode == OP_PUSH_STRING && !item.operands.empty() && item.operands[0].kind == Token::String)
    p.internString(item.operands[0].text);
  bindLabels();
  p.code.push_back(item);
}

bool Pass1::attributes(const std::vector<Token>& t, size_t from, std::map<std::string, std::vector<Token>>& out,
                       const std::set<std::string>& allowed) {
  size_t i = from;
  while (i < t.size()) {
    if (t[i].kind != Token::Ident || i + 1 >= t.size() || t[i + 1].text != "=") {
      error("expected name=value", t[i].column);
      return false;
    }
    const std::string key = t[i].text;
    if (!allowed.count(key)) {
      error("unknown attribute '" + key + "'", t[i].column);
      return false;
    }
    i += 2;
    std::vector<Token>& v = out[key];
    // A value runs until the next "name=".
    while (i < t.size() && !(i + 1 < t.size() && t[i].kind == Token::Ident && t[i + 1].text == "=")) v.push_back(t[i++]);
    if (v.empty()) {
      error("attribute '" + key + "' has no value", t[i - 1].column);
      return false;
    }
  }
  return true;
}

bool Pass1::number(const std::vector<Token>& v, int64_t lo, int64_t hi, int64_t& out, const char* what) {
  if (v.size() != 1 || v[0].kind != Token::Number || v[0].unsignedHigh || v[0].number < lo || v[0].number > hi) {
    error(std::string(what) + " must be a number from " + std::to_string(lo) + " to " + std::to_string(hi),
          v.empty() ? 0 : v[0].column);
    return false;
  }
  out = v[0].number;
  return true;
}

bool Pass1::numberList(const std::vector<Token>& v, std::vector<int32_t>& out, const char* what) {
  for (const Token& x : v) {
    if (x.kind != Token::Number || x.unsignedHigh || x.number < INT32_MIN || x.number > UINT32_MAX) {
      error(std::string(what) + " must be a list of numbers", x.column);
      return false;
    }
    out.push_back(static_cast<int32_t>(x.number));
  }
  return true;
}

// offset:ref, offset:data, or offset:<flag byte> (for malformed images)
bool Pass1::vectorList(const std::vector<Token>& v, std::vector<VectorSlot>& out) {
  for (size_t i = 0; i < v.size(); i += 3) {
    if (i + 2 >= v.size() || v[i].kind != Token::Number || v[i + 1].text != ":") {
      error("vector slots are written offset:ref or offset:data", v[i].column);
      return false;
    }
    VectorSlot s;
    s.offset = static_cast<int32_t>(v[i].number);
    const Token& f = v[i + 2];
    if (f.kind == Token::Ident && f.text == "ref") s.flag = 0xFF;
    else if (f.kind == Token::Ident && f.text == "data") s.flag = 0x00;
    else if (f.kind == Token::Number && f.number >= 0 && f.number <= 255) s.flag = static_cast<uint8_t>(f.number);
    else {
      error("a vector slot's kind is ref or data", f.column);
      return false;
    }
    out.push_back(s);
  }
  return true;
}

bool Pass1::width(const std::vector<Token>& v, int& out) {
  int64_t w = 0;
  if (!number(v, 0, 255, w, "width")) return false;
  out = static_cast<int>(w);
  return true;
}

void Pass1::method(const std::vector<Token>& t, bool withCode) {
  if (t.size() < 2 || t[1].kind != Token::Ident) return error(withCode ? ".method needs a name" : ".record needs a name");
  const std::string name = t[1].text;
  std::map<std::string, std::vector<Token>> a;
  std::set<std::string> allowed = {"params", "results", "locals", "paramrefs", "paramvectors",
                                   "localrefs", "localvectors", "width"};
  if (withCode) allowed.insert("export");
  if (!attributes(t, 2, a, allowed)) return;
  Record r;
  int64_t v = 0;
  if (a.count("params") && number(a["params"], 0, UINT32_MAX, v, "params")) r.params = static_cast<int32_t>(v);
  if (a.count("results") && number(a["results"], 0, UINT32_MAX, v, "results")) r.results = static_cast<int32_t>(v);
  if (a.count("locals") && number(a["locals"], 0, UINT32_MAX, v, "locals")) r.locals = static_cast<int32_t>(v);
  if (a.count("paramrefs")) numberList(a["paramrefs"], r.paramRefs, "paramrefs");
  if (a.count("localrefs")) numberList(a["localrefs"], r.localRefs, "localrefs");
  if (a.count("paramvectors")) vectorList(a["paramvectors"], r.paramVectors);
  if (a.count("localvectors")) vectorList(a["localvectors"], r.localVectors);
  if (a.count("width")) width(a["width"], r.width);
  if (p.recordByName.count(name)) return error("record '" + name + "' is defined twice", t[1].column);
  p.recordByName[name] = static_cast<int>(p.records.size());
  p.records.push_back(r);
  if (!withCode) return;
  label(t[1]);
  p.methodRecord[name] = p.recordByName[name];
  if (a.count("export")) {
    const std::vector<Token>& e = a["export"];
    if (e.size() != 1 || e[0].kind != Token::String) return error("export takes a quoted name", e[0].column);
    PendingExport x;
    x.name = e[0].text;
    x.label = ref(t[1]);
    p.exports.push_back(x);
  }
}

void Pass1::klass(const std::vector<Token>& t) {
  if (t.size() < 2 || t[1].kind != Token::Ident) return error(".class needs a name");
  PendingClass c;
  c.name = t[1].text;
  c.loc = loc;
  std::map<std::string, std::vector<Token>> a;
  if (!attributes(t, 2, a, {"super", "refs", "vectors", "interfaces", "width"})) return;
  if (a.count("super")) {
    if (a["super"].size() != 1) return error("super names one class", a["super"][0].column);
    c.hasSuper = true;
    c.super = ref(a["super"][0]);
  }
  if (a.count("refs")) numberList(a["refs"], c.def.refs, "refs");
  if (a.count("vectors")) vectorList(a["vectors"], c.def.vectors);
  if (a.count("width")) width(a["width"], c.def.width);
  for (const Token& i : a["interfaces"]) c.interfaces.push_back(ref(i));
  if (p.classByName.count(c.name)) return error("class '" + c.name + "' is defined twice", t[1].column);
  p.classByName[c.name] = static_cast<int>(p.classes.size());
  p.classes.push_back(c);
}

void Pass1::bytes(const std::vector<Token>& t, std::vector<uint8_t>& out) {
  for (size_t i = 1; i < t.size(); ++i) {
    if (t[i].kind == Token::String) out.insert(out.end(), t[i].text.begin(), t[i].text.end());
    else if (t[i].kind == Token::Number && t[i].number >= -128 && t[i].number <= 255)
      out.push_back(static_cast<uint8_t>(t[i].number));
    else return error(".bytes takes numbers from -128 to 255 and strings", t[i].column);
  }
}

void Pass1::virtualEntry(std::vector<Token>& t) {
  std::map<std::string, std::vector<Token>> a;
  if (t.size() < 2) return error("a virtual entry is: class method-label [record=R]");
  if (!attributes(t, 2, a, {"record"})) return;
  PendingEntry e;
  e.classRef = ref(t[0]);
  e.label = ref(t[1]);
  if (a.count("record")) {
    e.hasRecord = true;
    e.record = ref(a["record"][0]);
  }
  p.directives.back().entries.push_back(e);
}

void Pass1::directive(std::vector<Token>& t) {
  const std::string& d = t[0].text;
  auto stringArg = [&](const char* what) -> const Token* {
    if (t.size() < 2 || t[1].kind != Token::String) {
      error(std::string(what) + " takes a quoted string");
      return nullptr;
    }
    return &t[1];
  };
  if (virtualOpen && d != ".end") return error("only entries and .end may follow .virtual");
  if (d == ".end") {
    if (!virtualOpen) return error(".end without .virtual");
    virtualOpen = false;
  } else if (d == ".include") {
    if (const Token* s = stringArg(".include")) {
      const Loc from = loc;
      std::string searched;
      const std::string path = resolveInclude(s->text, searched);
      if (path.empty()) return error("cannot find '" + s->text + "' (searched " + searched + "; add a folder with -I)", s->column);
      file(path, &from);
    }
  } else if (d == ".tag") {
    if (const Token* s = stringArg(".tag")) {
      if (s->text.size() > 127) return error("the tag is at most 127 bytes");
      p.tag = s->text;
      p.tagSet = true;
    }
  } else if (d == ".globals") {
    int64_t v = 0;
    if (number(std::vector<Token>(t.begin() + 1, t.end()), 0, UINT32_MAX, v, ".globals")) p.globals = static_cast<int32_t>(v);
  } else if (d == ".widths") {
    if (t.size() != 1 + kWidthCount) return error(".widths takes nine numbers (0 chooses)");
    for (int i = 0; i < kWidthCount; ++i) {
      int w = 0;
      if (width({t[1 + i]}, w)) p.widths[i] = w;
    }
  } else if (d == ".string") {
    if (const Token* s = stringArg(".string")) p.internString(s->text);
  } else if (d == ".method") {
    method(t, true);
    p.scopes.push_back(SlotScope{t.size() > 1 ? t[1].text : std::string(), {}, {}, 0});
  } else if (d == ".equ") {
    if (t.size() != 3 || t[1].kind != Token::Ident || t[2].kind != Token::Number)
      return error(".equ takes a name and a number");
    if (p.equs.count(t[1].text)) return error("'" + t[1].text + "' is defined twice", t[1].column);
    p.equs[t[1].text] = t[2];
  } else if (d == ".arg" || d == ".local") {
    if (p.scopes.empty()) return error(d + " belongs after a .method");
    if (t.size() < 2) return error(d + " takes one or more names");
    SlotScope& scope = p.scopes.back();
    for (size_t i = 1; i < t.size(); ++i) {
      const std::string& n = t[i].text;
      bool taken = scope.slots.count(n) > 0;
      for (const auto& a : scope.args) taken = taken || a.first == n;
      if (t[i].kind != Token::Ident || taken) return error("'" + n + "' is not a new slot name", t[i].column);
      if (d == ".arg") scope.args.emplace_back(n, Loc{loc.file, loc.line, t[i].column});
      else scope.slots[n] = ++scope.locals;
    }
  } else if (d == ".record") {
    method(t, false);
  } else if (d == ".class") {
    klass(t);
  } else if (d == ".export") {
    const Token* s = stringArg(".export");
    if (!s) return;
    if (t.size() < 3) return error(".export needs a label");
    std::map<std::string, std::vector<Token>> a;
    if (!attributes(t, 3, a, {"record"})) return;
    PendingExport x;
    x.name = s->text;
    x.label = ref(t[2]);
    if (a.count("record")) {
      x.hasRecord = true;
      x.record = ref(a["record"][0]);
    }
    p.exports.push_back(x);
  } else if (d == ".virtual") {
    if (const Token* s = stringArg(".virtual")) {
      p.directives.push_back(PendingDirective{s->text, {}});
      virtualOpen = true;
      virtualLoc = loc;
    }
  } else if (d == ".bytes") {
    if (p.raw) return bytes(t, p.rawBytes);
    CodeItem item;
    item.loc = loc;
    bytes(t, item.raw);
    bindLabels();
    p.code.push_back(item);
  } else if (d == ".rawimage") {
    if (!p.code.empty() || !p.records.empty() || !p.classes.empty()) return error(".rawimage must come first");
    p.raw = true;
  } else {
    error("unknown directive '" + d + "'");
  }
}

namespace {

// `.arg` names the parameters from the first; the last parameter is slot -1.
void nameArguments(AsmProgram& p, std::vector<AsmError>& errors) {
  for (SlotScope& scope : p.scopes) {
    if (scope.args.empty()) continue;
    auto it = p.methodRecord.find(scope.method);
    const int params = it == p.methodRecord.end() ? 0 : p.records[static_cast<size_t>(it->second)].params;
    for (size_t i = 0; i < scope.args.size(); ++i) {
      const Loc& l = scope.args[i].second;
      if (static_cast<int>(i) >= params) {
        errors.push_back(AsmError{l.file, l.line, l.column, "more .arg names than the method's params=" +
                                                               std::to_string(params)});
        break;
      }
      scope.slots[scope.args[i].first] = static_cast<int>(i) - params;
    }
  }
}

}  // namespace

bool Assembler::assembleFile(const std::string& path, ImageModel& out) {
  return assemble([&](Pass1& pass) { pass.file(path, nullptr); }, out);
}

bool Assembler::assembleText(const std::string& text, const std::string& name, ImageModel& out) {
  return assemble([&](Pass1& pass) { pass.text(text, name); }, out);
}

bool Assembler::assemble(const std::function<void(Pass1&)>& read, ImageModel& out) {
  iErrors.clear();
  iWarnings.clear();
  iMap = debuginfo::DebugMap();
  AsmProgram p;
  Pass1 pass(p, iErrors, iIncludeDirs);
  read(pass);
  nameArguments(p, iErrors);
  if (!iErrors.empty() || !resolveProgram(p, out, iErrors)) return false;
  if (p.raw) return true;
  iMap = mapProgram(p, static_cast<uint32_t>(out.code.size()));
  checkProgram(p, out, iWarnings, iErrors);
  return iErrors.empty();
}

std::string Assembler::map(const std::vector<uint8_t>& image) {
  iMap.setImage(image.data(), image.size());
  return iMap.format();
}

}  // namespace mcb

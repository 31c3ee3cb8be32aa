// mcbnatives: prints the reference of every native group and operation and
// of every built-in extension's opcodes, generated from their tables. `--check FILE` compares FILE with
// it instead (the test that keeps docs/natives.md from drifting).
#include "ExtensionTable.h"
#include "NativeRegistry.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

namespace {

const char* neededBy(const native::GroupInfo& g) { return g.needs & native::NEEDS_HOST ? "host services" : "-"; }

// The rows of one table, by number.
void operations(std::ostream& o, const native::OperationTable& t) {
  std::vector<const native::Operation*> rows;
  for (TInt32 i = 0; i < t.count; ++i) rows.push_back(&t.rows[i]);
  std::sort(rows.begin(), rows.end(), [](const native::Operation* a, const native::Operation* b) { return a->op < b->op; });
  o << "| Op | Name | Arguments -> result | Errors |\n|---|---|---|---|\n";
  for (const native::Operation* r : rows)
    o << "| " << r->op << " | " << r->name << " | " << r->effect << " | " << r->errors << " |\n";
}

void group(std::ostream& o, const native::GroupInfo& g, const native::GroupInfo* sharing) {
  o << "\n## " << g.number << " " << g.name << "\n\nPrefix \"" << g.prefix << "\", needs: " << neededBy(g) << ".";
  if (sharing) {
    o << " The operations of group " << sharing->number << " (" << sharing->name << ").\n";
    return;
  }
  if (!g.table) {
    o << " Not built: every call raises code 11 \"Internal error: native group " << g.number
      << " is not available\".\n";
    return;
  }
  o << "\n\n";
  operations(o, *g.table);
}

void extension(std::ostream& o, const ext::Info& e) {
  o << "\n## " << e.id << " " << e.name << "\n\nAn opcode it does not have raises code 11 \"" << e.unknownOpcode
    << (e.numbered ? "N" : "") << "\".\n\n";
  operations(o, *e.table);
}

std::string reference() {
  std::ostringstream o;
  o << "# Native groups and operations\n\n"
       "Generated from the operation tables by `mcbnatives`; the test `natives.reference`\n"
       "fails when this file and the tables differ (regenerate with\n"
       "`build/tools/mcbnatives > docs/natives.md`). In assembly an operation is named\n"
       "by group and name (`NATIVE_CALL String indexOf`) or by numbers (`NATIVE_CALL 8 16`).\n\n"
       "Arguments are the topmost slots, the last one on top; a result replaces the first\n"
       "argument. `f` is a fixed-point value (two slots), `1|0` a truth value, `str` and\n"
       "`s`, `t` strings, `c` a character, `range` two slots (first, count), `cs` a\n"
       "case flag, `v` a vector, `dst` a vector value receiving a new vector, `e` an\n"
       "element (as many slots as the element has words), `ref` a raw address.\n\n"
       "Errors every group shares: an operation number the group does not have raises\n"
       "code 10 with the group's prefix followed by the number; a reserved number raises\n"
       "code 11 \"Reserved native operation\"; a group that needs host services raises\n"
       "code 11 \"Internal error: no host services for native group N\" in a machine\n"
       "without them; a group number that is no group raises code 11 \"Internal error:\n"
       "invalid group in native call: N\"; a null reference raises code 1 \"NULL pointer\";\n"
       "an address outside the arena, or one that does not hold the object the operation\n"
       "expects, raises code 11 \"Invalid address\"; fewer slots than the arguments, or a\n"
       "result past the last slot, raise code 11 \"Stack overflow\"; an allocation the heap\n"
       "cannot make, or host memory past its limit, raises code 6 with the heap's text or\n"
       "\"Host memory limit reached\"; a string or vector grown past its\n"
       "limit raises code 6 \"String too long\" or \"Vector too large\"; a vector argument\n"
       "that is not a vector of the expected element kind raises code 11 \"Invalid vector\".\n\n"
       "The Errors column lists what an operation raises besides these: a code and its\n"
       "exact text (`6 \"Negative value\"`), or a code alone where the error has no text;\n"
       "`none` where it raises nothing else. Codes: 1 null pointer, 2 index out of\n"
       "bounds, 3 division by zero, 4 data format, 5 range, 6 invalid argument, 7 I/O,\n"
       "8 math, 9 assertion, 10 VM, 11 runtime, 12 end of the program, 13 unsupported\n"
       "feature. `5 \"Invalid Range, ...\"` stands for the texts of the one range check:\n"
       "\"Invalid Range, first should be non-negative (first=F)\", \"Invalid Range, first\n"
       "should not be less than B, first = F\", \"Invalid Range, first should not be more\n"
       "than E, first = F\", \"Invalid Range, first should not be less thanB, first =  F\"\n"
       "and \"Invalid Range, range out of bounds: L > E\".\n";
  TInt32 count = 0;
  const native::GroupInfo* all = native::groups(count);
  for (TInt32 i = 0; i < count; ++i) {
    const native::GroupInfo* sharing = nullptr;
    for (TInt32 k = 0; k < i && !sharing; ++k)
      if (all[i].table && all[k].table == all[i].table) sharing = &all[k];
    group(o, all[i], sharing);
  }
  o << "\n# Built-in extensions\n\n"
       "Called by name (`EXTENSION_CALL XMLParser parse`) or by numbers\n"
       "(`EXTENSION_CALL 23 2`); the extension's arguments and result follow the same\n"
       "conventions as the native operations above.\n";
  const ext::Info* extensions = ext::extensionInfos(count);
  for (TInt32 i = 0; i < count; ++i) extension(o, extensions[i]);
  return o.str();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string text = reference();
  if (argc == 3 && std::strcmp(argv[1], "--check") == 0) {
    std::ifstream in(argv[2], std::ios::binary);
    std::stringstream file;
    file << in.rdbuf();
    if (file.str() == text) return 0;
    std::cerr << argv[2] << " differs from the operation tables; regenerate it with mcbnatives > " << argv[2] << "\n";
    return 1;
  }
  if (argc != 1) {
    std::cerr << "usage: mcbnatives [--check FILE]\n";
    return 2;
  }
  std::cout << text;
  return 0;
}

// The map of an assembled program: sources, classes, methods, labels and the
// line of every code item, by code offset (see DebugMap.h).
#include "AsmProgram.h"

#include <algorithm>

namespace mcb {

namespace {

uint32_t addressOf(const AsmProgram& p, size_t item, uint32_t codeSize) {
  return item < p.code.size() ? p.code[item].address : codeSize;
}

}  // namespace

debuginfo::DebugMap mapProgram(const AsmProgram& p, uint32_t codeSize) {
  debuginfo::DebugMap map;
  std::map<std::string, int> sourceIndex;
  for (const CodeItem& c : p.code) {
    auto it = sourceIndex.find(c.loc.file);
    if (it == sourceIndex.end()) {
      it = sourceIndex.emplace(c.loc.file, static_cast<int>(map.sources.size())).first;
      map.sources.push_back(c.loc.file);
    }
    if (c.size() > 0) map.lines.push_back(debuginfo::MapLine{c.address, it->second, c.loc.line});
  }
  for (const auto& c : p.classByName) map.classes[c.second] = c.first;

  // A method runs from its label to the next method's (or the end of the code).
  std::vector<debuginfo::MapMethod> methods;
  for (const auto& m : p.methodRecord) {
    auto it = p.labelItem.find(m.first);
    if (it == p.labelItem.end()) continue;
    methods.push_back(debuginfo::MapMethod{addressOf(p, it->second, codeSize), codeSize, m.first});
  }
  std::stable_sort(methods.begin(), methods.end(),
                   [](const debuginfo::MapMethod& a, const debuginfo::MapMethod& b) { return a.start < b.start; });
  for (size_t i = 0; i + 1 < methods.size(); ++i) methods[i].end = methods[i + 1].start;
  for (const debuginfo::MapMethod& m : methods)
    if (m.end > m.start) map.methods.push_back(m);

  for (const auto& l : p.labelItem)
    if (!p.methodRecord.count(l.first)) map.labels.emplace(addressOf(p, l.second, codeSize), l.first);
  return map;
}

}  // namespace mcb

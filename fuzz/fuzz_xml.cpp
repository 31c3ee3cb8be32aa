// XML fuzz target: any bytes become a parser's source, are parsed, and the
// whole tree is walked through the extension's opcodes, then edited with
// insertions and removals the bytes choose, then freed. Every outcome but
// a clean error is a finding; the heap is verified at the end.
#include "Errors.h"
#include "VectorStore.h"
#include "XmlCalls.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr size_t kMaxNodes = 4000;

void walk(XmlCalls& d, TUint32 document, std::vector<TUint32>& seen) {
  std::vector<TUint32> pending{document};
  while (!pending.empty() && seen.size() < kMaxNodes) {
    const TUint32 node = d.holder(pending.back());
    pending.pop_back();
    seen.push_back(node);
    for (TInt32 op : {5, 7, 9, 16, 17, 19, 24, 25}) d.call(op, {node});
    d.call(10, {node, d.text("a")});
    const vectors::VectorStore attributes(native::derefCell(d.call(14, {node})), 4);
    for (TInt32 i = 0; i < attributes.count(); ++i) {
      const TUint32 a = d.holder(native::load(attributes.addressOf(i)));
      d.call(5, {a});
      d.call(7, {a});
    }
    const vectors::VectorStore children(native::derefCell(d.call(15, {node})), 4);
    for (TInt32 i = 0; i < children.count(); ++i) pending.push_back(native::load(children.addressOf(i)));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  VMArena::setLimit(256u << 20);
  XmlCalls d;
  try {
    const TUint32 parser = d.holder(0);
    d.call(26, {parser, vectors::newVectorCell(d.heap(), 1, false, data, static_cast<TInt32>(size))});
    d.call(2, {parser});
    std::vector<TUint32> nodes;
    const TUint32 document = d.call(3, {parser});
    if (document) walk(d, document, nodes);
    // Edits the bytes choose: insertions, removals, new data, new nodes.
    for (size_t i = 0; i + 2 < size && i < 300 && !nodes.empty(); i += 3) {
      const TUint32 a = nodes[data[i] % nodes.size()], b = nodes[data[i + 1] % nodes.size()];
      switch (data[i + 2] % 4) {
        case 0: d.call(21, {a, b, static_cast<TUint32>(data[i + 2] / 4)}); break;
        case 1: d.call(22, {a, b}); break;
        case 2: d.call(8, {a, d.text("x")}); break;
        default: {
          const TUint32 made = d.call(4, {parser, d.text("n"), d.text("v"), static_cast<TUint32>(data[i] % 10),
                                          d.text(""), d.text(data[i + 1] & 1 ? "p" : "")});
          if (made) nodes.push_back(d.holder(made));
        }
      }
    }
    if (document) {
      nodes.clear();
      walk(d, document, nodes);
    }
  } catch (const ErrorHandlingException&) {
    clearError();
  }
  d.heap().verify();
  return 0;
}

#include "ProgramGenerator.h"

#include "Heap.h"

#include <climits>
#include <sstream>

namespace {

// The bytes, read one at a time; past the end every read is 0.
class ByteSource {
 public:
  ByteSource(const uint8_t* data, size_t size) : iData(data), iSize(size) {}
  bool more() const { return iAt < iSize; }
  uint8_t byte() { return iAt < iSize ? iData[iAt++] : 0; }
  int below(int n) { return byte() % n; }
  template <typename T, size_t N>
  T from(const T (&values)[N]) {
    return values[below(static_cast<int>(N))];
  }

 private:
  const uint8_t* iData;
  size_t iSize;
  size_t iAt = 0;
};

// Values near the edges: of blocks, of the heap's and the stack's limits,
// of 32-bit arithmetic.
const int32_t kCounts[] = {0, 1, 2, 3, 4, 7, 8, 16, 100, 1000, 65535, 1 << 20, 1 << 24, (1 << 24) + 1,
                           0x06000000, 0x08000000, INT32_MAX, -1, -2, INT32_MIN};
const int32_t kSmallCounts[] = {0, 1, 2, 3, 4, 5, 8, 16};
const int32_t kElementSizes[] = {1, 4, 8, 12, 16, 3};
const int32_t kOffsets[] = {0, 4, 8, 12, 16, -4, -8, -24, -28, -32, 28, 32, 36, 60, 64, 1, -1, 2, 4096, -4096};
const int32_t kValues[] = {0, 1, -1, 2, 3, 7, 10, 31, 32, 255, 256, 65536, INT32_MAX, INT32_MIN, 0x7FFF0000};
const char* const kGcCodes[] = {"LEAF", "CLASS_OBJECT", "REF_HOLDER", "STRING"};
const char* const kWordAt[] = {"ADD_AT", "SUB_AT", "MUL_AT", "DIV_AT", "REM_AT", "AND_AT", "OR_AT", "XOR_AT",
                               "SHL_AT", "SHR_AT", "ADDB_AT", "SUBB_AT", "MULB_AT", "DIVB_AT", "REMB_AT",
                               "SHLB_AT", "SHRB_AT", "STORE_WORD", "STORE_HALF", "STORE_BYTE"};
const char* const kOnAddress[] = {"INC_AT", "DEC_AT", "INCB_AT", "DECB_AT", "CLEAR_WORD", "CLEAR_HALF",
                                  "CLEAR_BYTE", "FREE", "FREE_INDIRECT"};
const char* const kBinary[] = {"ADD", "SUB", "MUL", "DIV", "REM", "DIVB", "REMB", "AND", "OR", "XOR", "SHL", "SHR",
                               "SHLB", "SHRB", "CMP_LT", "CMPH_GE", "CMPB_NE", "LAND", "BOOL_EQ"};
const char* const kCompare[] = {"CMP_EQ", "CMP_LT", "CMP_LE", "CMP_NE", "CMP_GT", "CMP_GE"};
const char* const kWordOperations[] = {"ADD", "SUB", "MUL", "AND", "OR", "XOR", "SHL", "SHR"};
// Index scalings: shifts and factors, the usual ones and the edges of a shift.
const int32_t kScales[] = {2, 4, 0, 1, 3, 31, 32, -1, -31, -32, INT32_MIN};
const char* const kVectorGroups[] = {"ByteVector", "IntVector", "Int2Vector", "Int4Vector", "RefVector"};
const int kVectorSlots[] = {1, 1, 2, 4, 1};

// A native operation: arguments taken from locals or immediates, results
// dropped or kept in a local.
struct NativeOp {
  const char* group;   // null: the element group picked at random
  int op;
  int arguments;       // slots, element slots counted as one
  bool element;        // the last but `after` argument is an element
  int after;           // arguments after the element
  int results;
};
const NativeOp kNatives[] = {
    {nullptr, 2, 2, false, 0, 0},   {nullptr, 3, 3, true, 1, 0},    {nullptr, 5, 3, false, 0, 0},
    {nullptr, 6, 2, false, 0, 1},   {nullptr, 11, 1, false, 0, 1},  {nullptr, 19, 2, true, 0, 0},
    {nullptr, 20, 2, false, 0, 0},  {nullptr, 21, 2, false, 0, 0},  {nullptr, 25, 1, false, 0, 0},
    {nullptr, 28, 4, false, 0, 0},  {nullptr, 15, 3, true, 1, 0},   {nullptr, 22, 3, false, 0, 0},
    {"String", 1, 1, false, 0, 0},  {"String", 5, 3, false, 0, 0},  {"String", 10, 1, false, 0, 1},
    {"String", 12, 2, false, 0, 1}, {"String", 48, 2, false, 0, 1}, {"String", 49, 2, false, 0, 1},
    {"String", 50, 2, false, 0, 1}, {"String", 57, 3, false, 0, 0}, {"String", 62, 2, false, 0, 0},
    {"String", 66, 2, false, 0, 0}, {"String", 67, 4, false, 0, 0}, {"String", 7, 4, false, 0, 0},
    {"Debug", 1, 1, false, 0, 0},   {"System", 5, 1, false, 0, 0},
};

constexpr int kLocals = 8;
constexpr int kMaxStatements = 160;

class Generator {
 public:
  explicit Generator(ByteSource& in) : iIn(in) {}

  std::string program() {
    iOut << ".globals 16\n"
            "; thrower: divides by zero, so the error is converted and thrown\n"
            ".method thrower\n  PUSH_IMM32 1\n  PUSH_IMM32 0\n  DIV\n  RETURN 0, 1\n"
            "; rec(n): n frames deep, then the thrower\n"
            ".method rec params=1\n  LOAD_LOCAL -2\n  JUMP_IF_FALSE bottom\n  LOAD_LOCAL -2\n  PUSH_IMM32 1\n"
            "  SUB\n  CALL rec\n  RETURN 0, 2\nbottom:\n  CALL thrower\n  RETURN 0, 2\n"
            "; catcher(n): catches what rec(n) throws and returns normally\n"
            ".method catcher params=1\n  TRY any, caught\n  LOAD_LOCAL -2\n  CALL rec\n  END_TRY -1\n"
            "  RETURN 0, 2\ncaught:\n  RESERVE -1\n  RETURN 0, 2\n"
            ".method main export=\"main\" locals=8\n";
    op("RESERVE " + std::to_string(kLocals), kLocals);
    // Something to point at from the start.
    storeInto(0, [&] { op("ALLOC LEAF, 4", 1); });
    storeInto(1, [&] { op("ALLOC CLASS_OBJECT, 3", 1); });
    storeInto(2, [&] { op("PUSH_STRING_CELL \"seed\"", 1); });
    storeInto(3, [&] { op("ALLOC LEAF, 2", 1); });
    // Two vector values (the natives' vector arguments) and a class object.
    for (int i = 4; i <= 5; ++i) {
      storeInto(i, [&] { op("ALLOC LEAF, 2", 1); });
      load(i);
      op("NEW_VECTOR 4", -1);
    }
    storeInto(6, [&] { op("ALLOC CLASS_OBJECT, 2", 1); });
    for (int n = 0; n < kMaxStatements && iIn.more();) {
      // Blocks of statements under a handler, so a caught error goes on.
      const std::string handler = label(), after = label();
      op("TRY any, " + handler, 0);
      const int count = 1 + iIn.below(6);
      for (int k = 0; k < count && iIn.more(); ++k, ++n) statement(0);
      op("END_TRY -1", 0);
      op("JUMP " + after, 0);
      place(handler);
      ++iDepth;   // the throwable
      logThrowable();
      place(after);
    }
    for (int i = 0; i < kLocals; ++i) logLocal(i);
    op("RESERVE -" + std::to_string(kLocals), -kLocals);
    op("RETURN 0, 1", 0);
    return iOut.str();
  }

 private:
  void op(const std::string& text, int delta) {
    iOut << "  " << text << "\n";
    iDepth += delta;
  }
  std::string label() { return "g" + std::to_string(iLabels++); }
  void place(const std::string& l) { iOut << l << ":\n"; }
  // Frame distance from the next pushed slot to local i.
  std::string at(int i) const { return std::to_string(i - iDepth); }
  int local() { return iIn.below(kLocals); }
  void push(int32_t v) { op("PUSH_IMM32 " + std::to_string(v), 1); }
  void load(int i) { op("LOAD_LOCAL " + at(i), 1); }

  template <typename F>
  void storeInto(int i, F value) {
    op("ADDR_LOCAL " + at(i), 1);
    value();
    op("STORE_WORD", -2);
  }

  // Pushes an address: a local's block plus an offset, mostly inside it,
  // else near its edges (its header, the next block).
  void address() {
    load(local());
    push(iIn.below(4) == 0 ? iIn.from(kOffsets) : 4 * iIn.below(3));
    op("ADD", -1);
  }

  // Pushes an argument: mostly a local (block, string cell, number), else a value.
  void argument() {
    if (iIn.below(4) == 0) push(iIn.from(kCounts));
    else load(local());
  }

  void logThrowable() {
    // The code, then the message: both must agree between the runs.
    op("DUP", 1);
    op("FIELD_ADDR 1", 0);
    op("DEREF", 0);
    logTop();
    op("FIELD_ADDR 2", 0);
    op("DEREF", 0);
    op("NATIVE_CALL Debug 1", -1);
  }
  void logTop() {
    op("INT_TO_STRING", 0);
    op("BOX", 0);
    op("NATIVE_CALL Debug 1", -1);
  }
  void logLocal(int i) {
    load(i);
    logTop();
  }

  void statement(int nesting) {
    switch (iIn.below(16)) {
      case 0:   // a new block in a local
        storeInto(local(), [&] {
          const int32_t words = iIn.below(4) == 0 ? iIn.from(kCounts) : iIn.from(kSmallCounts);
          op(std::string("ALLOC ") + iIn.from(kGcCodes) + ", " + std::to_string(words), 1);
        });
        break;
      case 1:   // an address kept for later: a block's edge, the globals, a slot
        storeInto(local(), [&] {
          switch (iIn.below(4)) {
            case 0: address(); break;
            case 1: op("PUSH_GLOBALS", 1); break;
            case 2: op("ADDR_LOCAL " + std::to_string(iIn.below(12) - 8), 1); break;
            default: push(iIn.from(kValues)); break;
          }
        });
        break;
      case 2:   // read through an address into a local
        storeInto(local(), [&] {
          address();
          op("DEREF", 0);
        });
        break;
      case 3:   // write through an address
        address();
        push(iIn.from(kValues));
        op(iIn.from(kWordAt), -2);
        break;
      case 4: {   // an address consumed by a one-operand instruction
        const char* instruction = iIn.from(kOnAddress);
        // FREE mostly of whole blocks, so freed blocks get reused.
        if (std::string(instruction).compare(0, 4, "FREE") == 0 && iIn.below(4) != 0) load(local());
        else address();
        op(instruction, -1);
        break;
      }
      case 5: {   // multi-word moves
        const int32_t n = iIn.below(3) == 0 ? iIn.from(kCounts) : 1 + iIn.below(4);
        address();
        switch (iIn.below(3)) {
          case 0: op("CLEAR_WORDS " + std::to_string(n), -1); break;
          case 1:
            address();
            op("COPY_WORDS " + std::to_string(n), -1);
            op("RESERVE -1", -1);
            break;
          default:
            if (n < 1 || n > 8) {
              op("CLEAR_WORDS 1", -1);
            } else {
              op("LOAD_WORDS " + std::to_string(n), n - 1);
              op("RESERVE -" + std::to_string(n), -n);
            }
        }
        break;
      }
      case 6:   // a new vector at an address
        address();
        op("NEW_VECTOR " + std::to_string(iIn.from(kElementSizes)), -1);
        break;
      case 7:
        native();
        break;
      case 8:
        fusedSequence();
        break;
      case 9: {   // reads at and above the top, through the plain loads
        const int d = iIn.below(4) - 1;
        op("LOAD_LOCAL " + std::to_string(d), 1);
        op(std::string("LOAD_LOCAL ") + std::to_string(iIn.below(3) - 1), 1);
        op(iIn.from(kBinary), -1);
        logTop();
        break;
      }
      case 10:   // calls that throw through frames, caught here or inside
        push(iIn.from(kSmallCounts) * (iIn.below(3) == 0 ? 25 : 1));
        op(iIn.below(2) ? "CALL rec" : "CALL catcher", -1);
        break;
      case 11:   // a thrown object of our own, or a forged one
        if (iIn.below(2)) {
          op("ALLOC CLASS_OBJECT, 3", 1);
          op("DUP", 1);
          op("SET_CLASS Throwable", -1);
          op("DUP", 1);
          op("FIELD_ADDR 2", 0);
          op("PUSH_STRING_CELL \"own\"", 1);
          op("STORE_WORD", -2);
        } else {
          load(local());
        }
        op("THROW", -1);
        break;
      case 12:
        if (nesting < 2) loop(nesting);
        break;
      case 13:
        if (nesting < 2) guarded(nesting);
        break;
      case 14:   // boxes and packs kept in a local
        storeInto(local(), [&] {
          load(local());
          switch (iIn.below(3)) {
            case 0: op("BOX", 0); break;
            case 1: op("BOX_DATA", 0); break;
            default:
              load(local());
              op("PACK 2", -1);
          }
        });
        break;
      default:
        logLocal(local());
        break;
    }
  }

  // A result goes to a local, so later operations get the strings and
  // vectors the natives make.
  void native() {
    const NativeOp& n = iIn.from(kNatives);
    if (n.results == 1) storeInto(local(), [&] { callNative(n); });
    else callNative(n);
  }

  void callNative(const NativeOp& n) {
    const int g = iIn.below(5);
    const char* group = n.group ? n.group : kVectorGroups[g];
    const int slots = n.group ? 1 : kVectorSlots[g];
    const int before = n.element ? n.arguments - 1 - n.after : n.arguments;
    for (int k = 0; k < before; ++k) argument();
    if (n.element)
      for (int k = 0; k < slots; ++k) argument();
    for (int k = 0; k < n.after; ++k) argument();
    const int taken = before + (n.element ? slots : 0) + n.after;
    op(std::string("NATIVE_CALL ") + group + " " + std::to_string(n.op), n.results - taken);
  }

  // The sequences the interpreter fuses (every family of Fusion.cpp's
  // table), with offsets around the top: the slots the sequence itself
  // writes and the stale ones above it, which a probe then reads.
  void fusedSequence() {
    const int32_t k = iIn.from(kValues);
    const std::string skip = label();
    bool branch = false, compared = true;
    switch (iIn.below(13)) {
      case 0:   // in place through a local's address
        op("ADDR_LOCAL " + near(), 1);
        switch (iIn.below(3)) {
          case 0: op("LOAD_LOCAL " + near(), 1); break;
          case 1: push(k); break;
          default:
            op(iIn.below(2) ? "INC_AT" : "DEC_AT", -1);
            return probe();
        }
        op(iIn.below(2) ? "ADD_AT" : "SUB_AT", -2);
        break;
      case 1:   // load-operate-store into a local
        op("ADDR_LOCAL " + near(), 1);
        op("LOAD_LOCAL " + near(), 1);
        operand(k);
        op(iIn.from(kWordOperations), -1);
        op("STORE_WORD", -2);
        break;
      case 2:   // a local set from a local or a constant
        op("ADDR_LOCAL " + near(), 1);
        operand(k);
        op("STORE_WORD", -2);
        break;
      case 3:   // an operation on a local and a local or a constant
        op("LOAD_LOCAL " + near(), 1);
        operand(k);
        op(iIn.from(kWordOperations), -1);
        logTop();
        break;
      case 4:   // the top combined with a local or a constant
        argument();
        operand(k);
        op(iIn.from(kWordOperations), -1);
        logTop();
        break;
      case 5:   // a local against a local, a constant or zero
        op("LOAD_LOCAL " + near(), 1);
        if (iIn.below(3)) operand(k);
        else compared = false;
        branch = true;
        break;
      case 6:   // the top against a local or a constant
        argument();
        operand(k);
        branch = true;
        break;
      case 7:   // two computed values
        argument();
        argument();
        branch = true;
        break;
      case 8:   // an element's address, value or store: base, index, scaling
      case 9:
      case 10: {
        op("LOAD_LOCAL " + near(), 1);
        op("LOAD_LOCAL " + near(), 1);
        push(iIn.below(2) ? iIn.from(kScales) : k);
        op(iIn.below(2) ? "SHL" : "MUL", -1);
        op("ADD", -1);
        switch (iIn.below(3)) {
          case 0: op("DEREF", 0); logTop(); break;
          case 1:
            op("LOAD_LOCAL " + near(), 1);
            op("STORE_WORD", -2);
            break;
          default: logTop();
        }
        break;
      }
      case 11:   // a store through an address in a local, or of an expression
        if (iIn.below(2)) {
          address();
          argument();
          argument();
          op("NOP", 0);   // so the operation is not fused with the pushes
          op(iIn.from(kWordOperations), -1);
        } else {
          op("LOAD_LOCAL " + near(), 1);
          op("LOAD_LOCAL " + near(), 1);
        }
        op("STORE_WORD", -2);
        break;
      default:   // a load through an address in a local, or of a field
        op("LOAD_LOCAL " + near(), 1);
        if (iIn.below(2)) op("FIELD_ADDR " + std::to_string(iIn.below(5) - 1), 0);
        op("DEREF", 0);
        logTop();
    }
    if (branch) {
      if (compared) op(iIn.from(kCompare), -1);
      op("JUMP_IF_FALSE " + skip, -1);
      op("PUSH_IMM32 7", 1);
      logTop();
      place(skip);
    }
    probe();
  }

  // A local or an offset near the top, from the next pushed slot.
  std::string near() { return std::to_string(iIn.below(2) ? iIn.below(5) - 3 : -(iDepth - local())); }
  void operand(int32_t k) {
    if (iIn.below(2)) op("LOAD_LOCAL " + near(), 1);
    else push(k);
  }
  // Reads a slot at or above the top, where fused handlers leave temporaries.
  void probe() {
    if (iIn.below(2)) return;
    op("LOAD_LOCAL " + std::to_string(iIn.below(4) - 1), 1);
    logTop();
  }

  // A counted loop in a local; the body may clobber the counter, so the
  // budget bounds it.
  void loop(int nesting) {
    const int c = local();
    const std::string top = label(), end = label();
    storeInto(c, [&] { push(0); });
    place(top);
    load(c);
    push(iIn.from(kSmallCounts) * (iIn.below(2) ? 1 : 20));
    op("CMP_LT", -1);
    op("JUMP_IF_FALSE " + end, -1);
    const int body = 1 + iIn.below(3);
    for (int k = 0; k < body; ++k) statement(nesting + 1);
    op("ADDR_LOCAL " + at(c), 1);
    op("INC_AT", -1);
    op("JUMP " + top, 0);
    place(end);
  }

  void guarded(int nesting) {
    const std::string handler = label(), after = label();
    op("TRY any, " + handler, 0);
    const int body = 1 + iIn.below(3);
    for (int k = 0; k < body; ++k) statement(nesting + 1);
    op("END_TRY -1", 0);
    op("JUMP " + after, 0);
    place(handler);
    ++iDepth;
    op("RESERVE -1", -1);
    place(after);
  }

  ByteSource& iIn;
  std::ostringstream iOut;
  int iDepth = 0;   // slots above main's return slot
  int iLabels = 0;
};

std::string outcome(const RunResult& r) {
  std::string s;
  for (const std::string& l : r.logs) s += "LOG: " + l + "\n";
  return s + "code " + std::to_string(r.errorCode) + ": " + r.error + (r.terminated ? " (terminated)" : "") + "\n";
}

}  // namespace

std::string generateProgram(const uint8_t* data, size_t size) {
  ByteSource in(data, size);
  return Generator(in).program();
}

std::string compareFusedAndPlain(const std::string& source, long long budget, bool* assembled) {
  std::string results[2];
  TInt32 entries[2] = {0, 0};
  for (int plain = 0; plain < 2; ++plain) {
    ScriptMachine m(source);
    if (assembled) *assembled = m.assembled();
    if (!m.assembled()) return std::string();
    m.vm().setFusion(plain == 0);
    m.vm().setBudget(budget);
    const RunResult r = m.runMain();
    results[plain] = outcome(r);
    entries[plain] = m.vm().heap().nOfEntries();
  }
  if (results[0] == results[1] && entries[0] == entries[1]) return std::string();
  return "fused:\n" + results[0] + "blocks " + std::to_string(entries[0]) + "\nplain:\n" + results[1] + "blocks " +
         std::to_string(entries[1]) + "\n";
}

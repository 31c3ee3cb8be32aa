// Every sequence of the fusion table, run fused and plain over every
// operand edge: offsets naming the locals, the top, the slots the sequence
// itself writes and the stale ones above it; constants at the comparison
// and shift edges; each comparison and word operation; element bases that
// are blocks, stack slots or wrong. Each case logs what it leaves (its
// locals, its results and the three slots above the top) or the code of the
// error it raised; the two runs must log the same, also when the budget
// ends a run inside a sequence.
#include "ProgramGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <vector>

namespace {

// Operand choices by placeholder. Offsets count from the next pushed slot:
// -1 .. -5 are the case's locals (the first pushed operand moves them one
// further), 0 .. 2 the slots above the top.
const std::map<char, std::vector<std::string>> kChoices = {
    {'d', {"-1", "-2", "-3", "-4", "-5", "0", "1", "2"}},
    {'e', {"-1", "-2", "-4", "-5", "0", "1"}},
    {'f', {"-1", "-3", "0", "1", "2"}},
    {'k', {"1", "5", "4", "6", "0", "-1", "2147483647", "-2147483648", "32", "-32"}},
    {'o', {"ADD", "SUB", "MUL", "AND", "OR", "XOR", "SHL", "SHR"}},
    {'c', {"CMP_EQ", "CMP_LT", "CMP_LE", "CMP_NE", "CMP_GT", "CMP_GE"}},
    {'s', {"SHL", "MUL"}},
    {'a', {"ADD_AT", "SUB_AT"}},
    {'i', {"INC_AT", "DEC_AT"}},
    {'x', {"0", "1", "2", "3", "4", "-1"}},
};

// The patterns, one instruction per line; {x} is a placeholder, "B" ends
// the sequence with a JUMP_IF_FALSE16 (both ways are logged).
const char* const kPatterns[] = {
    "LOAD_LOCAL {d}\nPUSH_IMM32 {k}\n{c}\nB",
    "LOAD_LOCAL {d}\nLOAD_LOCAL {e}\n{c}\nB",
    "PUSH_IMM32 {k}\n{c}\nB",
    "LOAD_LOCAL {d}\n{c}\nB",
    "{c}\nB",
    "LOAD_LOCAL {d}\nB",
    "ADDR_LOCAL {d}\nLOAD_LOCAL {e}\nLOAD_LOCAL {f}\n{o}\nSTORE_WORD",
    "ADDR_LOCAL {d}\nLOAD_LOCAL {e}\nPUSH_IMM32 {k}\n{o}\nSTORE_WORD",
    "LOAD_LOCAL {d}\nPUSH_IMM32 {k}\n{o}",
    "LOAD_LOCAL {d}\n{o}",
    "PUSH_IMM32 {k}\n{o}",
    "LOAD_LOCAL {d}\nNOP\nLOAD_LOCAL {e}\nNOP\nLOAD_LOCAL {f}\nNOP\n{o}\nSTORE_WORD",
    "LOAD_LOCAL {d}\nLOAD_LOCAL {e}\nPUSH_IMM32 {k}\n{s}\nADD\nDEREF",
    "LOAD_LOCAL {d}\nLOAD_LOCAL {e}\nPUSH_IMM32 {k}\n{s}\nADD\nLOAD_LOCAL {f}\nSTORE_WORD",
    "LOAD_LOCAL {d}\nLOAD_LOCAL {e}\nPUSH_IMM32 {k}\n{s}\nADD",
    "ADDR_LOCAL {d}\nLOAD_LOCAL {e}\n{a}",
    "ADDR_LOCAL {d}\nPUSH_IMM32 {k}\n{a}",
    "ADDR_LOCAL {d}\n{i}",
    "ADDR_LOCAL {d}\nLOAD_LOCAL {e}\nSTORE_WORD",
    "ADDR_LOCAL {d}\nPUSH_IMM32 {k}\nSTORE_WORD",
    "LOAD_LOCAL {d}\nLOAD_LOCAL {e}\nSTORE_WORD",
    "LOAD_LOCAL {d}\nFIELD_ADDR {x}\nDEREF",
    "LOAD_LOCAL {d}\nDEREF",
    "LOAD_LOCAL {d}\nLOAD_LOCAL {e}",
};

// Slots each instruction leaves, by mnemonic.
int effect(const std::string& line) {
  const std::string op = line.substr(0, line.find(' '));
  if (op == "LOAD_LOCAL" || op == "ADDR_LOCAL" || op == "PUSH_IMM32") return 1;
  if (op == "STORE_WORD" || op == "ADD_AT" || op == "SUB_AT") return -2;
  if (op == "DEREF" || op == "FIELD_ADDR" || op == "NOP") return 0;
  return -1;   // word operations, comparisons, INC_AT, DEC_AT, the branch
}

// Every filling of the placeholders: all offset combinations, the other
// choices cycled through them (or multiplied, while that stays small).
std::vector<std::map<char, std::string>> fillings(const std::string& pattern) {
  std::vector<char> offsets, selectors;
  for (size_t at = pattern.find('{'); at != std::string::npos; at = pattern.find('{', at + 1)) {
    const char p = pattern[at + 1];
    std::vector<char>& into = (p == 'd' || p == 'e' || p == 'f') ? offsets : selectors;
    if (std::find(into.begin(), into.end(), p) == into.end()) into.push_back(p);
  }
  auto product = [](const std::vector<char>& names) {
    std::vector<std::map<char, std::string>> all(1);
    for (char n : names) {
      std::vector<std::map<char, std::string>> next;
      for (const auto& partial : all)
        for (const std::string& v : kChoices.at(n)) {
          next.push_back(partial);
          next.back()[n] = v;
        }
      all = next;
    }
    return all;
  };
  const auto offs = product(offsets), sels = product(selectors);
  std::vector<std::map<char, std::string>> out;
  if (offs.size() * sels.size() <= 400) {
    for (const auto& o : offs)
      for (const auto& s : sels) {
        out.push_back(o);
        out.back().insert(s.begin(), s.end());
      }
  } else {
    for (size_t n = 0; n < std::max(offs.size(), sels.size()); ++n) {
      out.push_back(offs[n % offs.size()]);
      out.back().insert(sels[n % sels.size()].begin(), sels[n % sels.size()].end());
    }
  }
  return out;
}

class Program {
 public:
  std::string text() const { return ".method main export=\"main\"\n" + iOut.str() + "  RETURN 0, 1\n"; }

  // One case under its own handler, on five locals: a 4-word block, 1, 5,
  // INT_MIN and the address of the local holding 5.
  void addCase(const std::string& pattern, const std::map<char, std::string>& fill) {
    const std::string n = std::to_string(iCases++);
    emit("TRY any, h" + n);
    iDepth = 0;
    for (const char* setup : {"ALLOC LEAF, 4", "PUSH_IMM32 1", "PUSH_IMM32 5", "PUSH_IMM32 -2147483648"}) emit(setup, 1);
    emit("ADDR_LOCAL -2", 1);
    std::istringstream lines(pattern);
    bool branched = false;
    for (std::string line; std::getline(lines, line);) {
      if (line == "B") {
        emit("JUMP_IF_FALSE16 no" + n, -1);
        const int depth = iDepth;
        logState("1");
        emit("JUMP16 join" + n);
        place("no" + n);
        iDepth = depth;
        logState("0");
        branched = true;
        break;
      }
      for (const auto& f : fill) {
        const std::string key = std::string("{") + f.first + "}";
        for (size_t at; (at = line.find(key)) != std::string::npos;) line.replace(at, key.size(), f.second);
      }
      emit(line, effect(line));
    }
    if (!branched) logState("");
    place("join" + n);
    emit("END_TRY -1");
    emit("JUMP16 after" + n);
    place("h" + n);
    emit("FIELD_ADDR 1");
    emit("DEREF");
    log();
    place("after" + n);
  }

 private:
  void emit(const std::string& line, int delta = 0) {
    iOut << "  " << line << "\n";
    iDepth += delta;
  }
  void place(const std::string& label) { iOut << label << ":\n"; }
  void log() {
    iOut << "  INT_TO_STRING\n  BOX\n  NATIVE_CALL Debug 1\n";
  }
  // The three slots above the top, then every slot of the case, then drops them.
  void logState(const std::string& way) {
    for (int k = 0; k < 3; ++k) emit("LOAD_LOCAL 0", 1);
    for (int k = 0; k < 3; ++k) {
      log();
      --iDepth;
    }
    if (!way.empty()) iOut << "  PUSH_STRING_CELL \"way " << way << "\"\n  NATIVE_CALL Debug 1\n";
    for (int slot = 0; slot < iDepth; ++slot) {
      emit("LOAD_LOCAL " + std::to_string(slot - iDepth));
      log();
    }
    if (iDepth > 0) emit("RESERVE -" + std::to_string(iDepth));
  }

  std::ostringstream iOut;
  int iDepth = 0;
  int iCases = 0;
};

TEST(FusedFamilies, EveryPatternAgreesWithItsPlainSequenceOnEveryOperandEdge) {
  for (const char* pattern : kPatterns) {
    Program p;
    for (const auto& fill : fillings(pattern)) p.addCase(pattern, fill);
    // Unlimited, and budgets that end the run at the first cases' jumps.
    for (long long budget : {-1LL, 1LL, 2LL}) {
      bool assembled = false;
      const std::string difference = compareFusedAndPlain(p.text(), budget, &assembled);
      ASSERT_TRUE(assembled) << pattern;
      EXPECT_EQ(difference, "") << pattern << " budget " << budget;
    }
  }
}


// A branch whose target lies outside the code is not fused: the plain jump
// faults when taken, and both runs end alike either way.
TEST(FusedFamilies, BranchesOutOfTheCodeFaultAtTheJump) {
  const char* const heads[] = {"LOAD_LOCAL -1\nPUSH_IMM32 {k}", "LOAD_LOCAL -1\nLOAD_LOCAL -1", "PUSH_IMM32 {k}",
                               "LOAD_LOCAL -1", "LOAD_LOCAL -1\nNOP\nPUSH_IMM32 {k}\nNOP"};
  for (const char* head : heads)
    for (const char* k : {"2", "3", "4"})
      for (const char* offset : {"30000", "-30000"}) {
        std::string seq = std::string(head) + "\nCMP_LT\nJUMP_IF_FALSE16 " + offset + "\n";
        for (size_t at; (at = seq.find("{k}")) != std::string::npos;) seq.replace(at, 3, k);
        std::string text = ".method main export=\"main\"\n  PUSH_IMM32 3\n";
        std::istringstream lines(seq);
        for (std::string line; std::getline(lines, line);) text += "  " + line + "\n";
        text += "  RESERVE -1\n  RETURN 0, 1\n";
        bool assembled = false;
        EXPECT_EQ(compareFusedAndPlain(text, -1, &assembled), "") << text;
        ASSERT_TRUE(assembled) << text;
        ScriptMachine m(text);
        const RunResult r = m.runMain();
        if (std::string(k) == "2") {   // 3 < 2 fails: the jump is taken
          EXPECT_NE(r.error.find("Invalid jump target"), std::string::npos) << text << r.error;
        }
      }
}

}  // namespace

// The assembler's language and the disassembler's round trip.
#include "Assembler.h"
#include "Opcodes.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using mcb::Assembler;
using mcb::ImageModel;

ImageModel assemble(const std::string& text) {
  Assembler a({EXAMPLES_DIR "/lib"});
  ImageModel m;
  EXPECT_TRUE(a.assembleText(text, "t.asm", m)) << (a.errors().empty() ? "" : a.errors()[0].text());
  return m;
}

std::string firstError(const std::string& text) {
  Assembler a;
  ImageModel m;
  EXPECT_FALSE(a.assembleText(text, "t.asm", m));
  return a.errors().empty() ? "" : a.errors()[0].text();
}

std::vector<uint8_t> roundTrip(const ImageModel& m) {
  ImageModel back;
  std::string error;
  const std::vector<uint8_t> bytes = mcb::writeImage(m);
  EXPECT_TRUE(mcb::readImage(bytes, back, error)) << error;
  return mcb::writeImage(assemble(mcb::disassemble(back)));
}

TEST(Assembler, JumpsChooseTheirSize) {
  std::string far;
  for (int i = 0; i < 33000; ++i) far += "  NOP\n";
  const ImageModel near = assemble("a:\n  JUMP a\n  JUMP_IF_FALSE a\n");
  EXPECT_EQ(near.code[0], OP_JUMP16);
  EXPECT_EQ(static_cast<int8_t>(near.code[1]), -2);   // a - 0 - 2
  EXPECT_EQ(near.code[3], OP_JUMP_IF_FALSE16);
  const ImageModel m = assemble("  JUMP end\n" + far + "end:\n  JUMP16 end\n");
  EXPECT_EQ(m.code[0], OP_JUMP32);
  EXPECT_EQ(m.code[1] | m.code[2] << 8, 33000 + 5 - 4);
  EXPECT_NE(firstError("  JUMP16 end\n" + far + "end:\n").find("too far"), std::string::npos);
}

TEST(Assembler, SizedFamiliesFollowTheirOperand) {
  const ImageModel m = assemble("  LOAD_LOCAL -128\n  LOAD_LOCAL 128\n  RESERVE32 1\n");
  EXPECT_EQ(m.code[0], OP_LOAD_LOCAL8);
  EXPECT_EQ(m.code[2], OP_LOAD_LOCAL32);
  EXPECT_EQ(m.code[7], OP_RESERVE32);
}

TEST(Assembler, TryResumesAtItsLabel) {
  const ImageModel m = assemble("  NOP\n  TRY any, h\n  NOP\nh:\n  NOP\n");
  // TRY at 1: handler = off + 1 + 8, and a caught throw continues at handler + 1 = 11.
  const int32_t off = m.code[6] | m.code[7] << 8 | m.code[8] << 16 | m.code[9] << 24;
  EXPECT_EQ(off + 1 + 8 + 1, 11);
  EXPECT_EQ(m.code[2], 0xFF);   // class -1: any
}

TEST(Assembler, StringsArePooledAndNamesResolved) {
  const ImageModel m = assemble(".string \"a\"\n.class K\n.method f params=2 paramrefs=0,1 export=\"f\"\n"
                                "  PUSH_STRING \"b\"\n  PUSH_STRING \"a\"\n  PUSH_STRING_CELL \"b\"\n"
                                "  NATIVE_CALL String 5\n  SET_CLASS K\n  CALL f\n");
  EXPECT_EQ(m.strings, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(m.code[1], 1);
  EXPECT_EQ(m.code[6], 0);
  EXPECT_EQ(m.code[10], OP_PUSH_STRING);
  EXPECT_EQ(m.code[15], OP_BOX);
  EXPECT_EQ(m.code[17], 8);   // the String group
  ASSERT_EQ(m.exports.size(), 1u);
  EXPECT_EQ(m.exports[0].name, "f");
  EXPECT_EQ(m.records[0].paramRefs, (std::vector<int32_t>{0, 1}));
}

TEST(Assembler, NativeOperationsByNameOrNumber) {
  const ImageModel named = assemble("  NATIVE_CALL String indexOf\n  NATIVE_CALL Char toLower\n  NATIVE_CALL 36 fromFixed\n");
  const ImageModel numbered = assemble("  NATIVE_CALL String 16\n  NATIVE_CALL 10 1\n  NATIVE_CALL Float 0\n");
  EXPECT_EQ(named.code, numbered.code);
  EXPECT_EQ(named.code[1], 8);
  EXPECT_EQ(named.code[2], 16);
  // Names print back; a number without a name stays a number.
  const std::string text = mcb::disassemble(assemble("  NATIVE_CALL String toUpperCase\n  NATIVE_CALL String 0\n"));
  EXPECT_NE(text.find("NATIVE_CALL String toUpperCase"), std::string::npos) << text;
  EXPECT_NE(text.find("NATIVE_CALL String 0"), std::string::npos) << text;
  EXPECT_EQ(firstError("  NATIVE_CALL String frob\n"), "t.asm:1:22: error: unknown operation 'frob' of native group 8");
  EXPECT_EQ(firstError("  NATIVE_CALL Graphics draw\n"), "t.asm:1:24: error: unknown operation 'draw' of native group 18");
}

TEST(Assembler, ExtensionOperationsByNameOrNumber) {
  const ImageModel named =
      assemble("  EXTENSION_CALL XMLParser parse\n  EXTENSION_CALL Accelerometer z\n  EXTENSION_CALL 36 isCoverOpen\n");
  const ImageModel numbered = assemble("  EXTENSION_CALL 23, 2\n  EXTENSION_CALL 20 13\n  EXTENSION_CALL Torch 4\n");
  EXPECT_EQ(named.code, numbered.code);
  EXPECT_EQ(named.code[1], 23);
  EXPECT_EQ(named.code[2], 2);
  // Names print back and reassemble to the same bytes; an opcode without a
  // name, or an id that is no built-in extension, stays a number.
  const ImageModel m = assemble("  EXTENSION_CALL XMLParser fromText\n  EXTENSION_CALL XMLParser 6\n  EXTENSION_CALL 21, 1\n");
  const std::string text = mcb::disassemble(m);
  EXPECT_NE(text.find("EXTENSION_CALL XMLParser fromText"), std::string::npos) << text;
  EXPECT_NE(text.find("EXTENSION_CALL XMLParser 6"), std::string::npos) << text;
  EXPECT_NE(text.find("EXTENSION_CALL 21, 1"), std::string::npos) << text;
  EXPECT_EQ(roundTrip(m), mcb::writeImage(m));
  EXPECT_EQ(firstError("  EXTENSION_CALL XmlParser parse\n"), "t.asm:1:18: error: unknown extension 'XmlParser'");
  EXPECT_EQ(firstError("  EXTENSION_CALL String indexOf\n"), "t.asm:1:18: error: unknown extension 'String'");
  EXPECT_EQ(firstError("  NOP\n  EXTENSION_CALL XMLParser frob\n"),
            "t.asm:2:28: error: unknown operation 'frob' of extension 23");
  EXPECT_EQ(firstError("  EXTENSION_CALL 21 load\n"), "t.asm:1:21: error: unknown operation 'load' of extension 21");
  EXPECT_EQ(firstError("  EXTENSION_CALL -3 parse\n"), "t.asm:1:21: error: unknown operation 'parse' of extension -3");
}

TEST(Assembler, WidthsAreTheSmallestThatFit) {
  const ImageModel m = assemble(".class A refs=300\n.record R params=70000\n");
  const std::vector<uint8_t> b = mcb::writeImage(m);
  ImageModel back;
  std::string error;
  ASSERT_TRUE(mcb::readImage(b, back, error));
  EXPECT_EQ(back.classes[0].width, 2);
  EXPECT_EQ(back.widths[mcb::W_PARAM_SLOTS], 4);
  EXPECT_EQ(back.widths[mcb::W_RESULT_SLOTS], 1);
  EXPECT_EQ(back.records[0].width, 1);
}

TEST(Assembler, ErrorsNameTheFileLineAndColumn) {
  EXPECT_EQ(firstError("\n  FROB 1\n"), "t.asm:2:3: error: unknown mnemonic 'FROB'");
  EXPECT_EQ(firstError("  JUMP nowhere\n"), "t.asm:1:8: error: unknown label 'nowhere'");
  EXPECT_EQ(firstError("  LOAD_LOCAL8 200\n"), "t.asm:1:15: error: operand 200 out of range (-128 to 127)");
  EXPECT_EQ(firstError("  PUSH_STRING \"open\n"), "t.asm:1:15: error: string is not closed");
  EXPECT_EQ(firstError("x:\nx:\n"), "t.asm:2:1: error: label 'x' is defined twice");
  EXPECT_EQ(firstError("  CALL x\nx:\n"), "t.asm:1:8: error: 'x' is not a .method: give its record");
  EXPECT_EQ(firstError("  NATIVE_CALL Nothing 1\n"), "t.asm:1:15: error: unknown native group 'Nothing'");
  EXPECT_EQ(firstError(".virtual \"v\"\n"), "t.asm:1:1: error: .virtual without .end");
  EXPECT_EQ(firstError(".include \"missing.asm\"\n"), "t.asm:1:10: error: cannot find 'missing.asm' (searched .; add a folder with -I)");
}

TEST(Assembler, RawImagesAreKeptAsWritten) {
  const ImageModel m = assemble(".rawimage\n.bytes 5 \"ab\" -1\n");
  EXPECT_EQ(mcb::writeImage(m), (std::vector<uint8_t>{5, 'a', 'b', 0xFF}));
}

TEST(Disassembler, RoundTripsEveryExample) {
  int seen = 0;
  for (const auto& dir : std::filesystem::recursive_directory_iterator(EXAMPLES_DIR)) {
    if (dir.path().extension() != ".asm" || dir.path().parent_path().filename() == "lib") continue;
    Assembler a({EXAMPLES_DIR "/lib"});
    ImageModel m;
    ASSERT_TRUE(a.assembleFile(dir.path().string(), m)) << dir.path() << ": " << a.errors()[0].text();
    EXPECT_EQ(roundTrip(m), mcb::writeImage(m)) << dir.path();
    ++seen;
  }
  EXPECT_GT(seen, 0);
}

TEST(Disassembler, RoundTripsOddImages) {
  // Every opcode, raw bytes between instructions, targets inside
  // instructions and outside the code, forced widths.
  std::string all = ".widths 4 4 2 1 1 2 1 1 4\n.class A width=4 refs=1 vectors=2:ref,3:data interfaces=A\n"
                    ".record R params=1 paramvectors=1:ref localrefs=2\n.virtual \"v\"\n  A 3 record=0\n.end\n"
                    ".export \"e\" 2 record=0\n.globals 12\n";
  for (int op = 0; op < 256; ++op) {
    if (!isOpcode(op)) continue;
    all += "  .bytes " + std::to_string(op);
    for (int k = 1; k < instructionLength(op); ++k) all += " " + std::to_string((op * 7 + k * 13) & 0xFF);
    all += "\n";
  }
  all += "  .bytes 125 200\n  TRY 0, 5\n  JUMP32 -100000\n  CALL 1, -1\n  PUSH_IMM64 -5\n";
  const ImageModel m = assemble(all);
  EXPECT_EQ(roundTrip(m), mcb::writeImage(m));
}

}  // namespace

TEST(Assembler, SlotNamesAndConstants) {
  EXPECT_EQ(firstError(".arg x\n"), "t.asm:1:1: error: .arg belongs after a .method");
  EXPECT_EQ(firstError(".method m params=1\n.arg a, b\n  RETURN 0, 2\n"),
            "t.asm:2:9: error: more .arg names than the method's params=1");
  EXPECT_EQ(firstError(".method m\n.local a, a\n"), "t.asm:2:11: error: 'a' is not a new slot name");
  EXPECT_EQ(firstError(".method m\n  LOAD_LOCAL nope\n"),
            "t.asm:2:14: error: unknown slot name 'nope' (name it with .arg or .local)");
  EXPECT_EQ(firstError(".equ N 1\n.equ N 2\n"), "t.asm:2:6: error: 'N' is defined twice");
  EXPECT_EQ(firstError(".method m\n.local a\n  PUSH_IMM32 0\n  .bytes 0\n  LOAD_LOCAL a\n").substr(0, 43),
            "t.asm:5:14: error: the stack depth is not k");
  // A named distance follows the pushes: a is slot 1 in both loads.
  const ImageModel m = assemble(".equ K 7\n.method main export=\"main\"\n.local a\n  PUSH_IMM32 K\n  LOAD_LOCAL a\n"
                                "  LOAD_LOCAL a\n  RESERVE -3\n  RETURN 0, 1\n");
  EXPECT_EQ(m.code[1], 7);
  EXPECT_EQ(static_cast<int8_t>(m.code[6]), -1);
  EXPECT_EQ(static_cast<int8_t>(m.code[8]), -2);
}

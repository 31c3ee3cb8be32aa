// The image loader: every error from a crafted image, de-duplication,
// widths, bases of a second image and the operand rewriting.
#include "ClientVM.h"
#include "Errors.h"
#include "ScriptMachine.h"
#include "TestHost.h"

#include <gtest/gtest.h>

namespace {

struct LoadResult {
  TInt32 index = -1;
  TInt32 code = 0;
  std::string message;
};

class LoaderTest : public ::testing::Test {
 protected:
  FixedHost host;
  ClientVM vm{&host};

  LoadResult load(const std::vector<TUint8>& bytes, const char* name = "app") {
    Vec<TUint8> image;
    for (TUint8 b : bytes) image.append(b);
    LoadResult r;
    try {
      r.index = vm.VirtualMachine::load(image, CAppsString(name));
    } catch (const ErrorHandlingException&) {
      r.code = currentErrorCode();
      r.message = currentErrorText().toStdString();
      clearError();
    }
    return r;
  }
  static std::vector<TUint8> image(const std::string& source) {
    std::string errors;
    std::vector<TUint8> b = assembleImage(source, false, &errors);
    EXPECT_FALSE(b.empty()) << errors;
    return b;
  }
  // A failed image stays registered (nothing is rolled back), so each
  // attempt gets its own name to get past de-duplication.
  void expectOpenError(const std::vector<TUint8>& bytes, const char* message = "OPEN BYTECODE EXCEPTION") {
    const std::string name = "bad" + std::to_string(++attempts);
    const LoadResult r = load(bytes, name.c_str());
    EXPECT_EQ(r.code, 11);
    EXPECT_NE(r.message.find(message), std::string::npos) << r.message;
  }
  ImageTables& t() { return vm.tables(); }
  int attempts = 0;
};

const char* const kSmall =
    ".tag \"t\"\n.class A\n.class B super=A refs=1 vectors=2:ref\n"
    ".method m params=1 results=1 locals=2 paramrefs=1 localvectors=3:data export=\"m\"\n  RETURN 0, 2\n";
// Offsets in kSmall's image: tag length, tag, magic at 2, widths at 6.
constexpr size_t kMagic = 2, kWidths = 6;

TEST_F(LoaderTest, HeaderErrors) {
  const std::vector<TUint8> good = image(kSmall);
  EXPECT_EQ(load({}).code, 6);
  std::vector<TUint8> b = good;
  b[0] = 100;   // tag longer than the image
  expectOpenError(b);
  for (size_t i = kMagic; i < kMagic + 4; ++i) {
    b = good;
    b[i] ^= 0x10;
    expectOpenError(b);
  }
  b = good;
  b[kWidths + 4] = 3;
  expectOpenError(b);
}

TEST_F(LoaderTest, AnEmptyTagPutsTheMagicAtByteOne) {
  const std::vector<TUint8> b = image(".method main export=\"main\"\n  RETURN 0, 1\n");
  ASSERT_EQ(b[0], 0);
  EXPECT_EQ(b[1], 0xFF);
  EXPECT_EQ(load(b).code, 0);
  EXPECT_EQ(t().images[0].tag.size(), 0);
}

TEST_F(LoaderTest, TablesAreRead) {
  ASSERT_EQ(load(image(kSmall)).code, 0);
  EXPECT_EQ(t().classReferenceFields[1].size(), 1);
  EXPECT_EQ(t().classReferenceFields[1][0], 1);
  EXPECT_EQ(t().classVectorFields[1][0], 2);
  EXPECT_EQ(t().classVectorFieldFlags[1][0], static_cast<char>(0xFF));
  EXPECT_EQ(t().superclassA[1], 0);
  EXPECT_EQ(t().superclassB[0], -1);
  EXPECT_EQ(t().superclassA[0], -1);
  const MethodGCInfo& m = t().methodInfos[0];
  EXPECT_EQ(m.paramSlots, 1);
  EXPECT_EQ(m.resultSlots, 1);
  EXPECT_EQ(m.localSlots, 2);
  EXPECT_EQ(m.localVectorSlots[0], 3);
  EXPECT_EQ(m.localVectorFlags[0], 0);
}

TEST_F(LoaderTest, BadClassAndRecordBytesAreRejected) {
  // Class and record width bytes and vector flags, found by their values in
  // images that differ only there.
  auto differing = [](const std::vector<TUint8>& a, const std::vector<TUint8>& b) {
    for (size_t i = 0; i < a.size(); ++i)
      if (a[i] != b[i]) return i;
    return a.size();
  };
  const std::vector<TUint8> w1 = image(".class A width=1\n"), w2 = image(".class A width=2\n");
  std::vector<TUint8> b = w1;
  b[differing(w1, w2)] = 3;
  expectOpenError(b);
  const std::vector<TUint8> f1 = image(".class A vectors=1:data\n"), f2 = image(".class A vectors=1:ref\n");
  b = f1;
  b[differing(f1, f2)] = 0x7F;
  expectOpenError(b);
  const std::vector<TUint8> r1 = image(".record R width=1\n"), r2 = image(".record R width=2\n");
  b = r1;
  b[differing(r1, r2)] = 3;
  expectOpenError(b);   // a bad record width rejects the image
  const std::vector<TUint8> v1 = image(".record R paramvectors=0:data\n"), v2 = image(".record R paramvectors=0:ref\n");
  b = v1;
  b[differing(v1, v2)] = 1;
  expectOpenError(b);
}

TEST_F(LoaderTest, EveryTruncationIsACleanError) {
  const std::vector<TUint8> good = image(std::string(kSmall) + ".virtual \"v\"\n  B m\n.end\n.string \"s\"\n");
  for (size_t n = 1; n < good.size(); ++n) {
    FixedHost h;
    ClientVM fresh(&h);
    Vec<TUint8> cut;
    for (size_t i = 0; i < n; ++i) cut.append(good[i]);
    try {
      fresh.VirtualMachine::load(cut, CAppsString("cut"));
    } catch (const ErrorHandlingException&) {
      EXPECT_TRUE(currentErrorCode() == 6 || currentErrorCode() == 11) << n << ": " << currentErrorText().toStdString();
      clearError();
    }
  }
}

TEST_F(LoaderTest, DirectiveNameAtTheEndOfTheImage) {
  std::vector<TUint8> b = image(".virtual \"v\"\n.end\n");
  // Keep everything up to and including the directive's name.
  const std::string name = "v";
  size_t at = 0;
  for (size_t i = 0; i + 5 <= b.size(); ++i)
    if (b[i] == 1 && b[i + 1] == 0 && b[i + 2] == 0 && b[i + 3] == 0 && b[i + 4] == 'v') at = i + 5;
  ASSERT_GT(at, 0u);
  b.resize(at);
  expectOpenError(b, "INVALID EXPORT DIRECTIVE");
}

TEST_F(LoaderTest, TheSameImageUnderTheSameNameLoadsOnce) {
  const std::vector<TUint8> b = image(kSmall);
  EXPECT_EQ(load(b, "a").index, 0);
  const TInt32 records = t().methodInfos.size(), code = t().codeSize;
  EXPECT_EQ(load(b, "a").index, 0);
  EXPECT_EQ(t().methodInfos.size(), records);
  EXPECT_EQ(t().codeSize, code);
  EXPECT_EQ(load(b, "b").index, 1);
  EXPECT_EQ(t().methodInfos.size(), 2 * records);
}

TEST_F(LoaderTest, WidthsAndUnsignedValues) {
  // Width-2 code offsets read 0xFFFF as 65535; width-4 record indices keep -1.
  const std::vector<TUint8> b = image(".widths 2 4 1 1 1 2 1 4 1\n.export \"x\" 65535 record=-1\n"
                                      ".record R params=300 locals=70000\n");
  ASSERT_EQ(load(b).code, 0);
  EXPECT_EQ(t().exportedMethods[0].entries[0].codeOffset, 65535);
  EXPECT_EQ(t().exportedMethods[0].entries[0].methodInfo, -1);
  EXPECT_EQ(t().methodInfos[0].paramSlots, 300);
  EXPECT_EQ(t().methodInfos[0].localSlots, 70000);
}

TEST_F(LoaderTest, GlobalsSizes) {
  ASSERT_EQ(load(image(".globals 0\n"), "zero").code, 0);
  EXPECT_EQ(t().globals, 0u);
  ASSERT_EQ(load(image(".globals 3\n"), "three").code, 0);
  EXPECT_NE(t().globals, 0u);
  EXPECT_EQ(load(image(".globals 0x7FFFFFFF\n"), "huge").code, 6);   // refused before committing memory
}

// The six rewritten opcodes, in a second image whose bases are all non-zero.
TEST_F(LoaderTest, ASecondImageIsShiftedByItsBases) {
  ASSERT_EQ(load(image(".class A\n.class B\n.record R\n.string \"one\"\n.virtual \"first\"\n.end\n"
                       "  NOP\n  NOP\n"), "first").code, 0);
  const TInt32 codeBase = t().codeSize, recordBase = t().methodInfos.size(), stringBase = t().strings.size();
  const TInt32 classBase = t().highestClassId + 1;
  const std::vector<TUint8> second = image(
      ".class C\n.class D super=C\n.string \"two\"\n"
      ".method f\n  RETURN 0, 1\n"
      ".virtual \"second\"\n  D f\n.end\n"
      ".method g\n"
      "  CALL f\n  CALL 3, -1\n  CALL_VIRTUAL \"second\"\n  PUSH_STRING \"two\"\n"
      "  SET_CLASS D\n  CHECK_CAST C\n  INSTANCE_OF D\n  TRY D, g\n  TRY any, g\n");
  ASSERT_EQ(load(second, "second").code, 0);
  EXPECT_EQ(t().superclassA[classBase + 1], classBase);
  const TUint8* c = t().code.data() + codeBase + 1;   // g's code; f is one RETURN (9 bytes)
  auto word = [&](int at) { return static_cast<TInt32>(c[at] | c[at + 1] << 8 | c[at + 2] << 16 | static_cast<TUint32>(c[at + 3]) << 24); };
  const int g = 8;   // f: RETURN at 0..8, g starts at 9 == c + 8
  EXPECT_EQ(word(g + 1), codeBase + 0);           // CALL f: target
  EXPECT_EQ(word(g + 5), recordBase + 0);         // and record
  EXPECT_EQ(word(g + 10), codeBase + 3);          // CALL 3, -1: target shifted
  EXPECT_EQ(word(g + 14), -1);                    // negative record kept
  const TInt32 method = word(g + 19);             // CALL_VIRTUAL: the global method index
  EXPECT_EQ(t().exportedMethods[method].name.toQString().toStdString(), "second");
  EXPECT_EQ(t().exportedMethods[method].entries[0].classId, classBase + 1);
  EXPECT_EQ(t().strings[word(g + 24)].length(), 3);   // PUSH_STRING "two"
  EXPECT_EQ(word(g + 24), stringBase);
  EXPECT_EQ(word(g + 29), classBase + 1);         // SET_CLASS D
  EXPECT_EQ(word(g + 34), classBase);             // CHECK_CAST C
  EXPECT_EQ(word(g + 39), classBase + 1);         // INSTANCE_OF D
  EXPECT_EQ(word(g + 44), classBase + 1);         // TRY D
  EXPECT_EQ(word(g + 53), -1);                    // TRY any: not shifted
}

TEST_F(LoaderTest, ADirectiveAddsToAnExportedMethodOfTheSameName) {
  ASSERT_EQ(load(image(".class A\n.method f export=\"same\"\n  RETURN 0, 1\n.virtual \"same\"\n  A f\n.end\n")).code, 0);
  ASSERT_EQ(t().exportedMethods.size(), 1);
  EXPECT_EQ(t().exportedMethods[0].isVirtual, 0);
  EXPECT_EQ(t().exportedMethods[0].entries.size(), 2);
  EXPECT_EQ(t().exportedMethods[0].entries[1].classId, 0);
}

TEST_F(LoaderTest, AFailedLoadLeavesNothingBehind) {
  ASSERT_EQ(load(image(".class A\n.globals 8\n"), "first").code, 0);
  const TInt32 roots = vm.state().heap.rootCount();
  const TInt32 classes = t().superclassA.size(), records = t().methodInfos.size(), code = t().codeSize;
  // Everything up to the code is read (globals, classes, records) before the operand fails.
  const std::vector<TUint8> bad = image(".globals 12\n.class B\n.record R\n  CALL_VIRTUAL 5\n");
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_EQ(load(bad, "bad").code, 6) << "attempt " << attempt;
    EXPECT_EQ(t().images.size(), 1);
    EXPECT_EQ(t().superclassA.size(), classes);
    EXPECT_EQ(t().methodInfos.size(), records);
    EXPECT_EQ(t().codeSize, code);
    EXPECT_EQ(vm.state().heap.rootCount(), roots);
  }
  EXPECT_EQ(load(image(".class C\n"), "next").index, 1);
}

// What the host prints beside the fixed message: the loader's own account of
// what is wrong and where, and nothing after a load that succeeded.
TEST_F(LoaderTest, ARefusedImageIsExplained) {
  auto fault = [&](const std::vector<TUint8>& bytes) {
    load(bytes, ("explained" + std::to_string(++attempts)).c_str());
    return vm.loadFault();
  };
  const std::vector<TUint8> good = image(kSmall);
  EXPECT_EQ(fault({}), "the image is empty");
  std::vector<TUint8> b = good;
  b[0] = 120;
  EXPECT_EQ(fault(b), "the tag length 120 at byte 0 does not fit the image (" + std::to_string(good.size()) + " bytes)");
  b = good;
  b[kMagic + 3] = 2;
  EXPECT_EQ(fault(b), "bad magic at byte 5: 0x02, expected 0x01");
  b = good;
  b[kWidths + 4] = 3;
  EXPECT_EQ(fault(b), "the header has width 3 at byte 10 (widths are 1, 2 or 4)");
  b = good;
  b.resize(good.size() - 12);   // inside the string count (the code is 9 bytes)
  EXPECT_EQ(fault(b), "the image ends inside the string table (at byte " + std::to_string(b.size() - 1) + " of " +
                          std::to_string(b.size()) + ")");
  const std::vector<TUint8> w1 = image(".class A\n.class B width=1\n"), w2 = image(".class A\n.class B width=2\n");
  b = w1;
  for (size_t i = 0; i < w1.size(); ++i)
    if (w1[i] != w2[i]) b[i] = 3;
  EXPECT_EQ(fault(b).rfind("class 1 has width 3 at byte ", 0), 0u) << fault(b);
  EXPECT_EQ(fault(image("  NOP\n  .bytes 119 1 2\n")), "the instruction at code offset 1 runs past the end of the code");
  EXPECT_EQ(fault(image("  CALL_VIRTUAL 5\n")), "the call at code offset 0 names directive 5 of 0");
  EXPECT_EQ(load(good, "fine").code, 0);
  EXPECT_EQ(vm.loadFault(), "");
}

TEST_F(LoaderTest, RewritingRefusesBadOperands) {
  EXPECT_EQ(load(image("  CALL_VIRTUAL 5\n"), "v").code, 6);
  EXPECT_EQ(load(image("  NOP\n  .bytes 119 1 2\n"), "cut").code, 6);
}

}  // namespace

namespace {

TEST_F(LoaderTest, AHugeClassIdDoesNotGrowTheNextImagesTables) {
  ASSERT_EQ(load(image("  SET_CLASS 2000000000\n"), "first").code, 0);
  EXPECT_EQ(t().highestClassId, 2000000000);
  EXPECT_EQ(load(image(".class A\n"), "second").code, 6);
  EXPECT_LT(t().superclassA.size(), 1 << 21);
}

}  // namespace

namespace {

// Many virtual-method directives load in time linear in their number (an
// image of 40,000 once took minutes); each still names its own method, and
// a repeated name adds to the first method of that name.
TEST_F(LoaderTest, ManyDirectivesAreIndexed) {
  constexpr int kDirectives = 40000;
  std::string source = ".class A\n.method m params=1 paramrefs=0 export=\"v0\"\n  RETURN 0, 2\n";
  for (int i = 0; i < kDirectives; ++i) source += ".virtual \"v" + std::to_string(i) + "\"\n  A m\n.end\n";
  source += ".virtual \"v7\"\n  A m\n.end\n";
  const std::vector<TUint8> bytes = image(source);
  ASSERT_FALSE(bytes.empty());
  const LoadResult r = load(bytes);
  ASSERT_EQ(r.code, 0) << r.message;
  // "v0" was exported first, so its directive joined that method.
  ASSERT_EQ(t().exportedMethods.size(), kDirectives);
  EXPECT_EQ(t().exportedMethods[0].isVirtual, 0);
  EXPECT_EQ(t().exportedMethods[0].entries.size(), 2);
  EXPECT_EQ(t().exportedMethods[12345].name.toQString().toStdString(), "v12345");
  EXPECT_EQ(t().exportedMethods[7].entries.size(), 2);
  EXPECT_EQ(t().exportedMethods[8].entries.size(), 1);
}

}  // namespace

namespace {

// The class tables are sized from the class count, but only as far as the
// image can hold classes: a count far beyond the image fails in the first
// class that is not whole (not in the table as a whole, and without tables
// for a million classes), and a true count gives tables of exactly that size.
TEST_F(LoaderTest, TheClassCountSizesTheTablesOnlyAsFarAsTheImageHoldsClasses) {
  std::string classes;
  for (int i = 0; i < 300; ++i) classes += ".class C" + std::to_string(i) + (i % 2 ? " super=C0\n" : "\n");
  ASSERT_EQ(load(image(classes), "many").code, 0);
  ASSERT_EQ(t().superclassA.size(), 300);
  EXPECT_EQ(t().classReferenceFields.size(), 300);
  EXPECT_EQ(t().superclassB[298], -1);
  EXPECT_EQ(t().superclassB[299], 0);

  const std::vector<TUint8> two = image(".class A\n.class B\n"), three = image(".class A\n.class B\n.class C\n");
  size_t count = 0;
  while (two[count] == three[count]) ++count;
  std::vector<TUint8> b = two;
  b[count] = 0xFF;
  b[count + 1] = 0xFF;
  b[count + 2] = 0x0F;   // 1,048,575 classes
  EXPECT_NE(load(b, "false count").code, 0);
  EXPECT_EQ(vm.loadFault().rfind("class 2 ", 0), 0u) << vm.loadFault();
  EXPECT_EQ(t().superclassA.size(), 300);
  // Putting the tables back after the failed load keeps the room it made.
  EXPECT_LT(t().classReferenceFields.capacity(), 1000);
}

}  // namespace

// The image loader: header, tables, code, and the operand rewriting that
// turns an image's local numbers into the machine's global indices.
//
// Every read goes through ImageReader, which raises code 6 for a read past
// the end of the image; nothing is rolled back when a load fails. The
// reader also keeps where it is, so a refused image can be explained (the
// messages raised are fixed; the explanation goes to the host beside them).
#include "ImageLoader.h"

#include "Errors.h"
#include "Fusion.h"
#include "Heap.h"
#include "Opcodes.h"

#include <QHash>
#include <QString>
#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr TInt32 kWidthCount = 9;
enum Width {
  CODE_OFFSET_WIDTH,
  METHOD_INFO_WIDTH,
  CLASS_ID_WIDTH,
  SUPER_FLAG_WIDTH,
  INTERFACE_COUNT_WIDTH,
  PARAM_SLOTS_WIDTH,
  RESULT_SLOTS_WIDTH,
  LOCAL_SLOTS_WIDTH,
  ENTRY_COUNT_WIDTH,
};

[[noreturn]] void openError() { raise(ERR_RUNTIME, "OPEN BYTECODE EXCEPTION"); }
bool validWidth(TInt32 w) { return w == 1 || w == 2 || w == 4; }

class ImageReader {
 public:
  explicit ImageReader(const Vec<TUint8>& bytes) : iBytes(bytes.data()), iSize(bytes.size()) {}

  TInt32 position() const { return iPos; }
  TInt32 size() const { return iSize; }
  void need(TInt32 n) {
    if (n >= 0 && n <= iSize - iPos) return;
    explain("the image ends inside " + where() + " (at byte " + std::to_string(iPos) + " of " +
            std::to_string(iSize) + ")");
    raise(ERR_INVALID_ARGUMENT, "", iPos);
  }

  // Where reading is: a section, and inside a table the item's number.
  void at(const char* section, TInt32 item = -1) {
    iSection = section;
    iItem = item;
  }
  std::string where() const { return iItem < 0 ? iSection : iSection + (" " + std::to_string(iItem)); }
  // Why the image is refused; the first reason given counts.
  void explain(const std::string& why) {
    if (iWhy.empty()) iWhy = why;
  }
  std::string fault() const {
    if (!iWhy.empty()) return iWhy;
    return "refused in " + where() + " (at byte " + std::to_string(iPos) + " of " + std::to_string(iSize) + ")";
  }
  TUint8 byte() {
    need(1);
    return iBytes[iPos++];
  }
  const TUint8* take(TInt32 n) {
    need(n);
    const TUint8* p = iBytes + iPos;
    iPos += n;
    return p;
  }
  // A value of width w: 1 and 2 zero-extended, 4 the 32-bit pattern.
  TInt32 value(TInt32 w) {
    if (!validWidth(w)) {
      explain("a value of width " + std::to_string(w) + " in " + where() + " (widths are 1, 2 or 4)");
      raise(ERR_RUNTIME, "OPENBYTOCE READ VALUE EXCEPTION");
    }
    const TUint8* p = take(w);
    TUint32 v = 0;
    for (TInt32 i = w - 1; i >= 0; --i) v = (v << 8) | p[i];
    return static_cast<TInt32>(v);
  }
  TInt32 count() { return value(4); }
  CAppsString string() {
    const TInt32 n = count();
    const TUint8* p = take(n);
    Vec<TUint8> utf8;
    utf8.setCapacity(n);
    for (TInt32 i = 0; i < n; ++i) utf8.append(p[i]);
    return CAppsString::fromNString(NString::fromUtf8(utf8));
  }

 private:
  const TUint8* iBytes;
  TInt32 iSize;
  TInt32 iPos = 0;
  const char* iSection = "the tag";
  TInt32 iItem = -1;
  std::string iWhy;
};

std::string hexByte(TUint32 b) {
  static const char kDigits[] = "0123456789abcdef";
  return std::string("0x") + kDigits[(b >> 4) & 15] + kDigits[b & 15];
}

// Class tables are dense: a later image's classes start after the highest
// id any earlier image mentioned, so an image that names a huge id must not
// make the next one allocate tables for it.
constexpr TInt32 kClassIdLimit = 1 << 20;

// Grows a per-class table so that index id exists, in one allocation.
template <typename T>
void ensure(Vec<T>& table, TInt32 id, const T& fill) {
  if (id < 0 || id >= kClassIdLimit) raise(ERR_INVALID_ARGUMENT, "", id);
  if (table.capacity() <= id) table.setCapacity(id + 1);
  while (table.size() <= id) table.append(fill);
}

struct Bases {
  TInt32 classBase = 0;
  TInt32 recordBase = 0;
  TInt32 codeBase = 0;
  TInt32 stringBase = 0;
};

class Loader {
 public:
  Loader(ImageTables& t, VMHeap& heap, const Vec<TUint8>& bytes) : iT(t), iHeap(heap), iIn(bytes) {}

  std::string fault() const { return iIn.fault(); }

  void readTag(TInt32 length) {
    iIn.at("the tag");
    iIn.byte();
    iIn.take(length);
  }

  void readHeader() {
    static const TUint8 kMagic[4] = {0xFF, 0xFF, 0x00, 0x01};
    iIn.at("the header");
    for (TUint8 m : kMagic) {
      const TUint8 b = iIn.byte();
      if (b == m) continue;
      iIn.explain("bad magic at byte " + std::to_string(iIn.position() - 1) + ": " + hexByte(b) + ", expected " +
                  hexByte(m));
      openError();
    }
    for (TInt32& w : iWidths) {
      w = iIn.byte();
      if (!validWidth(w)) badWidth(w);
    }
  }

  void readExports(TInt32 image) {
    iIn.at("the export table");
    const TInt32 n = iIn.count();
    for (TInt32 i = 0; i < n; ++i) {
      iIn.at("export", i);
      ExportedMethod m;
      m.imageIndex = image;
      m.name = iIn.string();
      MethodEntry e;
      e.classId = -1;
      e.codeOffset = iIn.value(iWidths[CODE_OFFSET_WIDTH]) + iB.codeBase;
      e.methodInfo = iIn.value(iWidths[METHOD_INFO_WIDTH]) + iB.recordBase;
      m.entries.append(e);
      iT.exportedMethods.append(m);
    }
  }

  void readDirectives() {
    iIn.at("the directive table");
    const TInt32 n = iIn.count();
    // Names are looked up in an index: a scan per directive made loading
    // quadratic in the number of directives.
    // Backwards, so the first method of a name is the one kept.
    for (TInt32 m = iT.exportedMethods.size() - 1; m >= 0; --m)
      iMethodByName.insert(iT.exportedMethods[m].name.toQString(), m);
    for (TInt32 i = 0; i < n; ++i) {
      iIn.at("directive", i);
      const CAppsString name = iIn.string();
      if (iIn.position() >= iIn.size()) {
        iIn.explain("the image ends after the name of directive " + std::to_string(i));
        raise(ERR_RUNTIME, "INVALID EXPORT DIRECTIVE");
      }
      const TInt32 index = findOrAddVirtual(name);
      iDirectiveMap.append(index);
      const TInt32 entries = iIn.value(iWidths[ENTRY_COUNT_WIDTH]);
      for (TInt32 k = 0; k < entries; ++k) {
        MethodEntry e;
        e.classId = iIn.value(iWidths[CLASS_ID_WIDTH]) + iB.classBase;
        e.codeOffset = iIn.value(iWidths[CODE_OFFSET_WIDTH]) + iB.codeBase;
        e.methodInfo = iIn.value(iWidths[METHOD_INFO_WIDTH]) + iB.recordBase;
        raiseHighest(e.classId);
        iT.exportedMethods[index].entries.append(e);
      }
    }
  }

  void readGlobals() {
    iIn.at("the globals size");
    const TInt32 bytes = iIn.count();
    if (bytes < 1) {
      iT.globals = 0;
      return;
    }
    if (bytes / 4 > VMHeap::kMaxImageWords) raise(ERR_INVALID_ARGUMENT, "Globals too large");
    iT.globals = iHeap.allocateWords(bytes / 4, GC_CODE_CLASS_OBJECT);
    iHeap.addRoot(iT.globals);
  }

  void readClasses() {
    iIn.at("the class table");
    const TInt32 n = iIn.count();
    sizeClassTables(n);
    for (TInt32 i = 0; i < n; ++i) {
      iIn.at("class", i);
      const TInt32 id = iB.classBase + i;
      ensureClass(id);
      const TInt32 w = iIn.byte();
      if (!validWidth(w)) badWidth(w);
      Vec<int>& refs = iT.classReferenceFields[id];
      refs.clear();
      const TInt32 nRefs = iIn.count();
      for (TInt32 k = 0; k < nRefs; ++k) refs.append(iIn.value(w));
      Vec<int>& vectors = iT.classVectorFields[id];
      Vec<char>& flags = iT.classVectorFieldFlags[id];
      vectors.clear();
      flags.clear();
      const TInt32 nVectors = iIn.count();
      for (TInt32 k = 0; k < nVectors; ++k) {
        flags.append(flagByte());
        vectors.append(iIn.value(w));
      }
      if (iIn.value(iWidths[SUPER_FLAG_WIDTH]) != 0) {
        const TInt32 super = iIn.value(iWidths[CLASS_ID_WIDTH]) + iB.classBase;
        iT.superclassA[id] = super;
        iT.superclassB[id] = super;
      } else {
        iT.superclassB[id] = -1;
      }
      raiseHighest(id);
      const TInt32 interfaces = iIn.value(iWidths[INTERFACE_COUNT_WIDTH]);
      for (TInt32 k = 0; k < interfaces; ++k) iIn.value(iWidths[CLASS_ID_WIDTH]);
    }
  }

  void readMethodRecords() {
    iIn.at("the method record table");
    const TInt32 n = iIn.count();
    for (TInt32 i = 0; i < n; ++i) {
      iIn.at("method record", i);
      MethodGCInfo m;
      const TInt32 w = iIn.byte();
      // A bad width byte rejects the image instead of stopping silently.
      if (!validWidth(w)) badWidth(w);
      m.paramSlots = iIn.value(iWidths[PARAM_SLOTS_WIDTH]);
      readSlots(m.paramReferenceSlots, w);
      readVectorSlots(m.paramVectorSlots, m.paramVectorFlags, w);
      m.resultSlots = iIn.value(iWidths[RESULT_SLOTS_WIDTH]);
      m.localSlots = iIn.value(iWidths[LOCAL_SLOTS_WIDTH]);
      readSlots(m.localReferenceSlots, w);
      readVectorSlots(m.localVectorSlots, m.localVectorFlags, w);
      iT.methodInfos.append(m);
    }
  }

  void readStrings() {
    iB.stringBase = iT.strings.size();
    iIn.at("the string table");
    const TInt32 n = iIn.count();
    for (TInt32 i = 0; i < n; ++i) {
      iIn.at("string", i);
      iT.strings.append(iIn.string().toNString());
    }
  }

  TInt32 readCode() {
    iIn.at("the code");
    const TInt32 n = iIn.size() - iIn.position();
    iT.appendCode(iIn.take(n), n);
    return n;
  }

  void rewrite(TInt32 from, TInt32 to) {
    TUint8* code = iT.code.data();
    for (TInt32 pc = from; pc < to;) {
      const TUint8 op = code[pc];
      const TInt32 len = instructionLength(op);
      if (len > to - pc) {
        iIn.explain("the instruction at code offset " + std::to_string(pc - from) + " runs past the end of the code");
        raise(ERR_INVALID_ARGUMENT, "", pc);
      }
      TUint8* operand = code + pc + 1;
      switch (op) {
        case OP_CALL: {
          add(operand, iB.codeBase);
          if (word(operand + 4) >= 0) add(operand + 4, iB.recordBase);
          break;
        }
        case OP_CALL_VIRTUAL: {
          const TInt32 d = word(operand);
          if (d < 0 || d >= iDirectiveMap.size()) {
            iIn.explain("the call at code offset " + std::to_string(pc - from) + " names directive " +
                        std::to_string(d) + " of " + std::to_string(iDirectiveMap.size()));
            raise(ERR_INVALID_ARGUMENT, "", d);
          }
          setWord(operand, iDirectiveMap[d]);
          break;
        }
        case OP_PUSH_STRING: add(operand, iB.stringBase); break;
        case OP_SET_CLASS:
        case OP_CHECK_CAST:
        case OP_INSTANCE_OF:
          add(operand, iB.classBase);
          raiseHighest(word(operand));
          break;
        case OP_TRY:
          if (word(operand) >= 0) add(operand, iB.classBase);
          break;
        default: break;
      }
      pc += len;
    }
  }

  Bases iB;

 private:
  static TInt32 word(const TUint8* p) {
    TInt32 v;
    std::memcpy(&v, p, 4);
    return v;
  }
  static void setWord(TUint8* p, TInt32 v) { std::memcpy(p, &v, 4); }
  static void add(TUint8* p, TInt32 base) {
    setWord(p, static_cast<TInt32>(static_cast<TUint32>(word(p)) + static_cast<TUint32>(base)));
  }

  char flagByte() {
    const TUint8 f = iIn.byte();
    if (f != 0x00 && f != 0xFF) {
      iIn.explain(iIn.where() + " has the vector flag " + hexByte(f) + " (flags are 0x00 or 0xff)");
      openError();
    }
    return static_cast<char>(f);
  }
  [[noreturn]] void badWidth(TInt32 w) {
    iIn.explain(iIn.where() + " has width " + std::to_string(w) + " at byte " + std::to_string(iIn.position() - 1) +
                " (widths are 1, 2 or 4)");
    openError();
  }
  void readSlots(Vec<int>& slots, TInt32 w) {
    const TInt32 n = iIn.count();
    for (TInt32 k = 0; k < n; ++k) slots.append(iIn.value(w));
  }
  void readVectorSlots(Vec<int>& slots, Vec<char>& flags, TInt32 w) {
    const TInt32 n = iIn.count();
    for (TInt32 k = 0; k < n; ++k) {
      flags.append(flagByte());
      slots.append(iIn.value(w));
    }
  }
  // Sizes the per-class tables once for n classes. The count is believed
  // only as far as the rest of the image can hold that many class entries
  // (each at least its width byte, two counts, the superclass flag and the
  // interface count) and as far as the id limit, so a false count still
  // fails in the class it names.
  void sizeClassTables(TInt32 n) {
    const TInt64 smallest = 1 + 4 + 4 + iWidths[SUPER_FLAG_WIDTH] + iWidths[INTERFACE_COUNT_WIDTH];
    const TInt64 fits = (iIn.size() - iIn.position()) / smallest;
    const TInt64 last = std::min<TInt64>(iB.classBase + std::min<TInt64>(n, fits), kClassIdLimit) - 1;
    if (last >= iB.classBase) ensureClass(static_cast<TInt32>(last));
  }
  void ensureClass(TInt32 id) {
    ensure(iT.classReferenceFields, id, Vec<int>());
    ensure(iT.classVectorFields, id, Vec<int>());
    ensure(iT.classVectorFieldFlags, id, Vec<char>());
    ensure(iT.superclassA, id, -1);
    ensure(iT.superclassB, id, -2);
  }
  void raiseHighest(TInt32 id) {
    if (id > iT.highestClassId) iT.highestClassId = id;
  }
  TInt32 findOrAddVirtual(const CAppsString& name) {
    const QString key = name.toQString();
    const auto found = iMethodByName.constFind(key);
    if (found != iMethodByName.constEnd()) return found.value();
    ExportedMethod m;
    m.imageIndex = 0;
    m.name = name;
    m.isVirtual = 1;
    iT.exportedMethods.append(m);
    iMethodByName.insert(key, iT.exportedMethods.size() - 1);
    return iT.exportedMethods.size() - 1;
  }

  ImageTables& iT;
  VMHeap& iHeap;
  ImageReader iIn;
  TInt32 iWidths[kWidthCount] = {};
  Vec<int> iDirectiveMap;
  QHash<QString, TInt32> iMethodByName;   // exported methods by name, while directives are read
};

bool sameBytes(const Vec<TUint8>& a, const TUint8* b, TInt32 n) {
  return a.size() == n && (n == 0 || std::memcmp(a.data(), b, static_cast<size_t>(n)) == 0);
}

// Appends the image to the tables; may fail part way (loadImage undoes it),
// saying why in fault.
TInt32 readImage(ImageTables& t, VMHeap& heap, const Vec<TUint8>& bytes, const CAppsString& name, TInt32 tagLength,
                 std::string& fault) {
  const TUint8* tag = bytes.data() + 1;
  Loader loader(t, heap, bytes);
  // A later image's classes start after every id seen so far, so its class 0
  // cannot share an id with the previous image's last class.
  loader.iB.classBase = t.images.size() == 0 ? t.highestClassId : t.highestClassId + 1;
  if (t.images.size() > 0) t.highestClassId += 1;
  loader.iB.recordBase = t.methodInfos.size();
  loader.iB.codeBase = t.codeSize;

  BytecodeStruct b;
  b.name = name;
  for (TInt32 i = 0; i < tagLength; ++i) b.tag.append(tag[i]);
  b.codeBase = t.codeSize;
  b.imageSize = bytes.size();
  t.images.append(b);
  const TInt32 index = t.images.size() - 1;

  try {
    loader.readTag(tagLength);
    loader.readHeader();
    loader.readExports(index);
    loader.readDirectives();
    loader.readGlobals();
    loader.readClasses();
    loader.readMethodRecords();
    loader.readStrings();
    const TInt32 codeStart = t.codeSize;
    const TInt32 codeSize = loader.readCode();
    t.images[index].codeSize = codeSize;
    loader.rewrite(codeStart, codeStart + codeSize);
    buildExecutionCode(t);
  } catch (...) {
    fault = loader.fault();
    throw;
  }
  return index;
}

}  // namespace

TInt32 loadImage(ImageTables& t, VMHeap& heap, const Vec<TUint8>& bytes, const CAppsString& name, std::string& fault) {
  fault.clear();
  if (bytes.size() == 0) {
    fault = "the image is empty";
    raise(ERR_INVALID_ARGUMENT, "", 0);
  }
  const TInt32 tagLength = static_cast<TInt8>(bytes[0]);
  if (tagLength < 0 || tagLength > bytes.size() - 1) {
    fault = "the tag length " + std::to_string(tagLength) + " at byte 0 does not fit the image (" +
            std::to_string(bytes.size()) + " bytes)";
    raise(ERR_RUNTIME, "OPEN BYTECODE EXCEPTION");
  }
  const TUint8* tag = bytes.data() + 1;

  for (TInt32 i = 0; i < t.images.size(); ++i) {
    const BytecodeStruct& b = t.images[i];
    if (b.imageSize == bytes.size() && sameBytes(b.tag, tag, tagLength) && b.name.toQString() == name.toQString())
      return i;
  }

  // A load that fails leaves nothing behind: the tables are put back as they
  // were (so loading the same bytes again fails again instead of finding a
  // half-built image) and the new globals block is no longer a root.
  const ImageTables before = t;
  try {
    return readImage(t, heap, bytes, name, tagLength, fault);
  } catch (...) {
    if (t.globals != before.globals) heap.removeRoot(t.globals);
    t = before;
    throw;
  }
}

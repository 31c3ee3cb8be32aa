#pragma once
// The parts of an index.mcb image, as the assembler builds them and the
// disassembler reads them back. Numbers are the image's own (local) ones.
#include <cstdint>
#include <string>
#include <vector>

namespace mcb {

constexpr int kWidthCount = 9;
enum WidthIndex {
  W_CODE_OFFSET,
  W_METHOD_INFO,
  W_CLASS_ID,
  W_SUPER_FLAG,
  W_INTERFACE_COUNT,
  W_PARAM_SLOTS,
  W_RESULT_SLOTS,
  W_LOCAL_SLOTS,
  W_ENTRY_COUNT,
};

struct VectorSlot {
  uint8_t flag = 0;   // 0x00 data, 0xFF references
  int32_t offset = 0;
};

struct ExportEntry {
  std::string name;
  int32_t code = 0;
  int32_t record = 0;
};

struct DirectiveEntry {
  int32_t classId = 0;
  int32_t code = 0;
  int32_t record = 0;
};

struct Directive {
  std::string name;
  std::vector<DirectiveEntry> entries;
};

struct ClassDef {
  int width = 0;   // 0: smallest that fits
  std::vector<int32_t> refs;
  std::vector<VectorSlot> vectors;
  int32_t superFlag = 0;
  int32_t super = 0;
  std::vector<int32_t> interfaces;
};

struct Record {
  int width = 0;
  int32_t params = 0, results = 0, locals = 0;
  std::vector<int32_t> paramRefs, localRefs;
  std::vector<VectorSlot> paramVectors, localVectors;
};

struct ImageModel {
  std::string tag;
  int widths[kWidthCount] = {0, 0, 0, 0, 0, 0, 0, 0, 0};   // 0: smallest that fits
  std::vector<ExportEntry> exports;
  std::vector<Directive> directives;
  int32_t globals = 0;
  std::vector<ClassDef> classes;
  std::vector<Record> records;
  std::vector<std::string> strings;   // UTF-8
  std::vector<uint8_t> code;
  // When set, the image is exactly these bytes (deliberately malformed images).
  bool raw = false;
  std::vector<uint8_t> rawBytes;
};

// Serialises the model; widths left at 0 are chosen as the smallest that fit.
std::vector<uint8_t> writeImage(const ImageModel& m);
// Reads an image; returns false with a message for anything malformed.
bool readImage(const std::vector<uint8_t>& bytes, ImageModel& m, std::string& error);

// What a call names, by name or number: `call` is OP_NATIVE_CALL (native
// groups, from the machine's group table: NATIVE_CALL String indexOf) or
// OP_EXTENSION_CALL (built-in extensions, from their declarations:
// EXTENSION_CALL XMLParser parse). -1 or null when there is no such name or
// number. A program naming native groups links the machine library (vm or
// vm_switch).
int calleeByName(int call, const std::string& name);
const char* calleeName(int call, int callee);
bool operationByName(int call, int callee, const std::string& name, int& op);
const char* operationName(int call, int callee, int op);

}  // namespace mcb

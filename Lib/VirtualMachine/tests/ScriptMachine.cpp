#include "ScriptMachine.h"

#include "Assembler.h"
#include "CAppsString.h"
#include "Errors.h"
#include "VirtualMachine.h"

std::vector<TUint8> assembleImage(const std::string& source, bool withRuntime, std::string* errors) {
  mcb::Assembler assembler({EXAMPLES_LIB_DIR});
  mcb::ImageModel model;
  const std::string text = (withRuntime ? ".include \"runtime.asm\"\n" : "") + source;
  if (!assembler.assembleText(text, "test.asm", model)) {
    if (errors)
      for (const mcb::AsmError& e : assembler.errors()) *errors += e.text() + "\n";
    return {};
  }
  return mcb::writeImage(model);
}

ScriptMachine::ScriptMachine(const std::string& source, bool withRuntime) : iVm(new ClientVM(&host)) {
  const std::vector<TUint8> bytes = assembleImage(source, withRuntime, &iAssemblyErrors);
  if (bytes.empty()) return;
  Vec<TUint8> image;
  for (TUint8 b : bytes) image.append(b);
  iAssembled = true;
  try {
    iVm->loadBytes(image, CAppsString("test"));
  } catch (const ErrorHandlingException&) {
    iLoad.errorCode = currentErrorCode();
    iLoad.error = currentErrorText().toStdString();
    clearError();
  }
}

RunResult ScriptMachine::capture(void (*call)(ClientVM&)) {
  RunResult r;
  const size_t before = host.logs.size();
  try {
    call(*iVm);
  } catch (const ErrorHandlingException&) {
    r.errorCode = currentErrorCode();
    r.error = currentErrorText().toStdString();
    clearError();
  } catch (const VMTermination&) {
    r.terminated = true;
  }
  r.logs.assign(host.logs.begin() + before, host.logs.end());
  iVm->heap().verify();
  return r;
}

RunResult ScriptMachine::runMain() {
  if (iLoad.errorCode) return iLoad;
  return capture([](ClientVM& vm) {
    vm.callGlobalInit();
    vm.callMain();
  });
}

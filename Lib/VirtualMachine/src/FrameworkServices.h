#pragma once
// The one interface through which the machine, the natives and the
// extensions reach the host. Operation order is fixed; a different host
// implements the same operations.
#include "Types.h"
#include "Vec.h"

class NString;
struct VMState;
namespace NERIM {
class InputStream;
class OutputStream;
}  // namespace NERIM

class FileSystemServices {
 public:
  virtual ~FileSystemServices() {}
  virtual NERIM::OutputStream* openOutputStream(const NString& name, TInt32 truncate) = 0;
  virtual NERIM::InputStream* openInputStream(const NString& name) = 0;
  virtual bool deleteFile(const NString& name) = 0;
  virtual bool fileExists(const NString& name) = 0;
  virtual TInt32 reserved6() = 0;
  virtual bool moveFile(const NString& source, const NString& target) = 0;
  virtual bool listDirectory(const NString& name, Vec<NString>& files, Vec<NString>& directories) = 0;
  virtual bool makePath(const NString& name) = 0;
  virtual bool deleteDirectory(const NString& name) = 0;
  virtual bool renameDirectory(const NString& source, const NString& target) = 0;
  virtual bool directoryExists(const NString& name) = 0;
};

class FrameworkServices : public FileSystemServices {
 public:
  virtual TInt32 integerQueryA() = 0;
  virtual TInt32 integerQueryB() = 0;
  virtual NString pathSeparator() = 0;
  virtual NString platformName() = 0;
  virtual TUint64 currentTimeMillis() = 0;
  virtual TUint64 elapsedMillis() = 0;
  virtual void repaint(TInt32 x, TInt32 y, TInt32 width, TInt32 height) = 0;
  virtual void log(const NString& message) = 0;
  virtual bool setLogFile(const NString& name) = 0;
  virtual bool hostRequest(const NString& text) = 0;
  virtual void exitApplication() = 0;
  virtual void reserved24() = 0;
  virtual void setBlankingPaused(bool paused) = 0;
  virtual void setOrientation(TInt32 orientation) = 0;
  virtual TInt32 getOrientation() = 0;
  virtual TInt32 callExtension(VMState& state, TInt32 extension, TInt32 opcode) = 0;
  virtual void getScreenSize(TInt32& width, TInt32& height) = 0;
  virtual void longOperationNotice(bool done) = 0;
  virtual void addScreenListener(TUint32 object) = 0;
  virtual void removeScreenListener(TUint32 object) = 0;
  virtual TInt32 addTimer(TInt32 listener, TInt32 delayMillis) = 0;
  virtual TInt32 removeTimer(TInt32 id) = 0;
  virtual bool updateTimerDelay(TInt32 id, TInt32 delayMillis) = 0;
  virtual TInt32 reserved36() = 0;
  virtual NString getApplicationDirectory() = 0;
};

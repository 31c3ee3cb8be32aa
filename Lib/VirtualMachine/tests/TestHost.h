#pragma once
// Host services for machine tests: fixed answers to the System queries,
// and every logged line kept.
#include "FrameworkServices.h"
#include "NString.h"

#include <functional>
#include <string>
#include <vector>

// Host services that answer the System group's queries with fixed values.
class FixedHost : public FrameworkServices {
 public:
  NERIM::OutputStream* openOutputStream(const NString&, TInt32) override { return nullptr; }
  NERIM::InputStream* openInputStream(const NString&) override { return nullptr; }
  bool deleteFile(const NString&) override { return false; }
  bool fileExists(const NString&) override { return false; }
  TInt32 reserved6() override { return 0; }
  bool moveFile(const NString&, const NString&) override { return false; }
  bool listDirectory(const NString&, Vec<NString>&, Vec<NString>&) override { return false; }
  bool makePath(const NString&) override { return false; }
  bool deleteDirectory(const NString&) override { return false; }
  bool renameDirectory(const NString&, const NString&) override { return false; }
  bool directoryExists(const NString&) override { return false; }
  TInt32 integerQueryA() override { return 7; }
  TInt32 integerQueryB() override { return 8; }
  NString pathSeparator() override { return NString("/"); }
  NString platformName() override { return NString("test"); }
  TUint64 currentTimeMillis() override { return 0x100000005ull; }
  TUint64 elapsedMillis() override { return 0x200000003ull; }
  void repaint(TInt32, TInt32, TInt32, TInt32) override {}
  void log(const NString& m) override {
    Vec<TUint8> b;
    m.toUtf8(b);
    logs.emplace_back(reinterpret_cast<const char*>(b.data()), static_cast<size_t>(b.size()));
  }
  bool setLogFile(const NString&) override { return true; }
  bool hostRequest(const NString& text) override {
    requests += 1;
    lastRequest = text;
    return true;
  }
  void exitApplication() override { exits += 1; }
  void reserved24() override {}
  void setBlankingPaused(bool) override {}
  void setOrientation(TInt32) override {}
  TInt32 getOrientation() override { return 0; }
  TInt32 callExtension(VMState& s, TInt32 id, TInt32 op) override { return extensions ? extensions(s, id, op) : 0; }
  void getScreenSize(TInt32& w, TInt32& h) override { w = h = 0; }
  void longOperationNotice(bool) override {}
  void addScreenListener(TUint32) override {}
  void removeScreenListener(TUint32) override {}
  TInt32 addTimer(TInt32, TInt32) override { return 0; }
  TInt32 removeTimer(TInt32) override { return 0; }
  bool updateTimerDelay(TInt32, TInt32) override { return false; }
  TInt32 reserved36() override { return 0; }
  NString getApplicationDirectory() override { return NString(); }

  int requests = 0;
  int exits = 0;
  NString lastRequest;
  std::vector<std::string> logs;
  // Where extension calls go (an extension manager in the extension tests).
  std::function<TInt32(VMState&, TInt32, TInt32)> extensions;
};


// Recordings for mcbrun --replay: any bytes are parsed into events or
// refused with the line at fault, and the events of a recording that
// parses never go back in time.
#include "EventReplay.h"
#include "HostServices.h"

#include <QByteArray>

namespace {

class NoImage : public ImageEntries {
 public:
  bool ready() const override { return false; }
  void keyPressed(TInt32, TInt32, const QString&) override {}
  void keyReleased(TInt32, TInt32, const QString&) override {}
  void pointer(TInt32, TInt32, TInt32) override {}
  void foreground() override {}
  void background() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static HostServices host(CAppsString::fromQString(QStringLiteral("/nonexistent")));
  static NoImage image;
  EventReplay replay(image, host);
  QString error;
  if (replay.parse(QByteArray(reinterpret_cast<const char*>(data), static_cast<int>(size)), error)) {
    TInt64 last = 0;
    for (const EventReplay::Event& e : replay.events()) {
      if (e.at < last) __builtin_trap();  // times never go back
      last = e.at;
    }
  } else if (!error.startsWith(QLatin1String("line "))) {
    __builtin_trap();
  }
  return 0;
}

#pragma once
// A machine that records the events the rules deliver to it, as text.
#include "ImageEntries.h"

#include <string>
#include <vector>

class RecordingEntries : public ImageEntries {
 public:
  bool ready() const override { return isReady; }
  void keyPressed(TInt32 code, TInt32 scan, const QString& text) override { key("pressed", code, scan, text); }
  void keyReleased(TInt32 code, TInt32 scan, const QString& text) override { key("released", code, scan, text); }
  void pointer(TInt32 kind, TInt32 x, TInt32 y) override {
    add("pointer " + std::to_string(kind) + " " + std::to_string(x) + " " + std::to_string(y));
  }
  void foreground() override { add("foreground"); }
  void background() override { add("background"); }

  void add(const std::string& event) { events.push_back(event); }
  // The events since the last take.
  std::vector<std::string> take() {
    std::vector<std::string> out;
    out.swap(events);
    return out;
  }

  bool isReady = true;
  std::vector<std::string> events;

 private:
  void key(const char* what, TInt32 code, TInt32 scan, const QString& text) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(code));
    add(std::string(what) + " " + hex + " " + std::to_string(scan) + " " + text.toStdString());
  }
};

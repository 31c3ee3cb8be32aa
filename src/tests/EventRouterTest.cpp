// The main view's rules without a window: the key table, the pointer
// kinds and the foreground and background events from the four triggers.
#include "EventRouter.h"
#include "RecordingEntries.h"

#include <gtest/gtest.h>

using Events = std::vector<std::string>;

TEST(KeyTable, CodesAsTheImageReceivesThem) {
  // The printable range passes unchanged, its neighbours do not.
  EXPECT_EQ(EventRouter::mapKey(0x20), 0x20);
  EXPECT_EQ(EventRouter::mapKey(0x41), 0x41);
  EXPECT_EQ(EventRouter::mapKey(0x60), 0x60);
  EXPECT_EQ(EventRouter::mapKey(0x1F), 0x01000000);
  EXPECT_EQ(EventRouter::mapKey(0x61), 0x01000000);
  EXPECT_EQ(EventRouter::mapKey(0x01000004), 0x01000001);  // Return
  EXPECT_EQ(EventRouter::mapKey(0x01000003), 0x01000002);  // Backspace
  EXPECT_EQ(EventRouter::mapKey(0x01000012), 0x01000003);  // Left
  EXPECT_EQ(EventRouter::mapKey(0x01000014), 0x01000004);  // Right
  EXPECT_EQ(EventRouter::mapKey(0x01000013), 0x01000005);  // Up
  EXPECT_EQ(EventRouter::mapKey(0x01000015), 0x01000006);  // Down
  EXPECT_EQ(EventRouter::mapKey(0x01000005), 0x01000000);  // keypad Enter
  EXPECT_EQ(EventRouter::mapKey(0x01000000), 0x01000000);  // Escape
  EXPECT_EQ(EventRouter::mapKey(0x01000020), 0x01000000);  // Shift
  EXPECT_EQ(EventRouter::mapKey(0), 0x01000000);
}

TEST(EventRouter, KeysAndPointerGoThroughAsTheyCome) {
  RecordingEntries image;
  EventRouter router(image);
  router.keyPressed(0x41, 38, "a");
  router.keyPressed(0x41, 38, "a");  // auto-repeat is not filtered
  router.keyReleased(0x01000004, 36, "\r");
  router.pointer(EventRouter::POINTER_PRESSED, 10, 20);
  router.pointer(EventRouter::POINTER_MOVED, -5, 900);
  router.pointer(EventRouter::POINTER_RELEASED, 30, 40);
  EXPECT_EQ(image.take(), (Events{"pressed 0x41 38 a", "pressed 0x41 38 a", "released 0x1000001 36 \r",
                                  "pointer 0 10 20", "pointer 6 -5 900", "pointer 1 30 40"}));
}

TEST(EventRouter, NothingReachesAMachineThatDoesNotExist) {
  RecordingEntries image;
  image.isReady = false;
  EventRouter router(image);
  router.keyPressed(0x41, 38, "a");
  router.pointer(EventRouter::POINTER_PRESSED, 1, 2);
  router.setShown(true);  // the window is shown before the machine starts
  EXPECT_TRUE(image.take().empty());
  EXPECT_FALSE(router.inForeground());
  // Once the machine runs, the next trigger delivers the state as it is.
  image.isReady = true;
  router.displayStatus("on");
  EXPECT_EQ(image.take(), Events{"foreground"});
  EXPECT_TRUE(router.inForeground());
}

TEST(EventRouter, DisplayStatusAndShownGiveOneEventPerChange) {
  RecordingEntries image;
  EventRouter router(image);
  router.setShown(true);
  router.setShown(true);
  EXPECT_EQ(image.take(), Events{"foreground"});
  router.displayStatus("off");
  router.displayStatus("off");
  EXPECT_EQ(image.take(), Events{"background"});
  router.displayStatus("OFF");  // only exactly "off" is off
  EXPECT_EQ(image.take(), Events{"foreground"});
  router.displayStatus("dimmed");
  router.displayStatus("");
  EXPECT_TRUE(image.take().empty());
  // Hidden while the display is off: already in the background.
  router.displayStatus("off");
  router.setShown(false);
  router.displayStatus("on");
  EXPECT_EQ(image.take(), Events{"background"});
  router.setShown(true);
  EXPECT_EQ(image.take(), Events{"foreground"});
  EXPECT_TRUE(router.shown());
  EXPECT_TRUE(router.displayOn());
}

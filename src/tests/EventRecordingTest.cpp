// Recording the events delivered to an image and replaying them: the
// line format both ways, the refusal of broken recordings, and a replay
// delivering every kind of event in order at its time.
#include "EventRecorder.h"
#include "EventReplay.h"
#include "HostServices.h"
#include "RecordingEntries.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QCoreApplication& app() {
  static int argc = 1;
  static char name[] = "window_rules_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* instance = new QCoreApplication(argc, argv);
  return *instance;
}

QString parseError(const QByteArray& text) {
  HostServices host(CAppsString::fromQString(QStringLiteral("/tmp")));
  RecordingEntries image;
  EventReplay replay(image, host);
  QString error;
  EXPECT_FALSE(replay.parse(text, error)) << text.constData();
  return error;
}

}  // namespace

TEST(EventRecording, KeyTextSurvivesTheLineFormat) {
  for (const QString& text : {QString(), QStringLiteral("a"), QStringLiteral(" "), QStringLiteral("-"),
                              QStringLiteral("%41"), QStringLiteral("\r\n"), QString::fromUtf8("\xc3\xa4\xe2\x82\xac")}) {
    const QByteArray field = EventRecorder::encodeText(text);
    EXPECT_FALSE(field.isEmpty());
    EXPECT_FALSE(field.contains(' ') || field.contains('\n')) << field.constData();
    EXPECT_EQ(EventRecorder::decodeText(field), text) << field.constData();
  }
}

TEST(EventRecording, BrokenRecordingsAreRefusedWithTheLine) {
  EXPECT_EQ(parseError("# c\n10 foreground\nx background\n"), "line 3: the time is not a number of milliseconds");
  EXPECT_EQ(parseError("10 foreground\n5 background\n"), "line 2: the time goes backwards");
  EXPECT_EQ(parseError("10 jump\n"), "line 1: unknown event");
  EXPECT_EQ(parseError("10\n"), "line 1: no event");
  EXPECT_EQ(parseError("10 key-pressed 65 38\n"), "line 1: wrong number of arguments");
  EXPECT_EQ(parseError("10 pointer 0 1 y\n"), "line 1: an argument is not a number");
  EXPECT_EQ(parseError("10 draw 0 0 8\n"), "line 1: wrong number of arguments");
  EXPECT_EQ(parseError("10 draw 0 0 8 8 1\n"), "line 1: wrong number of arguments");
  EXPECT_EQ(parseError("-1 foreground\n"), "line 1: the time is not a number of milliseconds");
  EXPECT_EQ(parseError("10 resize 800\n"), "line 1: wrong number of arguments");
  EXPECT_EQ(parseError("10 resize 100000 100000\n"), "line 1: a pixmap size out of range");
  EXPECT_EQ(parseError("10 resize 0 480\n"), "line 1: a pixmap size out of range");
}

TEST(EventRecording, AReplayDeliversWhatWasRecordedInOrderAndOnTime) {
  app();
  QTemporaryDir dir;
  const QString path = dir.path() + "/run.rec";
  HostServices host(CAppsString::fromQString(dir.path()));
  {
    EventRecorder recorder(host);
    QString error;
    ASSERT_TRUE(recorder.open(path, error)) << error.toStdString();
    recorder.key(true, 0x41, 38, "a b");
    recorder.key(false, 0x01000001, 36, QString());
    recorder.pointer(6, -3, 799);
    recorder.foreground(true);
    recorder.timer(12);
    recorder.draw(QRegion(0, 0, 10, 10) + QRegion(100, 50, 20, 30));
    recorder.resize(480, 800);
    recorder.foreground(false);
  }
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  QByteArray text = f.readAll();
  // Shift everything 150 ms later, to see the replay wait for its times.
  QByteArray shifted;
  for (const QByteArray& line : text.split('\n')) {
    if (line.isEmpty() || line.startsWith('#')) continue;
    const int space = line.indexOf(' ');
    shifted += QByteArray::number(line.left(space).toInt() + 150) + line.mid(space) + '\n';
  }

  RecordingEntries image;
  HostServices clock(CAppsString::fromQString(dir.path()));
  EventReplay replay(image, clock);
  QString error;
  ASSERT_TRUE(replay.parse(shifted, error)) << error.toStdString();
  replay.onTimer([&](TInt32 id) { image.add("timer " + std::to_string(id)); });
  replay.onDraw([&](const QRegion& clip) { image.add("draw " + std::to_string(clip.rectCount())); });
  replay.onResize([&](TInt32 w, TInt32 h) { image.add("resize " + std::to_string(w) + "x" + std::to_string(h)); });
  clock.start(nullptr);
  QElapsedTimer elapsed;
  elapsed.start();
  bool done = false;
  replay.start([&] {
    done = true;
    QCoreApplication::exit(0);
  });
  QTimer hung;
  hung.setSingleShot(true);
  QObject::connect(&hung, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  hung.start(5000);
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_TRUE(done);
  EXPECT_GE(elapsed.elapsed(), 150);
  EXPECT_EQ(image.take(), (std::vector<std::string>{"pressed 0x41 38 a b", "released 0x1000001 36 ", "pointer 6 -3 799",
                                                    "foreground", "timer 12", "draw 2", "resize 480x800",
                                                    "background"}));
}

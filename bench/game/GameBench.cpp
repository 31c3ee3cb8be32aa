// The example game's cost: one minute of play at its 30 frames a second
// (1800 frames), each frame the timer's expiry delivered to the image and
// a repaint through the paint path, each followed by its collection, as the
// window does. Input is scripted: the arrows held in turn, a drag now and
// then, space every two seconds (it starts a new game after the last).
// Prints the CPU time per frame, the share of one core that is at 30
// frames a second, and the median, 99th-percentile and longest frame, in
// wall time and in the thread's CPU time.
//
//   game_bench GAME_DIR     (a copy is played in a temporary directory)
#include "CAppsFileReader.h"
#include "ClientVM.h"
#include "Errors.h"
#include "FramePainter.h"
#include "HostMessages.h"
#include "HostServices.h"
#include "MachineEntries.h"
#include "Scheduler.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

const int kFrames = 1800;
const double kFrameMs = 1000.0 / 30;

double cpuMs() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double threadCpuMs() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double wallMs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The input of frame f.
void script(MachineEntries& in, int f) {
  const int kLeft = 0x01000003, kRight = 0x01000004;
  if (f % 40 == 0) in.keyPressed((f / 40) % 2 ? kRight : kLeft, 0, QString());
  if (f % 40 == 12) in.keyReleased((f / 40) % 2 ? kRight : kLeft, 0, QString());
  if (f % 90 == 30) in.pointer(0, 100 + f % 600, 300);
  if (f % 90 == 32) in.pointer(6, 120 + f % 600, 300);
  if (f % 90 == 34) in.pointer(1, 120 + f % 600, 300);
  if (f % 60 == 59) {
    in.keyPressed(0x20, 65, QStringLiteral(" "));
    in.keyReleased(0x20, 65, QStringLiteral(" "));
  }
}

}  // namespace

int main(int argc, char** argv) {
  installHostMessageFilter();
  preferOffscreenPlatform();
  QGuiApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: game_bench GAME_DIR\n");
    return 2;
  }
  QTemporaryDir dir;
  const QDir source(QString::fromLocal8Bit(argv[1]));
  for (const QString& name : source.entryList(QDir::Files))
    if (name != QLatin1String("highscore.txt")) QFile::copy(source.filePath(name), dir.filePath(name));
  try {
    HostServices host(CAppsString::fromQString(dir.path()));
    ClientVM vm(&host);
    host.start(&vm);
    host.scheduler().setManual(true);  // the bench fires the frame timer itself
    MachineEntries input(host.guard());
    input.setVM(&vm);
    CAppsFileReader reader{CAppsString::fromQString(dir.filePath(QStringLiteral("index.mcb")))};
    if (!reader.isOpen()) {
      std::fprintf(stderr, "no index.mcb in %s\n", argv[1]);
      return 1;
    }
    vm.load(reader, CAppsString("index.mcb"));
    vm.callGlobalInit();
    vm.callMain();

    QPixmap canvas(800, 480);
    std::vector<double> frames, frameCpu;
    TInt32 timer = 1;
    int starts = 0;
    const double cpu0 = cpuMs();
    for (int f = 0; f < kFrames && host.guard().running(); ++f) {
      const double t0 = wallMs(), c0 = threadCpuMs();
      script(input, f);
      // Each start of the frame timer makes a timer with a later id.
      Scheduler& timers = host.scheduler();
      if (timers.liveTimers() > 0 && !timers.fire(timer)) {
        while (!timers.timer(timer) && timer < 1000000) ++timer;
        timers.fire(timer);
        ++starts;
      }
      paintFrame(canvas, vm);
      frames.push_back(wallMs() - t0);
      frameCpu.push_back(threadCpuMs() - c0);
    }
    const double cpu = cpuMs() - cpu0;
    if (!host.guard().running() || frames.size() != kFrames) {
      std::fprintf(stderr, "the game ended its run\n");
      return 1;
    }
    std::sort(frames.begin(), frames.end());
    std::sort(frameCpu.begin(), frameCpu.end());
    std::printf("games started: %d\n", starts);
    std::printf("frames: %d (one minute at 30 per second)\n", kFrames);
    std::printf("CPU per frame: %.3f ms (%.1f %% of one core at 30 frames a second)\n", cpu / kFrames,
                100 * cpu / kFrames / kFrameMs);
    std::printf("frame time: median %.3f ms, p99 %.3f ms, longest %.3f ms\n", frames[kFrames / 2],
                frames[kFrames * 99 / 100], frames.back());
    // On a shared machine the wall time includes other processes' turns;
    // the thread's own CPU time per frame does not.
    std::printf("frame CPU time: median %.3f ms, p99 %.3f ms, longest %.3f ms\n", frameCpu[kFrames / 2],
                frameCpu[kFrames * 99 / 100], frameCpu.back());
  } catch (const ErrorHandlingException&) {
    std::fprintf(stderr, "FATAL: %s\n", currentErrorText().toLocal8Bit().constData());
    return 1;
  }
  return 0;
}

#include "EventReplay.h"

#include "EventRecorder.h"
#include "FrameworkServices.h"
#include "Surface.h"

#include <QFile>
#include <QList>
#include <algorithm>

namespace {

struct Shape {
  const char* name;
  EventReplay::Event::Kind kind;
  int numbers;  // integer arguments after the time and the name; -1: groups of four
  bool text;
};

const Shape kShapes[] = {
    {"key-pressed", EventReplay::Event::KEY_PRESSED, 2, true},
    {"key-released", EventReplay::Event::KEY_RELEASED, 2, true},
    {"pointer", EventReplay::Event::POINTER, 3, false},
    {"foreground", EventReplay::Event::FOREGROUND, 0, false},
    {"background", EventReplay::Event::BACKGROUND, 0, false},
    {"timer", EventReplay::Event::TIMER, 1, false},
    {"draw", EventReplay::Event::DRAW, -1, false},
    {"resize", EventReplay::Event::RESIZE, 2, false},
};

}  // namespace

bool EventReplay::load(const QString& path, QString& error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    error = path + QLatin1String(": ") + f.errorString();
    return false;
  }
  return parse(f.readAll(), error);
}

bool EventReplay::parse(const QByteArray& text, QString& error) {
  iEvents.clear();
  const QList<QByteArray> lines = text.split('\n');
  for (int n = 0; n < lines.size(); ++n) {
    const QByteArray line = lines[n].trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    const QList<QByteArray> f = line.simplified().split(' ');
    auto bad = [&](const char* why) {
      error = QStringLiteral("line %1: %2").arg(n + 1).arg(QLatin1String(why));
      return false;
    };
    Event e{};
    bool ok = false;
    e.at = f[0].toLongLong(&ok);
    if (!ok || e.at < 0) return bad("the time is not a number of milliseconds");
    if (!iEvents.empty() && e.at < iEvents.back().at) return bad("the time goes backwards");
    if (f.size() < 2) return bad("no event");
    const Shape* shape = nullptr;
    for (const Shape& s : kShapes)
      if (f[1] == s.name) shape = &s;
    if (!shape) return bad("unknown event");
    e.kind = shape->kind;
    if (shape->numbers < 0) {
      if (f.size() < 6 || (f.size() - 2) % 4 != 0) return bad("wrong number of arguments");
      for (int i = 2; i < f.size(); i += 4) {
        TInt32 r[4];
        for (int k = 0; k < 4; ++k) {
          r[k] = f[i + k].toInt(&ok);
          if (!ok) return bad("an argument is not a number");
        }
        e.region += QRect(r[0], r[1], r[2], r[3]);
      }
      iEvents.push_back(e);
      continue;
    }
    if (f.size() != 2 + shape->numbers + (shape->text ? 1 : 0)) return bad("wrong number of arguments");
    TInt32* fields[] = {&e.a, &e.b, &e.c, &e.d};
    for (int i = 0; i < shape->numbers; ++i) {
      *fields[i] = f[2 + i].toInt(&ok);
      if (!ok) return bad("an argument is not a number");
    }
    if (shape->text) e.text = EventRecorder::decodeText(f[2 + shape->numbers]);
    // A pixmap is made of this size: the drawing surfaces' own bounds apply.
    if (e.kind == Event::RESIZE && (e.a <= 0 || e.b <= 0 || e.a > surface::kMaxDimension || e.b > surface::kMaxDimension))
      return bad("a pixmap size out of range");
    iEvents.push_back(e);
  }
  return true;
}

void EventReplay::start(std::function<void()> done) {
  iDone = std::move(done);
  iNext = 0;
  iWake.setSingleShot(true);
  iWake.setTimerType(Qt::PreciseTimer);
  QObject::connect(&iWake, &QTimer::timeout, [this] { step(); });
  iWake.start(0);
}

void EventReplay::step() {
  // Everything due now goes at once, in file order; a delivery that ends
  // the run leaves the loop to stop the rest.
  while (iNext < iEvents.size() && iEvents[iNext].at <= static_cast<TInt64>(iClock.elapsedMillis()))
    deliver(iEvents[iNext++]);
  if (iNext < iEvents.size()) {
    const TInt64 wait = iEvents[iNext].at - static_cast<TInt64>(iClock.elapsedMillis());
    iWake.start(static_cast<int>(std::max<TInt64>(wait, 0)));
    return;
  }
  if (iDone) iDone();
}

void EventReplay::deliver(const Event& e) {
  switch (e.kind) {
    case Event::KEY_PRESSED: return iEntries.keyPressed(e.a, e.b, e.text);
    case Event::KEY_RELEASED: return iEntries.keyReleased(e.a, e.b, e.text);
    case Event::POINTER: return iEntries.pointer(e.a, e.b, e.c);
    case Event::FOREGROUND: return iEntries.foreground();
    case Event::BACKGROUND: return iEntries.background();
    case Event::TIMER:
      if (iTimer) iTimer(e.a);
      return;
    case Event::DRAW:
      if (iDraw) iDraw(e.region);
      return;
    case Event::RESIZE:
      if (iResize) iResize(e.a, e.b);
      return;
  }
}

#include "EventRecorder.h"

#include "FrameworkServices.h"

#include <algorithm>

bool EventRecorder::open(const QString& path, QString& error) {
  iFile.setFileName(path);
  if (!iFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    error = iFile.errorString();
    return false;
  }
  iFile.write("# mcb input recording: <ms since start> <event> <arguments>\n");
  iFile.flush();
  return true;
}

QByteArray EventRecorder::encodeText(const QString& text) {
  if (text.isEmpty()) return "-";
  // "-" alone means empty, so a literal one is encoded too.
  return text.toUtf8().toPercentEncoding(QByteArray(), "-");
}

QString EventRecorder::decodeText(const QByteArray& field) {
  if (field == "-") return QString();
  return QString::fromUtf8(QByteArray::fromPercentEncoding(field));
}

void EventRecorder::line(const QByteArray& event) {
  if (!iFile.isOpen()) return;
  // Before start-up the clock counts from the host's creation; later events
  // must not appear earlier than those.
  iLast = std::max(iLast, iClock.elapsedMillis());
  iFile.write(QByteArray::number(static_cast<qulonglong>(iLast)) + ' ' + event + '\n');
  iFile.flush();
}

void EventRecorder::key(bool pressed, TInt32 code, TInt32 scan, const QString& text) {
  line((pressed ? "key-pressed " : "key-released ") + QByteArray::number(code) + ' ' + QByteArray::number(scan) +
       ' ' + encodeText(text));
}

void EventRecorder::pointer(TInt32 kind, TInt32 x, TInt32 y) {
  line("pointer " + QByteArray::number(kind) + ' ' + QByteArray::number(x) + ' ' + QByteArray::number(y));
}

void EventRecorder::foreground(bool foreground) { line(foreground ? "foreground" : "background"); }

void EventRecorder::timer(TInt32 id) { line("timer " + QByteArray::number(id)); }

void EventRecorder::draw(const QRegion& clip) {
  QByteArray event("draw");
  for (const QRect& r : clip)
    event += ' ' + QByteArray::number(r.x()) + ' ' + QByteArray::number(r.y()) + ' ' + QByteArray::number(r.width()) +
             ' ' + QByteArray::number(r.height());
  line(event);
}

void EventRecorder::resize(TInt32 width, TInt32 height) {
  line("resize " + QByteArray::number(width) + ' ' + QByteArray::number(height));
}

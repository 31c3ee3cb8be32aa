#include "MainViewBase.h"

#include "EventRecorder.h"
#include "FramePainter.h"
#include "Orientation.h"
#include "X11Properties.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>

MainViewBase::MainViewBase(const CAppsString& applicationDirectory, bool windowed)
    : QWidget(nullptr), HostServices(applicationDirectory), iWindowed(windowed) {
  // Not WA_PaintOnScreen: Qt 5 paints widgets through its backing store
  // only, and a paint-on-screen widget would show nothing.
  if (windowed) {
    TInt32 width = 0, height = 0;
    getScreenSize(width, height);
    resize(width, height);
  } else {
    setWindowState(Qt::WindowFullScreen);
    // Full screen is a window-manager protocol; where none answers (a bare
    // X server) the window would keep its default size, so it takes the
    // screen itself.
    if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->geometry());
  }
  x11::markNonComposited(1);
}

MainViewBase::~MainViewBase() {}

void MainViewBase::repaint(TInt32 x, TInt32 y, TInt32 width, TInt32 height) {
  const QRect canvas(x, y, width, height);
  update(needsRotation() ? orientation::toWindow(canvas, this->height()) : canvas);
}

void MainViewBase::paintEvent(QPaintEvent* event) {
  if (!iVM || iPixmap.isNull()) return;
  const bool rotated = needsRotation();
  const QRegion clip = rotated ? QRegion(orientation::toPixmap(event->region().boundingRect(), height()))
                               : event->region();
  if (iRecorder) iRecorder->draw(clip);
  guard().run([&] { paintFrame(iPixmap, *iVM, clip); });
  QPainter painter(this);
  if (rotated) {
    painter.translate(0, height());
    painter.rotate(-90);
  }
  painter.drawPixmap(0, 0, iPixmap);
}

void MainViewBase::resizeEvent(QResizeEvent* event) {
  const QSize size = event->size();
  // A portrait image keeps its pixmap until the window turns tall.
  if (getOrientation() == orientation::PORTRAIT && size.height() <= size.width() && !iPixmap.isNull()) return;
  iPixmap = QPixmap(size);
  iPixmap.fill(Qt::black);
  if (iRecorder) iRecorder->resize(size.width(), size.height());
}

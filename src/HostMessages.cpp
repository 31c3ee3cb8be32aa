#include "HostMessages.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstring>

namespace {

void filter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const bool own = context.category && std::strcmp(context.category, "runtime") == 0;
  if (!own && type != QtFatalMsg && type != QtCriticalMsg) return;
  const QByteArray text = message.toLocal8Bit();
  std::fprintf(stderr, "%s\n", text.constData());
  std::fflush(stderr);
}

}  // namespace

void installHostMessageFilter() { qInstallMessageHandler(filter); }

void preferOffscreenPlatform() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

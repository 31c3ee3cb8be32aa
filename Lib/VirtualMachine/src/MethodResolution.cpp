// Name resolution: a name is split into pieces before every "<" and "(";
// a run of "*" just before a boundary gives the level of the parameter that
// the boundary opens. Every requested piece must equal the exported piece
// with its stars removed; the exported name may have further pieces.
#include "VirtualMachine.h"

#include <QString>
#include <QVector>

namespace {

struct Piece {
  QString text;
  int starsAfter = 0;   // stars that stood just before the next boundary
};

QVector<Piece> split(const QString& name) {
  QVector<Piece> pieces(1);
  for (const QChar c : name) {
    if (c == QLatin1Char('<') || c == QLatin1Char('(')) {
      QString& t = pieces.last().text;
      int stars = 0;
      while (t.endsWith(QLatin1Char('*'))) {
        t.chop(1);
        ++stars;
      }
      pieces.last().starsAfter = stars;
      pieces.append(Piece());
    }
    pieces.last().text.append(c);
  }
  return pieces;
}

bool matches(const QVector<Piece>& requested, const QVector<Piece>& exported) {
  if (exported.size() < requested.size()) return false;
  for (int i = 0; i < requested.size(); ++i) {
    if (requested[i].text != exported[i].text) return false;
  }
  return true;
}

}  // namespace

TInt32 VirtualMachine::resolveMethod(const QString& name, TInt32 image) {
  const QVector<Piece> requested = split(name);
  for (TInt32 m = 0; m < iTables.exportedMethods.size(); ++m) {
    ExportedMethod& method = iTables.exportedMethods[m];
    if (!method.isVirtual && method.imageIndex != image) continue;
    const QVector<Piece> exported = split(method.name.toQString());
    if (!matches(requested, exported)) continue;
    if (method.handleIndex >= 0) return method.handleIndex;

    MethodHandle handle;
    handle.name = CAppsString::fromQString(name);
    handle.exportedMethod = m;
    handle.hasResult = name.startsWith(QLatin1Char('(')) ? 1 : 0;
    for (int i = 1; i < exported.size(); ++i) handle.parameterLevels.append(exported[i - 1].starsAfter);
    if (handle.hasResult && handle.parameterLevels.size() > 0) {
      handle.resultLevel = handle.parameterLevels[0];
      handle.parameterLevels.remove(0);
    }
    iHandles.append(handle);
    method.handleIndex = iHandles.size() - 1;
    return method.handleIndex;
  }
  return -1;
}

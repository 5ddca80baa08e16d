#include "dialogs/PictureSheets.h"

#include <QString>

#include "dialogs/DialogResources.h"

namespace kestrum {
namespace {

QImage LoadSheet(const QString& path) { return QImage(path).convertToFormat(QImage::Format_RGB32); }

PictureSheets Load(int scale) {
  EnsureDialogResources();
  const QString suffix = scale == 2 ? QStringLiteral("@2x") : QString();
  PictureSheets sheets;
  sheets.tiles = LoadSheet(QStringLiteral(":/kestrum/tiles%1.png").arg(suffix));
  sheets.digits = LoadSheet(QStringLiteral(":/kestrum/digits%1.png").arg(suffix));
  sheets.scale = scale;
  return sheets;
}

}  // namespace

const PictureSheets& PictureSheets::OfScale(int scale) {
  if (scale == 2) {
    static const PictureSheets twice = Load(2);
    return twice;
  }
  static const PictureSheets single = Load(1);
  return single;
}

int PictureSheets::ScaleForRatio(double devicePixelRatio) { return devicePixelRatio > 1.0 ? 2 : 1; }

}  // namespace kestrum

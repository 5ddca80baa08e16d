#include "dialogs/DialogFont.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace kestrum {

QString DialogFontFamily() {
  const QStringList installed = QFontDatabase::families();
  for (const QString& preferred : {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic")}) {
    if (installed.contains(preferred, Qt::CaseInsensitive)) return preferred;
  }
  const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
  if (!japanese.isEmpty()) return japanese.front();
  return QApplication::font().family();
}

QFont DialogFont(int pointSize) {
  QFont font(DialogFontFamily());
  font.setPointSize(pointSize);
  return font;
}

}  // namespace kestrum

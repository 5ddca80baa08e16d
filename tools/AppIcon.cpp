#include "AppIcon.h"

#include "GlyphRaster.h"
#include "Palette.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace kestrum::art {

namespace {

const QColor kIvory(252, 250, 240);
const QColor kTileBackGreen(0, 120, 60);
const QColor kIconRed(204, 0, 0);

// Vector drawing, fine from 48 pixels up where anti-aliasing reads as smooth.
QImage PaintVectorIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double s = size / 256.0;
    const QRectF body(40 * s, 12 * s, 176 * s, 232 * s);
    const double corner = 22 * s;
    painter.setPen(QPen(QColor(40, 40, 40), std::max(1.0, 6 * s)));
    painter.setBrush(kTileBackGreen);
    painter.drawRoundedRect(body, corner, corner);
    const QRectF face(body.left(), body.top(), body.width(), body.height() - 40 * s);
    painter.setBrush(kIvory);
    painter.drawRoundedRect(face, corner, corner);

    QFont font(QString::fromLatin1(kGothicFamily));
    font.setPixelSize(static_cast<int>(150 * s));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(kIconRed);
    painter.drawText(face, Qt::AlignCenter, QStringLiteral("天"));
    return icon;
}

}  // namespace

QImage PaintAppIcon(int size) { return PaintVectorIcon(size); }

}  // namespace kestrum::art

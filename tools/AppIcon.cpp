#include "AppIcon.h"

#include "GlyphRaster.h"
#include "PixelMask.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRect>

#include <algorithm>

namespace kestrum::art {

namespace {

const QColor kIvory(252, 250, 238);
const QColor kTileBackGreen(0, 120, 60);
const QColor kIconOutline(40, 40, 40);
const QColor kIconRed(208, 0, 0);

// 天 for the 16-pixel icon, one-pixel strokes.
const PixelMask& SmallTen() {
    static const PixelMask glyph = PixelMask::FromRows({
        ".#######.",
        "....#....",
        "....#....",
        "#########",
        "....#....",
        "...#.#...",
        "..#...#..",
        ".#.....#.",
        "#.......#",
    });
    return glyph;
}

// 天 for the 32-pixel icon, two-pixel strokes.
const PixelMask& MediumTen() {
    static const PixelMask glyph = PixelMask::FromRows({
        "..##############..",
        "..##############..",
        "........##........",
        "........##........",
        "........##........",
        "........##........",
        "##################",
        "##################",
        "........##........",
        ".......####.......",
        "......###.##......",
        ".....###..###.....",
        "....###....###....",
        "...###......###...",
        "..###........###..",
        ".###..........###.",
        "###............###",
        "##..............##",
    });
    return glyph;
}

struct PixelTileLayout {
    QRect outline;   // outer edge of the tile, corners cut
    int greenTop;    // first row of the green back layer
    QPoint glyphAt;  // top-left of 天
    const PixelMask* glyph;
};

void FillRow(QImage& icon, int y, int x0, int x1, QColor colour) {
    for (int x = x0; x <= x1; ++x) icon.setPixel(x, y, colour.rgba());
}

// Small icons are drawn pixel by pixel: anti-aliased shapes turn to mush
// at 16 and 32 pixels.
QImage PaintPixelIcon(int size, const PixelTileLayout& layout) {
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    const QRect& r = layout.outline;
    FillRow(icon, r.top(), r.left() + 1, r.right() - 1, kIconOutline);
    FillRow(icon, r.bottom(), r.left() + 1, r.right() - 1, kIconOutline);
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        icon.setPixel(r.left(), y, kIconOutline.rgba());
        icon.setPixel(r.right(), y, kIconOutline.rgba());
        FillRow(icon, y, r.left() + 1, r.right() - 1, y < layout.greenTop ? kIvory : kTileBackGreen);
    }
    // The face's lower edge: a dark line where the ivory meets the green.
    FillRow(icon, layout.greenTop, r.left() + 1, r.right() - 1, kIconOutline);
    Stamp(icon, layout.glyphAt, *layout.glyph, kIconRed);
    return icon;
}

// Vector drawing, fine from 48 pixels up where anti-aliasing reads as smooth.
QImage PaintVectorIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size / 256.0;
    const QRectF body(36 * s, 10 * s, 184 * s, 236 * s);
    const double corner = 24 * s;
    painter.setPen(QPen(kIconOutline, std::max(1.0, 6 * s)));
    painter.setBrush(kTileBackGreen);
    painter.drawRoundedRect(body, corner, corner);
    const QRectF face(body.left(), body.top(), body.width(), body.height() - 44 * s);
    painter.setBrush(kIvory);
    painter.drawRoundedRect(face, corner, corner);

    // The gothic face is light; stroking the outline of the glyph as well
    // as filling it gives the sturdy brush weight of a tile's engraving.
    QFont font(QString::fromLatin1(kGothicFamily));
    font.setPixelSize(static_cast<int>(150 * s));
    QPainterPath glyph;
    glyph.addText(0, 0, font, QStringLiteral("天"));
    const QRectF bounds = glyph.boundingRect();
    glyph.translate(face.center() - bounds.center());
    painter.setPen(QPen(kIconRed, 9 * s, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(kIconRed);
    painter.drawPath(glyph);
    return icon;
}

}  // namespace

QImage PaintAppIcon(int size) {
    if (size == 16) return PaintPixelIcon(16, {QRect(2, 0, 13, 16), 12, QPoint(4, 2), &SmallTen()});
    if (size == 32) return PaintPixelIcon(32, {QRect(4, 1, 24, 30), 25, QPoint(7, 4), &MediumTen()});
    return PaintVectorIcon(size);
}

}  // namespace kestrum::art

#include "GlyphRaster.h"

#include <QFont>
#include <QImage>
#include <QPainter>

namespace kestrum::art {

PixelMask RasterGlyph(const QString& text, int pixelSize, bool bold) {
    QFont font(QString::fromLatin1(kGothicFamily));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);

    const int canvas = pixelSize * 2 + 8;
    QImage image(canvas, canvas, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, 0, canvas, canvas), Qt::AlignCenter, text);
    }
    PixelMask mask(canvas, canvas);
    for (int y = 0; y < canvas; ++y)
        for (int x = 0; x < canvas; ++x) mask.SetInk(x, y, qGray(image.pixel(x, y)) < 128);
    return mask.Cropped();
}

PixelMask RasterGlyphToFit(const QString& text, int maxWidth, int maxHeight, bool bold) {
    PixelMask best;
    for (int size = 6; size <= 4 * (maxWidth + maxHeight); ++size) {
        PixelMask glyph = RasterGlyph(text, size, bold);
        if (glyph.Width() > maxWidth || glyph.Height() > maxHeight) break;
        best = std::move(glyph);
    }
    return best;
}

std::vector<PixelMask> RasterGlyphsToFit(const QStringList& texts, int maxWidth, int maxHeight, bool bold) {
    std::vector<PixelMask> best(static_cast<std::size_t>(texts.size()));
    for (int size = 6; size <= 4 * (maxWidth + maxHeight); ++size) {
        std::vector<PixelMask> glyphs;
        for (const QString& text : texts) {
            glyphs.push_back(RasterGlyph(text, size, bold));
            if (glyphs.back().Width() > maxWidth || glyphs.back().Height() > maxHeight) return best;
        }
        best = std::move(glyphs);
    }
    return best;
}

}  // namespace kestrum::art

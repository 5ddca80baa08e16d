#include "GlyphRaster.h"
#include "PixelMask.h"
#include "TileGlyphs.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kestrum::art {

namespace {

// The numerals share one size, so that 一 is not blown up to the width
// that 四 may take, and are set heavy like the brush-drawn small ones.
const std::vector<PixelMask>& LargeNumerals() {
    static const std::vector<PixelMask> numerals = RasterGlyphsToFit(
        QStringList{QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"), QStringLiteral("四"),
                    QStringLiteral("五"), QStringLiteral("六"), QStringLiteral("七"), QStringLiteral("八"),
                    QStringLiteral("九")},
        22, 20, true);
    return numerals;
}

const std::vector<PixelMask>& LargeHonours() {
    static const std::vector<PixelMask> honours = RasterGlyphsToFit(
        QStringList{QStringLiteral("東"), QStringLiteral("南"), QStringLiteral("西"), QStringLiteral("北"),
                    QStringLiteral("白"), QStringLiteral("発"), QStringLiteral("中")},
        30, 32, true);
    return honours;
}

}  // namespace

const PixelMask& NumeralGlyph(int rank, int scale) {
    if (scale == 1) return NumeralGlyph(rank);
    return LargeNumerals()[static_cast<std::size_t>(rank - 1)];
}

const PixelMask& ManGlyph(int scale) {
    if (scale == 1) return ManGlyph();
    static const PixelMask man = RasterGlyphToFit(QStringLiteral("萬"), 30, 26, true);
    return man;
}

const PixelMask& HonourGlyph(int honour, int scale) {
    if (scale == 1) return HonourGlyph(honour);
    return LargeHonours()[static_cast<std::size_t>(honour)];
}

}  // namespace kestrum::art

#pragma once

#include "PixelMask.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kestrum::art {

// Family used for every kanji drawn from a font; the set-up installs it.
inline constexpr const char* kGothicFamily = "IPAGothic";

// The glyph of `text` rendered in the gothic face at `pixelSize` with
// anti-aliasing off, cropped to its ink.
PixelMask RasterGlyph(const QString& text, int pixelSize, bool bold = false);

// The largest rendering of `text` whose ink fits in `maxWidth` x `maxHeight`.
PixelMask RasterGlyphToFit(const QString& text, int maxWidth, int maxHeight, bool bold = false);

// Each text rendered at the one largest size at which all of them fit.
std::vector<PixelMask> RasterGlyphsToFit(const QStringList& texts, int maxWidth, int maxHeight, bool bold = false);

}  // namespace kestrum::art

#pragma once

namespace kestrum::art {

class PixelMask;

// Hand-tuned kanji for the 20 x 28 faces. Fonts rendered this small without
// smoothing drop or fuse strokes, so each glyph is drawn pixel by pixel.
const PixelMask& NumeralGlyph(int rank);   // 一 .. 九, at most 11 x 10
const PixelMask& ManGlyph();               // 萬, 15 x 13
const PixelMask& HonourGlyph(int honour);  // 東 南 西 北 (0..3), 発 (5), 中 (6); at most 15 x 16

// The same kanji for the faces at `scale`: the hand-tuned ones at 1, and at
// 2 the gothic face rendered into boxes twice as large, where it is big
// enough to keep every stroke apart.
const PixelMask& NumeralGlyph(int rank, int scale);
const PixelMask& ManGlyph(int scale);
const PixelMask& HonourGlyph(int honour, int scale);

}  // namespace kestrum::art

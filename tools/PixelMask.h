#pragma once

#include <QColor>
#include <QPoint>

#include <initializer_list>
#include <string_view>
#include <vector>

class QImage;

namespace kestrum::art {

// A one-bit picture: which pixels carry ink. Artwork at tile size is built
// from these so that every drawn pixel is a pure colour, never a blend.
class PixelMask {
public:
    PixelMask() = default;
    PixelMask(int width, int height);

    // Rows of text, '#' (or any character but '.' and ' ') is ink.
    static PixelMask FromRows(std::initializer_list<std::string_view> rows);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Ink(int x, int y) const;
    void SetInk(int x, int y, bool on = true);

    // Bounding box of the ink, as a new mask; an empty mask stays empty.
    PixelMask Cropped() const;
    // Every ink pixel also inks its right neighbour: a poor man's bold.
    PixelMask Emboldened() const;
    // Every ink pixel inks the 2 x 2 square it is the top-left of: strokes
    // one pixel heavier both across and down.
    PixelMask Thickened() const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<bool> ink_;
};

// Paints the ink of `mask` with `colour`, its top-left corner at `origin`.
void Stamp(QImage& image, QPoint origin, const PixelMask& mask, QColor colour);

// Paints `mask` centred in the box at `boxOrigin` of `boxWidth` x `boxHeight`
// (rounding the odd pixel to the left and to the top).
void StampCentred(QImage& image, QPoint boxOrigin, int boxWidth, int boxHeight,
                  const PixelMask& mask, QColor colour);

}  // namespace kestrum::art

#include "Palette.h"
#include "PixelMask.h"
#include "TileFaces.h"

#include <QImage>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <vector>

namespace kestrum::art {

namespace {

// Pips are rings around a dot, drawn by hand for each size: a computed
// circle this small comes out as a lumpy diamond.
const PixelMask& PipMask(int size) {
    static const PixelMask four = PixelMask::FromRows({
        ".##.",
        "#..#",
        "#..#",
        ".##.",
    });
    static const PixelMask five = PixelMask::FromRows({
        ".###.",
        "#...#",
        "#.#.#",
        "#...#",
        ".###.",
    });
    static const PixelMask six = PixelMask::FromRows({
        "..##..",
        ".#..#.",
        "#.##.#",
        "#.##.#",
        ".#..#.",
        "..##..",
    });
    static const PixelMask seven = PixelMask::FromRows({
        "..###..",
        ".#...#.",
        "#.....#",
        "#..#..#",
        "#.....#",
        ".#...#.",
        "..###..",
    });
    static const PixelMask eight = PixelMask::FromRows({
        "..####..",
        ".#....#.",
        "#......#",
        "#..##..#",
        "#..##..#",
        "#......#",
        ".#....#.",
        "..####..",
    });
    switch (size) {
    case 4: return four;
    case 5: return five;
    case 7: return seven;
    case 8: return eight;
    default: return six;
    }
}

// A pip twice as large, drawn from its geometry: a ring two pixels thick
// and a dot twice the small one's width, decided by each pixel's distance
// from the centre. At 8 to 16 pixels across that comes out round.
PixelMask LargePipMask(int size) {
    const int dotWidth = size == 5 || size == 7 ? 1 : size == 4 ? 0 : 2;
    const int d = 2 * size;
    const double centre = (d - 1) / 2.0;
    const double outer = d / 2.0;
    const double dotRadius = dotWidth;  // twice the small dot's half width
    PixelMask mask(d, d);
    for (int y = 0; y < d; ++y) {
        for (int x = 0; x < d; ++x) {
            const double r = std::hypot(x - centre, y - centre);
            const bool ring = r <= outer - 0.1 && r > outer - 2.1;
            const bool dot = dotWidth > 0 && r < dotRadius;
            mask.SetInk(x, y, ring || dot);
        }
    }
    return mask;
}

const PixelMask& PipMask(int size, int scale) {
    if (scale == 1) return PipMask(size);
    static const PixelMask large[] = {LargePipMask(4), LargePipMask(5), LargePipMask(6), LargePipMask(7),
                                      LargePipMask(8)};
    return large[std::clamp(size, 4, 8) - 4];
}

struct Pip {
    int x;  // top-left, in cell coordinates
    int y;
    int size;
    QColor colour;
};

// The one of circles: a large rosette of rings, decided pixel by pixel
// from the distance to the centre (big enough to come out round).
void PaintOneCircle(QImage& sheet, QPoint cell, int scale) {
    const QRect box(2 * scale, 5 * scale, 16 * scale, 16 * scale);
    const double cx = box.left() + (box.width() - 1) / 2.0;
    const double cy = box.top() + (box.height() - 1) / 2.0;
    const double radius = box.width() / 2.0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const double d = std::hypot(x - cx, y - cy) / radius;
            QColor colour;
            if (d <= 0.2) colour = kRed;
            else if (d > 0.36 && d <= 0.56) colour = kRed;
            else if (d > 0.7 && d <= 0.97) colour = kGreen;
            else continue;
            sheet.setPixel(cell + QPoint(x, y), colour.rgb());
        }
    }
}

std::vector<Pip> PipsFor(int rank) {
    switch (rank) {
    case 2: return {{6, 4, 8, kGreen}, {6, 16, 8, kBlue}};
    case 3: return {{2, 2, 6, kBlue}, {7, 11, 6, kRed}, {12, 20, 6, kGreen}};
    case 4: return {{2, 3, 7, kBlue}, {11, 3, 7, kGreen}, {2, 18, 7, kGreen}, {11, 18, 7, kBlue}};
    case 5:
        return {{2, 2, 6, kBlue}, {12, 2, 6, kGreen}, {7, 11, 6, kRed},
                {2, 20, 6, kGreen}, {12, 20, 6, kBlue}};
    case 6:
        return {{3, 2, 6, kGreen}, {11, 2, 6, kGreen}, {3, 12, 6, kRed},
                {11, 12, 6, kRed}, {3, 19, 6, kRed}, {11, 19, 6, kRed}};
    case 7:
        return {{2, 2, 4, kGreen}, {8, 4, 4, kGreen}, {14, 6, 4, kGreen},
                {3, 12, 6, kRed}, {11, 12, 6, kRed}, {3, 19, 6, kRed}, {11, 19, 6, kRed}};
    case 8: {
        std::vector<Pip> pips;
        for (int y : {2, 8, 15, 21})
            for (int x : {3, 12}) pips.push_back({x, y, 5, kBlue});
        return pips;
    }
    case 9: {
        std::vector<Pip> pips;
        const QColor rowColour[3] = {kBlue, kRed, kGreen};
        for (int row = 0; row < 3; ++row)
            for (int x : {2, 8, 14}) pips.push_back({x, 3 + 9 * row, 4, rowColour[row]});
        return pips;
    }
    default: return {};
    }
}

}  // namespace

void PaintCircleTile(QImage& sheet, QPoint cell, int rank, int scale) {
    PaintBlankFace(sheet, cell, scale);
    if (rank == 1) {
        PaintOneCircle(sheet, cell, scale);
        return;
    }
    for (const Pip& pip : PipsFor(rank))
        Stamp(sheet, cell + QPoint(pip.x, pip.y) * scale, PipMask(pip.size, scale), pip.colour);
}

}  // namespace kestrum::art

#include "Palette.h"
#include "PixelMask.h"
#include "TileFaces.h"

#include <QImage>
#include <QRect>

#include <cmath>
#include <vector>

namespace kestrum::art {

namespace {

struct Stick {
    QRect box;  // in cell coordinates
    QColor colour;
};

void Put(QImage& sheet, QPoint cell, int x, int y, QColor colour) {
    sheet.setPixel(cell + QPoint(x, y), colour.rgb());
}

// A straight bamboo stick: a slim stem with knuckles at both ends and in
// the middle, the light stem edged by a darker one.
void PaintStick(QImage& sheet, QPoint cell, const Stick& stick, QColor edge) {
    const QRect& box = stick.box;
    const int middle = box.top() + box.height() / 2;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const bool knuckle = y == box.top() || y == box.bottom() || y == middle;
        for (int x = box.left(); x <= box.right(); ++x) {
            const bool side = x == box.left() || x == box.right();
            if (side && !knuckle) continue;
            const bool inner = !side && !knuckle && x == box.left() + 1;
            Put(sheet, cell, x, y, knuckle || inner ? edge : stick.colour);
        }
    }
}

// A slanted stick from (x0, y0) to (x1, y1), two pixels thick.
void PaintSlantedStick(QImage& sheet, QPoint cell, QPoint from, QPoint to, QColor colour, QColor edge) {
    const int steps = std::abs(to.y() - from.y());
    const int knuckle = steps / 2;
    for (int i = 0; i <= steps; ++i) {
        const double t = steps == 0 ? 0.0 : static_cast<double>(i) / steps;
        const int x = static_cast<int>(std::lround(from.x() + t * (to.x() - from.x())));
        const int y = from.y() + (to.y() > from.y() ? i : -i);
        const bool end = i == 0 || i == steps || i == knuckle;
        Put(sheet, cell, x, y, end ? edge : colour);
        Put(sheet, cell, x + 1, y, end ? edge : colour);
        if (i == knuckle) {
            Put(sheet, cell, x - 1, y, edge);
            Put(sheet, cell, x + 2, y, edge);
        }
    }
}

void PaintEightBamboo(QImage& sheet, QPoint cell) {
    // Upper half like "M", lower half like "W".
    PaintSlantedStick(sheet, cell, {2, 11}, {5, 2}, kGreen, kDarkGreen);
    PaintSlantedStick(sheet, cell, {7, 2}, {10, 11}, kGreen, kDarkGreen);
    PaintSlantedStick(sheet, cell, {8, 11}, {11, 2}, kGreen, kDarkGreen);
    PaintSlantedStick(sheet, cell, {13, 2}, {16, 11}, kGreen, kDarkGreen);
    PaintSlantedStick(sheet, cell, {2, 15}, {5, 24}, kGreen, kDarkGreen);
    PaintSlantedStick(sheet, cell, {7, 24}, {10, 15}, kGreen, kDarkGreen);
    PaintSlantedStick(sheet, cell, {8, 15}, {11, 24}, kGreen, kDarkGreen);
    PaintSlantedStick(sheet, cell, {13, 24}, {16, 15}, kGreen, kDarkGreen);
}

// The one of bamboo is traditionally a bird; this one is a small peacock.
void PaintBird(QImage& sheet, QPoint cell) {
    static const char* const kBird[] = {
        "......RR........",
        ".....RRRR.......",
        ".....RKRR.......",
        "....YRRRR.......",
        "......RRG.......",
        "......GGGG......",
        ".....GGGGGG.....",
        ".....GGBGGGG....",
        ".....GGBBGGGG...",
        "......GBBBGGGG..",
        "......GGBBBGGGG.",
        ".......GGBBBGGGG",
        "........GGBBGGG.",
        ".........GGGGG..",
        "..........D.D...",
        "..........D.D...",
        ".........DD.DD..",
    };
    const int top = 5;
    const int left = 1;
    int y = 0;
    for (const char* row : kBird) {
        for (int x = 0; row[x] != '\0'; ++x) {
            QColor colour;
            switch (row[x]) {
            case 'R': colour = kRed; break;
            case 'G': colour = kGreen; break;
            case 'D': colour = kDarkGreen; break;
            case 'B': colour = kBlue; break;
            case 'K': colour = kInk; break;
            case 'Y': colour = QColor(224, 160, 0); break;
            default: continue;
            }
            Put(sheet, cell, left + x, top + y, colour);
        }
        ++y;
    }
}

std::vector<Stick> SticksFor(int rank) {
    const QColor g = kGreen;
    switch (rank) {
    case 2: return {{QRect(8, 3, 4, 9), g}, {QRect(8, 15, 4, 9), g}};
    case 3: return {{QRect(8, 3, 4, 9), g}, {QRect(4, 15, 4, 9), g}, {QRect(12, 15, 4, 9), g}};
    case 4:
        return {{QRect(5, 3, 4, 9), g}, {QRect(11, 3, 4, 9), g},
                {QRect(5, 15, 4, 9), g}, {QRect(11, 15, 4, 9), g}};
    case 5:
        return {{QRect(3, 3, 4, 9), g}, {QRect(13, 3, 4, 9), g}, {QRect(8, 9, 4, 9), kRed},
                {QRect(3, 15, 4, 9), g}, {QRect(13, 15, 4, 9), g}};
    case 6: {
        std::vector<Stick> sticks;
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 3; ++column)
                sticks.push_back({QRect(3 + 5 * column, 3 + 12 * row, 4, 9), g});
        return sticks;
    }
    case 7: {
        std::vector<Stick> sticks{{QRect(8, 2, 4, 7), kRed}};
        for (int row = 1; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                sticks.push_back({QRect(3 + 5 * column, 2 + 8 * row, 4, 7), g});
        return sticks;
    }
    case 9: {
        std::vector<Stick> sticks;
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                sticks.push_back({QRect(3 + 5 * column, 2 + 8 * row, 4, 7), column == 1 ? kRed : g});
        return sticks;
    }
    default: return {};
    }
}

}  // namespace

void PaintBambooTile(QImage& sheet, QPoint cell, int rank) {
    PaintBlankFace(sheet, cell);
    if (rank == 1) {
        PaintBird(sheet, cell);
        return;
    }
    if (rank == 8) {
        PaintEightBamboo(sheet, cell);
        return;
    }
    for (const Stick& stick : SticksFor(rank)) {
        const QColor edge = stick.colour == kRed ? QColor(128, 0, 0) : kDarkGreen;
        PaintStick(sheet, cell, stick, edge);
    }
}

}  // namespace kestrum::art

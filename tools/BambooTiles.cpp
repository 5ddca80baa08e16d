#include "Palette.h"
#include "TileFaces.h"

#include <QImage>

#include <cmath>
#include <vector>

namespace kestrum::art {

namespace {

struct StickInks {
    QColor edge;
    QColor body;
    QColor shine;
};

const StickInks kGreenStick{kDarkGreen, kGreen, kLightGreen};
const StickInks kRedStick{kDarkRed, kRed, kLightRed};

// A bamboo stick: dark rind, a shine down one side (when four pixels
// wide), rounded ends and a knuckle across the middle. `from` and `to` are
// the top-left pixels of its first and last row; they differ in x for the
// slanted sticks of the eight.
struct Stick {
    QPoint from;
    QPoint to;
    StickInks inks;
    int width = 4;  // 3 or 4
};

void Put(QImage& sheet, QPoint cell, int x, int y, QColor colour) {
    sheet.setPixel(cell + QPoint(x, y), colour.rgb());
}

void PaintStick(QImage& sheet, QPoint cell, const Stick& stick) {
    const int rows = stick.to.y() - stick.from.y() + 1;
    const int knuckle = rows / 2;
    for (int i = 0; i < rows; ++i) {
        const double t = rows == 1 ? 0.0 : static_cast<double>(i) / (rows - 1);
        const int x = static_cast<int>(std::lround(stick.from.x() + t * (stick.to.x() - stick.from.x())));
        const int y = stick.from.y() + i;
        const StickInks& k = stick.inks;
        const int w = stick.width;
        if (i == 0 || i == rows - 1) {
            for (int dx = 1; dx < w - 1; ++dx) Put(sheet, cell, x + dx, y, k.edge);
        } else if (i == knuckle) {
            for (int dx = 0; dx < w; ++dx) Put(sheet, cell, x + dx, y, k.edge);
        } else {
            Put(sheet, cell, x, y, k.edge);
            Put(sheet, cell, x + 1, y, w == 4 ? k.body : k.shine);
            if (w == 4) Put(sheet, cell, x + 2, y, k.shine);
            Put(sheet, cell, x + w - 1, y, k.edge);
        }
    }
}

Stick Upright(int x, int y, int height, const StickInks& inks = kGreenStick) {
    return {QPoint(x, y), QPoint(x, y + height - 1), inks};
}

Stick Slim(QPoint from, QPoint to) { return {from, to, kGreenStick, 3}; }

// The one of bamboo is traditionally a bird; this one is a small peacock
// on a perch, its tail ending in an eye.
void PaintBird(QImage& sheet, QPoint cell) {
    static const char* const kBird[] = {
        ".....RR..........",
        "....RRRR.........",
        "....RKRR.........",
        "...YRRRR.........",
        ".....RRG.........",
        ".....GGGG........",
        "....GGLGGG.......",
        "....GGLLGGG......",
        "....GBBLLGGG.....",
        ".....GBBLGGGGG...",
        ".....GGBBGGDGGG..",
        "......GGBBGGDGGG.",
        ".......GGGGGGDGBB",
        "........GG..GGBRB",
        "........Y.Y..GGBB",
        "........Y.Y......",
        "..DDDDDDDDDDDDD..",
        "...D.........D...",
    };
    const int top = 6;
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
    switch (rank) {
    case 2: return {Upright(8, 3, 10), Upright(8, 15, 10)};
    case 3: return {Upright(8, 3, 10), Upright(4, 15, 10), Upright(12, 15, 10)};
    case 4: return {Upright(4, 3, 10), Upright(12, 3, 10), Upright(4, 15, 10), Upright(12, 15, 10)};
    case 5:
        return {Upright(2, 3, 10), Upright(14, 3, 10), Upright(8, 9, 10, kRedStick),
                Upright(2, 15, 10), Upright(14, 15, 10)};
    case 6: {
        std::vector<Stick> sticks;
        for (int y : {3, 15})
            for (int x : {3, 8, 13}) sticks.push_back(Upright(x, y, 10));
        return sticks;
    }
    case 7: {
        std::vector<Stick> sticks{Upright(8, 2, 7, kRedStick)};
        for (int y : {10, 18})
            for (int x : {3, 8, 13}) sticks.push_back(Upright(x, y, 8));
        return sticks;
    }
    case 8:
        // Slim sticks: upright at the sides, the inner pair leaning into a
        // V above and a Λ below.
        return {Slim({2, 2}, {2, 11}), Slim({6, 2}, {8, 11}), Slim({11, 2}, {9, 11}), Slim({15, 2}, {15, 11}),
                Slim({2, 15}, {2, 24}), Slim({8, 15}, {6, 24}), Slim({9, 15}, {11, 24}), Slim({15, 15}, {15, 24})};
    case 9: {
        std::vector<Stick> sticks;
        for (int y : {2, 10, 18})
            for (int x : {3, 8, 13}) sticks.push_back(Upright(x, y, 7, x == 8 ? kRedStick : kGreenStick));
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
    for (const Stick& stick : SticksFor(rank)) PaintStick(sheet, cell, stick);
}

}  // namespace kestrum::art

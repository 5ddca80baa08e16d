#include "Palette.h"
#include "TileFaces.h"

#include <QImage>

#include <cmath>
#include <string>
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

// The inks across the stick, left to right, one per layout pixel.
std::vector<QColor> Profile(const Stick& stick) {
    const StickInks& k = stick.inks;
    if (stick.width == 4) return {k.edge, k.body, k.shine, k.edge};
    return {k.edge, k.shine, k.edge};
}

// At scale s each layout row becomes s sheet rows and each column of the
// profile s sheet columns; the slant of a leaning stick is followed row by
// sheet row, so the larger sheet draws it with finer steps.
void PaintStick(QImage& sheet, QPoint cell, const Stick& stick, int scale) {
    const int layoutRows = stick.to.y() - stick.from.y() + 1;
    const int knuckle = layoutRows / 2;
    const int rows = layoutRows * scale;
    const std::vector<QColor> profile = Profile(stick);
    const int w = static_cast<int>(profile.size());
    for (int j = 0; j < rows; ++j) {
        const int i = j / scale;  // the layout row
        const double t = rows == 1 ? 0.0 : static_cast<double>(j) / (rows - 1);
        const int x = static_cast<int>(
            std::lround((stick.from.x() + t * (stick.to.x() - stick.from.x())) * scale));
        const int y = stick.from.y() * scale + j;
        const StickInks& k = stick.inks;
        for (int column = 0; column < w; ++column) {
            QColor colour = profile[static_cast<std::size_t>(column)];
            if (i == 0 || i == layoutRows - 1) {
                // Rounded ends: the rind across the middle columns only.
                if (column == 0 || column == w - 1) continue;
                colour = k.edge;
            } else if (i == knuckle) {
                colour = k.edge;
            }
            for (int dx = 0; dx < scale; ++dx) Put(sheet, cell, x + column * scale + dx, y, colour);
        }
    }
}

Stick Upright(int x, int y, int height, const StickInks& inks = kGreenStick) {
    return {QPoint(x, y), QPoint(x, y + height - 1), inks};
}

Stick Slim(QPoint from, QPoint to) { return {from, to, kGreenStick, 3}; }

// The one of bamboo is traditionally a bird; this one is a small peacock
// on a perch, its tail ending in an eye.
const std::vector<std::string>& BirdRows() {
    static const std::vector<std::string> kBird = {
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
    return kBird;
}

// The bird at twice the size: each pixel becomes four, and where two
// neighbours of one ink meet across a corner the corner takes their ink
// (the Scale2x rule), so its outline runs in diagonal steps one pixel
// high instead of blocks of two.
std::vector<std::string> DoubledRows(const std::vector<std::string>& rows) {
    const auto at = [&](int x, int y) -> char {
        if (y < 0 || y >= static_cast<int>(rows.size())) return '.';
        const std::string& row = rows[static_cast<std::size_t>(y)];
        return x < 0 || x >= static_cast<int>(row.size()) ? '.' : row[static_cast<std::size_t>(x)];
    };
    std::vector<std::string> out(rows.size() * 2);
    for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
        for (int x = 0; x < static_cast<int>(rows[static_cast<std::size_t>(y)].size()); ++x) {
            const char e = at(x, y), b = at(x, y - 1), d = at(x - 1, y), f = at(x + 1, y), h = at(x, y + 1);
            std::string& upper = out[static_cast<std::size_t>(2 * y)];
            std::string& lower = out[static_cast<std::size_t>(2 * y + 1)];
            upper += d == b && b != f && d != h ? d : e;
            upper += b == f && b != d && f != h ? f : e;
            lower += d == h && d != b && h != f ? d : e;
            lower += h == f && d != h && b != f ? f : e;
        }
    }
    return out;
}

void PaintBird(QImage& sheet, QPoint cell, int scale) {
    const std::vector<std::string> rows = scale == 1 ? BirdRows() : DoubledRows(BirdRows());
    const int top = 6 * scale;
    const int left = 1 * scale;
    for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
        const std::string& row = rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < static_cast<int>(row.size()); ++x) {
            QColor colour;
            switch (row[static_cast<std::size_t>(x)]) {
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

void PaintBambooTile(QImage& sheet, QPoint cell, int rank, int scale) {
    PaintBlankFace(sheet, cell, scale);
    if (rank == 1) {
        PaintBird(sheet, cell, scale);
        return;
    }
    for (const Stick& stick : SticksFor(rank)) PaintStick(sheet, cell, stick, scale);
}

}  // namespace kestrum::art
